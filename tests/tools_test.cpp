// lorgen and gplot: sample tables that read back exactly, tables designed for a tolerance
// that meet it, and figures that are well-formed, complete, small for huge tables, and
// summarised truthfully.
#include "harness.hpp"
#include "reference.hpp"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <tuple>

namespace {
struct Pairs {
    int n = 0;
    std::vector<double> x, y;
};

// The pairs of a file of plain numbers (lorgen's table, an error table), read with strtod.
Pairs load_pairs(const fs::path& p) {
    Pairs r;
    ref::read_pairs(read_file(p), r.x, r.y);
    r.n = static_cast<int>(r.x.size());
    return r;
}

using ref::Worst;
using ref::worst;

std::string gen(const TempDir& d, std::vector<std::string> args) {
    args.insert(args.begin(), bin("lorgen"));
    RunResult r = run_args(d.path, args);
    EXPECT_EQ(r.status, 0);
    return r.out;
}

std::size_t count(const std::string& s, const std::string& what) {
    std::size_t k = 0;
    for (std::size_t p = 0; (p = s.find(what, p)) != std::string::npos; p += what.size())
        ++k;
    return k;
}

void expect_well_formed(const fs::path& svg) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xmllint is not installed";
    std::string cmd = "xmllint --noout '" + svg.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << svg;
}
} // namespace

TEST(Lorgen, DefaultTableReadsBackExactly) {
    TempDir d;
    write_file(d.path / "loren.out", gen(d, {}));
    Pairs p = load_pairs(d.path / "loren.out");
    ASSERT_EQ(p.n, 29);
    EXPECT_EQ(p.x.front(), 0.0);
    EXPECT_EQ(p.x.back(), 7.0);
    for (int i = 0; i < p.n; ++i) {
        EXPECT_EQ(p.x[i], 0.25 * i);
        EXPECT_EQ(p.y[i], ref::lorentz(p.x[i])) << i;
    }
}

TEST(Lorgen, CountAndRange) {
    TempDir d;
    write_file(d.path / "loren.out", gen(d, {"1001", "-2.5", "1e1"}));
    Pairs p = load_pairs(d.path / "loren.out");
    ASSERT_EQ(p.n, 1001);
    EXPECT_EQ(p.x.front(), -2.5);
    EXPECT_EQ(p.x.back(), 10.0);
    for (int i = 1; i < p.n; ++i) {
        ASSERT_LT(p.x[i - 1], p.x[i]);
        ASSERT_EQ(p.y[i], ref::lorentz(p.x[i]));
    }
    char one[64];
    std::snprintf(one, sizeof one, "2 %.17g\n", ref::lorentz(2.0));
    EXPECT_EQ(gen(d, {"1", "2", "3"}), one);
}

