// The dense engine: its values are those of the programs' own routines at every point, on
// ascending, uneven and unordered tables; its peaks, counts, ranges, reductions and early stop.
#include "bound.hpp"
#include "dense.hpp"
#include "numlib.hpp"
#include "poly/quad.hpp"
#include "reference.hpp"
#include "spline.hpp"
#include "within.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {
struct Table {
    const char* name;
    std::vector<double> xa, ya;
};

std::vector<Table> tables() {
    std::vector<Table> r;
    Table even{"lorgen's 9 on [0, 7]", {}, {}};
    for (int i = 0; i < 9; ++i) {
        even.xa.push_back(sample_x(0, 7, 9, i));
        even.ya.push_back(lorentz(even.xa.back()));
    }
    r.push_back(even);
    std::mt19937_64 g(5);
    std::uniform_real_distribution<double> step(0.01, 0.9), val(-2, 2);
    Table uneven{"uneven, ascending", {}, {}};
    double x = -1;
    for (int i = 0; i < 40; ++i, x += step(g)) {
        uneven.xa.push_back(x);
        uneven.ya.push_back(val(g));
    }
    r.push_back(uneven);
    r.push_back({"a repeated abscissa", {0, 1, 1, 2, 3}, {0, 1, 2, 1, 0}});
    r.push_back({"not ascending", {3, 1, 4, 1.5, 9, 2.6, 5}, {1, 2, 3, 4, 5, 6, 7}});
    r.push_back({"descending", {5, 4, 3, 2, 1}, {0, 1, 0, 1, 0}});
    return r;
}

// Every point of the engine, in order, with the method's value there: 64 an interval at
// xa[k] + ((xa[k+1] - xa[k]) * j) / 64.0, then the last abscissa.
struct Seen {
    std::vector<double> x, p;
};
Seen walk(const DenseTable& t) {
    Seen s;
    for (int k = 0; k < t.n; ++k)
        for (int j = 0; j < (k + 1 < t.n ? 64 : 1); ++j) {
            double x = k + 1 < t.n ? t.xa[k] + ((t.xa[k + 1] - t.xa[k]) * j) / 64.0 : t.xa[k];
            s.x.push_back(x);
            s.p.push_back(dense_value(t, k, x));
        }
    return s;
}

const Method& spline_m = *method_named("spline");
const Method& quadratic_m = *method_named("quadratic");
} // namespace

TEST(Dense, ValuesAreThoseOfTheProgramsRoutines) {
    for (const Table& tb : tables()) {
        SCOPED_TRACE(tb.name);
        int n = static_cast<int>(tb.xa.size());
        // The programs' arrays, made here: the spline's second derivatives and the padded
        // table with the ghost points.
        std::vector<double> d2(tb.xa.size(), 0.0), pxa(tb.xa.size() + 2), pya(tb.xa.size() + 2);
        spline_coeffs(tb.xa.data(), tb.ya.data(), d2.data(), n);
        for (int i = 0; i < n; ++i) {
            pxa[i + 1] = tb.xa[i];
            pya[i + 1] = tb.ya[i];
        }
        set_ghosts(pxa.data(), pya.data(), n);
        for (const Method* m : {&spline_m, &quadratic_m}) {
            DenseTable t = dense_prepare(tb.xa.data(), tb.ya.data(), n, *m);
            Seen s = walk(t);
            ASSERT_EQ(s.x.size(), static_cast<std::size_t>(64 * (n - 1) + 1));
            EXPECT_EQ(s.x.front(), tb.xa.front());
            EXPECT_EQ(s.x.back(), tb.xa.back());
            for (std::size_t i = 0; i < s.x.size(); ++i) {
                double x = s.x[i];
                double want = m == &spline_m
                                  ? spline_eval(tb.xa.data(), tb.ya.data(), d2.data(), n, x)
                                  : quad_pick(x, pxa.data(), pya.data(), n);
                // Equal bits, NaN included.
                ASSERT_TRUE(s.p[i] == want || (std::isnan(s.p[i]) && std::isnan(want)))
                    << "point " << i << " x " << x << ": " << s.p[i] << " vs " << want;
            }
        }
    }
}

