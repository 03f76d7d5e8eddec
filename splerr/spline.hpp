// spline: natural cubic spline coefficients and evaluation over caller-owned arrays.
#pragma once

// Second derivatives of the natural spline through (xa[i], ya[i]), i = 0..n-1, into d2ya,
// which must be zero-filled on entry; d2ya[0] = d2ya[n-1] = 0.0 for finite data. n >= 2;
// xa strictly ascending for a meaningful spline (equal neighbours divide by zero, as IEEE
// arithmetic gives it). O(n). Returns false, d2ya unchanged, when the scratch array of n
// doubles cannot be allocated. With threads > 1 and a large n it starts one helper thread
// that makes the pages of d2ya and the scratch array resident, joined before it returns;
// the result is the same. Does not throw.
bool spline_coeffs(const double xa[], const double ya[], double d2ya[], int n, int threads = 1);
// Value of that spline at x; outside [xa[0], xa[n-1]] the end cubics are extended. An
// interval of zero width gives the mean of its two ordinates. n >= 2; reads entries
// 0..n-1 only; O(log n), no allocation.
double spline_eval(const double xa[], const double ya[], const double d2ya[], int n, double x);
// spline_eval with the search's result j = locate(x, xa, n) already known: the same value,
// bit for bit. j is clamped to 0..n-2 here.
double spline_piece(const double xa[], const double ya[], const double d2ya[], int n, int j,
                    double x);
