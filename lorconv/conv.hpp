// conv: the convergence study's tables and their error statistics, through the dense engine.
#pragma once

#include "dense.hpp"

#include <cmath>
#include <vector>

// n samples of the Lorentzian on [a, b], exactly as lorgen writes them.
struct ConvTable {
    int n = 0;
    std::vector<double> xa, ya;
};
// n >= 2, a < b; throws std::bad_alloc when memory is short.
ConvTable conv_table(int n, double a, double b);

// The errors |p(x) - f(x)| (the study's function) of one method on one table, on the caller's
// thread: the maximum and the first x where it is met, and the maxima over "inner", a + w <= x <= b
// - w with w = (b - a)/7, and over "ends", the rest. An infinite error counts; where an error is
// NaN the maximum of its region (and the overall one, with its x) is NaN. The maxima are the
// proving search's, everywhere on the table, and bound is a bound of the error everywhere (NaN:
// none).
struct ConvStats {
    int n = 0;
    double h = 0, max_error = 0, x_at_max = 0, inner_max = 0, ends_max = 0, bound = NAN;
};
ConvStats conv_stats(const ConvTable& t, const Method& m, double a, double b);

// The observed order log(e0 / e1) / log(h0 / h1) between two tables.
double conv_order(double e0, double h0, double e1, double h1);
