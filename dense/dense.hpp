// dense: an interpolant of a loaded table evaluated densely, at 64 points an interval, with
// values bit for bit those of the programs (spline_eval in splerr, quad_pick in quaderr),
// and what the errors against the exact Lorentzian come to: the largest overall, per
// interval, per pixel column of a range, and inside and outside a window.
#pragma once

#include "method.hpp"

#include <cmath>
#include <string>
#include <vector>

// A table as the loader gives it (xa, ya: n entries from 0, not owned; they must outlive
// this), made ready for one method by its prepare: the method's own arrays, which its kernel
// alone reads (the engine holds them without knowing them).
struct DenseTable {
    int n = 0;
    const double* xa = nullptr;
    const double* ya = nullptr;
    const Method* m = nullptr;
    std::vector<std::vector<double>> own; // the method's arrays, as its prepare makes them
    bool walk = false;   // the abscissae the method searches ascend (no NaN): locate_near serves
    bool strict = false; // xa ascends strictly (no NaN, no repeat): a bound is proven
};
// n >= 2. With threads > 1 the preparation may start a helper thread (joined before it
// returns). Throws std::bad_alloc when memory is short.
DenseTable dense_prepare(const double* xa, const double* ya, int n, const Method& m,
                         int threads = 1);

inline constexpr int dense_per_interval = 64;

// The method's value at x, a point of interval k: bit for bit spline_eval(x) or quad_pick(x)
// on the program's arrays. Where the abscissae ascend, the search's interval is found from k
// in O(1); elsewhere it is locate's, as in the programs.
inline double dense_value(const DenseTable& t, int k, double x) {
    double p = 0;
    t.m->values(t, k, &x, 1, &p);
    return p;
}

// The largest finite error |p(x) - f(x)| (f the study's function) of a set of points and the first
// x where it is met (err -1: no finite error).
struct Peak {
    double err = -1;
    double x = 0;
};
// What dense_errors computes. The points: x = xa[k] + ((xa[k+1] - xa[k]) * j) / 64.0 for
// j = 0..63 in interval k = 0..n-2, and the single point xa[n-1] as "interval" n-1.
struct DenseOpts {
    int k0 = 0, k1 = -1;           // the intervals k0 .. k1-1; k1 = -1: through the last point
    double stop_above = HUGE_VAL;  // stop at the first error above this ("is any above E?")
    bool per_interval = false;     // also the peak of every interval
    int threads = 1;               // threads the caller allows; the result is the same for any
    int columns = 0;               // also the peak of each of this many equal columns of
    double col_x0 = 0, col_x1 = 0; // [col_x0, col_x1] (col_x0 < col_x1), points beyond left out
    bool window = false;           // also the peaks inside [win_lo, win_hi] and outside it
    double win_lo = 0, win_hi = 0;
    // prove: the peaks of the errors everywhere on the intervals, not only at the points, and
    // a bound of them. Every interval whose bound may exceed the largest error found (overall,
    // in its columns, on its side of the window; its own with per_interval) by more than
    // 0.1% and the rounding allowance is sampled at its points and then split where the bound
    // says, its best point refined by golden section; the others are proven by their bound
    // from the two ends. An interval whose bound is at most target needs no more (unless
    // tight); one above it is searched until it is proven within it or found above. Where the
    // abscissae do not strictly ascend, the points alone, and no bound.
    bool prove = false;
    double target = 0;
    bool tight = false; // with a target, the bound within 0.1% of the largest all the same
    int every = 1;      // sampled: every 1st, 2nd, 4th, ... of the 64 points only (a power of 2)
};
struct DenseErrors {
    Peak all;
    std::vector<Peak> interval;                  // per interval k0 .. k1-1, when asked
    std::vector<long long> interval_not_finite;  // ... and its points in no peak
    std::vector<Peak> column;                    // per column, when asked
    Peak inside, outside;                        // the window's, when asked
    long long inside_infs = 0, outside_infs = 0; // ... and its points with an infinite error
    long long inside_nans = 0, outside_nans = 0; // ... and with a NaN error
    double inf_x = NAN;       // the first point whose error is infinite (NaN: none)
    long long points = 0;     // points evaluated
    long long not_finite = 0; // points whose error is NaN or infinite: in no peak
    long long nans = 0;       // ... of them NaN
    bool stopped = false;     // stopped early at an error above stop_above
    // prove: a bound of the error everywhere on the intervals, as the programs compute it and
    // exactly (HUGE_VAL: an error is not finite; NaN: no bound, or not asked); per interval,
    // when asked; and of the window's sides.
    double bound = NAN;
    std::vector<double> interval_bound;
    double inside_bound = NAN, outside_bound = NAN;
    double allowance = 0; // the largest part of a bound that is rounding (splitting keeps it)
};
// The errors at the points of o's intervals (everywhere on them with o.prove), in order; blocks of
// intervals run on up to o.threads threads and are joined in order, so the result (first x on a
// tie) is the one pass's for any threads. Throws std::bad_alloc when memory is short.
DenseErrors dense_errors(const DenseTable& t, const DenseOpts& o = {});
// What a proven result says of its bound: "bound 3.24e-03" (rounded up to the digits shown),
// with ", at the rounding level" where the largest error found is within the allowance;
// "no finite bound"; "no bound: the abscissae do not strictly ascend".
std::string bound_text(const DenseErrors& r);
