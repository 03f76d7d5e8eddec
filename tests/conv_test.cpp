// lorconv's evaluation: the values of the study are those of the programs' own routines.
#include "conv.hpp"
#include "poly/poly.hpp"
#include "spline.hpp"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

TEST(Lorconv, ValuesAreThoseOfTheProgramsRoutines) {
    struct Seen {
        std::vector<double> x, p;
    };
    for (auto [n, a, b] : {std::tuple{9, 0.0, 7.0}, std::tuple{100, -2.0, 11.5}}) {
        ConvTable t = conv_table(n, a, b);
        for (Method m : {Method::spline, Method::quadratic}) {
            Seen s;
            conv_walk(
                t, m,
                [](double x, double p, void* c) {
                    static_cast<Seen*>(c)->x.push_back(x);
                    static_cast<Seen*>(c)->p.push_back(p);
                },
                &s);
            ASSERT_EQ(s.x.size(), static_cast<std::size_t>(64 * (n - 1) + 1));
            EXPECT_EQ(s.x.front(), a);
            EXPECT_EQ(s.x.back(), b);
            for (std::size_t i = 0; i < s.x.size(); ++i) {
                double want = m == Method::spline
                                  ? spline_eval(t.xa.data(), t.ya.data(), t.d2.data(), n, s.x[i])
                                  : quad_pick(s.x[i], t.pxa.data(), t.pya.data(), n);
                ASSERT_EQ(s.p[i], want) << "n " << n << " point " << i << " x " << s.x[i];
            }
        }
    }
}
