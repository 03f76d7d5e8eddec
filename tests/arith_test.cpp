// Tables designed for float32 arithmetic, as a chip runs them: the exported header's float
// evaluator, compiled, stays within E at every float32 x of the intervals where the error is
// largest and at a stride of them elsewhere; a tolerance below the floor is refused.
#include "harness.hpp"

#include <cstdio>
#include <gtest/gtest.h>

namespace {
// A C program over lor.h: the error of lor_eval at the 64 points of every interval, then at
// every float32 x of the 8 intervals where it was largest and at a stride of 4096 points an
// interval elsewhere: "largest E over N points".
const char* sweep_c = R"(#include "lor.h"
#include <stdio.h>
#include <string.h>
static double lorentz(double x) { double t = (x - 3.47) / 0.57; return 1.0 / (t * t + 1.0); }
/* Float32 values in order: key(x) ascends with x. */
static long long key(float x)
{
    int32_t b;
    memcpy(&b, &x, sizeof b);
    return b < 0 ? -(long long)(b & 0x7fffffff) : (long long)b;
}
static float of_key(long long k)
{
    int32_t b = k < 0 ? (int32_t)(-k | 0x80000000LL) : (int32_t)k;
    float x;
    memcpy(&x, &b, sizeof x);
    return x;
}
static double err(float x) { double e = lor_eval(x) - lorentz(x); return e < 0 ? -e : e; }
int main(void)
{
    static double peak[1 << 20];
    int k, j, worst[8] = {-1, -1, -1, -1, -1, -1, -1, -1}, w;
    long long points = 0;
    double largest = 0;
    for (k = 0; k + 1 < lor_n; ++k) {
        peak[k] = 0;
        for (j = 0; j < 64; ++j) {
            double e = err((float)(lor_x[k] + ((double)lor_x[k + 1] - lor_x[k]) * j / 64.0));
            peak[k] = e > peak[k] ? e : peak[k];
        }
        for (w = 0; w < 8; ++w)
            if (worst[w] < 0 || peak[k] > peak[worst[w]]) {
                memmove(worst + w + 1, worst + w, (7 - w) * sizeof *worst);
                worst[w] = k;
                break;
            }
    }
    for (k = 0; k + 1 < lor_n; ++k) {
        long long a = key(lor_x[k]), b = key(lor_x[k + 1]), step = (b - a) / 4096 + 1, i;
        for (w = 0; w < 8; ++w)
            if (worst[w] == k)
                step = 1;
        for (i = a; i <= b; i += step, ++points) {
            double e = err(of_key(i));
            largest = e > largest ? e : largest;
        }
    }
    printf("largest %.17g over %lld points\n", largest, points);
    return 0;
}
)";

TEST(Float32Arithmetic, DesignsHoldAtEveryFloat32X) {
    if (std::system("command -v cc >/dev/null") != 0)
        GTEST_SKIP() << "no C compiler on PATH";
    TempDir d;
    write_file(d.path / "sweep.c", sweep_c);
    for (const char* m : {"spline", "quadratic", "not-a-knot", "clamped"})
        for (auto [a, b] : {std::pair{"0", "7"}, std::pair{"-10", "10"}}) {
            SCOPED_TRACE(std::string(m) + " from " + a);
            RunResult g = run_args(d.path, {bin("lorgen"), "--tol", "1e-5", "--method", m,
                                            "--store", "float32", "--arith", "float32", "--format",
                                            "c", "--name", "lor", "--force", a, b});
            ASSERT_EQ(g.status, 0) << g.err;
            EXPECT_NE(g.err.find(" float32 rows keep "), std::string::npos) << g.err;
            EXPECT_NE(g.err.find(" in float32 arithmetic (largest "), std::string::npos) << g.err;
            RunResult c = run_args(
                d.path, {"/bin/sh", "-c", "cc -std=c99 -O2 -ffp-contract=off sweep.c -o sweep"});
            ASSERT_EQ(c.status, 0) << c.err;
            RunResult r = run_args(d.path, {(d.path / "sweep").string()});
            double largest = 1;
            long long points = 0;
            ASSERT_EQ(std::sscanf(r.out.c_str(), "largest %le over %lld", &largest, &points), 2)
                << r.out;
            EXPECT_LE(largest, 1e-5);
            EXPECT_GT(points, 1000000);
        }
}

// Below twice the floor, before any work: status 1, the floor in the line. The floors on
// [0, 7] come from the ordinates' rounding and the evaluator's own: above what float32
// storage alone costs, so a tolerance that storage alone allows may be refused here.
TEST(Float32Arithmetic, RefusesBelowTheFloor) {
    TempDir d;
    RunResult r = run_args(d.path, {bin("lorgen"), "--tol", "7e-7", "--method", "clamped",
                                    "--store", "float32", "--arith", "float32"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "lorgen: float32 tables in float32 arithmetic are not designed below 7.81e-07 "
                     "for the clamped cubic spline on [0, 7]: rounding the values and the "
                     "arithmetic can cost 3.91e-07\n");
    r = run_args(d.path,
                 {bin("lorgen"), "--tol", "7e-7", "--method", "clamped", "--store", "float32"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = run_args(d.path,
                 {bin("lorgen"), "--tol", "1e-5", "--method", "clamped", "--arith", "float32"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("lorgen: --arith float32 needs --store float32", 0), 0u) << r.err;
}
} // namespace
