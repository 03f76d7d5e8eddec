// The natural cubic spline: worked examples, invariants on random tables, and the second
// derivatives checked against the natural-spline system solved another way.
#include "spline.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {
std::vector<double> coeffs(const std::vector<double>& xa, const std::vector<double>& ya) {
    std::vector<double> d2(xa.size(), 0.0);
    EXPECT_TRUE(spline_coeffs(xa.data(), ya.data(), d2.data(), static_cast<int>(xa.size())));
    return d2;
}

// Strictly ascending abscissae with uneven spacing, and random ordinates.
void random_table(std::mt19937_64& g, int n, std::vector<double>& xa, std::vector<double>& ya) {
    std::uniform_real_distribution<double> step(0.05, 2.0), val(-5, 5);
    xa.assign(n, 0.0);
    ya.assign(n, 0.0);
    double x = val(g);
    for (int i = 0; i < n; ++i) {
        xa[i] = x;
        ya[i] = val(g);
        x += step(g);
    }
}

// The natural-spline system  h[i-1] M[i-1] + 2 (h[i-1] + h[i]) M[i] + h[i] M[i+1] =
// 6 (slope[i] - slope[i-1]),  M[0] = M[n-1] = 0,  solved by dense Gaussian elimination with
// partial pivoting (long double), independent of the sweep under test.
std::vector<double> reference_d2(const std::vector<double>& xa, const std::vector<double>& ya) {
    int n = static_cast<int>(xa.size());
    int m = n - 2;
    std::vector<double> out(n, 0.0);
    if (m <= 0)
        return out;
    std::vector<std::vector<long double>> a(m, std::vector<long double>(m + 1, 0.0L));
    for (int r = 0; r < m; ++r) {
        int i = r + 1;
        long double h0 = xa[i] - xa[i - 1], h1 = xa[i + 1] - xa[i];
        if (r > 0)
            a[r][r - 1] = h0;
        a[r][r] = 2 * (h0 + h1);
        if (r + 1 < m)
            a[r][r + 1] = h1;
        a[r][m] = 6 * ((ya[i + 1] - ya[i]) / h1 - (ya[i] - ya[i - 1]) / h0);
    }
    for (int c = 0; c < m; ++c) {
        int p = c;
        for (int r = c + 1; r < m; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c]))
                p = r;
        std::swap(a[c], a[p]);
        for (int r = c + 1; r < m; ++r) {
            long double f = a[r][c] / a[c][c];
            for (int k = c; k <= m; ++k)
                a[r][k] -= f * a[c][k];
        }
    }
    for (int r = m - 1; r >= 0; --r) {
        long double s = a[r][m];
        for (int k = r + 1; k < m; ++k)
            s -= a[r][k] * out[k + 1];
        out[r + 1] = static_cast<double>(s / a[r][r]);
    }
    return out;
}
} // namespace

TEST(Spline, WorkedExamples) {
    std::vector<double> xa = {0, 1, 2}, ya = {0, 1, 0};
    auto d2 = coeffs(xa, ya);
    EXPECT_EQ(d2, (std::vector<double>{0, -3, 0}));
    struct P {
        double x, want;
    };
    for (P p : {P{0.5, 0.6875}, P{1.5, 0.6875}, P{1, 1}, P{-1, -1}, P{3, -1}})
        EXPECT_EQ(spline_eval(xa.data(), ya.data(), d2.data(), 3, p.x), p.want) << p.x;

    std::vector<double> xb = {0, 1, 2, 3}, yb = {0, 1, 8, 27};
    auto d2b = coeffs(xb, yb);
    EXPECT_DOUBLE_EQ(d2b[1], 4.8);
    EXPECT_DOUBLE_EQ(d2b[2], 16.8);
    EXPECT_EQ(d2b[0], 0.0);
    EXPECT_EQ(d2b[3], 0.0);
    for (P p : {P{0.5, 0.2}, P{2.5, 16.45}, P{4, 46}})
        EXPECT_NEAR(spline_eval(xb.data(), yb.data(), d2b.data(), 4, p.x), p.want, 1e-13) << p.x;
}

