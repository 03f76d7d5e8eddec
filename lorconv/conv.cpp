// conv: tables as lorgen makes them, both interpolants at the dense engine's points, the maxima.
#include "conv.hpp"

#include "numlib.hpp"

#include <cmath>

ConvTable conv_table(int n, double a, double b) {
    ConvTable t;
    t.n = n;
    t.xa.resize(static_cast<std::size_t>(n));
    t.ya.resize(static_cast<std::size_t>(n));
    sample_table(a, b, n, t.xa.data(), t.ya.data());
    return t;
}

ConvStats conv_stats(const ConvTable& t, const Method& m, double a, double b) {
    ConvStats s;
    s.n = t.n;
    s.h = (b - a) / (t.n - 1);
    double w = (b - a) / 7;
    DenseTable d = dense_prepare(t.xa.data(), t.ya.data(), t.n, m);
    DenseOpts o;
    o.window = true;
    o.win_lo = a + w;
    o.win_hi = b - w;
    DenseErrors r = dense_errors(d, o);
    // A region's maximum counts an infinite error and passes over NaN.
    s.inner_max = r.inside_infs > 0 ? HUGE_VAL : std::fmax(r.inside.err, 0.0);
    s.ends_max = r.outside_infs > 0 ? HUGE_VAL : std::fmax(r.outside.err, 0.0);
    // The maximum is the first point's error, then any greater: NaN there leaves it NaN.
    // (The engine's first point, written as it computes it: -0 + 0 is +0.)
    double x0 = t.xa[0] + ((t.xa[1] - t.xa[0]) * 0) / 64.0;
    double e0 = std::fabs(dense_value(d, 0, x0) - lorentz(x0));
    Peak top = std::isnan(e0)         ? Peak{e0, x0}
               : !std::isnan(r.inf_x) ? Peak{HUGE_VAL, r.inf_x}
                                      : r.all;
    s.max_error = top.err;
    s.x_at_max = top.x;
    return s;
}

double conv_order(double e0, double h0, double e1, double h1) {
    return std::log(e0 / e1) / std::log(h0 / h1);
}