TEST(Dense, PeaksCountsRangesAndStop) {
    std::vector<double> xa, ya;
    for (int i = 0; i < 12; ++i) {
        xa.push_back(sample_x(0, 7, 12, i));
        ya.push_back(lorentz(xa.back()));
    }
    ya[5] = NAN;   // the errors of the intervals beside row 5 are not finite
    ya[8] = 1e308; // ... and infinite at some points beside rows 8 and 9
    ya[9] = -1e308;
    DenseTable t = dense_prepare(xa.data(), ya.data(), 12, quadratic_m);
    // The reference: every point's error, taken in order; 10 columns across [1, 6], the
    // window [2, 5].
    Seen s = walk(t);
    Peak want, col[10], in, out;
    long long bad = 0, infs_in = 0, infs_out = 0;
    double inf_x = NAN;
    for (std::size_t i = 0; i < s.x.size(); ++i) {
        double x = s.x[i], e = std::fabs(s.p[i] - lorentz(x));
        bool inside = x >= 2 && x <= 5;
        if (std::isinf(e)) {
            inf_x = std::isnan(inf_x) ? x : inf_x;
            ++(inside ? infs_in : infs_out);
        }
        if (!std::isfinite(e)) {
            ++bad;
            continue;
        }
        auto take = [&](Peak& p) { p = e > p.err ? Peak{e, x} : p; };
        take(want);
        take(inside ? in : out);
        if (x >= 1 && x <= 6)
            take(col[std::min(9, static_cast<int>((x - 1) * 2))]);
    }
    ASSERT_GT(infs_in + infs_out, 0);
    ASSERT_GT(bad, infs_in + infs_out);
    Peaks r =
        dense_sample(t, {.per_interval = true, .columns = {10, 1, 6}, .window = {true, 2, 5}});
    ASSERT_EQ(r.column.size(), 10u);
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(r.column[c].err, col[c].err) << c;
        EXPECT_EQ(r.column[c].x, col[c].x) << c;
    }
    EXPECT_EQ(r.inside.x, in.x);
    EXPECT_EQ(r.outside.x, out.x);
    EXPECT_EQ(r.inside_infs, infs_in);
    EXPECT_EQ(r.outside_infs, infs_out);
    EXPECT_EQ(r.inf_x, inf_x);
    EXPECT_EQ(r.points, static_cast<long long>(s.x.size()));
    EXPECT_EQ(r.not_finite, bad);
    EXPECT_EQ(r.all.err, want.err);
    EXPECT_EQ(r.all.x, want.x);
    ASSERT_EQ(r.interval.size(), 12u);
    EXPECT_EQ(r.interval[11].x, 7.0); // the last point alone
    EXPECT_FALSE(r.stopped);
    // A range of intervals: its points only.
    Peaks mid = dense_sample(t, {.span = {2, 4}});
    EXPECT_EQ(mid.points, 128);
    EXPECT_EQ(mid.all.err, std::max(r.interval[2].err, r.interval[3].err));
    // Early stop: at the first error above the threshold, which is not below it.
    Peaks stop = dense_sample(t, {.tol = want.err / 2});
    EXPECT_TRUE(stop.stopped);
    EXPECT_GT(stop.all.err, want.err / 2);
    EXPECT_LT(stop.points, r.points);
}

// Any thread count gives the one-thread result to every question: peaks (first x on a
// tie), counts, the intervals' peaks and bounds, the bounds, and where an early stop falls.
void expect_same(const Peaks& r, const Peaks& one) {
    EXPECT_EQ(r.all.err, one.all.err);
    EXPECT_EQ(r.all.x, one.all.x);
    EXPECT_EQ(r.points, one.points);
    EXPECT_EQ(r.not_finite, one.not_finite);
    EXPECT_EQ(r.nans, one.nans);
    EXPECT_EQ(r.stopped, one.stopped);
    ASSERT_EQ(r.interval.size(), one.interval.size());
    for (std::size_t k = 0; k < r.interval.size(); ++k)
        ASSERT_EQ(r.interval[k].x, one.interval[k].x) << k;
    for (std::size_t c = 0; c < r.column.size(); ++c)
        ASSERT_EQ(r.column[c].x, one.column[c].x) << c;
    EXPECT_EQ(r.inside.x, one.inside.x);
    EXPECT_EQ(r.outside.x, one.outside.x);
}

