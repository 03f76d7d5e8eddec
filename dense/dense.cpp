// dense: the points of every interval, the method's value at each, and what the errors
// come to, block by block, joined in order.
#include "dense.hpp"

#include "numlib.hpp"

#include <algorithm>

DenseTable dense_prepare(const double* xa, const double* ya, int n, const Method& m, int threads) {
    DenseTable t;
    t.n = n;
    t.xa = xa;
    t.ya = ya;
    t.m = &m;
    m.prepare(t, threads);
    return t;
}

namespace {
// The points of interval k: count of them (64, or 1 for the last abscissa alone), and the
// first abscissa and the width the others are taken from.
struct Points {
    double x0, step;
    int count;
};
inline Points points_of(const DenseTable& t, int k) {
    if (k >= t.n - 1)
        return {t.xa[t.n - 1], 0.0, 1};
    return {t.xa[k], t.xa[k + 1] - t.xa[k], dense_per_interval};
}
// Point j: x0 + ((x1 - x0) * j) / 64.0.
inline double point_x(const Points& p, int j) {
    return p.count == 1 ? p.x0 : p.x0 + (p.step * j) / 64.0;
}

// The finite error e at x into the reductions o asks for beside the overall peak.
inline void take(DenseErrors& r, const DenseOpts& o, double scale, double x, double e) {
    if (o.columns > 0 && x >= o.col_x0 && x <= o.col_x1) {
        double cols = o.columns, at = (x - o.col_x0) * scale;
        std::size_t c = at < cols - 1 ? static_cast<std::size_t>(at) : r.column.size() - 1;
        if (e > r.column[c].err)
            r.column[c] = {e, x};
    }
    if (o.window) {
        Peak& w = x >= o.win_lo && x <= o.win_hi ? r.inside : r.outside;
        if (e > w.err)
            w = {e, x};
    }
}

// An error that is not finite at x into the counts.
inline void count_bad(DenseErrors& r, const DenseOpts& o, double x, double e) {
    if (std::isnan(e)) {
        ++r.nans;
        return;
    }
    if (std::isnan(r.inf_x))
        r.inf_x = x;
    if (o.window)
        ++(x >= o.win_lo && x <= o.win_hi ? r.inside_infs : r.outside_infs);
}

// dense_errors over the intervals k0 .. k1-1 on the caller's thread.
DenseErrors errors_of(const DenseTable& t, const DenseOpts& o, int k0, int k1) {
    DenseErrors r;
    r.column.assign(static_cast<std::size_t>(std::max(o.columns, 0)), Peak{});
    double scale = o.columns > 0 ? o.columns / (o.col_x1 - o.col_x0) : 0.0;
    for (int k = k0; k < k1 && !r.stopped; ++k) {
        Peak p;
        long long bad = 0;
        Points pts = points_of(t, k);
        for (int j = 0; j < pts.count; ++j) {
            double x = point_x(pts, j);
            double e = std::fabs(dense_value(t, k, x) - lorentz(x));
            ++r.points;
            if (!std::isfinite(e)) {
                ++bad;
                count_bad(r, o, x, e);
                continue;
            }
            if (e > p.err)
                p = {e, x};
            take(r, o, scale, x, e);
            if (e > o.stop_above) {
                r.stopped = true;
                break;
            }
        }
        r.not_finite += bad;
        if (p.err > r.all.err)
            r.all = p;
        if (o.per_interval) {
            r.interval.push_back(p);
            r.interval_not_finite.push_back(bad);
        }
    }
    return r;
}

// b's peak into a's where it is greater: on a tie the first x stays.
void join_peak(Peak& a, const Peak& b) {
    if (b.err > a.err)
        a = b;
}

// Joins the result of the intervals after a's to a: what one pass over both gives.
void join(DenseErrors& a, DenseErrors&& b) {
    join_peak(a.all, b.all);
    a.interval.insert(a.interval.end(), b.interval.begin(), b.interval.end());
    a.interval_not_finite.insert(a.interval_not_finite.end(), b.interval_not_finite.begin(),
                                 b.interval_not_finite.end());
    for (std::size_t c = 0; c < a.column.size(); ++c)
        join_peak(a.column[c], b.column[c]);
    join_peak(a.inside, b.inside);
    join_peak(a.outside, b.outside);
    a.inside_infs += b.inside_infs;
    a.outside_infs += b.outside_infs;
    if (std::isnan(a.inf_x))
        a.inf_x = b.inf_x;
    a.points += b.points;
    a.not_finite += b.not_finite;
    a.nans += b.nans;
    a.stopped = b.stopped;
}
} // namespace

DenseErrors dense_errors(const DenseTable& t, const DenseOpts& o) {
    int k0 = o.k0, k1 = o.k1 < 0 ? t.n : o.k1;
    // Blocks of intervals, one a thread, joined in order: the same result as one pass.
    int blocks = std::min(o.threads, (k1 - k0) / 256);
    if (blocks < 2)
        return errors_of(t, o, k0, k1);
    std::vector<DenseErrors> part(static_cast<std::size_t>(blocks));
    run_jobs(part.size(), blocks, [&](std::size_t b) {
        auto from = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * b / part.size());
        auto to = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * (b + 1) / part.size());
        part[b] = errors_of(t, o, from, to);
    });
    // A block after one that stopped early was never reached by one pass.
    DenseErrors r = std::move(part[0]);
    for (std::size_t b = 1; b < part.size() && !r.stopped; ++b)
        join(r, std::move(part[b]));
    return r;
}
