// lorconv's statistics: the largest error inside the window and in the end layers, against a
// plain dense evaluation with golden-section refinement written here.
#include "conv.hpp"
#include "reference.hpp"

#include <gtest/gtest.h>

#include <utility>

namespace {
// The largest error inside [lo, hi] and outside it of piece(k, x) on the table xs, the hard
// way: each interval at 4,096 points and at the points either side of an edge in it, then 60
// golden-section steps around each side's best point of the interval, kept to its side. The
// pieces are the programs' own where they take them (x > xs[k], or k = 0).
template <class P>
std::pair<double, double> window_worst(const std::vector<double>& xs, const P& piece, double lo,
                                       double hi) {
    double side[2] = {-1, -1}; // inside, outside
    auto inside = [&](double x) { return x >= lo && x <= hi; };
    auto err = [&](int k, double x) {
        if (k > 0 && !(x > xs[k]))
            return -1.0;
        double e = std::fabs(piece(k, x) - ref::lorentz(x));
        double& s = side[inside(x) ? 0 : 1];
        s = std::isfinite(e) && e > s ? e : s;
        return e;
    };
    err(0, xs[0]);
    for (int k = 0; k + 1 < static_cast<int>(xs.size()); ++k) {
        double a = xs[k], h = xs[k + 1] - a, best[2] = {-1, -1}, at[2] = {a, a};
        auto look = [&](double x) {
            double e = err(k, x);
            int s = inside(x) ? 0 : 1;
            if (e > best[s])
                best[s] = e, at[s] = x;
        };
        for (int j = 1; j <= 4096; ++j)
            look(j == 4096 ? xs[k + 1] : a + h * j / 4096);
        for (double e : {lo, hi})
            if (a < e && e <= xs[k + 1])
                look(std::nextafter(e, -HUGE_VAL)), look(e);
        for (int s = 0; s < 2; ++s) {
            double l = std::max(a, at[s] - h / 4096), r = std::min(xs[k + 1], at[s] + h / 4096);
            if (s == 0)
                l = std::max(l, lo), r = std::min(r, hi);
            else if (at[s] < lo)
                r = std::min(r, std::nextafter(lo, -HUGE_VAL));
            else
                l = std::max(l, std::nextafter(hi, HUGE_VAL));
            for (int i = 0; i < 60 && r > l; ++i) {
                double c = r - 0.618 * (r - l), d = l + 0.618 * (r - l);
                if (!(c > l && d < r))
                    break;
                (err(k, c) >= err(k, d) ? r : l) = err(k, c) >= err(k, d) ? d : c;
            }
        }
    }
    return {side[0], side[1]};
}

// Each method's largest errors inside the window and at the ends are within 0.1% of the
// plain evaluation's, on the default study's tables (up to 256 rows) and on wide ones, where
// the end layers' largest lies at the window's edge.
TEST(Conv, WindowMaximaAreTheTrueOnes) {
    struct Run {
        double a, b;
        std::vector<int> ns;
    };
    const Run runs[] = {{0, 7, {8, 16, 32, 64, 128, 256}}, {-1000, 1000, {4, 8, 16, 32, 64}}};
    for (const Run& run : runs)
        for (int n : run.ns) {
            ConvTable t = conv_table(n, run.a, run.b);
            double w = (run.b - run.a) / 7, lo = run.a + w, hi = run.b - w;
            for (const Method* m : methods()) {
                SCOPED_TRACE(std::string(m->name) + ", " + std::to_string(n) + " rows on [" +
                             std::to_string(run.a) + ", " + std::to_string(run.b) + "]");
                std::string name = m->name;
                bool ends = name == "not-a-knot" || name == "clamped";
                ref::Spline sp = ends ? ref::Spline(t.xa, t.ya,
                                                    ref::end_d2(t.xa, t.ya, name[0],
                                                                ref::lorentz_deriv(t.xa.front()),
                                                                ref::lorentz_deriv(t.xa.back())))
                                      : ref::Spline(t.xa, t.ya);
                ref::Quad q(t.xa, t.ya);
                ref::Linear li{t.xa, t.ya};
                auto [in, out] =
                    name == "quadratic"
                        ? window_worst(
                              t.xa, [&](int k, double x) { return q.piece(k, x); }, lo, hi)
                    : name == "linear"
                        ? window_worst(
                              t.xa, [&](int k, double x) { return li.piece(k, x); }, lo, hi)
                        : window_worst(
                              t.xa, [&](int k, double x) { return sp.piece(k, x); }, lo, hi);
                ConvStats s = conv_stats(t, *m, run.a, run.b);
                EXPECT_NEAR(s.inner_max, in, 1e-3 * in + 1e-18);
                EXPECT_NEAR(s.ends_max, out, 1e-3 * out + 1e-18);
            }
        }
}
} // namespace
