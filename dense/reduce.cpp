// reduce: where the errors go: the peaks overall, per column and on each side of a window,
// the counts of errors that are not finite, and the joining of two blocks' tallies in order.
#include "engine.hpp"

#include <algorithm>
#include <cmath>

double column_scale(const Ask& o) {
    return o.columns > 0 ? o.columns / (o.col_x1 - o.col_x0) : 0.0;
}

int column_of(const Ask& o, double scale, double x) {
    double cols = o.columns, at = (x - o.col_x0) * scale;
    return at < cols - 1 ? static_cast<int>(at) : o.columns - 1;
}

Tally blank_errors(const Ask& o) {
    Tally r;
    r.p.column.assign(static_cast<std::size_t>(std::max(o.columns, 0)), Peak{});
    return r;
}

void join_peak(Peak& a, const Peak& b) {
    if (b.err > a.err)
        a = b;
}

void take_point(Tally& r, const Ask& o, double scale, double x, double e) {
    if (o.columns > 0 && x >= o.col_x0 && x <= o.col_x1) {
        Peak& c = r.p.column[static_cast<std::size_t>(column_of(o, scale, x))];
        if (e > c.err)
            c = {e, x};
    }
    if (o.window) {
        Peak& w = x >= o.win_lo && x <= o.win_hi ? r.p.inside : r.p.outside;
        if (e > w.err)
            w = {e, x};
    }
}

void count_bad(Tally& r, const Ask& o, double x, double e) {
    bool in = o.window && x >= o.win_lo && x <= o.win_hi;
    if (std::isnan(e)) {
        ++r.p.nans;
        if (o.window)
            ++(in ? r.p.inside_nans : r.p.outside_nans);
        return;
    }
    if (std::isnan(r.p.inf_x))
        r.p.inf_x = x;
    if (o.window)
        ++(in ? r.p.inside_infs : r.p.outside_infs);
}

// The place of the points lo .. hi in ascending order (ordered), or of points in any order.
Place place_of(const Ask& o, double scale, bool ordered, double lo, double hi) {
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

// An interval's peak p into the reductions, where all its points share one place.
void take_whole(Tally& r, const Place& pl, const Peak& p) {
    if (pl.col >= 0)
        join_peak(r.p.column[static_cast<std::size_t>(pl.col)], p);
    if (pl.side != 0)
        join_peak(pl.side == 1 ? r.p.inside : r.p.outside, p);
}

void join_errors(Tally& a, Tally&& b) {
    join_peak(a.p.all, b.p.all);
    a.p.interval.insert(a.p.interval.end(), b.p.interval.begin(), b.p.interval.end());
    a.p.interval_not_finite.insert(a.p.interval_not_finite.end(), b.p.interval_not_finite.begin(),
                                   b.p.interval_not_finite.end());
    for (std::size_t c = 0; c < a.p.column.size(); ++c)
        join_peak(a.p.column[c], b.p.column[c]);
    join_peak(a.p.inside, b.p.inside);
    join_peak(a.p.outside, b.p.outside);
    a.p.inside_infs += b.p.inside_infs;
    a.p.outside_infs += b.p.outside_infs;
    a.p.inside_nans += b.p.inside_nans;
    a.p.outside_nans += b.p.outside_nans;
    if (std::isnan(a.p.inf_x))
        a.p.inf_x = b.p.inf_x;
    a.p.points += b.p.points;
    a.p.not_finite += b.p.not_finite;
    a.p.nans += b.p.nans;
    a.p.stopped = b.p.stopped;
    a.bound = std::fmax(a.bound, b.bound);
    a.allowance = std::fmax(a.allowance, b.allowance);
    a.interval_bound.insert(a.interval_bound.end(), b.interval_bound.begin(),
                            b.interval_bound.end());
    a.inside_bound = std::fmax(a.inside_bound, b.inside_bound);
    a.outside_bound = std::fmax(a.outside_bound, b.outside_bound);
}
