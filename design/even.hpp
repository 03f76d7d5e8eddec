// even: the count of evenly spaced rows (as lorgen writes them) that meets a tolerance.
#pragma once

#include "design.hpp"

// The evenly spaced count: a number N of lorgen's rows (sample_x) on [r.a, r.b], as stored,
// whose error is proven within r.tol while N - 1 rows' is not; and what N - 1 rows did
// (within: N is 2). count_search starts where the method's error model (its order and
// constant, measured on small tables) puts the count. The error does not fall steadily with
// n, so N need not be the very fewest. rows is 0 when max_rows rows do not meet tol.
// Allocates; throws std::bad_alloc when memory is short.
struct EvenCount {
    long long rows = 0;
    Verdict fewer = Verdict::within;
};
EvenCount even_rows(const Request& r, const Tell& tell = {});

// The asymptotic estimate of the fewest rows that keep m within tol on [a, b] (a < b): 1 plus
// the integral of (C |f^(p)(x)| / tol)^(1/p) (C = m.asymptotic, p = m.order_inner), the rows
// whose every interval has the same error C h^p |f^(p)| as h shrinks; 0 where the method has
// no such constant. Taken over the angle of x seen from the peak, so that wide intervals
// cost no more: 2^16 panels.
double asymptotic_rows(double a, double b, const Method& m, double tol);
