// The dense engine: its values are those of the programs' own routines at every point, on
// ascending, uneven and unordered tables; its peaks, counts, ranges and early stop.
#include "dense.hpp"
#include "numlib.hpp"
#include "poly/quad.hpp"
#include "spline.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
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

// Every point of the walk, with its value.
struct Seen {
    std::vector<double> x, p;
};
void keep(double x, double p, void* c) {
    static_cast<Seen*>(c)->x.push_back(x);
    static_cast<Seen*>(c)->p.push_back(p);
}
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
        for (Method m : {Method::spline, Method::quadratic}) {
            DenseTable t = dense_prepare(tb.xa.data(), tb.ya.data(), n, m);
            Seen s;
            dense_walk(t, 0, n, keep, &s);
            ASSERT_EQ(s.x.size(), static_cast<std::size_t>(64 * (n - 1) + 1));
            EXPECT_EQ(s.x.front(), tb.xa.front());
            EXPECT_EQ(s.x.back(), tb.xa.back());
            for (std::size_t i = 0; i < s.x.size(); ++i) {
                double x = s.x[i];
                double want = m == Method::spline
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
    ya[5] = NAN; // the errors of the intervals beside row 5 are not finite
    DenseTable t = dense_prepare(xa.data(), ya.data(), 12, Method::quadratic);
    // The reference: every point's error, from the walk, taken in order.
    Seen s;
    dense_walk(t, 0, 12, keep, &s);
    Peak want;
    long long bad = 0;
    for (std::size_t i = 0; i < s.x.size(); ++i) {
        double e = std::fabs(s.p[i] - lorentz(s.x[i]));
        if (!std::isfinite(e))
            ++bad;
        else if (e > want.err)
            want = {e, s.x[i]};
    }
    ASSERT_GT(bad, 0);
    DenseOpts o;
    o.per_interval = true;
    DenseErrors r = dense_errors(t, o);
    EXPECT_EQ(r.points, static_cast<long long>(s.x.size()));
    EXPECT_EQ(r.not_finite, bad);
    EXPECT_EQ(r.all.err, want.err);
    EXPECT_EQ(r.all.x, want.x);
    ASSERT_EQ(r.interval.size(), 12u);
    EXPECT_EQ(r.interval[11].x, 7.0); // the last point alone
    EXPECT_FALSE(r.stopped);
    // A range of intervals: its points only.
    DenseErrors mid = dense_errors(t, {2, 4});
    EXPECT_EQ(mid.points, 128);
    EXPECT_EQ(mid.all.err, std::max(r.interval[2].err, r.interval[3].err));
    // Early stop: at the first error above the threshold, which is not below it.
    DenseErrors stop = dense_errors(t, {0, -1, want.err / 2});
    EXPECT_TRUE(stop.stopped);
    EXPECT_GT(stop.all.err, want.err / 2);
    EXPECT_LT(stop.points, r.points);
}

// Any thread count gives the one-thread result: peaks (first x on a tie), counts, the
// intervals' peaks, and where an early stop falls.
TEST(Dense, ThreadsGiveTheOneThreadResult) {
    std::vector<double> xa, ya;
    for (int i = 0; i < 3001; ++i) {
        xa.push_back(sample_x(0, 7, 3001, i));
        ya.push_back(lorentz(xa.back()));
    }
    ya[1200] = NAN;
    ya[2000] += 1e-3; // a bump: one early stop falls there
    for (Method m : {Method::spline, Method::quadratic}) {
        DenseTable t = dense_prepare(xa.data(), ya.data(), 3001, m);
        for (double stop : {HUGE_VAL, 1e-4}) {
            DenseOpts o;
            o.per_interval = true;
            o.stop_above = stop;
            DenseErrors one = dense_errors(t, o);
            for (int threads : {2, 3, 7}) {
                SCOPED_TRACE(threads);
                o.threads = threads;
                DenseErrors r = dense_errors(t, o);
                EXPECT_EQ(r.all.err, one.all.err);
                EXPECT_EQ(r.all.x, one.all.x);
                EXPECT_EQ(r.points, one.points);
                EXPECT_EQ(r.not_finite, one.not_finite);
                EXPECT_EQ(r.nans, one.nans);
                EXPECT_EQ(r.stopped, one.stopped);
                ASSERT_EQ(r.interval.size(), one.interval.size());
                for (std::size_t k = 0; k < r.interval.size(); ++k)
                    ASSERT_EQ(r.interval[k].x, one.interval[k].x) << k;
            }
        }
    }
}