TEST(Spline, TwoPointsAndEqualAbscissae) {
    std::vector<double> xa = {1, 3}, ya = {2, 6};
    auto d2 = coeffs(xa, ya);
    EXPECT_EQ(d2, (std::vector<double>{0, 0}));
    EXPECT_EQ(spline_eval(xa.data(), ya.data(), d2.data(), 2, 5), 10.0);
    EXPECT_EQ(spline_eval(xa.data(), ya.data(), d2.data(), 2, 0), 0.0);

    // Equal abscissae: the clamped interval of zero width gives the mean of its ordinates.
    std::vector<double> xe = {2, 2}, ye = {1, 4}, d2e = {0, 0};
    for (double x : {-5.0, 2.0, 9.0})
        EXPECT_EQ(spline_eval(xe.data(), ye.data(), d2e.data(), 2, x), 2.5);
    std::vector<double> xl = {0, 1, 3, 3}, yl = {0, 1, 2, 6};
    auto d2l = coeffs(xl, yl);
    EXPECT_EQ(spline_eval(xl.data(), yl.data(), d2l.data(), 4, 7.0), 4.0);
}

TEST(Spline, InvariantsOnRandomTables) {
    std::mt19937_64 g(2024);
    for (int n = 2; n <= 60; ++n) {
        std::vector<double> xa, ya;
        random_table(g, n, xa, ya);
        auto d2 = coeffs(xa, ya);
        EXPECT_EQ(d2[0], 0.0);
        EXPECT_EQ(d2[n - 1], 0.0);
        // Through every table point.
        for (int k = 0; k < n; ++k) {
            double v = spline_eval(xa.data(), ya.data(), d2.data(), n, xa[k]);
            ASSERT_NEAR(v, ya[k], 1e-13 * (1 + std::fabs(ya[k]))) << "n=" << n << " k=" << k;
        }
        // The same second derivatives as the system solved by elimination.
        auto ref = reference_d2(xa, ya);
        for (int k = 0; k < n; ++k)
            ASSERT_NEAR(d2[k], ref[k], 1e-9 * (1 + std::fabs(ref[k]))) << "n=" << n << " k=" << k;
        // Extrapolation uses the end pieces: a cubic in x there, continued from the table.
        double left = xa[0] - 1.0, right = xa[n - 1] + 1.0;
        double h0 = xa[1] - xa[0];
        double a = (xa[1] - left) / h0, b = (left - xa[0]) / h0;
        double want = a * ya[0] + b * ya[1] + (b * b * b - b) * h0 * h0 / 6.0 * d2[1];
        EXPECT_NEAR(spline_eval(xa.data(), ya.data(), d2.data(), n, left), want,
                    1e-9 * (1 + std::fabs(want)));
        double h1 = xa[n - 1] - xa[n - 2];
        a = (xa[n - 1] - right) / h1;
        b = (right - xa[n - 2]) / h1;
        want = a * ya[n - 2] + b * ya[n - 1] + (a * a * a - a) * h1 * h1 / 6.0 * d2[n - 2];
        EXPECT_NEAR(spline_eval(xa.data(), ya.data(), d2.data(), n, right), want,
                    1e-9 * (1 + std::fabs(want)));
    }
}

TEST(Spline, StraightLineIsReproduced) {
    std::mt19937_64 g(3);
    for (int n = 2; n <= 40; ++n) {
        std::vector<double> xa, ya;
        random_table(g, n, xa, ya);
        for (int i = 0; i < n; ++i)
            ya[i] = 0.75 * xa[i] - 2.0;
        auto d2 = coeffs(xa, ya);
        for (double x = xa[0] - 3; x < xa[n - 1] + 3; x += 0.37)
            ASSERT_NEAR(spline_eval(xa.data(), ya.data(), d2.data(), n, x), 0.75 * x - 2.0,
                        1e-11 * (1 + std::fabs(x)))
                << "n=" << n << " x=" << x;
    }
}
