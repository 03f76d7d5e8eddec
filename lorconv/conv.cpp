// conv: tables as lorgen makes them, both interpolants at the dense engine's points, the maxima.
#include "conv.hpp"

#include "function.hpp"
#include "numlib.hpp"

#include <cmath>

ConvTable conv_table(int n, double a, double b) {
    ConvTable t;
    t.n = n;
    t.xa.resize(static_cast<std::size_t>(n));
    t.ya.resize(static_cast<std::size_t>(n));
    const Function& f = study_function();
    for (int i = 0; i < n; ++i) {
        auto k = static_cast<std::size_t>(i);
        t.xa[k] = sample_x(a, b, n, i);
        t.ya[k] = f.f(t.xa[k]);
    }
    return t;
}

ConvStats conv_stats(const ConvTable& t, const Method& m, double a, double b) {
    ConvStats s;
    s.n = t.n;
    s.h = (b - a) / (t.n - 1);
    double w = (b - a) / 7;
    DenseTable d = dense_prepare(t.xa.data(), t.ya.data(), t.n, m);
    Largest l = dense_largest(d, {.window = {true, a + w, b - w}});
    const Peaks& r = l.peaks;
    // A region's maximum is NaN where an error there is NaN (the interpolant's values are not
    // numbers), else its largest, an infinite error included.
    auto region = [](long long nans, long long infs, const Peak& p) {
        return nans > 0 ? std::nan("") : infs > 0 ? HUGE_VAL : std::fmax(p.err, 0.0);
    };
    s.inner_max = region(r.inside_nans, r.inside_infs, r.inside);
    s.ends_max = region(r.outside_nans, r.outside_infs, r.outside);
    Peak top = r.nans > 0             ? Peak{std::nan(""), std::nan("")}
               : !std::isnan(r.inf_x) ? Peak{HUGE_VAL, r.inf_x}
                                      : r.all;
    s.max_error = top.err;
    s.x_at_max = top.x;
    s.bound = l.bound;
    return s;
}

double conv_order(double e0, double h0, double e1, double h1) {
    return std::log(e0 / e1) / std::log(h0 / h1);
}
