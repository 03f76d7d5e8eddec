// engine: what the questions ask of the sampled pass and the proving search, what those
// tally, and the reductions they share (reduce.cpp); for dense/ alone.
#pragma once

#include "dense.hpp"
#include "numlib.hpp"

#include <vector>

// A question as the passes take it.
struct Ask {
    int k0 = 0, k1 = -1; // the intervals k0 .. k1-1; k1 = -1: through the last point
    int threads = 1;     // threads the caller allows; the result is the same for any
    // The tolerance the question is about (HUGE_VAL: none). With stop, the pass ends at the
    // first error above it; with prove, every interval is proven within it or found above it,
    // its bound tight (within 0.1% of its largest) only where it exceeds it unless tight.
    double tol = HUGE_VAL;
    bool stop = false;
    bool tight = false;
    bool per_interval = false;     // also the peak of every interval
    int columns = 0;               // also the peak of each of this many equal columns of
    double col_x0 = 0, col_x1 = 0; // [col_x0, col_x1] (col_x0 < col_x1), points beyond left out
    bool window = false;           // also the peaks inside [win_lo, win_hi] and outside it
    double win_lo = 0, win_hi = 0;
    bool prove = false; // everywhere on the intervals, with bounds (Largest's contract)
    int every = 1;      // sampled: every 1st, 2nd, 4th, ... of the 64 points only
};
// The error above which a pass ends: the tolerance where the question stops at it.
inline double ends_above(const Ask& o) {
    return o.stop ? o.tol : HUGE_VAL;
}
// Whether the proving search works against a tolerance.
inline bool against(const Ask& o) {
    return o.tol < HUGE_VAL;
}

// What the passes tally: the peaks, and with prove the bounds (per interval when asked).
struct Tally {
    Peaks p;
    double bound = NAN;
    std::vector<double> interval_bound;
    double inside_bound = NAN, outside_bound = NAN;
    double allowance = 0;
};
// The question's answer over every interval it asks of, from the pass or the search.
Tally dense_tally(const DenseTable& t, const Ask& o);

// Columns per unit of x of o's columns (0: none), and the column of x in [col_x0, col_x1].
double column_scale(const Ask& o);
int column_of(const Ask& o, double scale, double x);
// Where the reductions o asks for put the points of an interval: its column and its side of
// the window when all its points share them, else point by point.
struct Place {
    bool each = false; // point by point
    int col = -1;      // the column of every point, -1: none
    int side = 0;      // 1: every point inside the window, 2: every point outside, 0: none
};
// The place of the points lo .. hi in ascending order (ordered), or of points in any order.
Place place_of(const Ask& o, double scale, bool ordered, double lo, double hi);
// An interval's peak p into the reductions, where all its points share one place.
void take_whole(Tally& r, const Place& pl, const Peak& p);
// An empty result with o's columns.
Tally blank_errors(const Ask& o);
// The finite error e at x into o's columns and window sides.
void take_point(Tally& r, const Ask& o, double scale, double x, double e);
// b's peak into a's where it is greater: on a tie the first x stays.
void join_peak(Peak& a, const Peak& b);
// An error e at x that is not finite into the counts.
void count_bad(Tally& r, const Ask& o, double x, double e);
// The points of interval k into r, as the sampled pass takes them (per interval when asked).
void scan_interval(const DenseTable& t, const Ask& o, int k, Tally& r);
// Joins the result of the intervals after a's to a: what one pass over both gives.
void join_errors(Tally& a, Tally&& b);
// The sampled pass over o's intervals: the errors at the points (dense.cpp).
Tally sample_pass(const DenseTable& t, const Ask& o);
// The proving search over o's intervals (o.prove), on a table whose abscissae strictly
// ascend (search.cpp).
Tally dense_search(const DenseTable& t, const Ask& o);

// pass(k0, k1) over o's intervals in blocks, one a thread, joined in order: the result of one
// pass over all of them, for any threads (a block after one that stopped early was never
// reached by one pass). Throws what pass throws, std::bad_alloc when memory is short.
template <class P> Tally in_blocks(const DenseTable& t, const Ask& o, P pass) {
    int k0 = o.k0, k1 = o.k1 < 0 ? t.n : o.k1;
    int blocks = std::min(o.threads, (k1 - k0) / 256);
    if (blocks < 2)
        return pass(k0, k1);
    std::vector<Tally> part(static_cast<std::size_t>(blocks));
    run_jobs(part.size(), blocks, [&](std::size_t b) {
        auto from = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * b / part.size());
        auto to = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * (b + 1) / part.size());
        part[b] = pass(from, to);
    });
    Tally r = std::move(part[0]);
    for (std::size_t b = 1; b < part.size() && !r.p.stopped; ++b)
        join_errors(r, std::move(part[b]));
    return r;
}
