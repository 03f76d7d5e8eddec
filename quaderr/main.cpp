// quaderr: the four-point quadratic of loren.out against the exact Lorentzian: typed
// abscissae with a full trace, then the error over the grid into errq.out, then the plot.
#include "poly/poly.hpp"
#include "shell.hpp"

#include <cstdio>

namespace {
constexpr const char* usage =
    "usage: quaderr\n"
    "Interpolates the sample table loren.out (pairs x y, ascending x) in the current folder\n"
    "by a local four-point quadratic. Reads abscissae from standard input and prints a\n"
    "trace of 15 lines and the value f with the exact Lorentzian (floren) for each, until\n"
    "-10000 or the end of input; then writes the absolute error over a fixed grid of 999\n"
    "abscissae to errq.out and runs \"gplot loren.out errq.out\".\n"
    "Exit status: 0; 1 when errq.out or standard output cannot be written, or when no\n"
    "evaluation had a table (loren.out missing, unreadable or with fewer than 2 rows).\n";

void show(double x) {
    double f = quad_interp(x);
    double floren = lorentz(x);
    out_printf(stdout, "f = %lg floren =%lg \n", f, floren);
    note_outside(*quad_console, x);
}
} // namespace

int main(int argc, char** argv) {
    if (plain_args(argc, argv, "quaderr", usage))
        return 0;
    Console& c = console_start("quaderr", "the quadratic");
    quad_console = &c;
    trace_flag = 1;
    run_section(c, show);
    trace_flag = 0;
    return console_end(c, finish_run(c, "errq.out", quad_interp));
}
