// ends: the cubic splines of other end conditions than the natural one, as second derivatives
// at the knots, which the spline's own piece evaluates (a C2 cubic spline is fixed by them).
#pragma once

// The second derivatives of the not-a-knot spline through (xa[i], ya[i]), i < n (its third
// derivative continuous at xa[1] and xa[n-2]), into d2[0 .. n-1]: with 3 rows the parabola
// through them, with 2 the line. xa strictly ascending for a meaningful spline. O(n); throws
// std::bad_alloc when its scratch of 3n doubles cannot be allocated.
void notaknot_coeffs(const double* xa, const double* ya, double* d2, int n);
// The same for the clamped spline, whose slopes at xa[0] and xa[n-1] are s0 and s1: with 2
// rows the cubic Hermite piece.
void clamped_coeffs(const double* xa, const double* ya, double* d2, int n, double s0, double s1);
