// gplot's analysis on small fixed tables, in memory: the largest error inside the table is
// the interpolant's own anywhere (worked out the hard way by the plain reference; at 64 points
// an interval, with no bound, where the abscissae do not strictly ascend), the pixel columns'
// peaks hold it, the error file's maxima and its points that are not finite
// fall on the right side of the table's range, and the summary says so.
#include "analysis.hpp"
#include "reference.hpp"
#include "summary.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

TEST(Analysis, SmallTables) {
    struct C {
        const char* name;
        std::vector<double> x, y;
    };
    std::vector<C> cs = {
        {"squares", {1, 2, 3, 4}, {1, 4, 9, 16}},
        {"three points", {0, 1, 2}, {0, 1, 0}},
        {"uneven, on the peak", {2.5, 3.2, 3.4, 3.6, 4.4}, {}},
        {"a repeated abscissa", {0, 1, 1, 2, 3}, {0, 1, 2, 1, 0}},
    };
    for (C& c : cs) {
        SCOPED_TRACE(c.name);
        if (c.y.empty())
            for (double x : c.x)
                c.y.push_back(ref::lorentz(x));
        SampleTable t;
        t.n = static_cast<int>(c.x.size());
        t.xa = c.x.data();
        t.ya = c.y.data();
        bool strict = std::is_sorted(c.x.begin(), c.x.end(), std::less_equal<double>());
        ref::Spline sp(c.x, c.y);
        ref::Quad q(c.x, c.y);
        ref::Worst want[2] = {
            strict ? ref::brute_worst(c.x, [&](int k, double v) { return sp.piece(k, v); })
                   : ref::worst(c.x, sp),
            strict ? ref::brute_worst(c.x, [&](int k, double v) { return q.piece(k, v); })
                   : ref::worst(c.x, q)};
        const char* files[2] = {"errsp.out", "errq.out"};
        for (int k = 0; k < 2; ++k) {
            Analysis a;
            a.files.resize(1);
            ErrorFile& f = a.files[0];
            f.path = std::string("some/folder/") + files[k];
            f.m = method_of_file(f.path);
            double mid = (c.x.front() + c.x.back()) / 2;
            f.x = {-2, mid, c.x.back(), 9, 10};
            f.e = {0.25, NAN, 0.125, 0.5, HUGE_VAL};
            ASSERT_EQ(analyse(t, 40, true, 2, &a), "");
            ref::Worst w = want[k];
            const Peaks& d = f.dense.peaks;
            if (strict) {
                EXPECT_NEAR(d.all.err, w.err, 1e-3 * w.err + f.dense.allowance);
                w.err = d.all.err;
                w.x = d.all.x;
            }
            EXPECT_EQ(d.all.err, w.err);
            EXPECT_EQ(d.all.x, w.x);
            EXPECT_EQ(d.nans, w.nans);
            EXPECT_EQ(d.points, 64 * (t.n - 1) + 1);
            // The column that holds the largest error holds it at its x.
            ASSERT_EQ(d.column.size(), 40u);
            bool held = false;
            for (const Peak& p : d.column) {
                EXPECT_LE(p.err, w.err);
                held = held || (p.err == w.err && p.x == w.x);
            }
            EXPECT_TRUE(held);
            // The file: the last abscissa of the table is inside, -2, 9 and 10 outside.
            EXPECT_EQ(a.lo, c.x.front());
            EXPECT_EQ(a.hi, c.x.back());
            EXPECT_EQ(a.gx0, -2);
            EXPECT_EQ(a.gx1, 10);
            EXPECT_EQ(f.in.err, 0.125);
            EXPECT_EQ(f.out.err, 0.5);
            EXPECT_EQ(f.nan_in, std::vector<double>{mid});
            EXPECT_EQ(f.inf_all, std::vector<double>{10});
            char line[400];
            std::snprintf(line, sizeof line, "%.2e at x = %g", w.err, w.x);
            std::string bound = strict ? "bound " + fmt_up(f.dense.bound)
                                       : "no bound: the abscissae do not strictly ascend";
            std::string want_line = "e.svg: largest error " +
                                    (w.err >= 0 ? line + (" (" + bound + ")") : "none finite");
            std::snprintf(line, sizeof line,
                          " inside the table [%g, %g] (grid: 1.2e-01 at x = %g); 5.0e-01 at x = "
                          "9 outside; 1 error is NaN, 1 is infinite",
                          c.x.front(), c.x.back(), c.x.back());
            want_line += line;
            if (w.nans > 0)
                want_line += "; " + std::to_string(w.nans) + " of " + std::to_string(w.points) +
                             " points give NaN";
            EXPECT_EQ(summary_line("e.svg", f, a), want_line);
        }
        // Both methods' largest set the shared scale.
        Analysis a;
        a.files.resize(1);
        a.files[0].path = "errsp.out";
        a.files[0].m = method_of_file("errsp.out");
        ASSERT_EQ(analyse(t, 40, true, 1, &a), "");
        double other =
            dense_largest(dense_prepare(t.xa, t.ya, t.n, *methods()[1]), {}).peaks.all.err;
        EXPECT_EQ(a.largest, std::fmax(a.files[0].dense.peaks.all.err, other));
    }
}
