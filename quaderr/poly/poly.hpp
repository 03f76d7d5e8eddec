// poly: the four-point quadratic interpolation of loren.out, with its trace.
#pragma once

// Trace lines are printed while this equals 1; written only by quaderr's main routine.
extern int trace_flag;

// The quadratic through (xi[1], yi[1]) and (xi[2], yi[2]) whose curvature is the change of
// slope between the outer chords 0-1 and 2-3, at x (the points numbered 1 to 4 in the
// trace are xi[0..3]). Prints "inside quad" and the four points while tracing.
double quad(const double xi[], const double yi[], double x);

// Picks the four padded entries jb..jb+3 around x (jb = locate(x, xa, n) - 1, clamped to
// 0..n-2) and returns quad on them, printing trace groups A and B first. xa and ya hold
// n + 2 entries (ghost points at 0 and n+1); n >= 2; reads nothing outside them.
double quad_pick(double x, const double xa[], const double ya[], int n);
// quad_pick with the search's result j = locate(x, xa, n) already known: the same value and
// trace, bit for bit.
double quad_at(int j, double x, const double xa[], const double ya[], int n);

// Sets the ghost points of a padded table whose rows fill entries 1..n, n >= 2.
void set_ghosts(double xa[], double ya[], int n);

// The interpolant of loren.out at x, loading the padded table on the first call; 0.0
// (after the loader's message, no trace) while the table cannot be loaded.
double quad_interp(double x);
