// dense: the points of every interval, the method's value at each, and what the errors
// come to, block by block, joined in order.
#include "dense.hpp"
#include "engine.hpp"
#include "function.hpp"

#include "numlib.hpp"

#include <algorithm>
#include <cfloat>
#include <string>

DenseTable dense_prepare(const double* xa, const double* ya, int n, const Method& m, int threads,
                         bool single) {
    DenseTable t;
    t.single = single;
    t.n = n;
    t.xa = xa;
    t.ya = ya;
    t.m = &m;
    m.prepare(t, threads);
    t.strict = true;
    for (int i = 1; i < n && t.strict; ++i)
        t.strict = xa[i] > xa[i - 1];
    t.strict = t.strict && !std::isnan(xa[0]);
    return t;
}

namespace {
// The points of interval k: count of them (64 / every, or 1 for the last abscissa alone),
// and the first abscissa and the width the others are taken from.
struct Points {
    double x0, step;
    int count, every;
};
inline Points points_of(const DenseTable& t, int k, int every) {
    if (k >= t.n - 1)
        return {t.xa[t.n - 1], 0.0, 1, 1};
    every = std::clamp(every, 1, dense_per_interval);
    return {t.xa[k], t.xa[k + 1] - t.xa[k], std::max(1, dense_per_interval / every), every};
}
// Point j: x0 + ((x1 - x0) * (j * every)) / 64.0.
inline double point_x(const Points& p, int j) {
    return p.count == 1 ? p.x0 : p.x0 + (p.step * (j * p.every)) / 64.0;
}

} // namespace

namespace {
// The points of interval k into x, the method's values there into p, the errors into e. The
// errors in a loop of their own, which the compiler vectorises.
Points interval_errors(const DenseTable& t, int k, int every, double* x, double* p, double* e) {
    Points pts = points_of(t, k, every);
    for (int j = 0; j < pts.count; ++j)
        x[j] = at(t, point_x(pts, j));
    t.m->values(t, k, x, pts.count, p);
    for (int j = 0; j < pts.count; ++j)
        e[j] = std::fabs(p[j] - study_function().f(x[j]));
    return pts;
}

// The peak of the points j0 .. count-1 of an interval (e their errors, x their abscissae)
// into p, up to the first error that is not finite or is above stop; where it stopped.
inline int scan_peak(const double* x, const double* e, int j0, int count, double stop, Peak& p) {
    int j = j0;
    for (; j < count; ++j) {
        if (!(e[j] <= stop)) // above stop, infinite or NaN
            break;
        if (e[j] > p.err)
            p = {e[j], x[j]};
    }
    return j;
}

} // namespace

void scan_interval(const DenseTable& t, const Ask& o, int k, Tally& r) {
    double scale = column_scale(o);
    // The fast scan stops at a point that is not finite, and at one above where the pass ends.
    double above = ends_above(o);
    double stop = std::isnan(above) ? -HUGE_VAL : std::fmin(above, DBL_MAX);
    Peak p;
    long long bad = 0;
    double xs[dense_per_interval], ps[dense_per_interval], es[dense_per_interval];
    Points pts = interval_errors(t, k, o.every, xs, ps, es);
    int count = pts.count;
    // The points ascend where the width does not step down.
    Place pl = place_of(o, scale, count == 1 || pts.step >= 0, xs[0], xs[count - 1]);
    for (int j = 0; j < count; ++j) {
        if (!pl.each && (j = scan_peak(xs, es, j, count, stop, p)) == count)
            break;
        double x = xs[j], e = es[j];
        if (!std::isfinite(e)) {
            ++bad;
            count_bad(r, o, x, e);
            continue;
        }
        if (e > p.err)
            p = {e, x};
        if (pl.each)
            take_point(r, o, scale, x, e);
        if (e > above) {
            r.p.stopped = true;
            r.p.points += j + 1 - count; // the points after this one are not reached
            break;
        }
    }
    if (!pl.each)
        take_whole(r, pl, p);
    r.p.points += count;
    r.p.not_finite += bad;
    join_peak(r.p.all, p);
    if (o.per_interval) {
        r.p.interval.push_back(p);
        r.p.interval_not_finite.push_back(bad);
    }
}

namespace {
// The sampled pass over the intervals k0 .. k1-1 on the caller's thread.
Tally errors_of(const DenseTable& t, const Ask& o, int k0, int k1) {
    Tally r = blank_errors(o);
    for (int k = k0; k < k1 && !r.p.stopped; ++k)
        scan_interval(t, o, k, r);
    return r;
}

} // namespace

Tally sample_pass(const DenseTable& t, const Ask& o) {
    return in_blocks(t, o, [&](int k0, int k1) { return errors_of(t, o, k0, k1); });
}
