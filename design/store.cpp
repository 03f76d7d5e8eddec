// store: rounding to the storage types, and the floor that rounding sets.
#include "store.hpp"

#include "dense.hpp"
#include "function.hpp"

#include <algorithm>
#include <cmath>

double stored(double v, Store s) {
    return s != Store::f64 ? static_cast<double>(static_cast<float>(v)) : v;
}

void round_out(double* a, double* b, Store s) {
    double fa = stored(*a, s), fb = stored(*b, s);
    if (fa > *a)
        fa = static_cast<double>(std::nextafter(static_cast<float>(fa), -HUGE_VALF));
    if (fb < *b)
        fb = static_cast<double>(std::nextafter(static_cast<float>(fb), HUGE_VALF));
    *a = fa;
    *b = fb;
}

std::vector<double> stored_values(const std::vector<double>& x, Store s) {
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        y[i] = stored(study_function().f(x[i]), s);
    return y;
}

int store_bytes(Store s) {
    return s != Store::f64 ? 4 : 8;
}

const char* store_name(Store s) {
    return s != Store::f64 ? "float32" : "double";
}

const char* arith_name(Store s) {
    return single(s) ? "float32" : "double";
}

namespace {
using Rows = std::vector<double>;

// The method's amplification of errors in its ordinates: the largest over the engine's points
// of sum_i |p(e_i)(x) - p(0)(x)| on 32 evenly spaced rows (e_i: 1 at row i, 0 elsewhere), the
// pieces' response to unit data errors with the end conditions' own terms taken out.
double amplification(const Method& m) {
    constexpr int n = 32, per = dense_per_interval;
    Rows x(n), zero(n, 0.0), pts(per), p(per), sum((n - 1) * per + 1, 0.0), base(sum.size());
    for (int i = 0; i < n; ++i)
        x[static_cast<std::size_t>(i)] = i;
    // The values of the method on ordinates y at the engine's points, into out.
    auto values = [&](const Rows& y, Rows& out) {
        DenseTable t = dense_prepare(x.data(), y.data(), n, m);
        for (int k = 0; k + 1 < n; ++k) {
            for (int j = 0; j < per; ++j)
                pts[static_cast<std::size_t>(j)] = k + j / static_cast<double>(per);
            m.values(t, k, pts.data(), per, p.data());
            std::copy(p.begin(), p.end(), out.begin() + static_cast<std::ptrdiff_t>(k) * per);
        }
        out.back() = dense_value(t, n - 2, n - 1);
    };
    values(zero, base);
    Rows one(sum.size());
    for (int i = 0; i < n; ++i) {
        Rows y = zero;
        y[static_cast<std::size_t>(i)] = 1;
        values(y, one);
        for (std::size_t j = 0; j < sum.size(); ++j)
            sum[j] += std::fabs(one[j] - base[j]);
    }
    return *std::max_element(sum.begin(), sum.end());
}
} // namespace

double store_floor(double a, double b, const Method& m, Store s) {
    if (s == Store::f64)
        return 0;
    double units = amplification(m) + (single(s) ? m.single_units : 0);
    return units * study_function().largest(a, b) * 0x1p-24;
}
