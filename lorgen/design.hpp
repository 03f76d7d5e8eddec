// design: tables of the Lorentzian made for a tolerance: few rows, placed where the method's
// error is, whose interpolant stays within the tolerance at every point of the dense
// engine's sampling; and the count of evenly spaced rows that does the same.
#pragma once

#include "args.hpp"
#include "dense.hpp"

#include <vector>

enum class DesignEnd {
    reached,       // the table keeps the method within the tolerance
    too_many_rows, // more than max_rows would be needed
    too_close,     // rows closer than doubles can tell apart would be needed
    not_finite,    // the method's values are not finite however many rows are added
    gave_up,       // the search stopped: the error stalled as the rows doubled, twice
};

struct Design {
    std::vector<double> x; // the abscissae: x[0] = a, x.back() = b, strictly ascending
    DesignEnd end = DesignEnd::reached;
    long long stalled_rows = 0; // gave_up: the rows where the search stopped,
    double stalled_error = 0;   // ... and the largest error it had reached
};

// A table on [a, b] (a < b, b - a finite) for tol > 0, its rows x with y = lorentz(x): the
// method's error at every point of the engine's sampling is at most tol and finite. The rows
// are spaced so that every interval carries about the same error, then the intervals still
// above tol are mended; the table is verified whole, also at guard points that resolve the
// peak. The result is the same for any threads.
Design design_table(double a, double b, double tol, const Method& m, int threads);

// The largest error of the method on the table (xa, ya: n >= 2 rows) at the engine's points,
// when every error there is finite and at most tol; else a Peak with err = HUGE_VAL.
Peak table_error(const double* xa, const double* ya, int n, const Method& m, double tol,
                 int threads);

// The fewest evenly spaced rows (lorgen's, sample_x) that keep the method within tol on
// [a, b]: n = 2, 4, 8, ... until a table meets tol, then bisection between the last n that
// failed and the first that met. 0 when 2^24 rows do not meet it.
long long even_rows(double a, double b, double tol, const Method& m, int threads);
