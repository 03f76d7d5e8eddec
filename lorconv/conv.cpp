// conv: tables as lorgen makes them, both interpolants at 64 points an interval, the maxima.
#include "conv.hpp"

#include "numlib.hpp"
#include "poly/quad.hpp"
#include "spline.hpp"

#include <cmath>
#include <new>

namespace {
constexpr int per_interval = 64;

// The search's result for x, locate(x, xa, n), from a guess g near it: the largest j in
// -1..n-1 with xa[j] < x, for ascending xa. O(1) when the guess is off by one or two.
int bracket(const double xa[], int n, int g, double x) {
    int j = g < n - 1 ? g : n - 1;
    while (j >= 0 && !(xa[j] < x))
        --j;
    while (j + 1 < n && xa[j + 1] < x)
        ++j;
    return j;
}

double value_at(const ConvTable& t, Method m, int k, double x) {
    if (m == Method::spline)
        return spline_piece(t.xa.data(), t.ya.data(), t.d2.data(), t.n,
                            bracket(t.xa.data(), t.n, k, x), x);
    // Row k of the table is entry k + 1 of the padded one.
    return quad_at(bracket(t.pxa.data(), t.n, k + 1, x), x, t.pxa.data(), t.pya.data(), t.n);
}

struct Acc {
    double lo, hi; // the inner region
    ConvStats s;
    bool first = true;
};

void accumulate(double x, double p, void* ctx) {
    auto* a = static_cast<Acc*>(ctx);
    double e = std::fabs(p - lorentz(x));
    if (a->first || e > a->s.max_error) {
        a->s.max_error = e;
        a->s.x_at_max = x;
        a->first = false;
    }
    double& m = x >= a->lo && x <= a->hi ? a->s.inner_max : a->s.ends_max;
    if (e > m)
        m = e;
}
} // namespace

ConvTable conv_table(int n, double a, double b) {
    ConvTable t;
    t.n = n;
    auto len = static_cast<std::size_t>(n);
    t.xa.resize(len);
    t.ya.resize(len);
    t.d2.assign(len, 0.0);
    t.pxa.assign(len + 2, 0.0);
    t.pya.assign(len + 2, 0.0);
    for (int i = 0; i < n; ++i) {
        double x = sample_x(a, b, n, i);
        t.xa[i] = t.pxa[i + 1] = x;
        t.ya[i] = t.pya[i + 1] = lorentz(x);
    }
    if (!spline_coeffs(t.xa.data(), t.ya.data(), t.d2.data(), n))
        throw std::bad_alloc();
    set_ghosts(t.pxa.data(), t.pya.data(), n);
    return t;
}

void conv_walk(const ConvTable& t, Method m, Visit visit, void* ctx) {
    for (int k = 0; k + 1 < t.n; ++k) {
        double x0 = t.xa[k], x1 = t.xa[k + 1];
        for (int j = 0; j < per_interval; ++j) {
            double x = x0 + ((x1 - x0) * j) / 64.0;
            visit(x, value_at(t, m, k, x), ctx);
        }
    }
    double last = t.xa[t.n - 1];
    visit(last, value_at(t, m, t.n - 1, last), ctx);
}

ConvStats conv_stats(const ConvTable& t, Method m, double a, double b) {
    double w = (b - a) / 7;
    Acc acc{a + w, b - w, {}};
    acc.s.n = t.n;
    acc.s.h = (b - a) / (t.n - 1);
    conv_walk(t, m, accumulate, &acc);
    return acc.s;
}

double conv_order(double e0, double h0, double e1, double h1) {
    return std::log(e0 / e1) / std::log(h0 / h1);
}
