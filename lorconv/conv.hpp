// conv: the convergence study's evaluation of both interpolants on tables of rising size.
#pragma once

#include <vector>

enum class Method { spline, quadratic };

// n samples of the Lorentzian on [a, b], exactly as lorgen writes them, with what each
// method needs: the spline's second derivatives (d2) and the padded table with its ghost
// points (pxa, pya: n + 2 entries).
struct ConvTable {
    int n = 0;
    std::vector<double> xa, ya, d2, pxa, pya;
};
// n >= 2, a < b; throws std::bad_alloc when memory is short.
ConvTable conv_table(int n, double a, double b);

// Calls visit(x, p, ctx) at x = xa[k] + ((xa[k+1] - xa[k]) * j) / 64.0 for k = 0..n-2 and
// j = 0..63, then at x = xa[n-1], in this order; p is the method's value at x, bit for bit
// what spline_eval (or quad_pick) gives there. The interval of each point is known, so
// there is no search per point: O(n).
using Visit = void (*)(double x, double p, void* ctx);
void conv_walk(const ConvTable& t, Method m, Visit visit, void* ctx);

// The errors |p(x) - lorentz(x)| of one method on one table over those points: the maximum
// and the first x where it is met, and the maxima over "inner", a + w <= x <= b - w with
// w = (b - a)/7, and over "ends", the rest.
struct ConvStats {
    int n = 0;
    double h = 0, max_error = 0, x_at_max = 0, inner_max = 0, ends_max = 0;
};
ConvStats conv_stats(const ConvTable& t, Method m, double a, double b);

// The observed order log(e0 / e1) / log(h0 / h1) between two tables.
double conv_order(double e0, double h0, double e1, double h1);