TEST(Lorgen, BadArguments) {
    TempDir d;
    const std::pair<std::vector<std::string>, const char*> cs[] = {
        {{"0"}, "N must be a whole number >= 1, not \"0\""},
        {{"x"}, "N must be a whole number >= 1, not \"x\""},
        {{"-3"}, "N must be a whole number >= 1, not \"-3\""},
        {{"5", "1"}, "give N alone, or N with both A and B"},
        {{"5", "0", "1", "2"}, "give N alone, or N with both A and B"},
        {{"5", "3", "1"}, "A must be below B"},
        {{"5", "a", "1"}, "A must be a number, not \"a\""},
        {{"5", "0", "1e999"}, "B - A must be finite"},
        {{"3", "-1e308", "1e308"}, "B - A must be finite"},
        {{"4", "1", "1.0000000000000002"},
         "4 samples on [1, 1.0000000000000002] would repeat abscissae: the spacing is below "
         "what doubles tell apart there"},
        {{"--tol", "0", "--method", "spline"}, "E must be positive and finite"},
        {{"--tol", "1e-14", "--method", "spline"},
         "E must be at least 1e-13: below it rounding, not the table, sets the error"},
        {{"--tol", "1e-8", "--method", "cubic"},
         "the method is spline, quadratic, not-a-knot, clamped, linear or all, not \"cubic\""},
        {{"--tol", "1e-8"},
         "a design needs both --tol E and --method "
         "spline|quadratic|not-a-knot|clamped|linear|all"},
        {{"--method", "spline", "--tol", "1e-8", "3", "1"}, "A must be below B"},
        {{"--foo"}, "unknown option --foo"},
        {{"--tol", "1e-6", "--method", "spline", "0", "7", "--svg", "x.svg"},
         "options come before A and B"},
        {{"--tol", "1e-6", "--method", "spline", "--store", "half"},
         "the store is double or float32, not \"half\""},
        {{"--tol", "1e-6", "--method", "spline", "--format", "c", "--name", "2d"},
         "NAME must be a C identifier (letters, digits and _, not a digit first; at most 64), "
         "not \"2d\""},
        {{"--tol", "1e-6", "--method", "spline", "--format", "c"},
         "--format c and --name NAME go together"},
        {{"--tol", "1e-6", "--method", "all", "--format", "c", "--name", "t"},
         "--format c needs one method, not all"},
        {{"--tol", "1e-8", "--method", "quadratic", "-1e308", "1e308"}, "B - A must be finite"},
        {{"--tol", "1e-6", "--method", "all", "--certify"}, "--certify needs one method, not all"},
        {{"--tol", "1e-6", "--method", "spline", "--certify"},
         "--certify goes with --format c --name NAME: it certifies the header's table"},
    };
    for (auto [args, why] : cs) {
        args.insert(args.begin(), bin("lorgen"));
        RunResult r = run_args(d.path, args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), std::string("lorgen: ") + why);
        EXPECT_NE(r.err.find("\nusage: lorgen"), std::string::npos);
    }
    RunResult h = run_args(d.path, {bin("lorgen"), "--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.out.rfind("usage: lorgen", 0), 0u);
    // A table too large to certify is refused after its design, before any file.
    RunResult big = run_args(d.path, {bin("lorgen"), "--tol", "1e-8", "--method", "linear",
                                      "--format", "c", "--name", "t", "--certify"});
    EXPECT_EQ(big.status, 1);
    EXPECT_EQ(big.err, "lorgen: no certificates for 14779 rows: --certify takes tables of at "
                       "most 2000, as the provers' time grows with the rows; nothing written\n");
    EXPECT_TRUE(fs::is_empty(d.path));
}

// What a line says after "largest " or "largest error ": the error, its x and the bound
// ("9.35e-09 at x = 3.31, bound 9.36e-09" or "... (bound 9.36e-09)"), -1 where it does not.
struct Said {
    double err = -1, x = 0, bound = -1;
};
Said said(const std::string& line, const char* after) {
    Said s;
    std::size_t at = line.find(after);
    if (at != std::string::npos &&
        std::sscanf(line.c_str() + at + std::strlen(after), "%le at x = %le%*[ ,(]bound %le",
                    &s.err, &s.x, &s.bound) != 3)
        s = {};
    return s;
}

// The interpolant of (xs, ys) by method name.
std::function<double(double)> interpolant(const std::string& method, const std::vector<double>& xs,
                                          const std::vector<double>& ys) {
    if (method == "spline")
        return ref::Spline(xs, ys);
    return ref::Quad(xs, ys);
}

// lorgen's n evenly spaced rows on [0, 7].
void even_table(long n, std::vector<double>& xs, std::vector<double>& ys) {
    double h = 7.0 / static_cast<double>(n - 1);
    for (long i = 0; i < n; ++i) {
        xs.push_back(i == n - 1 ? 7.0 : static_cast<double>(i) * h);
        ys.push_back(ref::lorentz(xs.back()));
    }
}

TEST(Lorgen, DesignedTablesMeetTheTolerance) {
    TempDir d;
    const std::tuple<const char*, const char*, double, const char*> cs[] = {
        {"spline", "1e-3", 1e-3, "the natural cubic spline within 1e-3"},
        {"spline", "1e-05", 1e-5, "the natural cubic spline within 1e-05"},
        {"quadratic", "0.001", 1e-3, "the four-point quadratic within 0.001"},
        {"quadratic", "1e-5", 1e-5, "the four-point quadratic within 1e-5"},
        {"not-a-knot", "1e-6", 1e-6, "the not-a-knot cubic spline within 1e-6"},
        {"clamped", "1e-6", 1e-6, "the clamped cubic spline within 1e-6"},
    };
    for (auto [method, tol, e, says] : cs) {
        SCOPED_TRACE(std::string(method) + " " + tol);
        RunResult r = run_args(d.path, {bin("lorgen"), "--tol", tol, "--method", method, "--svg",
                                        "design.svg", "--force"});
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<double> xs, ys;
        ref::read_pairs(r.out, xs, ys);
        ASSERT_GE(xs.size(), 2u);
        EXPECT_EQ(xs.front(), 0.0);
        EXPECT_EQ(xs.back(), 7.0);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            ASSERT_TRUE(i == 0 || xs[i - 1] < xs[i]) << i;
            ASSERT_EQ(ys[i], ref::lorentz(xs[i])) << i;
        }
        // Within E everywhere; the largest it states is the true one, the bound above it.
        Worst w = ref::method_worst(method, xs, ys);
        EXPECT_LE(w.err, e);
        Said s = said(r.err, "(largest ");
        EXPECT_NEAR(s.err, w.err, 1e-3 * w.err);
        EXPECT_GE(s.bound, w.err);
        EXPECT_LE(s.bound, std::min(e, 1.01 * s.err));
        // The count's two facts: N rows meet E, N - 1 do not.
        long n = 0, fewer = 0;
        char line[300];
        std::snprintf(line, sizeof line, "lorgen: %zu rows keep %s on [0, 7] (largest ", xs.size(),
                      says);
        EXPECT_EQ(r.err.rfind(line, 0), 0u) << r.err;
        std::size_t at = r.err.find("; evenly spaced: ");
        ASSERT_NE(at, std::string::npos) << r.err;
        ASSERT_EQ(std::sscanf(r.err.c_str() + at, "; evenly spaced: %ld rows meet %*s (%ld do not)",
                              &n, &fewer),
                  2)
            << r.err;
        EXPECT_EQ(fewer, n - 1);
        std::snprintf(line, sizeof line, "; evenly spaced: %ld rows meet %s (%ld do not)\n", n, tol,
                      n - 1);
        EXPECT_EQ(r.err.substr(at), line);
        std::vector<double> ex, ey, fx, fy;
        even_table(n, ex, ey);
        even_table(n - 1, fx, fy);
        EXPECT_LE(ref::method_worst(method, ex, ey).err, e);
        EXPECT_GT(ref::method_worst(method, fx, fy).err, e);
        expect_well_formed(d.path / "design.svg");
    }
    // Beyond reach: no table, status 1.
    RunResult r =
        run_args(d.path, {bin("lorgen"), "--tol", "1e-6", "--method", "spline", "100", "1e300"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "lorgen: no table keeps the natural cubic spline within 1e-6 on [100, "
                     "1e+300]: its values or their bound are not finite on intervals this wide\n");
}

// Linear interpolation: designs proven within E (a plain evaluation, the hard way, agrees), the
// evenly spaced count the fewest (N rows within E at the engine's points and more, N - 1 above
// it at the engine's points); and the designs of the methods whose error follows h^p |f^(p)|
// within 3.5% of the asymptotic estimate of the fewest rows, which the line gives as an
// integral worked out here (a midpoint sum over x).
TEST(Lorgen, LinearAndTheAsymptoticEstimate) {
    TempDir d;
    auto evenly = [](long n, double a, double b) {
        std::vector<double> x, y;
        for (long i = 0; i < n; ++i) {
            x.push_back(i == n - 1 ? b : a + static_cast<double>(i) * ((b - a) / (n - 1)));
            y.push_back(ref::lorentz(x.back()));
        }
        return std::pair{x, y};
    };
    for (const char* tol : {"1e-4", "1e-6", "1e-8"})
        for (auto [a, b] : {std::pair{"0", "7"}, std::pair{"-10", "10"}}) {
            SCOPED_TRACE(std::string(tol) + " from " + a);
            RunResult r =
                run_args(d.path, {bin("lorgen"), "--tol", tol, "--method", "linear", a, b});
            ASSERT_EQ(r.status, 0) << r.err;
            std::vector<double> xs, ys;
            ref::read_pairs(r.out, xs, ys);
            ref::Linear li{xs, ys};
            double e = std::stod(tol);
            EXPECT_LE(ref::brute_worst(xs, [&](int k, double v) { return li.piece(k, v); }).err, e);
            long even = 0;
            std::sscanf(r.err.c_str() + r.err.find("evenly spaced: "), "evenly spaced: %ld", &even);
            if (e < 1e-7)
                continue; // a million rows and more: the counts of the faster tolerances suffice
            for (long n : {even, even - 1}) {
                auto [x, y] = evenly(n, std::stod(a), std::stod(b));
                ref::Linear ev{x, y};
                double worst = ref::worst(x, [&](double v) {
                                   return ev.piece(
                                       std::clamp(ref::below(x, v), 0, static_cast<int>(n) - 2), v);
                               }).err;
                EXPECT_EQ(worst <= e, n == even) << n << " rows: " << worst;
            }
        }
    // |f''''| and |f''| of the Lorentzian, t = (x - 3.47)/0.57.
    auto d4 = [](double x) {
        double t = (x - 3.47) / 0.57, q = 1 / (1 + t * t);
        return 24 * std::fabs(5 * t * t * t * t - 10 * t * t + 1) * std::pow(q, 5) /
               std::pow(0.57, 4);
    };
    auto d2 = [](double x) {
        double t = (x - 3.47) / 0.57, q = 1 / (1 + t * t);
        return std::fabs(6 * t * t - 2) * q * q * q / (0.57 * 0.57);
    };
    for (auto [m, tol] :
         {std::pair{"clamped", 1e-8}, {"clamped", 1e-10}, {"linear", 1e-6}, {"linear", 1e-8}}) {
        SCOPED_TRACE(std::string(m) + " " + std::to_string(tol));
        bool lin = std::string(m) == "linear";
        double sum = 0, h = 7.0 / 1000000;
        for (int i = 0; i < 1000000; ++i) {
            double x = (i + 0.5) * h;
            sum += lin ? std::sqrt(d2(x) / 8 / tol) : std::pow(d4(x) / 384 / tol, 0.25);
        }
        double estimate = 1 + sum * h;
        char e[32];
        std::snprintf(e, sizeof e, "%g", tol);
        RunResult r = run_args(d.path, {bin("lorgen"), "--tol", e, "--method", m});
        ASSERT_EQ(r.status, 0) << r.err;
        long rows = 0, about = 0;
        std::sscanf(r.err.c_str(), "lorgen: %ld rows", &rows);
        std::size_t at = r.err.find("; the asymptotic estimate of the fewest: about ");
        ASSERT_NE(at, std::string::npos) << r.err;
        std::sscanf(r.err.c_str() + at, "; the asymptotic estimate of the fewest: about %ld",
                    &about);
        EXPECT_EQ(about, std::lround(estimate));
        EXPECT_LE(static_cast<double>(rows), 1.035 * estimate);
    }
}

// Every method of the suite, as lorgen names them.
constexpr const char* all_methods[] = {"spline", "quadratic", "not-a-knot", "clamped", "linear"};

// --method all: one decision table on standard output and no table of rows; each method's
// designed line says what that method's own run says, its evenly spaced line at least the
// count that run gives, and the fewest designed rows are marked.
TEST(Lorgen, DecisionTableOfEveryMethod) {
    TempDir d;
    RunResult r =
        run_args(d.path, {bin("lorgen"), "--tol", "1e-4", "--method", "all", "--svg", "all.svg"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> lines;
    for (std::size_t at = 0, eol; (eol = r.out.find('\n', at)) != std::string::npos; at = eol + 1)
        lines.push_back(r.out.substr(at, eol - at));
    ASSERT_EQ(lines.size(), 14u) << r.out;
    EXPECT_EQ(lines[0],
              "Rows that keep each method within 1e-4 on [0, 7], proven by the bound; the");
    EXPECT_EQ(lines[3], "method       spacing          rows     bytes  reads  mul  div  cmp  "
                        "largest error     bound");
    std::size_t fewest = 0, most = SIZE_MAX;
    for (std::size_t i = 0; i < 5; ++i) {
        std::string m = all_methods[i];
        RunResult one = run_args(d.path, {bin("lorgen"), "--tol", "1e-4", "--method", m});
        ASSERT_EQ(one.status, 0) << one.err;
        std::vector<double> xs, ys;
        ref::read_pairs(one.out, xs, ys);
        Said s = said(one.err, "(largest ");
        std::size_t even = 0, b = one.err.find(", bound ") + 8, rows = 0, grid = 0;
        std::sscanf(one.err.c_str() + one.err.find("evenly spaced: "), "evenly spaced: %zu", &even);
        std::string bound = one.err.substr(b, one.err.find(')', b) - b);
        char name[20], shown[20];
        double largest = 0;
        ASSERT_EQ(std::sscanf(lines[2 * i + 4].c_str(),
                              "%19s designed %zu %*d %*d %*d %*d %*d %le %19s", name, &rows,
                              &largest, shown),
                  4)
            << lines[2 * i + 4];
        EXPECT_EQ(name + std::to_string(rows) + shown, m + std::to_string(xs.size()) + bound);
        EXPECT_EQ(largest, s.err);
        ASSERT_EQ(std::sscanf(lines[2 * i + 5].c_str(), "%19s evenly spaced %zu", name, &grid), 2)
            << lines[2 * i + 5];
        EXPECT_GE(grid, even);
        if (xs.size() < most) {
            most = xs.size();
            fewest = i;
        }
    }
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(lines[2 * i + 4].find("fewest rows") != std::string::npos, i == fewest)
            << lines[2 * i + 4];
    expect_well_formed(d.path / "all.svg");
}

// A C++ driver of the header lor.h whose double and float are types that count the
// multiplications, divisions and comparisons: it prints the bytes of the table's arrays and
// the most of each that one lookup took, over the test vectors, every row and the values
// about it, and (with the index) the values about every cell's edge.
constexpr const char* counting_driver = R"(#include <float.h>
#include <stdint.h>
#include <string.h>
#include <cmath>
#include <cstdio>
static long muls, divs, cmps;
template <class T> struct Num {
    T v;
    Num() = default;
    Num(T x) : v(x) {}
    template <class U> Num(Num<U> o) : v(o.v) {}
    explicit operator int() const { return (int)v; }
    explicit operator Num<float>() const { return Num<float>((float)v); }
    friend Num operator+(Num a, Num b) { return a.v + b.v; }
    friend Num operator-(Num a, Num b) { return a.v - b.v; }
    friend Num operator-(Num a) { return -a.v; }
    friend Num operator*(Num a, Num b) { return ++muls, T(a.v * b.v); }
    friend Num operator/(Num a, Num b) { return ++divs, T(a.v / b.v); }
    friend bool operator<(Num a, Num b) { return ++cmps, a.v < b.v; }
    friend bool operator>(Num a, Num b) { return ++cmps, a.v > b.v; }
    friend bool operator>=(Num a, Num b) { return ++cmps, a.v >= b.v; }
    friend bool operator==(Num a, Num b) { return ++cmps, a.v == b.v; }
};
#define double Num<double>
#define float Num<float>
#include "lor.h"
#undef double
#undef float
typedef decltype(lor_y[0].v) Row;
typedef decltype(lor_test_x[0].v) Arg;
static long most[3];
static void take(Arg x) {
    muls = divs = cmps = 0;
    lor_eval(x);
    long now[3] = {muls, divs, cmps};
    for (int k = 0; k < 3; ++k)
        most[k] = now[k] > most[k] ? now[k] : most[k];
}
static void about(Arg x) {
    Arg lo = x, hi = x;
    for (int k = 0; k < 4; ++k) {
        take(lo);
        take(hi);
        lo = std::nextafter(lo, (Arg)-INFINITY);
        hi = std::nextafter(hi, (Arg)INFINITY);
    }
}
int main() {
    long bytes = sizeof lor_y;
    for (int i = 0; i < lor_test_n; ++i)
        take(lor_test_x[i].v);
    for (int i = 0; i < lor_n; ++i)
        about(lor_xs(i).v);
#ifdef INDEXED
    bytes += sizeof lor_x + sizeof lor_index;
    for (int c = 0; c <= lor_cells; ++c)
        about((Arg)(lor_x[0].v + (double)c / (double)lor_scale.v));
#endif
#ifdef D2
    bytes += sizeof lor_d2;
#endif
    std::printf("%ld %ld %ld %ld\n", bytes, most[0], most[1], most[2]);
}
)";

// Every method's designed and evenly spaced headers, in double and in float32 arithmetic,
// ship the bytes the decision table gives, and a lookup through them takes at most the
// multiplications, divisions and comparisons it gives, and as many at some x (counted by a
// driver whose number types count).
TEST(Lorgen, DecisionTableIsWhatTheHeadersShipAndDo) {
    if (std::system("command -v c++ >/dev/null") != 0)
        GTEST_SKIP() << "no C++ compiler on PATH";
    TempDir d;
    write_file(d.path / "count.cpp", counting_driver);
    for (const char* arith : {"double", "float32"}) {
        std::vector<std::string> args = {bin("lorgen"), "--tol", "1e-6",    "--store", arith,
                                         "--arith",     arith,   "--force", "--method"};
        std::vector<std::string> all = args;
        all.insert(all.end(), {"all", "--data", "t.dat"});
        ASSERT_EQ(run_args(d.path, all).status, 0);
        std::string data = read_file(d.path / "t.dat");
        auto field = [&data](const std::string& key) {
            std::size_t at = data.find("\n" + key + " ");
            return at == std::string::npos
                       ? "none"
                       : data.substr(at + key.size() + 2,
                                     data.find('\n', at + 1) - at - key.size() - 2);
        };
        for (const char* m : all_methods)
            for (bool even : {false, true}) {
                SCOPED_TRACE(std::string(m) + (even ? " evenly spaced in " : " designed in ") +
                             arith);
                std::vector<std::string> one = args;
                one.insert(one.end(), {m, "--format", "c", "--name", "lor"});
                if (even)
                    one.insert(one.end(), {"--spacing", "even"});
                ASSERT_EQ(run_args(d.path, one).status, 0);
                std::string h = read_file(d.path / "lor.h"), flags;
                flags += even ? "" : " -DINDEXED";
                flags += h.find("lor_d2[") != std::string::npos ? " -DD2" : "";
                RunResult c = run_args(d.path, {"/bin/sh", "-c",
                                                "c++ -std=c++17 -O1 -ffp-contract=off" + flags +
                                                    " count.cpp -o count && ./count"});
                ASSERT_EQ(c.status, 0) << c.err;
                std::string key = std::string(m) + (even ? "-even" : "");
                std::string work = field(key + (even ? "-work" : "-designed-work"));
                long reads = 0, mul = 0, div = 0, cmp = 0;
                ASSERT_EQ(std::sscanf(work.c_str(), "%ld %ld %ld %ld", &reads, &mul, &div, &cmp), 4)
                    << work;
                EXPECT_EQ(c.out, field(key + "-bytes") + " " + std::to_string(mul) + " " +
                                     std::to_string(div) + " " + std::to_string(cmp) + "\n");
            }
    }
}

// Tables stored as float32, for every method on two intervals: every value a float32, the
// rows strictly ascending from A to B, and the table as it reads back within E everywhere.
TEST(Lorgen, Float32TablesHoldAsStored) {
    TempDir d;
    auto is_float = [](double v) { return static_cast<double>(static_cast<float>(v)) == v; };
    for (const char* m : {"spline", "quadratic", "not-a-knot", "clamped"}) {
        for (auto [a, b] : {std::pair{"0", "7"}, std::pair{"-10", "10"}}) {
            SCOPED_TRACE(std::string(m) + " from " + a);
            RunResult r = run_args(d.path, {bin("lorgen"), "--tol", "1e-6", "--method", m,
                                            "--store", "float32", a, b});
            ASSERT_EQ(r.status, 0) << r.err;
            std::vector<double> xs, ys;
            ref::read_pairs(r.out, xs, ys);
            ASSERT_GE(xs.size(), 2u);
            EXPECT_TRUE(xs.front() == std::stod(a) && xs.back() == std::stod(b));
            for (std::size_t i = 0; i < xs.size(); ++i) {
                ASSERT_TRUE(is_float(xs[i]) && is_float(ys[i])) << i;
                ASSERT_TRUE(i == 0 || xs[i - 1] < xs[i]) << i;
                ASSERT_EQ(ys[i], static_cast<float>(ref::lorentz(xs[i]))) << i;
            }
            EXPECT_LE(ref::method_worst(m, xs, ys).err, 1e-6);
            EXPECT_EQ(
                r.err.rfind("lorgen: " + std::to_string(xs.size()) + " float32 rows keep ", 0), 0u);
        }
    }
}

// The exported header for two methods and stores, compiled as C99 and as C++17 with warnings
// as errors: every test vector reproduced bit for bit, and the table's error through
// NAME_eval, at 2000 points an interval, within E.
TEST(Lorgen, HeaderReproducesTheSuite) {
    if (std::system("command -v cc >/dev/null && command -v c++ >/dev/null") != 0)
        GTEST_SKIP() << "no C or C++ compiler on PATH";
    TempDir d;
    for (auto [m, store, name] :
         {std::tuple{"clamped", "float32", "lor_c"}, std::tuple{"quadratic", "double", "lor_q"}}) {
        SCOPED_TRACE(m);
        RunResult g = run_args(d.path, {bin("lorgen"), "--tol", "1e-6", "--method", m, "--store",
                                        store, "--format", "c", "--name", name});
        ASSERT_EQ(g.status, 0) << g.err;
        EXPECT_EQ(g.out, "");
        EXPECT_NE(g.err.find(std::string("\nlorgen: wrote ") + name + ".h\n"), std::string::npos)
            << g.err;
        write_file(d.path / "drv.c", c_driver(name));
        std::string outs[2];
        const char* compile[] = {"cc -std=c99 -O2 -ffp-contract=off -Wall -Wextra -Werror drv.c",
                                 "c++ -std=c++17 -O2 -ffp-contract=off -Wall -Wextra -Werror "
                                 "-x c++ drv.c"};
        for (int i = 0; i < 2; ++i) {
            RunResult c = run_args(d.path, {"/bin/sh", "-c", std::string(compile[i]) + " -o drv"});
            ASSERT_EQ(c.status, 0) << compile[i] << "\n" << c.err;
            EXPECT_EQ(c.err, "");
            RunResult r = run_args(d.path, {(d.path / "drv").string()});
            ASSERT_EQ(r.status, 0);
            outs[i] = r.out;
        }
        EXPECT_EQ(outs[0], outs[1]);
        int missed = -1, n = 0, wrong = -1;
        double worst = 1;
        ASSERT_EQ(std::sscanf(outs[0].c_str(), "%d of %d missed, largest %le, hash %*s %d wrong",
                              &missed, &n, &worst, &wrong),
                  4)
            << outs[0];
        EXPECT_EQ(missed, 0);
        EXPECT_EQ(wrong, 0) << "the index found another interval than the search";
        EXPECT_GT(n, 64);
        EXPECT_LE(worst, 1e-6);
    }
}

// Whether the commands a test needs are on PATH; in CI, which installs them (.ci/install), a
// failure where one is missing.
bool have(const char* commands, const char* packages) {
    bool missing = std::system((std::string("for c in ") + commands +
                                "; do command -v $c >/dev/null || exit 1; done")
                                   .c_str()) != 0;
    if (missing && std::getenv("CI") != nullptr)
        ADD_FAILURE() << packages << " missing; .ci/install installs them";
    return !missing;
}

// lorgen's header lor.h in dir for method m at 1e-6 (or tol), rows in store, arithmetic arith,
// replacing the last; its status.
int export_header(const fs::path& dir, const char* m, const char* store, const char* arith,
                  const char* tol = "1e-6") {
    return run_args(dir, {bin("lorgen"), "--tol", tol, "--method", m, "--store", store, "--arith",
                          arith, "--format", "c", "--name", "lor", "--force"})
        .status;
}

// --spacing even: every method's evenly spaced header, in double and in float32 arithmetic,
// computes its rows and intervals from x (no abscissae shipped, the bytes say so), passes its
// test vectors and keeps its error within E at 2000 points an interval; the count is the
// evenly spaced count the designed table's line gives, or more, said so.
TEST(Lorgen, EvenlySpacedHeadersHold) {
    if (std::system("command -v cc >/dev/null") != 0)
        GTEST_SKIP() << "no C compiler on PATH";
    TempDir d;
    write_file(d.path / "drv.c", c_driver("lor"));
    for (const char* m : all_methods)
        for (const char* arith : {"double", "float32"}) {
            SCOPED_TRACE(std::string(m) + " in " + arith);
            std::vector<std::string> args = {bin("lorgen"), "--tol", "1e-6",    "--method", m,
                                             "--store",     arith,   "--arith", arith};
            RunResult designed = run_args(d.path, args);
            args.insert(args.end(),
                        {"--spacing", "even", "--format", "c", "--name", "lor", "--force"});
            RunResult g = run_args(d.path, args);
            ASSERT_EQ(g.status, 0) << g.err;
            std::string h = read_file(d.path / "lor.h");
            EXPECT_EQ(h.find("lor_x["), std::string::npos);
            EXPECT_NE(h.find("(evenly spaced: no abscissae)"), std::string::npos);
            // The count's rows, or more where the computed interval needs them, said so.
            std::size_t rows = 0, even = 0;
            ASSERT_EQ(std::sscanf(g.err.c_str(), "lorgen: %zu ", &rows), 1) << g.err;
            std::size_t at = designed.err.find("evenly spaced: ");
            ASSERT_NE(at, std::string::npos) << designed.err;
            std::sscanf(designed.err.c_str() + at, "evenly spaced: %zu", &even);
            EXPECT_GE(rows, even);
            EXPECT_EQ(rows > even, g.err.find("(a search's interval: " + std::to_string(even) +
                                              " rows)") != std::string::npos)
                << designed.err << g.err;
            RunResult c =
                run_args(d.path, {"/bin/sh", "-c", "cc -O2 -ffp-contract=off drv.c -o drv"});
            ASSERT_EQ(c.status, 0) << c.err;
            RunResult r = run_args(d.path, {(d.path / "drv").string()});
            int missed = -1;
            double worst = 1;
            ASSERT_EQ(std::sscanf(r.out.c_str(), "%d of %*d missed, largest %le", &missed, &worst),
                      2)
                << r.out;
            EXPECT_EQ(missed, 0);
            EXPECT_LE(worst, 1e-6);
        }
}

// Every method's certificates, in double and in float32 arithmetic: Sollya encloses the exact
// pieces' largest error within the suite's bound, the bound at most 0.1% above that enclosure
// plus the allowance, and Gappa proves every interval's rounding within its allowance. A
// bound halved, or allowances far below the rounding, make each fail.
TEST(Lorgen, CertificatesHoldForTwoProvers) {
    if (!have("sollya gappa", "sollya and gappa"))
        GTEST_SKIP() << "sollya or gappa not on PATH (Debian: sollya, gappa)";
    TempDir d;
    auto run = [&d](const std::string& command) {
        return run_args(d.path, {"/bin/sh", "-c", command});
    };
    for (const char* m : all_methods)
        for (const char* arith : {"double", "float32"}) {
            SCOPED_TRACE(std::string(m) + " in " + arith);
            const char* tol = std::string(m) == "linear" ? "1e-4" : "1e-6";
            ASSERT_EQ(run_args(d.path, {bin("lorgen"), "--tol", tol, "--method", m, "--store",
                                        arith, "--arith", arith, "--format", "c", "--name", "lor",
                                        "--certify", "--force"})
                          .status,
                      0);
            RunResult s = run("sollya lor.sollya");
            double lo = 0, hi = 0, bound = 0, allowance = 0;
            ASSERT_EQ(std::sscanf(s.out.c_str(),
                                  "sollya: holds: the exact pieces' largest error lies in [%le, "
                                  "%le], within the bound %le (allowance %le)",
                                  &lo, &hi, &bound, &allowance),
                      4)
                << s.out << s.err;
            EXPECT_EQ(std::count(s.out.begin(), s.out.end(), '\n'), 1) << s.out;
            EXPECT_LE(hi, bound);
            EXPECT_LE(bound, 1.001 * hi + allowance);
            RunResult g = run("sh lor.gappa");
            EXPECT_EQ(g.status, 0) << g.out << g.err;
            EXPECT_EQ(g.out.rfind("gappa: holds: on each of the ", 0), 0u) << g.out;
            if (std::string(m) == "clamped" && std::string(arith) == "double") {
                RunResult w = run("sed 's/^q_bound = \\(.*\\);$/q_bound = \\1 \\/ 2;/' lor.sollya "
                                  "> half.sollya && sollya half.sollya");
                EXPECT_EQ(w.out.rfind("sollya: FAILS: ", 0), 0u) << w.out;
                w = run("sed 's/^allowance = \\(.*\\);$/allowance = \\1 \\/ 64;/' lor.gappa > "
                        "low.gappa && sh low.gappa");
                EXPECT_EQ(w.status, 1);
                EXPECT_EQ(w.out.rfind("gappa: FAILS: not proven within the allowance on the "
                                      "intervals 0 1 2 ",
                                      0),
                          0u)
                    << w.out;
            }
        }
}

// Every method's header accepts a build for the native CPU and gives the suite's bits there;
// built with contraction (-ffp-contract=fast -mfma, where the CPU has FMA), its check reports
// misses, whatever the method.
TEST(Lorgen, HeaderTellsABuildThatFusesMultiplyAdds) {
    if (std::system("command -v cc >/dev/null") != 0)
        GTEST_SKIP() << "no C compiler on PATH";
    bool fma = read_file("/proc/cpuinfo").find(" fma ") != std::string::npos;
    TempDir d;
    for (const char* m : all_methods)
        for (const char* arith : {"double", "float32"}) {
            SCOPED_TRACE(std::string(m) + " in " + arith);
            ASSERT_EQ(export_header(d.path, m, arith, arith), 0);
            write_file(d.path / "drv.c", c_driver("lor"));
            for (const char* flags :
                 {"-O3 -march=native -ffp-contract=off", "-O2 -ffp-contract=fast -mfma"}) {
                bool fused = std::string(flags).find("fast") != std::string::npos;
                if (fused && !fma)
                    continue;
                RunResult c = run_args(
                    d.path, {"/bin/sh", "-c", std::string("cc ") + flags + " drv.c -o drv"});
                ASSERT_EQ(c.status, 0) << flags << "\n" << c.err;
                RunResult r = run_args(d.path, {(d.path / "drv").string()});
                int missed = -1;
                ASSERT_EQ(std::sscanf(r.out.c_str(), "%d of", &missed), 1) << r.out;
                if (fused)
                    EXPECT_GT(missed, 0) << flags;
                else
                    EXPECT_EQ(missed, 0) << flags;
                // The index finds the search's interval at every point either way.
                EXPECT_NE(r.out.find(", 0 wrong intervals\n"), std::string::npos) << r.out;
            }
        }
}

// Every method's header, in double, float32 storage and float32 arithmetic, built for 32-bit
// ARM (hard float) and run under qemu: every test vector bit for bit, and the same values at
// 2000 points an interval as on this machine. Skipped without the cross compiler and qemu,
// except in CI.
TEST(Lorgen, HeaderGivesTheSameBitsOnArm) {
    if (!have("arm-linux-gnueabihf-gcc qemu-arm cc", "gcc-arm-linux-gnueabihf or qemu-user"))
        GTEST_SKIP() << "no arm-linux-gnueabihf-gcc or qemu-arm";
    TempDir d;
    for (const char* m : all_methods) {
        for (auto [store, arith] : {std::pair{"double", "double"}, std::pair{"float32", "double"},
                                    std::pair{"float32", "float32"}}) {
            SCOPED_TRACE(std::string(m) + " " + store + " " + arith);
            ASSERT_EQ(export_header(d.path, m, store, arith), 0);
            write_file(d.path / "drv.c", c_driver("lor"));
            std::string outs[2];
            const char* builds[2][2] = {
                {"cc -O2 -ffp-contract=off drv.c -o drv", "./drv"},
                {"arm-linux-gnueabihf-gcc -O2 -ffp-contract=off -static drv.c -o drv-arm",
                 "qemu-arm ./drv-arm"}};
            for (int i = 0; i < 2; ++i) {
                RunResult c = run_args(d.path, {"/bin/sh", "-c", builds[i][0]});
                ASSERT_EQ(c.status, 0) << builds[i][0] << "\n" << c.err;
                RunResult r = run_args(d.path, {"/bin/sh", "-c", builds[i][1]});
                ASSERT_EQ(r.status, 0) << r.err;
                outs[i] = r.out;
            }
            EXPECT_EQ(outs[1].rfind("0 of ", 0), 0u) << outs[1];
            EXPECT_EQ(outs[1], outs[0]);
        }
    }
}

// A float32-arithmetic header built for a Cortex-M4F, whose FPU has single precision only,
// calls no double-precision routine, for any method; the double evaluator calls them (what
// the check finds). Skipped without arm-none-eabi-gcc, except in CI.
TEST(Lorgen, Float32HeaderNeedsNoDoubleOnCortexM4) {
    if (!have("arm-none-eabi-gcc arm-none-eabi-nm", "gcc-arm-none-eabi"))
        GTEST_SKIP() << "no arm-none-eabi-gcc";
    TempDir d;
    write_file(d.path / "m4.c", "#include \"lor.h\"\nfloat at(float x) { return lor_eval(x); }\n"
                                "int tests(void) { return lor_check(); }\n");
    for (const char* m : all_methods)
        for (const char* arith : {"float32", "double"}) {
            SCOPED_TRACE(std::string(m) + " in " + arith);
            ASSERT_EQ(export_header(d.path, m, "float32", arith, "1e-5"), 0);
            RunResult c = run_args(
                d.path, {"/bin/sh", "-c",
                         "arm-none-eabi-gcc -mcpu=cortex-m4 -mfpu=fpv4-sp-d16 -mfloat-abi=hard "
                         "-mthumb -O2 -ffp-contract=off -std=c99 -Wall -Wextra -Werror -c m4.c "
                         "-o m4.o && arm-none-eabi-nm -u m4.o"});
            ASSERT_EQ(c.status, 0) << c.err;
            // The run-time routines of double arithmetic: __aeabi_dadd, __aeabi_f2d, ...
            bool doubles = c.out.find("__aeabi_d") != std::string::npos ||
                           c.out.find("2d\n") != std::string::npos;
            EXPECT_EQ(doubles, std::string(arith) == "double") << c.out;
        }
}

TEST(Gplot, FigureAndSummaryOfARealStudy) {
    TempDir d;
    write_file(d.path / "loren.out", gen(d, {}));
    // splerr makes the error file, with the real gplot first on PATH.
    RunResult r =
        run_in(d.path, bin("splerr"), "-10000", fs::path(bin("gplot")).parent_path().string());
    ASSERT_EQ(r.status, 0);
    ASSERT_TRUE(fs::exists(d.path / "errsp.svg"));
    expect_well_formed(d.path / "errsp.svg");
    std::string svg = read_file(d.path / "errsp.svg");
    EXPECT_EQ(count(svg, "class=\"panel\""), 3u);
    EXPECT_EQ(svg.find("<script"), std::string::npos);
    EXPECT_EQ(svg.find("href"), std::string::npos);

    // The summary's maxima are those of the error file.
    Pairs e = load_pairs(d.path / "errsp.out");
    ASSERT_EQ(e.n, 999);
    double in = -1, inx = 0, out = -1, outx = 0;
    for (int i = 0; i < e.n; ++i) {
        bool within = e.x[i] >= 0 && e.x[i] <= 7;
        double& m = within ? in : out;
        if (e.y[i] > m) {
            m = e.y[i];
            (within ? inx : outx) = e.x[i];
        }
    }
    // The largest error inside is the spline's own anywhere, the bound above it.
    Pairs t = load_pairs(d.path / "loren.out");
    Worst w = ref::method_worst("spline", t.x, t.y);
    std::string line = r.out.substr(r.out.find("errsp.svg"));
    Said s = said(line, "largest error ");
    EXPECT_NEAR(s.err, w.err, 1e-3 * w.err);
    EXPECT_NEAR(s.x, w.x, 1e-3);
    EXPECT_GE(s.bound, w.err);
    EXPECT_LE(s.bound, 1.01 * s.err);
    char want[320];
    std::snprintf(want, sizeof want,
                  ") inside the table [0, 7] (grid: %.1e at x = %g); %.1e at x = %g outside\n", in,
                  inx, out, outx);
    EXPECT_EQ(line.substr(line.find(") inside")), want);
    EXPECT_EQ(outx, -1000.0);
}

// The figures of both methods of one table show the error inside the table on one range: from
// the rounding level of the table's values to a decade above both methods' largest errors.
TEST(Gplot, FiguresOfOneTableCompare) {
    TempDir d;
    write_file(d.path / "loren.out", gen(d, {"40"}));
    std::string bin_dir = fs::path(bin("gplot")).parent_path().string();
    ASSERT_EQ(run_in(d.path, bin("splerr"), "-10000", bin_dir).status, 0);
    ASSERT_EQ(run_in(d.path, bin("quaderr"), "-10000", bin_dir).status, 0);
    auto range = [&](const char* file) {
        std::string svg = read_file(d.path / file);
        std::size_t at = svg.find("id=\"inside\" data-y0=");
        return at == std::string::npos ? "" : svg.substr(at, svg.find('>', at) - at);
    };
    // The table's largest |y| lies in (0.1, 1]: the rounding level is 1e-17. The top is a
    // power of ten above the larger of both methods' largest errors, with room for its label.
    Pairs t = load_pairs(d.path / "loren.out");
    double top =
        std::max(worst(t.x, ref::Spline(t.x, t.y)).err, worst(t.x, ref::Quad(t.x, t.y)).err);
    std::string want = range("errsp.svg");
    double y0 = 0, y1 = 0;
    ASSERT_EQ(std::sscanf(want.c_str(), "id=\"inside\" data-y0=\"%lg\" data-y1=\"%lg\"", &y0, &y1),
              2);
    EXPECT_EQ(y0, 1e-17);
    EXPECT_TRUE(y1 > top && y1 <= 1000 * top) << y1;
    EXPECT_EQ(std::pow(10.0, std::round(std::log10(y1))), y1);
    EXPECT_EQ(range("errq.svg"), want);
    // Side by side: compare.svg on the same range, and each file's summary line as gplot
    // gives it for that file alone, under the name compare.svg.
    RunResult sp = run_args(d.path, {bin("gplot"), "loren.out", "errsp.out"});
    RunResult q = run_args(d.path, {bin("gplot"), "loren.out", "errq.out"});
    RunResult c = run_args(d.path, {bin("gplot"), "loren.out", "errsp.out", "errq.out"});
    ASSERT_EQ(c.status, 0) << c.err;
    auto renamed = [](const std::string& line, const char* label) {
        return "compare.svg, " + std::string(label) + line.substr(line.find(':'));
    };
    EXPECT_EQ(c.out,
              renamed(sp.out, "natural cubic spline") + renamed(q.out, "four-point quadratic"));
    EXPECT_EQ(sp.err + q.err + c.err, "");
    // An error file of another table: told, once.
    write_file(d.path / "other.out", gen(d, {"41"}));
    RunResult o = run_args(d.path, {bin("gplot"), "other.out", "errsp.out"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "gplot: errsp.out was not made from other.out\n");
    EXPECT_EQ(range("compare.svg"), want);
    expect_well_formed(d.path / "compare.svg");
    EXPECT_EQ(run_args(d.path, {bin("gplot"), "loren.out", "errq.out", "errq.out"}).status, 2);
}

TEST(Gplot, BadFiles) {
    TempDir d;
    write_file(d.path / "good.out", "0 1\n1 2\n2 3\n");
    write_file(d.path / "empty.out", "");
    write_file(d.path / "one.out", "0 1\n");
    fs::create_directory(d.path / "dir.out");
    for (auto [table, err] : {std::pair{"missing.out", "good.out"},
                              {"good.out", "missing.out"},
                              {"empty.out", "good.out"},
                              {"good.out", "one.out"},
                              {"dir.out", "good.out"}}) {
        RunResult r = run_args(d.path, {bin("gplot"), table, err});
        EXPECT_EQ(r.status, 1) << table << " " << err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.find("usage"), std::string::npos);
    }
    EXPECT_EQ(run_args(d.path, {bin("gplot"), "good.out", "nope.out"}).err,
              "gplot: cannot open nope.out: No such file or directory\n");
    EXPECT_FALSE(fs::exists(d.path / "good.svg"));
    EXPECT_EQ(run_args(d.path, {bin("gplot")}).status, 2);
    RunResult h = run_args(d.path, {bin("gplot"), "--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_EQ(h.out.rfind("usage: gplot", 0), 0u);
}

TEST(Gplot, HugeTablesStaySmall) {
    TempDir d;
    {
        // 600001 rows: past the loader's block size, its huge-page arrays and its helper
        // thread, and a thousand rows to every sample marker drawn.
        std::string cmd = bin("lorgen");
        cmd += " 600001 -1000 1000 > " + (d.path / "big.out").string();
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    RunResult r = run_args(d.path, {bin("gplot"), "big.out", "big.out"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("big.svg: max error ", 0), 0u) << r.out;
    auto size = fs::file_size(d.path / "big.svg");
    EXPECT_LT(size, 300u * 1024u);
    expect_well_formed(d.path / "big.svg");
}

TEST(Programs, HelpAndVersion) {
    TempDir d;
    const char* version = "(lorentz-interp) " LORENTZ_INTERP_VERSION "\n";
    for (auto [program, usage] : {std::pair{"splerr", "usage: splerr\n"},
                                  {"quaderr", "usage: quaderr\n"},
                                  {"loctest", "usage: loctest\n"},
                                  {"lorlist", "usage: lorlist\n"},
                                  {"gplot", "usage: gplot [--data FILE] TABLE ERRFILE\n"},
                                  {"lorgen", "usage: lorgen [N [A B]]\n"},
                                  {"lorconv", "usage: lorconv [--data FILE] [N0 N1 [A B]]\n"},
                                  {"lorreport", "usage: lorreport\n"},
                                  {"lorstudy", "usage: lorstudy [--tol E]\n"}}) {
        SCOPED_TRACE(program);
        RunResult h = run_args(d.path, {bin(program), "--help"});
        EXPECT_EQ(h.status, 0);
        EXPECT_EQ(h.out.substr(0, h.out.find('\n') + 1), usage);
        RunResult v = run_args(d.path, {bin(program), "--version"});
        EXPECT_EQ(v.status, 0);
        EXPECT_EQ(v.out, std::string(program) + " " + version);
    }
    // Neither starts a dialogue or writes a file.
    EXPECT_TRUE(fs::is_empty(d.path));
}

TEST(Gplot, ReadsWhatErrorTablesHold) {
    struct C {
        const char* name;
        std::string errors;
        std::string out, err;
        int status;
    };
    // Not the name of one of the suite's error files: the maxima are those on its points.
    const std::string in = " inside the table [0, 2]; ";
    const C cs[] = {
        {"decimal", "-1 0.5\r\n1 0.25\r\n3 2e-3\r\n",
         "e.svg: max error on the file's points 2.5e-01 at x = 1" + in +
             "5.0e-01 at x = -1 outside\n",
         "", 0},
        {"some not finite", "   -1  nan\n1 -nan\n1.5 0.125\n3 inf\n",
         "e.svg: max finite error on the file's points 1.2e-01 at x = 1.5" + in +
             "none finite outside; 2 errors are NaN, 1 is infinite\n",
         "", 0},
        {"all NaN", "-1 nan\n1 -nan\n",
         "e.svg: 2 of 2 errors are NaN (not a number); no finite error to show\n", "", 0},
        {"zeros", "0 0\n1 0\n",
         "e.svg: max error on the file's points 0.0e+00 at x = 0" + in + "none outside\n", "", 0},
        {"a word", "1 0.5\n2 nanx\n", "", "gplot: e.out:2: cannot read \"2 nanx\"\n", 1},
        {"a missing value", "1 0.5\n\n2\n", "", "gplot: e.out:3: cannot read \"2\"\n", 1},
        {"a negative error", "1 0.5\n2 -1e-3\n", "",
         "gplot: e.out:2: an error below 0, \"2 -1e-3\"\n", 1},
        // The log axis at the ends of the double range: from a subnormal up to 1e308.
        {"subnormal and huge", "-1 4.9e-324\n1 1e308\n1.5 1e-320\n3 0\n",
         "e.svg: max error on the file's points 1.0e+308 at x = 1" + in +
             "4.9e-324 at x = -1 outside\n",
         "", 0},
        {"at the largest double", "1 1.7976931348623157e308\n2 1.7976931348623157e308\n",
         "e.svg: max error on the file's points 1.8e+308 at x = 1 inside the table [0, 2]; none "
         "outside\n",
         "", 0},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(c.name);
        TempDir d;
        write_file(d.path / "t.out", "0 1\n1 2\n2 3\n");
        write_file(d.path / "e.out", c.errors);
        RunResult r = run_args(d.path, {bin("gplot"), "t.out", "e.out"});
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(fs::exists(d.path / "e.svg"), c.status == 0);
        if (c.status == 0)
            expect_well_formed(d.path / "e.svg");
        if (c.errors.find("nan") != std::string::npos && c.status == 0) {
            EXPECT_EQ(count(read_file(d.path / "e.svg"), "error is NaN"), 2u) << "both panels";
        }
    }
}

namespace {
std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t eol = text.find('\n', at);
        std::string line = text.substr(at, eol - at);
        std::vector<std::string> cells;
        std::size_t c = 0;
        for (std::size_t k; (k = line.find(',', c)) != std::string::npos; c = k + 1)
            cells.push_back(line.substr(c, k - c));
        cells.push_back(line.substr(c));
        rows.push_back(cells);
        at = eol == std::string::npos ? text.size() : eol + 1;
    }
    return rows;
}
} // namespace

TEST(Lorconv, CsvShape) {
    TempDir d;
    RunResult r = run_args(d.path, {bin("lorconv"), "4", "16"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Past the theory on so few rows: not settled; the key under the table.
    EXPECT_NE(r.out.find("ends 6.07 (theory h^4, not settled)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nkey: inner, ends = "), std::string::npos);
    std::string text = read_file(d.path / "conv.csv");
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    auto rows = csv_rows(text);
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "method,n,h,max_error,x_at_max,inner_max,ends_max,order_inner,order_ends,bound");
    const char* want[][2] = {{"spline", "4"},     {"spline", "8"},     {"spline", "16"},
                             {"quadratic", "4"},  {"quadratic", "8"},  {"quadratic", "16"},
                             {"not-a-knot", "4"}, {"not-a-knot", "8"}, {"not-a-knot", "16"},
                             {"clamped", "4"},    {"clamped", "8"},    {"clamped", "16"},
                             {"linear", "4"},     {"linear", "8"},     {"linear", "16"}};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 10u) << i;
        EXPECT_GE(std::stod(rows[i][9]), std::stod(rows[i][3])); // the bound, the largest
        EXPECT_EQ(rows[i][0], want[i - 1][0]);
        EXPECT_EQ(rows[i][1], want[i - 1][1]);
        EXPECT_EQ(std::stod(rows[i][2]), 7.0 / (std::stoi(rows[i][1]) - 1));
        bool first = rows[i][1] == "4";
        EXPECT_EQ(rows[i][7].empty(), first);
        EXPECT_EQ(rows[i][8].empty(), first);
    }
    expect_well_formed(d.path / "conv.svg");
    const std::pair<std::vector<std::string>, const char*> bad[] = {
        {{"3", "16"}, "N0 must be a whole number >= 4, not \"3\""},
        {{"100", "50"}, "N1 must not be below N0, and 50 is below 100"},
        {{"8"}, "give N0 and N1 together, and A and B together after them"},
        {{"8", "16", "1", "1"}, "A must be below B"},
    };
    for (auto [args, why] : bad) {
        args.insert(args.begin(), bin("lorconv"));
        RunResult b = run_args(d.path, args);
        EXPECT_EQ(b.status, 2);
        EXPECT_EQ(b.err.substr(0, b.err.find('\n')), std::string("lorconv: ") + why);
    }
    // A file that cannot be written (a folder in its place, which stays): the results are
    // printed, the other file is written.
    fs::remove(d.path / "conv.svg");
    fs::create_directory(d.path / "conv.svg");
    fs::remove(d.path / "conv.csv");
    RunResult w = run_args(d.path, {bin("lorconv"), "4", "16"});
    EXPECT_EQ(w.status, 1);
    EXPECT_EQ(w.out, r.out.substr(0, r.out.rfind("wrote")) + "wrote conv.csv\n");
    EXPECT_EQ(w.err, "lorconv: conv.svg is not a regular file; nothing written\n");
    EXPECT_EQ(read_file(d.path / "conv.csv"), text);
}

TEST(Lorconv, ObservedOrdersOfTheDefaultRun) {
    TempDir d;
    RunResult r = run_args(d.path, {bin("lorconv")});
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = csv_rows(read_file(d.path / "conv.csv"));
    // The finest pair of each method: its last row. The other end conditions lose the natural
    // spline's end layer: h^4 at the ends too.
    std::map<std::string, std::size_t> last;
    for (std::size_t i = 1; i < rows.size(); ++i)
        last[rows[i][0]] = i;
    for (auto [method, inner, ends] : {std::tuple{"spline", 4.0, 2.0},
                                       {"quadratic", 3.0, 1.0},
                                       {"not-a-knot", 4.0, 4.0},
                                       {"clamped", 4.0, 4.0},
                                       {"linear", 2.0, 2.0}}) {
        SCOPED_TRACE(method);
        std::size_t row = last.at(method);
        EXPECT_NEAR(std::stod(rows[row][7]), inner, 0.1);
        EXPECT_NEAR(std::stod(rows[row][8]), ends, 0.1);
    }
    for (const char* verdict : {"spline: inner order 4.00 (h^4), ends 2.00 (h^2",
                                "not-a-knot: inner order 4.00 (h^4), ends 4.00 (h^4)\n",
                                "clamped: inner order 4.00 (h^4), ends 3.99 (h^4)\n",
                                "linear: inner order 2.00 (h^2), ends 2.00 (h^2)\n"})
        EXPECT_NE(r.out.find(verdict), std::string::npos) << r.out;
}

// The study's jobs on one thread or several: the same table, files and verdicts.
TEST(Lorconv, ThreadsGiveTheSameStudy) {
    std::string out[2], csv[2], svg[2];
    const char* threads[2] = {"1", "3"};
    for (int i = 0; i < 2; ++i) {
        TempDir d;
        setenv("OMP_NUM_THREADS", threads[i], 1);
        RunResult r = run_args(d.path, {bin("lorconv"), "4", "1024"});
        ASSERT_EQ(r.status, 0) << r.err;
        out[i] = r.out;
        csv[i] = read_file(d.path / "conv.csv");
        svg[i] = read_file(d.path / "conv.svg");
    }
    unsetenv("OMP_NUM_THREADS");
    EXPECT_EQ(out[0], out[1]);
    EXPECT_EQ(csv[0], csv[1]);
    EXPECT_TRUE(svg[0] == svg[1]);
}

namespace {
// The names in folder d, sorted.
std::vector<std::string> names_in(const fs::path& d) {
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(d))
        r.push_back(e.path().filename().string());
    std::sort(r.begin(), r.end());
    return r;
}
} // namespace

// What stands where a figure goes and is not a regular file (a link, a fifo, a folder), and a
// link planted at the name the writer once used for its temporary file: none is replaced or
// written through, nor is what a link points to; a refused target is told in one line.
TEST(Files, NothingClobbered) {
    TempDir d;
    write_file(d.path / "t.out", gen(d, {"40"}));
    write_file(d.path / "victim.txt", "victim\n");
    write_file(d.path / "errsp.out", "1 0.5\n2 0.25\n");
    write_file(d.path / "errq.out", "1 0.5\n2 0.25\n");
    fs::create_symlink("victim.txt", d.path / "errsp.svg.part");
    fs::create_symlink("victim.txt", d.path / "errq.svg");
    fs::create_symlink("victim.txt", d.path / "link.svg");
    fs::create_symlink("victim.txt", d.path / "link.h");
    ASSERT_EQ(::mkfifo((d.path / "compare.svg").c_str(), 0600), 0);
    fs::create_directory(d.path / "conv.svg");
    std::vector<std::string> before = names_in(d.path);

    RunResult sp = run_args(d.path, {bin("gplot"), "t.out", "errsp.out"});
    EXPECT_EQ(sp.status, 0) << sp.err;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(d.path / "errsp.svg")));
    struct C {
        std::vector<std::string> argv;
        std::string err;
    };
    const C refused[] = {
        {{bin("gplot"), "t.out", "errq.out"},
         "gplot: errq.svg is not a regular file; nothing written\n"},
        {{bin("gplot"), "t.out", "errsp.out", "errq.out"},
         "gplot: compare.svg is not a regular file; nothing written\n"},
        {{bin("lorgen"), "--tol", "1e-3", "--method", "spline", "--svg", "link.svg"},
         "lorgen: --svg link.svg is not a regular file; nothing written\n"},
        {{bin("lorgen"), "--tol", "1e-3", "--method", "spline", "--format", "c", "--name", "link"},
         "lorgen: link.h is not a regular file; nothing written\n"},
        // Below what rounding to float32 alone can cost: refused before any work.
        {{bin("lorgen"), "--tol", "1.8e-7", "--method", "clamped", "--store", "float32"},
         "lorgen: float32 tables are not designed below 1.85e-07 for the clamped cubic spline on "
         "[0, 7]: rounding the values alone can cost 9.24e-08\n"},
    };
    for (const C& c : refused) {
        RunResult r = run_args(d.path, c.argv);
        EXPECT_EQ(r.status, 1) << c.argv[1];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(read_file(d.path / "victim.txt"), "victim\n");
    for (const char* link : {"errsp.svg.part", "errq.svg", "link.svg", "link.h"})
        EXPECT_EQ(fs::read_symlink(d.path / link), "victim.txt") << link;
    EXPECT_TRUE(fs::is_fifo(d.path / "compare.svg"));
    EXPECT_TRUE(fs::is_directory(d.path / "conv.svg"));
    // Nothing left behind but the one figure made.
    before.push_back("errsp.svg");
    std::sort(before.begin(), before.end());
    EXPECT_EQ(names_in(d.path), before);
}

// Two gplots at once in one folder, again and again: each pair leaves the whole figure,
// and no file of its own beside it.
TEST(Files, ConcurrentRunsLeaveAWholeFigure) {
    TempDir d;
    write_file(d.path / "loren.out", gen(d, {"200"}));
    std::string bin_dir = fs::path(bin("gplot")).parent_path().string();
    ASSERT_EQ(run_in(d.path, bin("splerr"), "-10000", bin_dir).status, 0);
    std::string want = read_file(d.path / "errsp.svg");
    std::vector<std::string> names = names_in(d.path);
    for (int pair = 0; pair < 40; ++pair) {
        RunResult r[2];
        std::thread other([&] {
            r[1] = run_args(d.path, {bin("gplot"), "loren.out", "errsp.out"});
        });
        r[0] = run_args(d.path, {bin("gplot"), "loren.out", "errsp.out"});
        other.join();
        ASSERT_TRUE(r[0].status == 0 && r[1].status == 0) << r[0].err << r[1].err;
        ASSERT_EQ(read_file(d.path / "errsp.svg"), want) << "pair " << pair;
        ASSERT_EQ(names_in(d.path), names) << "pair " << pair;
    }
}

// Under a small address space the study programs say that memory ran short, in one line, and
// end with status 1: no abort, and lorgen makes no file.
TEST(Files, MemoryRunsShort) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
#endif
#endif
    TempDir d;
    write_file(d.path / "t.out", gen(d, {"1000000"}));
    write_file(d.path / "errsp.out", "1 0.5\n2 0.25\n");
    std::vector<std::string> names = names_in(d.path);
    struct C {
        std::vector<std::string> argv;
        long mb;
        std::string line;
    };
    const C cs[] = {
        {{bin("gplot"), "t.out", "errsp.out"}, 36, "gplot: not enough memory to draw errsp.svg\n"},
        {{bin("lorgen"), "--tol", "1e-13", "--method", "spline", "-1e6", "1e6"},
         58,
         "lorgen: not enough memory for the design\n"},
        {{bin("lorconv"), "8", "16777216"}, 58, "lorconv: not enough memory for the study\n"},
    };
    for (const C& c : cs) {
        RunOpts o;
        o.memory_mb = c.mb;
        RunResult r = run_opts(d.path, c.argv, "", o);
        EXPECT_EQ(r.status, 1) << c.argv[0];
        EXPECT_EQ(r.err, c.line);
    }
    EXPECT_EQ(names_in(d.path), names);
    // splerr whose table runs out of memory at its first evaluation, in the error table's
    // walk: the error table of the run before stays whole.
    fs::copy_file(d.path / "t.out", d.path / "loren.out");
    RunOpts o;
    o.memory_mb = 36;
    RunResult r = run_opts(d.path, {bin("splerr")}, "-10000\n", o);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "enter x or -10000 to go to next section\n not enough memory for loren.out \n");
    EXPECT_EQ(read_file(d.path / "errsp.out"), "1 0.5\n2 0.25\n");
}

