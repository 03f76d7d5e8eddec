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
    // The method's float32 evaluator (rows and own arrays float32 values): every value is
    // its value, every point a float32 one (at), and the bounds count its rounding.
    bool single = false;
};
// n >= 2; with single, xa and ya hold float32 values. With threads > 1 the preparation may
// start a helper thread (joined before it returns). Throws std::bad_alloc when memory is short.
DenseTable dense_prepare(const double* xa, const double* ya, int n, const Method& m,
                         int threads = 1, bool single = false);

// The point the engine takes for x: x itself, or with t.single the nearest float32, the
// input the float32 evaluator is given.
inline double at(const DenseTable& t, double x) {
    return t.single ? static_cast<double>(static_cast<float>(x)) : x;
}

inline constexpr int dense_per_interval = 64;

// The method's value at x, a point of interval k: bit for bit spline_eval(x) or quad_pick(x)
// on the program's arrays. Where the abscissae ascend, the search's interval is found from k
// in O(1); elsewhere it is locate's, as in the programs.
inline double dense_value(const DenseTable& t, int k, double x) {
    double p = 0;
    t.m->values(t, k, &x, 1, &p);
    return p;
}

// The largest finite error |p(x) - f(x)| (f the study's function) of a set of points and
// the first x where it is met (err -1: no finite error).
struct Peak {
    double err = -1;
    double x = 0;
};
// The questions below look at the engine's points: x = xa[k] + ((xa[k+1] - xa[k]) * j) / 64.0
// (taken by at) for j = 0..63 in interval k = 0..n-2, and the single point xa[n-1] as "interval"
// n-1; the proving ones everywhere between them too. Each works on blocks of intervals on up to
// `threads` threads, joined in order: the result (first x on a tie) is one pass's for any
// threads. Each throws std::bad_alloc when memory is short.

// The intervals a question is about, and the threads it may use.
struct Span {
    int k0 = 0, k1 = -1; // intervals k0 .. k1-1; k1 = -1: through the last point
    int threads = 1;
};
// count equal columns of [x0, x1] (x0 < x1), points beyond left out; count 0: none.
struct Columns {
    int count = 0;
    double x0 = 0, x1 = 0;
};
// A window [lo, hi], and the rest outside it; on false: none.
struct Window {
    bool on = false;
    double lo = 0, hi = 0;
};

// The peaks of the errors and what they come to (reduce.cpp joins them).
struct Peaks {
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
    bool stopped = false;     // ended at the first error above the tolerance
};

// The sampled peaks: the errors at the points only (every 1st, 2nd, 4th, ... of an
// interval's 64, a power of 2), with the reductions asked for; the pass ends at the first
// error above tol, if any is (tol NaN: at the first point).
struct SampleArgs {
    Span span{};
    double tol = HUGE_VAL;
    bool per_interval = false;
    int every = 1;
    Columns columns{};
    Window window{};
};
Peaks dense_sample(const DenseTable& t, const SampleArgs& a);

// The largest error everywhere on the intervals, proven: its peaks with the reductions asked
// for, each within 0.1% (and the rounding allowance) of what it bounds, and the bounds.
// Every interval whose bound may exceed the largest error found (overall, in its columns, on
// its side of the window) by more is sampled at its points and then split where the bound
// says, its best point refined by golden section; the others are proven by their bound from
// the two ends. Where the abscissae do not strictly ascend, the points alone, and no bound.
struct LargestArgs {
    Span span{};
    Columns columns{};
    Window window{};
};
struct Largest {
    Peaks peaks{};
    // A bound of the error everywhere on the intervals, as the programs compute it and
    // exactly (HUGE_VAL: an error is not finite; NaN: no bound), and of the window's sides.
    double bound = NAN;
    double inside_bound = NAN, outside_bound = NAN;
    double allowance = 0; // the largest part of a bound that is rounding (splitting keeps it)
};
Largest dense_largest(const DenseTable& t, const LargestArgs& a);
// What a proven result says of its bound: "bound 3.24e-03" (rounded up to the digits shown),
// with ", at the rounding level" where the largest error found is within the allowance;
// "no finite bound"; "no bound: the abscissae do not strictly ascend".
std::string bound_text(const Largest& r);

// The errors of every interval of the span, one value an interval (the last row counts in
// the last interval), HUGE_VAL where an error is not finite (or a bound is asked of a table
// whose abscissae do not strictly ascend): the largest at every 4th of the
// points (an estimate; of an interval wider than 64 times the scale of the function's shape,
// whose points may all miss it, its proven bound), a proven bound of the error everywhere within
// 0.1% of its largest, or a proven bound that is tight only where it exceeds tol (which intervals
// do).
enum class PerInterval { estimate, bound, against_tol };
struct IntervalArgs {
    Span span{};
    PerInterval what = PerInterval::estimate;
    double tol = HUGE_VAL;
};
std::vector<double> dense_intervals(const DenseTable& t, const IntervalArgs& a);
