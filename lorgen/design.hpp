// design: tables of the Lorentzian made for a tolerance: few rows, placed where the method's
// error is, whose interpolant stays within the tolerance at every point of the dense
// engine's sampling; and the count of evenly spaced rows that does the same.
#pragma once

#include "args.hpp"
#include "dense.hpp"

#include <functional>
#include <vector>

// The type a table's values are stored in: each abscissa and ordinate is rounded to it, and
// the design and every check evaluate the rows as they read back.
enum class Store { f64, f32 };
// v rounded to the type (to nearest).
double stored(double v, Store s);
// [a, b] rounded outward to the type, in place: a table on it covers what was asked. |a| and
// |b| at most 1e38 for f32.
void round_out(double* a, double* b, Store s);
// The ordinates of rows x as stored: stored(lorentz(x[i]), s).
std::vector<double> stored_values(const std::vector<double>& x, Store s);
// Where a design put a row a hair's breadth from an end (the end interval under a thousandth
// of its neighbour), confining the end condition's error there: at the front, at the back.
// Neither with fewer than 4 rows.
struct EndRows {
    bool front = false, back = false;
};
EndRows end_rows(const std::vector<double>& x);
// The bytes one value takes in the type.
int store_bytes(Store s);
// The type's name as a user types it: "double", "float32".
const char* store_name(Store s);
// What rounding the ordinates to the type alone can cost the method's error on [a, b]: the
// method's amplification of its data errors (measured on 32 evenly spaced rows) times half a
// unit in the last place of max |lorentz| on [a, b]. 0 for doubles, whose rounding the
// bound's allowance counts.
double store_floor(double a, double b, const Method& m, Store s);

// What a long search is doing, for a progress line: what (a phrase) and the rows it is at,
// or between (lo, hi; hi 0: at lo). Called on the caller's thread.
using Tell = std::function<void(const char* what, long long lo, long long hi)>;

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
// method's error everywhere on it is proven at most tol. The rows are spaced so that every
// interval carries about the same error bound, then the intervals whose bound is still above
// tol are mended. The result is the same for any threads.
// With s = f32, a and b float32 values: every row is one, the rows evaluated as stored.
Design design_table(double a, double b, double tol, const Method& m, Store s, int threads,
                    const Tell& tell = {});

// What a table does against a tolerance: its error is proven within it everywhere; an error
// found is above it (or not finite); or the largest found is within it but the bound is not.
enum class Verdict { within, above, not_proven };
struct Proven {
    Peak largest; // the largest error found (where the search stopped, above the tolerance)
    double bound; // a bound of the error everywhere (NaN: none)
    Verdict verdict;
};

// The method's error on the table (xa, ya: n >= 2 rows) against tol, by the proving search,
// its bound within 0.1% of its largest (and the rounding allowance).
Proven table_error(const double* xa, const double* ya, int n, const Method& m, double tol,
                   int threads);

// The evenly spaced count: a number N of lorgen's rows (sample_x) on [a, b] whose error is
// proven within tol while N - 1 rows' is not; and what N - 1 rows did (within: N is 2). The
// search starts where the method's error model (its order and constant, measured on small
// tables) puts the count, steps 1, 2, 4, ... rows toward the other side of tol, and bisects.
// The error does not fall steadily with n, so N need not be the very fewest. rows is 0 when
// 2^24 rows do not meet tol.
struct EvenCount {
    long long rows = 0;
    Verdict fewer = Verdict::within;
};
// With s = f32 the rows are lorgen's rounded to float32.
EvenCount even_rows(double a, double b, double tol, const Method& m, Store s, int threads,
                    const Tell& tell = {});