// A header's NAME is refused where it would hurt: a keyword, a reserved name, a standard
// header's name in any case (NAME.h would shadow it under -I.); an existing NAME.h or --svg
// target is left alone without --force, and two outputs of one path are refused, all before
// any work and with the file named.
TEST(Lorgen, FilesItWritesAreItsOwn) {
    TempDir d;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {bin("lorgen"), "--tol", "1e-4", "--method", "clamped"});
        return run_args(d.path, args);
    };
    for (const char* name : {"float", "int", "_x", "string", "String", "stdio", "vector", "math"}) {
        RunResult r = run({"--format", "c", "--name", name});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find(std::string("\"") + name + "\""), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(d.path / (std::string(name) + ".h"))) << name;
    }
    write_file(d.path / "T.h", "mine\n");
    fs::permissions(d.path / "T.h", fs::perms::owner_read);
    write_file(d.path / "s.svg", "mine too\n");
    RunResult h = run({"--format", "c", "--name", "T"});
    EXPECT_EQ(h.status, 1);
    EXPECT_EQ(h.err, "lorgen: T.h exists; nothing written (--force replaces it)\n");
    RunResult s = run({"--svg", "s.svg"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out, "");
    EXPECT_EQ(s.err, "lorgen: s.svg exists; nothing written (--force replaces it)\n");
    EXPECT_EQ(read_file(d.path / "T.h"), "mine\n");
    EXPECT_EQ(read_file(d.path / "s.svg"), "mine too\n");
    RunResult one = run({"--svg", "./U.h", "--format", "c", "--name", "U"});
    EXPECT_EQ(one.status, 2);
    EXPECT_EQ(one.err.substr(0, one.err.find('\n')),
              "lorgen: --svg ./U.h and U.h are one file: give each its own");
    EXPECT_FALSE(fs::exists(d.path / "U.h"));
    RunResult f = run({"--svg", "s.svg", "--format", "c", "--name", "T", "--force"});
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(read_file(d.path / "T.h").rfind("/* T.h:", 0), 0u);
    EXPECT_NE(read_file(d.path / "s.svg").find("<svg"), std::string::npos);
}

