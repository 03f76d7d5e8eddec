// conv: tables as lorgen makes them, both interpolants at the dense engine's points, the maxima.
#include "conv.hpp"

#include "numlib.hpp"

#include <cmath>

namespace {
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
    t.xa.resize(static_cast<std::size_t>(n));
    t.ya.resize(static_cast<std::size_t>(n));
    sample_table(a, b, n, t.xa.data(), t.ya.data());
    return t;
}

ConvStats conv_stats(const ConvTable& t, Method m, double a, double b) {
    double w = (b - a) / 7;
    Acc acc{a + w, b - w, {}};
    acc.s.n = t.n;
    acc.s.h = (b - a) / (t.n - 1);
    DenseTable d = dense_prepare(t.xa.data(), t.ya.data(), t.n, m);
    dense_walk(d, 0, t.n, accumulate, &acc);
    return acc.s;
}

double conv_order(double e0, double h0, double e1, double h1) {
    return std::log(e0 / e1) / std::log(h0 / h1);
}
