// rows: what the design's steps share: the request, rows with their errors, and the steps
// themselves (settle.cpp, mend.cpp); for design/ alone.
#pragma once

#include "design.hpp"

#include <vector>

using Rows = std::vector<double>;

// What every step of a design works with: the method, the tolerance, the store, the threads.
struct Job {
    const Method& m;
    double tol;
    Store s;
    int threads;
};

// The errors of the method on rows x in the intervals k0 .. k1-1 as dense_intervals gives them
// (what: an estimate for spacing the rows, a bound within 0.1% of the largest, or a bound
// tight only where it exceeds job.tol, for deciding which do), the rows as stored.
Rows errors_of(const Rows& x, const Job& job, int k0 = 0, int k1 = -1,
               PerInterval what = PerInterval::estimate);
// The largest of some errors (at least one).
double largest(const Rows& e);

// A table that resolves the function's shape on [a, b]: its spacing is a quarter of the
// distance to the peak plus the half width, so that no interval hides the peak.
Rows resolving(double a, double b, Store st);
// n rows settled from `from`: rounds of spreading the rows after the error model and
// evaluating them, until the largest error settles; the best rows met. Empty rows when no
// round gave rows that ascend strictly.
Try settle(const Try& from, long long n, const Job& job);
// n >= 2 rows on [a, b] placed after the method's asymptotic density (|f^(p)|^(1/p), p its
// order; Method::asymptotic > 0), |f^(p)| taken at its largest over the interval around each
// point, so that no interval widens where f^(p) passes through 0; with their errors
// (estimates). Empty rows when they do not ascend strictly in the store.
Try placed(double a, double b, long long n, const Job& job);
// Splits the intervals of t whose error is above the tolerance, round after round, until none
// is: an end interval close to its end where the method's tuning says so, the others at their
// middles. False (with the reason in *why) when that takes more than limit rows or a split
// would repeat an abscissa.
bool mend(Try& t, std::size_t limit, const Job& job, DesignEnd* why);
