// dense: the points of every interval, the method's value at each, and what the errors
// come to, block by block, joined in order.
#include "dense.hpp"
#include "engine.hpp"
#include "function.hpp"

#include "numlib.hpp"

#include <algorithm>
#include <cfloat>
#include <string>

DenseTable dense_prepare(const double* xa, const double* ya, int n, const Method& m, int threads) {
    DenseTable t;
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

// Where the reductions o asks for put the points of an interval: its column and its side of
// the window when all its points share them, else point by point.
struct Place {
    bool each = false; // point by point
    int col = -1;      // the column of every point, -1: none
    int side = 0;      // 1: every point inside the window, 2: every point outside, 0: none
};

} // namespace

int column_of(const DenseOpts& o, double scale, double x) {
    double cols = o.columns, at = (x - o.col_x0) * scale;
    return at < cols - 1 ? static_cast<int>(at) : o.columns - 1;
}

namespace {

// The place of the points lo .. hi in ascending order (ordered), or of points in any order.
Place place_of(const DenseOpts& o, double scale, bool ordered, double lo, double hi) {
    Place pl;
    if (o.columns > 0) {
        if (ordered && lo >= o.col_x0 && hi <= o.col_x1) {
            pl.col = column_of(o, scale, lo);
            pl.each = pl.col != column_of(o, scale, hi);
        } else {
            pl.each = !(ordered && (hi < o.col_x0 || lo > o.col_x1));
        }
    }
    if (o.window) {
        if (ordered && lo >= o.win_lo && hi <= o.win_hi)
            pl.side = 1;
        else if (ordered && (hi < o.win_lo || lo > o.win_hi))
            pl.side = 2;
        else
            pl.each = true;
    }
    return pl;
}

} // namespace

void take_point(DenseErrors& r, const DenseOpts& o, double scale, double x, double e) {
    if (o.columns > 0 && x >= o.col_x0 && x <= o.col_x1) {
        Peak& c = r.column[static_cast<std::size_t>(column_of(o, scale, x))];
        if (e > c.err)
            c = {e, x};
    }
    if (o.window) {
        Peak& w = x >= o.win_lo && x <= o.win_hi ? r.inside : r.outside;
        if (e > w.err)
            w = {e, x};
    }
}

void join_peak(Peak& a, const Peak& b) {
    if (b.err > a.err)
        a = b;
}

namespace {

// An interval's peak p into the reductions, where all its points share one place.
void take_whole(DenseErrors& r, const Place& pl, const Peak& p) {
    if (pl.col >= 0)
        join_peak(r.column[static_cast<std::size_t>(pl.col)], p);
    if (pl.side != 0)
        join_peak(pl.side == 1 ? r.inside : r.outside, p);
}

} // namespace

void count_bad(DenseErrors& r, const DenseOpts& o, double x, double e) {
    bool in = o.window && x >= o.win_lo && x <= o.win_hi;
    if (std::isnan(e)) {
        ++r.nans;
        if (o.window)
            ++(in ? r.inside_nans : r.outside_nans);
        return;
    }
    if (std::isnan(r.inf_x))
        r.inf_x = x;
    if (o.window)
        ++(in ? r.inside_infs : r.outside_infs);
}

namespace {
// The points of interval k into x, the method's values there into p, the errors into e. The
// errors in a loop of their own, which the compiler vectorises.
Points interval_errors(const DenseTable& t, int k, int every, double* x, double* p, double* e) {
    Points pts = points_of(t, k, every);
    for (int j = 0; j < pts.count; ++j)
        x[j] = point_x(pts, j);
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

double column_scale(const DenseOpts& o) {
    return o.columns > 0 ? o.columns / (o.col_x1 - o.col_x0) : 0.0;
}

DenseErrors blank_errors(const DenseOpts& o) {
    DenseErrors r;
    r.column.assign(static_cast<std::size_t>(std::max(o.columns, 0)), Peak{});
    return r;
}

void scan_interval(const DenseTable& t, const DenseOpts& o, int k, DenseErrors& r) {
    double scale = column_scale(o);
    // The fast scan stops at a point that is not finite, and at one above stop_above.
    double stop = std::isnan(o.stop_above) ? -HUGE_VAL : std::fmin(o.stop_above, DBL_MAX);
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
        if (e > o.stop_above) {
            r.stopped = true;
            r.points += j + 1 - count; // the points after this one are not reached
            break;
        }
    }
    if (!pl.each)
        take_whole(r, pl, p);
    r.points += count;
    r.not_finite += bad;
    join_peak(r.all, p);
    if (o.per_interval) {
        r.interval.push_back(p);
        r.interval_not_finite.push_back(bad);
    }
}

namespace {
// dense_errors over the intervals k0 .. k1-1 on the caller's thread.
DenseErrors errors_of(const DenseTable& t, const DenseOpts& o, int k0, int k1) {
    DenseErrors r = blank_errors(o);
    for (int k = k0; k < k1 && !r.stopped; ++k)
        scan_interval(t, o, k, r);
    return r;
}

} // namespace

void join_errors(DenseErrors& a, DenseErrors&& b) {
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
    a.inside_nans += b.inside_nans;
    a.outside_nans += b.outside_nans;
    if (std::isnan(a.inf_x))
        a.inf_x = b.inf_x;
    a.points += b.points;
    a.not_finite += b.not_finite;
    a.nans += b.nans;
    a.stopped = b.stopped;
    a.bound = std::fmax(a.bound, b.bound);
    a.allowance = std::fmax(a.allowance, b.allowance);
    a.interval_bound.insert(a.interval_bound.end(), b.interval_bound.begin(),
                            b.interval_bound.end());
    a.inside_bound = std::fmax(a.inside_bound, b.inside_bound);
    a.outside_bound = std::fmax(a.outside_bound, b.outside_bound);
}

DenseErrors dense_errors(const DenseTable& t, const DenseOpts& o) {
    if (o.prove && t.strict)
        return dense_search(t, o);
    return in_blocks(t, o, [&](int k0, int k1) { return errors_of(t, o, k0, k1); });
}

std::string bound_text(const DenseErrors& r) {
    if (std::isnan(r.bound))
        return "no bound: the abscissae do not strictly ascend";
    if (!std::isfinite(r.bound))
        return "no finite bound";
    std::string s = "bound " + fmt_up(r.bound);
    return r.all.err <= r.allowance ? s + ", at the rounding level" : s;
}