bool same_bits(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

TEST(Dense, ThreadsGiveTheOneThreadResult) {
    std::vector<double> xa, ya;
    for (int i = 0; i < 3001; ++i) {
        xa.push_back(sample_x(0, 7, 3001, i));
        ya.push_back(lorentz(xa.back()));
    }
    ya[1200] = NAN;
    ya[2000] += 1e-3; // a bump: one early stop falls there
    Columns cols{97, 0.5, 6};
    Window win{true, 1, 6};
    for (const Method* m : methods()) {
        SCOPED_TRACE(m->name);
        DenseTable t = dense_prepare(xa.data(), ya.data(), 3001, *m);
        auto ask = [&](int threads) {
            Span s{0, -1, threads};
            return std::tuple{
                dense_sample(t, {.span = s, .per_interval = true, .columns = cols, .window = win}),
                dense_sample(t, {.span = s, .tol = 1e-4, .per_interval = true}),
                dense_largest(t, {.span = s, .columns = cols, .window = win}),
                dense_within(t, 0, -1, 1e-4, threads),
                dense_intervals(t, {.span = s, .what = PerInterval::against_tol, .tol = 1e-4})};
        };
        auto [sampled, stopped, largest, within, per] = ask(1);
        EXPECT_EQ(stopped.stopped, m->local); // a NaN row makes every spline value NaN
        for (int threads : {2, 3, 7}) {
            SCOPED_TRACE(threads);
            auto [s2, st2, l2, w2, p2] = ask(threads);
            expect_same(s2, sampled);
            expect_same(st2, stopped);
            expect_same(l2.peaks, largest.peaks);
            for (auto [a, b] : {std::pair{l2.bound, largest.bound},
                                {l2.inside_bound, largest.inside_bound},
                                {l2.outside_bound, largest.outside_bound}})
                EXPECT_TRUE(same_bits(a, b)) << a << " " << b;
            EXPECT_EQ(w2.verdict, within.verdict);
            EXPECT_EQ(w2.largest.x, within.largest.x);
            EXPECT_TRUE(same_bits(w2.bound, within.bound));
            ASSERT_EQ(p2.size(), per.size());
            for (std::size_t k = 0; k < per.size(); ++k)
                ASSERT_TRUE(same_bits(p2[k], per[k])) << k;
        }
    }
}

// The proven largest error is the true one, worked out the hard way (4,096 points an interval
// and golden section, ref::brute_worst), to 0.1% or the rounding allowance; the bound is never
// below it and at most 1% above plus the allowance. Wide tables, whose 64 points an interval
// step over the peak, and uneven ones, among them rows placed as a quadratic design places
// them (the quadratic peaks between the engine's points there).
TEST(Dense, ProvenLargestIsTheTrueOne) {
    std::vector<std::vector<double>> xs;
    for (auto [n, a, b] : {std::tuple{4, -1000.0, 1000.0},
                           {8, -1000.0, 1000.0},
                           {5, -100.0, 100.0},
                           {8, 0.0, 7.0},
                           {1000, 0.0, 7.0}}) {
        std::vector<double> x(static_cast<std::size_t>(n)), y(x.size());
        sample_table(a, b, n, x.data(), y.data());
        xs.push_back(x);
    }
    // Rows denser where the quadratic's error is: spacing ~ (0.57 + |x - 3.47|)^(3/4).
    std::vector<double> design{0};
    while (design.back() < 7)
        design.push_back(std::min(
            7.0, design.back() + 0.004 * std::pow(0.57 + std::fabs(design.back() - 3.47), 0.75)));
    xs.push_back(design);
    for (const std::vector<double>& x : xs) {
        std::vector<double> y;
        for (double v : x)
            y.push_back(ref::lorentz(v));
        ref::Spline sp(x, y);
        ref::Quad q(x, y);
        ref::Worst want[2] = {ref::brute_worst(x, [&](int k, double v) { return sp.piece(k, v); }),
                              ref::brute_worst(x, [&](int k, double v) { return q.piece(k, v); })};
        for (std::size_t k = 0; k < 2; ++k) {
            const Method& m = *methods()[k];
            SCOPED_TRACE(std::to_string(x.size()) + " rows to " + std::to_string(x.back()) + ", " +
                         m.name);
            DenseTable t = dense_prepare(x.data(), y.data(), static_cast<int>(x.size()), m);
            Largest r = dense_largest(t, {});
            double e = want[k].err, got = r.peaks.all.err;
            EXPECT_NEAR(got, e, 1e-3 * e + r.allowance);
            EXPECT_GE(r.bound, e);
            EXPECT_GE(r.bound, got);
            EXPECT_LE(r.bound, 1.01 * got + r.allowance);
        }
    }
}

// The not-a-knot and clamped splines' second derivatives are those of their systems solved the
// plain way, on uneven tables of 2 to 40 rows; with 4 rows the not-a-knot spline is the cubic
// through them, with 2 the clamped one has the end slopes asked for.
TEST(Dense, OtherEndConditions) {
    std::mt19937_64 g(11);
    std::uniform_real_distribution<double> step(0.05, 1.5), val(-1, 1);
    for (int n : {2, 3, 4, 5, 9, 40}) {
        std::vector<double> x{-0.5 * n}, y;
        while (x.size() < static_cast<std::size_t>(n))
            x.push_back(x.back() + step(g));
        for (double v : x)
            y.push_back(lorentz(v) + val(g));
        for (const char* name : {"not-a-knot", "clamped"}) {
            SCOPED_TRACE(std::string(name) + ", " + std::to_string(n) + " rows");
            const Method& m = *method_named(name);
            DenseTable t = dense_prepare(x.data(), y.data(), n, m);
            const std::vector<double>& d2 = t.own[static_cast<std::size_t>(m.ships[0].array)];
            std::vector<double> want =
                ref::end_d2(x, y, name[0], lorentz_deriv(x.front()), lorentz_deriv(x.back()));
            double scale = 0;
            for (double v : want)
                scale = std::max(scale, std::fabs(v));
            for (std::size_t i = 0; i < want.size(); ++i)
                EXPECT_NEAR(d2[i], want[i], 1e-12 * scale + 1e-300) << i;
            if (n == 4 && name[0] == 'n') { // the cubic through four rows, at their middles
                for (int k = 0; k < 3; ++k) {
                    double v = 0.5 * (x[k] + x[k + 1]), p = 0;
                    for (int i = 0; i < 4; ++i) {
                        double l = y[i];
                        for (int j = 0; j < 4; ++j)
                            l *= j == i ? 1 : (v - x[j]) / (x[i] - x[j]);
                        p += l;
                    }
                    EXPECT_NEAR(dense_value(t, k, v), p, 1e-12);
                }
            }
            if (n == 2 && name[0] == 'c') { // the Hermite piece: its slopes at the ends
                double h = x[1] - x[0], d = (y[1] - y[0]) / h;
                EXPECT_NEAR(d - h * (2 * d2[0] + d2[1]) / 6, lorentz_deriv(x[0]), 1e-12);
                EXPECT_NEAR(d + h * (d2[0] + 2 * d2[1]) / 6, lorentz_deriv(x[1]), 1e-12);
            }
        }
    }
}

// In float32 arithmetic every value is the float32 evaluation of the shipped numbers (a plain
// one written here), the second derivatives are shipped as float32, and the jet's allowance
// holds: the float32 value is within it of the exact piece (in long double) at float32 points
// of every interval, next to 0 and away from it, and of rows of both signs.
TEST(Dense, Float32EvaluatorAndItsAllowance) {
    auto f32 = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    for (auto [a, b] : {std::pair{0.0, 7.0}, std::pair{-10.0, 10.0}, std::pair{3.0, 3.9}}) {
        std::vector<double> x, y;
        for (int i = 0; i < 30; ++i) {
            x.push_back(f32(sample_x(a, b, 30, i)));
            y.push_back(f32(lorentz(x.back())));
        }
        for (const Method* m : methods()) {
            SCOPED_TRACE(std::string(m->name) + " from " + std::to_string(a));
            DenseTable t = dense_prepare(x.data(), y.data(), 30, *m, 1, true);
            bool quad = m->name == std::string("quadratic"), lin = m->name == std::string("linear");
            std::vector<double> d2 = m->ships.empty() ? std::vector<double>(30, 0.0) : t.own[0];
            for (double v : d2)
                ASSERT_EQ(v, f32(v));
            ref::Spline sp(x, y, d2);
            ref::Quad q(x, y);
            ref::Linear li{x, y};
            for (int k = 0; k < 29; ++k)
                for (int j = 1; j <= 100; ++j) {
                    auto v = static_cast<float>(x[k] + (x[k + 1] - x[k]) * j / 100);
                    float want = quad  ? q.piece<float>(k, v)
                                 : lin ? li.piece(k, v)
                                       : sp.piece(k, v);
                    ASSERT_EQ(dense_value(t, k, v), want) << k << " " << j;
                    // The exact piece: the cubic of the shipped numbers, the parabola of the
                    // float32 coefficients.
                    long double exact = quad  ? q.piece<float, long double>(k, v)
                                        : lin ? li.piece<long double>(k, v)
                                              : sp.piece<long double>(k, v);
                    Jet jt = m->jet(t, k, v);
                    ASSERT_LE(std::fabs(static_cast<long double>(jt.p) - exact), jt.ap) << k;
                }
        }
    }
}