// A save interrupted between its new file and putting it in place (held there by the test's
// pause) removes the new file and ends as the signal would: the target is what it was, no
// temporary is left, for every writer of the study programs and each signal.
TEST(Save, InterruptedSavesLeaveNoTemporary) {
    TempDir d;
    write_file(d.path / "loren.out", run_args(d.path, {bin("lorgen"), "40", "-5", "12"}).out);
    ASSERT_EQ(run_in(d.path, bin("splerr"), "-10000\n", make_fake_gplot(d.path).string()).status,
              0);
    // A study's folder for lorreport, its pages removed.
    TempDir study;
    write_file(study.path / "loren.out", run_args(study.path, {bin("lorgen")}).out);
    ASSERT_EQ(run_args(study.path, {bin("lorstudy")}).status, 0);
    fs::remove(study.path / "index.html");
    fs::remove(study.path / "bound.html");
    struct Writer {
        std::vector<std::string> argv;
        const char* target;
        fs::path dir;
    };
    const Writer writers[] = {
        {{bin("lorreport")}, "bound.html", study.path},
        {{bin("lorgen"), "--tol", "1e-4", "--method", "clamped", "--format", "c", "--name", "Q"},
         "Q.h",
         {}},
        {{bin("lorgen"), "--tol", "1e-4", "--method", "all", "--svg", "d.svg"}, "d.svg", {}},
        {{bin("gplot"), "loren.out", "errsp.out"}, "errsp.svg", {}},
        {{bin("lorconv"), "4", "16"}, "conv.csv", {}},
    };
    const int sigs[] = {SIGINT, SIGTERM, SIGHUP};
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.target);
        for (int k = 0; k < 20; ++k) {
            RunOpts o;
            o.env = {"LORENTZ_SAVE_PAUSE_MS=400"};
            o.interrupt = sigs[k % 3];
            o.interrupt_at = std::string(".") + w.target + ".";
            fs::path dir = w.dir.empty() ? d.path : w.dir;
            RunResult r = run_opts(dir, w.argv, "", o);
            ASSERT_EQ(r.status, 128 + o.interrupt) << r.err;
            for (const auto& e : fs::directory_iterator(dir))
                ASSERT_NE(e.path().filename().string().rfind(o.interrupt_at, 0), 0u)
                    << e.path() << " left";
            ASSERT_FALSE(fs::exists(dir / w.target));
        }
    }
}

