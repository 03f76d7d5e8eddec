// ask: the questions the engine answers, each put to the sampled pass or the proving search.
#include "engine.hpp"
#include "function.hpp"
#include "within.hpp"

#include <algorithm>

namespace {
// The span of a question as the passes take it.
Ask ask_of(const Span& s) {
    Ask o;
    o.k0 = s.k0;
    o.k1 = s.k1;
    o.threads = s.threads;
    return o;
}

void columns_into(Ask& o, const Columns& c) {
    o.columns = c.count;
    o.col_x0 = c.x0;
    o.col_x1 = c.x1;
}

void window_into(Ask& o, const Window& w) {
    o.window = w.on;
    o.win_lo = w.lo;
    o.win_hi = w.hi;
}
} // namespace

Tally dense_tally(const DenseTable& t, const Ask& o) {
    if (o.prove && t.strict)
        return dense_search(t, o);
    return sample_pass(t, o);
}

Peaks dense_sample(const DenseTable& t, const SampleArgs& a) {
    Ask o = ask_of(a.span);
    o.tol = a.tol;
    o.stop = true;
    o.per_interval = a.per_interval;
    o.every = a.every;
    columns_into(o, a.columns);
    window_into(o, a.window);
    return std::move(dense_tally(t, o).p);
}

Largest dense_largest(const DenseTable& t, const LargestArgs& a) {
    Ask o = ask_of(a.span);
    o.prove = true;
    columns_into(o, a.columns);
    window_into(o, a.window);
    Tally r = dense_tally(t, o);
    return {std::move(r.p), r.bound, r.inside_bound, r.outside_bound, r.allowance};
}

std::string bound_text(const Largest& r) {
    if (std::isnan(r.bound))
        return "no bound: the abscissae do not strictly ascend";
    if (!std::isfinite(r.bound))
        return "no finite bound";
    std::string s = "bound " + fmt_up(r.bound);
    return r.peaks.all.err <= r.allowance ? s + ", at the rounding level" : s;
}

namespace {
// An interval wider than 64 times the scale of the function's shape at its point nearest the
// peak (its half width plus the distance): an estimate's 16 points may all miss the shape,
// as they miss the peak of an interval of a table on [-1e20, 1e20].
bool hides_shape(double a, double b) {
    const Function& f = study_function();
    double near = std::clamp(f.peak, a, b);
    return b - a > 64 * (f.width + std::fabs(near - f.peak));
}
} // namespace

std::vector<double> dense_intervals(const DenseTable& t, const IntervalArgs& a) {
    int k0 = a.span.k0, k1 = a.span.k1 < 0 ? t.n - 1 : a.span.k1;
    Ask o = ask_of(a.span);
    o.k1 = k1 == t.n - 1 ? t.n : k1;
    o.per_interval = true;
    bool prove = a.what != PerInterval::estimate;
    o.prove = prove;
    o.tol = a.what == PerInterval::against_tol ? a.tol : HUGE_VAL;
    o.every = prove ? 1 : 4;
    Tally r = dense_tally(t, o);
    std::vector<double> e(static_cast<std::size_t>(k1 - k0), 0.0);
    for (std::size_t i = 0; i < r.p.interval.size(); ++i) {
        // No bound where the abscissae do not strictly ascend: none of the interval is known.
        double v = !prove                        ? std::max(r.p.interval[i].err, 0.0)
                   : i < r.interval_bound.size() ? r.interval_bound[i]
                                                 : NAN;
        if (r.p.interval_not_finite[i] > 0 || !(v >= 0))
            v = HUGE_VAL;
        double& to = e[std::min(i, e.size() - 1)];
        to = std::max(to, v);
    }
    // An estimate that may have missed the shape: the interval's bound stands in for it, so
    // that rows spaced after the estimates do not lose the peak.
    for (std::size_t i = 0; i < e.size() && !prove && t.strict; ++i) {
        int k = k0 + static_cast<int>(i);
        if (k + 1 < t.n && hides_shape(t.xa[k], t.xa[k + 1]))
            e[i] = dense_intervals(
                t, {.span = {k, k + 1, a.span.threads}, .what = PerInterval::bound})[0];
    }
    return e;
}

Proven dense_within(const DenseTable& t, int k0, int k1, double tol, int threads, bool tight) {
    Ask o = ask_of({k0, k1, threads});
    o.tol = tol;
    o.stop = true;
    o.prove = true;
    o.tight = tight;
    Tally r = dense_tally(t, o);
    Proven p{r.p.all, r.bound, Verdict::within, r.allowance};
    if (r.p.stopped || r.p.not_finite > 0)
        p.verdict = Verdict::above;
    else if (!(r.bound <= tol))
        p.verdict = Verdict::not_proven;
    return p;
}

Proven table_error(const double* xa, const double* ya, int n, const Method& m, double tol,
                   int threads, bool single) {
    return dense_within(dense_prepare(xa, ya, n, m, threads, single), 0, -1, tol, threads, true);
}
