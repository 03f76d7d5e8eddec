// poly: quaderr's interpolant of loren.out: the padded table it loads, and the trace.
#pragma once

#include "quad.hpp"

struct Console;

// Trace lines are printed while this equals 1; written only by quaderr's main routine.
extern int trace_flag;
// The console quad_interp reports the table's load on; set by quaderr's main routine before
// the first call.
extern Console* quad_console;

// The interpolant of loren.out at x, quad_pick on the padded table, which the first call
// loads; 0.0 (after the loader's message, no trace) while the table cannot be loaded. While
// tracing, prints the 15 trace lines of the evaluation first.
double quad_interp(double x);

// quad_at(j, x, xa, ya, n) with the trace lines of its evaluation printed first, whatever
// trace_flag holds: groups A ("jb n", the two ghost lines) and B ("final jb" to the four
// chosen points), then quad's (its abscissa and its four points).
double quad_traced(int j, double x, const double xa[], const double ya[], int n);
