// The bracketing search, the reference function, the power and the error grid; the jobs
// shared out over threads.
#include "jobs.hpp"
#include "numlib.hpp"

#include <atomic>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {
// The plain reference: the largest index whose entry is strictly below x, by a scan.
int scan(double x, const std::vector<double>& xa) {
    int j = -1;
    for (int i = 0; i < static_cast<int>(xa.size()); ++i)
        if (xa[i] < x)
            j = i;
    return j;
}
} // namespace

TEST(Locate, Boundaries) {
    const std::vector<double> xa = {1, 2, 2, 2, 5};
    struct C {
        double x;
        int n;
        int want;
    };
    const C cs[] = {
        {3, 0, -1}, {3, -4, -1}, {0, 1, -1},   {1, 1, -1},       {1.5, 1, 0},
        {1, 5, -1}, {0, 5, -1},  {1.5, 5, 0},  {2, 5, 0},        {2.5, 5, 3},
        {5, 5, 3},  {6, 5, 4},   {NAN, 5, -1}, {INFINITY, 5, 4}, {-INFINITY, 5, -1},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(testing::Message() << "x=" << c.x << " n=" << c.n);
        EXPECT_EQ(locate(c.x, xa.data(), c.n), c.want);
    }
    EXPECT_EQ(locate(3.0, nullptr, 0), -1); // n = 0 reads nothing
}

TEST(Locate, AgreesWithAScanOnRandomTables) {
    std::mt19937 g(5);
    for (int n = 1; n < 60; ++n) {
        std::vector<double> xa(n);
        for (int i = 0; i < n; ++i)
            xa[i] = static_cast<double>(g() % 20); // repeated entries are common
        std::sort(xa.begin(), xa.end());
        for (double x = -1; x <= 21; x += 0.5)
            ASSERT_EQ(locate(x, xa.data(), n), scan(x, xa)) << "n=" << n << " x=" << x;
    }
}

// The walk from a hint is locate itself on non-decreasing tables, equal neighbours
// included: every point of a few tables (the nodes, between them, beyond both ends, the
// infinities and NaN), from every hint (out of range ones too).
TEST(Locate, NearIsLocateFromEveryHint) {
    const std::vector<std::vector<double>> tables = {
        {}, {2}, {1, 2, 2, 2, 5}, {0, 0, 0}, {-3, -1, 0, 0.5, 0.5, 7, 8, 8}, {1, 1e300}};
    for (const std::vector<double>& xa : tables) {
        int n = static_cast<int>(xa.size());
        std::vector<double> xs = {NAN, INFINITY, -INFINITY, -1e308};
        for (double v : xa)
            for (double d : {-0.25, 0.0, 0.25})
                xs.push_back(v + d);
        for (double x : xs)
            for (int hint = -3; hint <= n + 2; ++hint)
                ASSERT_EQ(locate_near(x, xa.data(), n, hint), locate(x, xa.data(), n))
                    << "n=" << n << " x=" << x << " hint=" << hint;
    }
}

TEST(Lorentz, KnownValues) {
    EXPECT_EQ(lorentz(3.47), 1.0);
    EXPECT_NEAR(lorentz(1.0), 0.0505618, 5e-8);
    EXPECT_NEAR(lorentz_deriv(1.0), 0.0388707, 5e-8);
    EXPECT_EQ(lorentz(INFINITY), 0.0);
    EXPECT_EQ(lorentz(-INFINITY), 0.0);
    EXPECT_TRUE(std::isnan(lorentz(NAN)));
    EXPECT_EQ(lorentz_deriv(3.47), 0.0);
    EXPECT_TRUE(std::signbit(lorentz_deriv(3.47)));
    EXPECT_GT(lorentz_deriv(3.0), 0.0);
    EXPECT_LT(lorentz_deriv(4.0), 0.0);
    // Exact order of operations.
    double t = (2.0 - 3.47) / 0.57;
    double l = 1.0 / (t * t + 1.0);
    EXPECT_EQ(lorentz(2.0), l);
    EXPECT_EQ(lorentz_deriv(2.0), ((((-l) * l) * 2.0) * t) / 0.57);
}

TEST(Ipow, KnownValues) {
    EXPECT_EQ(ipow(2.0, 10), 1024.0);
    EXPECT_EQ(ipow(-0.2, 3), ((-0.2) * (-0.2)) * (-0.2));
    EXPECT_LT(ipow(-0.2, 3), 0.0);
    for (int n : {1, 0, -2})
        EXPECT_EQ(ipow(1.5, n), 1.5);
}

TEST(Grid, PointsAndOrder) {
    EXPECT_EQ(grid_x(0), -1000.0);
    EXPECT_EQ(grid_x(498), -ipow(2 * 0.02 + 0.0, 3));
    EXPECT_EQ(grid_x(499), 0.0);
    EXPECT_FALSE(std::signbit(grid_x(499)));
    EXPECT_EQ(grid_x(500), ipow(0.02, 3));
    EXPECT_EQ(grid_x(998), ipow(499 * 0.02 + 0.0, 3));
    for (int k = 1; k < grid_size; ++k)
        ASSERT_LT(grid_x(k - 1), grid_x(k)) << k;
}

// A job that runs short of memory on a helper thread runs again on the caller's, with every
// job not done: all results are there. Another exception is the caller's, and so is a
// shortage with one thread.
TEST(Jobs, MemoryShortWithThreadsRunsTheRestOnTheCaller) {
    std::thread::id caller = std::this_thread::get_id();
    std::vector<long long> out(64, -1);
    std::atomic<bool> thrown{false};
    run_jobs(out.size(), 4, [&](std::size_t k) {
        // The caller's jobs take a while, so that the helpers take some; the first a helper
        // takes finds no memory.
        if (std::this_thread::get_id() == caller)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        else if (!thrown.exchange(true))
            throw std::bad_alloc();
        out[k] = static_cast<long long>(k * k);
    });
    EXPECT_TRUE(thrown);
    for (std::size_t k = 0; k < out.size(); ++k)
        EXPECT_EQ(out[k], static_cast<long long>(k * k)) << k;
    EXPECT_THROW(run_jobs(8, 4,
                          [](std::size_t k) {
                              if (k == 5)
                                  throw std::runtime_error("no");
                          }),
                 std::runtime_error);
    EXPECT_THROW(run_jobs(8, 1, [](std::size_t) { throw std::bad_alloc(); }), std::bad_alloc);
}