// The lines of the example blocks (.EX ... .EE) of a manual page, as they read: groff's
// escapes undone.
std::vector<std::vector<std::string>> examples(const std::string& page) {
    std::vector<std::vector<std::string>> blocks;
    std::string text = read_file(fs::path(SOURCE_DIR) / "man" / page), line;
    bool in = false;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (line == ".EX" || line == ".EE") {
            in = line == ".EX";
            if (in)
                blocks.emplace_back();
            continue;
        }
        if (!in)
            continue;
        for (auto [from, to] :
             {std::pair{"\\-", "-"}, {"\\(aq", "'"}, {"\\(dq", "\""}, {"\\&", ""}})
            for (std::size_t k = 0; (k = line.find(from, k)) != std::string::npos;)
                line.replace(k, std::strlen(from), to);
        blocks.back().push_back(line);
    }
    return blocks;
}

// Every example of the manual pages says what a real run prints: its output lines appear in
// the run's output in order ("..." leaves lines out; a line ending in "..." is a line's
// start; a block of one wrapped output line is that line). lorlist's, which needs a
// console, is its own test's.
TEST(Man, ExamplesAreWhatRuns) {
    struct Case {
        const char* page;
        std::size_t block;
        const char* table; // loren.out: lorgen's default table where null
        std::vector<std::string> argv;
        const char* input;
    };
    const char* squares = "1 1\n2 4\n3 9\n4 16\n";
    const Case cs[] = {
        {"gplot.1", 0, nullptr, {bin("gplot"), "loren.out", "errsp.out"}, ""},
        {"loctest.1", 0, "1 1\n2 4\n3 9\n4 16\n5 25\n", {bin("loctest")}, "3.5 -10000"},
        {"lorgen.1", 1, nullptr, {bin("lorgen"), "--tol", "1e-8", "--method", "spline"}, ""},
        {"lorgen.1",
         2,
         nullptr,
         {bin("lorgen"), "--tol", "1e-6", "--method", "clamped", "--store", "float32", "--format",
          "c", "--name", "lor"},
         ""},
        {"quaderr.1", 0, squares, {bin("quaderr")}, "2.5 -10000"},
        {"splerr.1", 0, nullptr, {bin("splerr")}, "2.5 -10000"},
    };
    std::string bin_dir = fs::path(bin("gplot")).parent_path().string();
    for (const Case& c : cs) {
        SCOPED_TRACE(std::string(c.page) + " example " + std::to_string(c.block));
        TempDir d;
        std::string table = c.table != nullptr ? c.table : run_args(d.path, {bin("lorgen")}).out;
        write_file(d.path / "loren.out", table);
        if (c.page == std::string("gplot.1")) {
            fs::path fake = make_fake_gplot(d.path);
            ASSERT_EQ(run_in(d.path, bin("splerr"), "-10000", fake.string()).status, 0);
        }
        std::vector<std::vector<std::string>> blocks = examples(c.page);
        ASSERT_LT(c.block, blocks.size());
        std::vector<std::string> want;
        for (const std::string& l : blocks[c.block])
            if (l.rfind("$ ", 0) != 0)
                want.push_back(l);
        if (blocks[c.block][0].rfind("$ ", 0) != 0) { // one output line, wrapped
            std::string joined;
            for (const std::string& l : want)
                joined += (joined.empty() ? "" : " ") + l;
            want = {joined};
        }
        RunResult r = run_args(d.path, c.argv, c.input, bin_dir);
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> got;
        for (const std::string* s : {&r.out, &r.err})
            for (std::size_t at = 0, end; at < s->size(); at = end + 1) {
                end = s->find('\n', at);
                end = end == std::string::npos ? s->size() : end;
                std::string l = s->substr(at, end - at);
                l.erase(l.find_last_not_of(' ') + 1); // the pages show no trailing spaces
                got.push_back(l);
            }
        std::size_t next = 0;
        for (const std::string& w : want) {
            if (w == "...")
                continue;
            bool start = w.size() > 3 && w.compare(w.size() - 3, 3, "...") == 0;
            std::string head = start ? w.substr(0, w.size() - 4) : w;
            while (next < got.size() && !(start ? got[next].rfind(head, 0) == 0 : got[next] == w))
                ++next;
            if (next == got.size()) {
                ADD_FAILURE() << "not in the run, in order: \"" << w << "\"\n" << r.out << r.err;
                break;
            }
            ++next;
        }
    }
}
