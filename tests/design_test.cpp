// The design's libraries: the one count search on predicates made up here, the design's
// predicate as a function of the count alone, and one design and count per method checked
// by the plain reference.
#include "even.hpp"
#include "limits.hpp"
#include "numlib.hpp"
#include "reference.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {
// count_search over a predicate of n, with every probe kept.
struct Probed {
    CountBracket c;
    std::vector<long long> probes;
};
template <class F> Probed search(long long start, long long most, F f, long long step = 1) {
    Probed p;
    p.c = count_search(
        start, most,
        [&](long long n) {
            p.probes.push_back(n);
            return f(n);
        },
        step);
    return p;
}

TEST(CountSearch, FindsTheLeastCountOfAMonotonePredicate) {
    for (long long want : {2LL, 3LL, 37LL, 1000LL, 65536LL, 65537LL}) {
        for (long long start : {2LL, 3LL, 36LL, 37LL, 38LL, 5000LL, 1LL << 20}) {
            SCOPED_TRACE(std::to_string(want) + " from " + std::to_string(start));
            Probed p = search(start, max_rows,
                              [&](long long n) { return n >= want ? Count::meets : Count::fails; });
            EXPECT_EQ(p.c.hi, want);
            EXPECT_EQ(p.c.lo, want == 2 ? 1 : want - 1);
            std::set<long long> once(p.probes.begin(), p.probes.end());
            EXPECT_EQ(once.size(), p.probes.size()) << "a count probed twice";
            for (long long n : p.probes)
                EXPECT_TRUE(n >= 2 && n <= max_rows);
        }
    }
}

TEST(CountSearch, StopsAtTheLimitAndWhereNoneBeyondMeets) {
    // Nothing meets: every count up to the limit fails.
    Probed none = search(2, 100, [](long long) { return Count::fails; });
    EXPECT_EQ(none.c.hi, 0);
    EXPECT_EQ(none.c.lo, 100);
    EXPECT_EQ(none.probes.back(), 100);
    // A probe that says none beyond ends the search there, though a larger count would meet.
    Probed stop = search(2, max_rows, [](long long n) {
        return n >= 1000 ? Count::meets : n >= 17 ? Count::none_beyond : Count::fails;
    });
    EXPECT_EQ(stop.c.hi, 0);
    EXPECT_EQ(stop.c.lo, 17);
    // Steps of 1, 2, 4, ... up from 2: 3, 5, 9, 17; of 2, 4, 8, ...: the count doubles.
    EXPECT_EQ(stop.probes, (std::vector<long long>{2, 3, 5, 9, 17}));
    Probed doubling = search(
        2, max_rows, [](long long n) { return n >= 20 ? Count::none_beyond : Count::fails; }, 2);
    EXPECT_EQ(doubling.probes, (std::vector<long long>{2, 4, 8, 16, 32}));
}

TEST(CountSearch, APredicateThatIsNotMonotoneGivesANeighbouringPair) {
    // Meets at 40..49 and from 60 on: the search ends on a failing count next to a meeting one.
    auto f = [](long long n) {
        return (n >= 40 && n < 50) || n >= 60 ? Count::meets : Count::fails;
    };
    for (long long start : {2LL, 45LL, 55LL, 100LL}) {
        Probed p = search(start, max_rows, f);
        EXPECT_EQ(p.c.hi - p.c.lo, 1) << start;
        EXPECT_EQ(f(p.c.hi), Count::meets);
        EXPECT_NE(f(p.c.lo), Count::meets);
    }
}

Request request(const char* method, double tol, double a = 0, double b = 7) {
    return {a, b, tol, method_named(method), Store::f64, 2};
}

// The design's predicate depends on the count and the request alone: asked in another
// order, or by a search of its own, each count gives the same rows.
TEST(DesignSearch, ACountsRowsDoNotDependOnWhatWasProbedBefore) {
    for (const char* m : {"spline", "clamped"}) {
        SCOPED_TRACE(m);
        Request r = request(m, 1e-6);
        DesignSearch up(r), down(r);
        const long long ns[] = {8, 16, 23, 32, 41, 64};
        for (long long n : ns)
            up.meets(n);
        for (auto it = std::rbegin(ns); it != std::rend(ns); ++it)
            down.meets(*it);
        for (long long n : ns) {
            EXPECT_EQ(up.meets(n), down.meets(n)) << n;
            EXPECT_EQ(up.design(n).x, down.design(n).x) << n;
        }
        Design d = design_table(r);
        ASSERT_EQ(d.end, DesignEnd::reached);
        auto rows = static_cast<long long>(d.x.size());
        DesignSearch fresh(r);
        // The design's rows are those of some count that meets, with at most 16 more.
        bool found = false;
        for (long long n = std::max(2LL, rows - 16); n <= rows && !found; ++n)
            found = fresh.meets(n) == Count::meets && fresh.design(n).x == d.x;
        EXPECT_TRUE(found);
    }
}

// Each method's design at 1e-4 keeps its error within it, by the plain reference; its ends
// are the interval's, its rows ascend. The evenly spaced count meets the tolerance too.
TEST(Design, EachMethodMeetsTheToleranceByThePlainReference) {
    for (const Method* m : methods()) {
        SCOPED_TRACE(m->name);
        Request r = request(m->name, 1e-4);
        Design d = design_table(r);
        ASSERT_EQ(d.end, DesignEnd::reached);
        ASSERT_GE(d.x.size(), 4u);
        EXPECT_EQ(d.x.front(), 0.0);
        EXPECT_EQ(d.x.back(), 7.0);
        for (std::size_t i = 1; i < d.x.size(); ++i)
            ASSERT_LT(d.x[i - 1], d.x[i]);
        std::vector<double> y(d.x.size());
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] = ref::lorentz(d.x[i]);
        EXPECT_LE(ref::method_worst(m->name, d.x, y).err, 1e-4);

        EvenCount c = even_rows(r);
        ASSERT_GT(c.rows, 2);
        std::vector<double> ex, ey;
        for (long long i = 0; i < c.rows; ++i) {
            ex.push_back(sample_x(0, 7, c.rows, i));
            ey.push_back(ref::lorentz(ex.back()));
        }
        EXPECT_LE(ref::method_worst(m->name, ex, ey).err, 1e-4);
        EXPECT_NE(c.fewer, Verdict::within);
    }
}

// On an interval so wide that few rows leave the peak between two of them, where the error
// at an interval's sampled points misses it, a design is still found and meets the tolerance.
TEST(Design, AnIntervalFarWiderThanThePeakStillGivesATable) {
    Request r = request("quadratic", 1e-8, -1e20, 1e20);
    Design d = design_table(r);
    ASSERT_EQ(d.end, DesignEnd::reached);
    std::vector<double> y(d.x.size());
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = ref::lorentz(d.x[i]);
    EXPECT_LE(ref::method_worst("quadratic", d.x, y).err, 1e-8);
}
} // namespace
