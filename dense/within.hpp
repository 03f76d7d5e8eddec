// within: whether a method keeps its error within a tolerance on a table, proven.
#pragma once

#include "dense.hpp"

// What a table does against a tolerance: its error is proven within it everywhere; an error
// found is above it (or not finite); or the largest found is within it but the bound is not.
enum class Verdict { within, above, not_proven };
struct Proven {
    Peak largest; // the largest error found (where the search stopped, above the tolerance)
    double bound; // a bound of the error everywhere (NaN: none)
    Verdict verdict;
    double allowance = 0; // the largest part of the bound that is rounding
};

// The method's error on the prepared table t, intervals k0 .. k1-1 (k1 = -1: all), against
// tol: the largest found and the bound, proven down to tol (tight: within 0.1% of the largest
// as well); the search stops at the first error above tol. Up to threads threads, the same
// result for any. Throws std::bad_alloc when memory is short.
Proven dense_within(const DenseTable& t, int k0, int k1, double tol, int threads,
                    bool tight = false);

// dense_within, tight, over the whole table (xa, ya: n >= 2 rows) for method m, with single
// of its float32 evaluator (dense_prepare).
Proven table_error(const double* xa, const double* ya, int n, const Method& m, double tol,
                   int threads, bool single = false);

// Piece k (0 <= k <= n-2) of t's method on [lo, hi] (lo <= hi), which may reach past its
// interval's rows, where an evaluator that computes the interval from x takes it: the larger
// error at the two ends as the program computes piece k there, and a bound of its error
// everywhere between (one sub-interval: for the few units in the last place such a reach
// spans). t's abscissae ascend strictly. No allocation.
struct PieceError {
    Peak largest;
    double bound;
};
PieceError piece_error(const DenseTable& t, int k, double lo, double hi);
