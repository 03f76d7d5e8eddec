// quad: the four-point quadratic interpolation over a padded table, without any output.
#pragma once

// The quadratic through (xi[1], yi[1]) and (xi[2], yi[2]) whose curvature is the change of
// slope between the outer chords 0-1 and 2-3, at x (the points numbered 1 to 4 in the
// trace are xi[0..3]).
double quad(const double xi[], const double yi[], double x);
// The coefficients quad evaluates, computed as it computes them: quad is
// (t*c + s23)*t + a with t = x - mid.
struct QuadPiece {
    double c, s23, a, mid;
};
QuadPiece quad_piece(const double xi[], const double yi[]);
// That quadratic at x, as quad evaluates it.
inline double quad_eval(const QuadPiece& q, double x) {
    double t = x - q.mid;
    return (t * q.c + q.s23) * t + q.a;
}

// The first of the four padded entries jb..jb+3 that the interpolation at x takes, given the
// search's result j = locate(x, xa, n): j - 1, clamped to 0..n-2.
int quad_first(int j, int n);

// quad on the four padded entries around x: jb = quad_first(locate(x, xa, n), n). xa and ya
// hold n + 2 entries (ghost points at 0 and n+1); n >= 2; reads nothing outside them.
double quad_pick(double x, const double xa[], const double ya[], int n);
// quad_pick with the search's result j = locate(x, xa, n) already known: the same value, bit
// for bit.
double quad_at(int j, double x, const double xa[], const double ya[], int n);

// Sets the ghost points of a padded table whose rows fill entries 1..n, n >= 2.
void set_ghosts(double xa[], double ya[], int n);
