// The four-point quadratic: the examples with their trace, invariants on random tables.
#include "harness.hpp"
#include "numlib.hpp"
#include "poly/poly.hpp"
#include "shell.hpp"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {
// The padded table of the rows (xs, ys), ghost points set.
struct Padded {
    std::vector<double> xa, ya;
    int n;
};

Padded pad(const std::vector<double>& xs, const std::vector<double>& ys) {
    Padded p{std::vector<double>(xs.size() + 2), std::vector<double>(xs.size() + 2),
             static_cast<int>(xs.size())};
    for (std::size_t i = 0; i < xs.size(); ++i) {
        p.xa[i + 1] = xs[i];
        p.ya[i + 1] = ys[i];
    }
    set_ghosts(p.xa.data(), p.ya.data(), p.n);
    return p;
}

double pick(const Padded& p, double x) {
    return quad_pick(x, p.xa.data(), p.ya.data(), p.n);
}

// The evaluation at x with its trace, as standard output receives it.
std::string traced(const Padded& p, double x, double* v) {
    testing::internal::CaptureStdout();
    *v = quad_traced(locate(x, p.xa.data(), p.n), x, p.xa.data(), p.ya.data(), p.n);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// The parabola through three points at x, in Lagrange form.
double parabola(const double* xs, const double* ys, double x) {
    double s = 0;
    for (int i = 0; i < 3; ++i) {
        double l = ys[i];
        for (int k = 0; k < 3; ++k)
            if (k != i)
                l *= (x - xs[k]) / (xs[i] - xs[k]);
        s += l;
    }
    return s;
}
} // namespace

TEST(Quad, SquaresTable) {
    Padded p = pad({1, 2, 3, 4}, {1, 4, 9, 16});
    EXPECT_EQ(p.xa, (std::vector<double>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(p.ya, (std::vector<double>{1, 1, 4, 9, 16, 16}));
    struct C {
        double x, want;
    };
    const C cs[] = {{2.5, 6.25}, {1.5, 2.1875}, {3.5, 12.8125}, {10, 5.5}, {0, 0.5},
                    {-3, 14},    {1, 1},        {2, 4},         {4, 16}};
    for (C c : cs)
        EXPECT_EQ(pick(p, c.x), c.want) << c.x;
}

TEST(Quad, FourPoints) {
    const double xi[] = {1, 2, 3, 4}, yi[] = {1, 2, 3, 5};
    EXPECT_EQ(quad(xi, yi, 2.5), 2.4375);
}

TEST(Quad, TraceLines) {
    Padded p = pad({1, 2, 3, 4}, {1, 4, 9, 16});
    double v = 0;
    std::string out = traced(p, 2.5, &v);
    EXPECT_EQ(v, 6.25);
    EXPECT_EQ(out, "jb n 2 4 \n"
                   "xa[n],xa[n+1] 4,5 \n"
                   "ya[n],ya[n+1] 16,16 \n"
                   "final jb 1 \n"
                   "xam x xap 2 2.5 5 \n"
                   "poly x= 2.5 \n"
                   "i 0 xa[i+jb] 1 ya[i+jb] 1 \n"
                   "i 1 xa[i+jb] 2 ya[i+jb] 4 \n"
                   "i 2 xa[i+jb] 3 ya[i+jb] 9 \n"
                   "i 3 xa[i+jb] 4 ya[i+jb] 16 \n"
                   "inside quad x=2.5 \n"
                   "i 1 xi 1 yi 1 \n"
                   "i 2 xi 2 yi 4 \n"
                   "i 3 xi 3 yi 9 \n"
                   "i 4 xi 4 yi 16 \n");
}

TEST(Quad, LastIntervalShowsTheRightGhost) {
    Padded p = pad({1, 2, 3, 4}, {1, 4, 9, 16});
    double v = 0;
    std::string out = traced(p, 10, &v);
    EXPECT_NE(out.find("final jb 2 \nxam x xap 3 10 5 \n"), std::string::npos) << out;
    EXPECT_EQ(v, pick(p, 10));
}

// quad_interp on loren.out in the current folder: traced only while trace_flag is 1.
TEST(Quad, OnlyTraceFlagOneTraces) {
    TempDir d;
    write_file(d.path / "loren.out", "1 1\n2 4\n3 9\n4 16\n");
    fs::path back = fs::current_path();
    fs::current_path(d.path);
    Console c;
    quad_console = &c;
    const int flags[] = {0, 2, 1};
    std::string outs[3];
    for (int k = 0; k < 3; ++k) {
        trace_flag = flags[k];
        testing::internal::CaptureStdout();
        EXPECT_EQ(quad_interp(2.5), 6.25);
        std::fflush(stdout);
        outs[k] = testing::internal::GetCapturedStdout();
    }
    trace_flag = 0;
    fs::current_path(back);
    EXPECT_EQ(outs[0], "");
    EXPECT_EQ(outs[1], "");
    EXPECT_EQ(outs[2].rfind("jb n 2 4 \n", 0), 0u) << outs[2];
}

TEST(Quad, InvariantsOnRandomTables) {
    std::mt19937_64 g(11);
    std::uniform_real_distribution<double> step(0.1, 1.5), val(-3, 3);
    for (int n = 2; n <= 40; ++n) {
        std::vector<double> xs(n), ys(n);
        double x = val(g);
        for (int i = 0; i < n; ++i, x += step(g)) {
            xs[i] = x;
            ys[i] = val(g);
        }
        Padded p = pad(xs, ys);
        // Every table point is hit.
        for (int k = 1; k <= n; ++k)
            ASSERT_NEAR(pick(p, p.xa[k]), p.ya[k], 1e-12 * (1 + std::fabs(p.ya[k])))
                << "n=" << n << " k=" << k;
        // A sampled quadratic is reproduced between the inner points.
        std::vector<double> q(n);
        for (int i = 0; i < n; ++i)
            q[i] = 0.5 * xs[i] * xs[i] - xs[i] + 2;
        Padded pq = pad(xs, q);
        for (int k = 2; k + 1 < n; ++k) {
            double t = 0.5 * (xs[k - 1] + xs[k]);
            ASSERT_NEAR(pick(pq, t), 0.5 * t * t - t + 2, 1e-10 * (1 + t * t)) << n << " " << k;
        }
    }
}

TEST(Quad, EvenSpacingAveragesTheTwoParabolas) {
    std::mt19937_64 g(13);
    std::uniform_real_distribution<double> val(-3, 3);
    for (int iter = 0; iter < 200; ++iter) {
        double x0 = val(g), h = 0.25;
        double xs[4] = {x0, x0 + h, x0 + 2 * h, x0 + 3 * h};
        double ys[4] = {val(g), val(g), val(g), val(g)};
        double x = xs[1] + h * (g() % 1000) / 1000.0;
        double want = 0.5 * (parabola(xs, ys, x) + parabola(xs + 1, ys + 1, x));
        ASSERT_NEAR(quad(xs, ys, x), want, 1e-11);
    }
}
