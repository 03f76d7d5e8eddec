// dense_fuzz: the dense engine on arbitrary small tables (unordered, repeated, infinite, NaN)
// with arbitrary options, every question asked: it reads nothing outside its arrays, every
// thread count gives the one-thread result, and the proven bound is never below the error at
// any point of a dense evaluation of the programs' values (1,024 points an interval). Input: a
// byte (n = 2..41 rows, the method, per interval or not, the table repeated or not), then n
// abscissae and n ordinates, then doubles for the options (stop, columns' range, window, the
// repeat's shift, whose sign bit asks for float32 arithmetic on the table rounded to
// float32), as far as the input goes.
#include "dense.hpp"
#include "numlib.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
bool same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}
bool same(const Peak& a, const Peak& b);

// The bound of a proving run is at least the error of the method's values (the programs') at
// 1,024 points of every interval and at every row; the largest found is at most the bound.
void check_bound(const DenseTable& t, const Largest& r) {
    if (!(r.bound < HUGE_VAL))
        return;
    bool ok = r.peaks.all.err <= r.bound;
    for (int k = 0; ok && k + 1 < t.n; ++k)
        for (int j = 0; ok && j <= 1024; ++j) {
            double x =
                at(t, j == 1024 ? t.xa[k + 1] : t.xa[k] + (t.xa[k + 1] - t.xa[k]) * j / 1024);
            double e = std::fabs(dense_value(t, k, x) - lorentz(x));
            ok = !(e > r.bound);
        }
    if (!ok)
        __builtin_trap();
}

bool same(const Peak& a, const Peak& b) {
    return same(a.err, b.err) && same(a.x, b.x);
}
void check(const Peaks& a, const Peaks& b) {
    bool ok = same(a.all, b.all) && same(a.inside, b.inside) && same(a.outside, b.outside) &&
              same(a.inf_x, b.inf_x) && a.points == b.points && a.not_finite == b.not_finite &&
              a.nans == b.nans && a.stopped == b.stopped && a.inside_infs == b.inside_infs &&
              a.outside_nans == b.outside_nans && a.interval.size() == b.interval.size() &&
              a.column.size() == b.column.size();
    for (std::size_t k = 0; ok && k < a.interval.size(); ++k)
        ok = same(a.interval[k], b.interval[k]);
    for (std::size_t c = 0; ok && c < a.column.size(); ++c)
        ok = same(a.column[c], b.column[c]);
    if (!ok)
        __builtin_trap();
}
void check(const Largest& a, const Largest& b) {
    check(a.peaks, b.peaks);
    if (!(same(a.bound, b.bound) && same(a.inside_bound, b.inside_bound) &&
          same(a.allowance, b.allowance)))
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    int n = 2 + data[0] % 40;
    const Method& m = *methods()[(data[0] >> 6) & 1];
    std::size_t need = 1 + 16 * static_cast<std::size_t>(n);
    if (size < need)
        return 0;
    std::vector<double> xa(static_cast<std::size_t>(n)), ya(xa.size());
    std::memcpy(xa.data(), data + 1, 8 * xa.size());
    std::memcpy(ya.data(), data + 1 + 8 * xa.size(), 8 * ya.size());
    double v[6] = {HUGE_VAL, 0, 0, 0, 0, 0};
    for (int i = 0; i < 6 && need + 8 * (i + 1) <= size; ++i)
        std::memcpy(&v[i], data + need + 8 * i, 8);
    Columns cols;
    if (v[1] < v[2])
        cols = {1 + static_cast<int>(data[0] % 97), v[1], v[2]};
    Window win{true, v[3], v[4]};
    bool per = (data[0] & 0x80) != 0;
    // Bit 5: the table repeated, shifted by v[5] each time, to some 600 rows: enough
    // intervals for the engine's blocks to run on threads.
    if ((data[0] & 0x20) != 0) {
        std::vector<double> tx, ty;
        for (int rep = 0; static_cast<int>(tx.size()) < 600; ++rep)
            for (int i = 0; i < n; ++i) {
                tx.push_back(xa[static_cast<std::size_t>(i)] + rep * v[5]);
                ty.push_back(ya[static_cast<std::size_t>(i)]);
            }
        xa = tx;
        ya = ty;
        n = static_cast<int>(xa.size());
    }
    bool single = std::signbit(v[5]);
    if (single)
        for (std::vector<double>* a : {&xa, &ya})
            for (double& e : *a)
                e = static_cast<double>(static_cast<float>(e));
    DenseTable t = dense_prepare(xa.data(), ya.data(), n, m, 1, single);
    SampleArgs sa{.tol = v[0], .per_interval = per, .columns = cols, .window = win};
    Peaks sampled = dense_sample(t, sa);
    sa.span.threads = 3;
    check(sampled, dense_sample(t, sa));
    LargestArgs la{.columns = cols, .window = win};
    Largest largest = dense_largest(t, la);
    la.span.threads = 3;
    check(largest, dense_largest(t, la));
    if (n <= 41)
        check_bound(t, largest);
    IntervalArgs ia{.what = per ? PerInterval::against_tol : PerInterval::bound, .tol = v[0]};
    std::vector<double> e = dense_intervals(t, ia);
    ia.span.threads = 3;
    std::vector<double> e3 = dense_intervals(t, ia);
    for (std::size_t k = 0; k < e.size(); ++k)
        if (!same(e[k], e3[k]))
            __builtin_trap();
    return 0;
}
