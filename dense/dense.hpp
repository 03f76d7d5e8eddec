// dense: an interpolant of a loaded table evaluated densely, at 64 points an interval, with
// values bit for bit those of the programs (spline_eval in splerr, quad_pick in quaderr),
// and the largest errors against the exact Lorentzian.
#pragma once

#include <cmath>
#include <vector>

enum class Method { spline, quadratic };

// A table as the loader gives it (xa, ya: n entries from 0, not owned; they must outlive
// this), made ready for one method: the spline's second derivatives, or the padded table with
// its ghost points as quaderr builds it.
struct DenseTable {
    int n = 0;
    const double* xa = nullptr;
    const double* ya = nullptr;
    Method method = Method::spline;
    std::vector<double> d2;       // the spline's second derivatives, n entries
    std::vector<double> pxa, pya; // the quadratic's padded table, n + 2 entries
    bool walk = false;            // the searched abscissae ascend (no NaN): no search a point
};
// n >= 2; throws std::bad_alloc when memory is short.
DenseTable dense_prepare(const double* xa, const double* ya, int n, Method m);

inline constexpr int dense_per_interval = 64;

// The abscissae of the points: x = xa[k] + ((xa[k+1] - xa[k]) * j) / 64.0 for j = 0..63 in
// interval k = 0..n-2, and the single point xa[n-1] as "interval" n-1.
double dense_x(const DenseTable& t, int k, int j);
// The method's value at x, a point of interval k: bit for bit spline_eval(x) or quad_pick(x)
// on the program's arrays. Where the abscissae ascend, the search's interval is found from k
// in O(1); elsewhere it is locate's, as in the programs.
double dense_value(const DenseTable& t, int k, double x);

// Calls visit(x, p, ctx) at every point of intervals k0 .. k1-1 in order (k1 = n: through the
// last point), p the method's value at x.
using DenseVisit = void (*)(double x, double p, void* ctx);
void dense_walk(const DenseTable& t, int k0, int k1, DenseVisit visit, void* ctx);

// The largest finite error |p(x) - lorentz(x)| of a set of points and the first x where it
// is met (err -1: no finite error).
struct Peak {
    double err = -1;
    double x = 0;
};
struct DenseOpts {
    int k0 = 0, k1 = -1;          // the intervals k0 .. k1-1; k1 = -1: through the last point
    double stop_above = HUGE_VAL; // stop at the first error above this ("is any above E?")
    bool per_interval = false;    // also the peak of every interval
    int threads = 1;              // threads the caller allows; the result is the same for any
    // Called with every point's x and error, in order, when not null (then on one thread).
    void (*each)(double x, double e, void* ctx) = nullptr;
    void* ctx = nullptr;
};
struct DenseErrors {
    Peak all;
    std::vector<Peak> interval;                 // per interval k0 .. k1-1, when asked
    std::vector<long long> interval_not_finite; // ... and its points in no peak
    long long points = 0;                       // points evaluated
    long long not_finite = 0;                   // points whose error is NaN or infinite: in no peak
    long long nans = 0;                         // ... of them NaN
    bool stopped = false;                       // stopped early at an error above stop_above
};
DenseErrors dense_errors(const DenseTable& t, const DenseOpts& o = {});
