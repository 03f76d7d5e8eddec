// splerr: the natural cubic spline of loren.out against the exact Lorentzian: typed
// abscissae first, then the error over the grid into errsp.out, then the plot.
#include "shell.hpp"
#include "spline.hpp"

#include <cstdio>
#include <cstdlib>

namespace {
// The program's console, for the evaluator's messages; set first in main.
Console* con = nullptr;

// The table and its second derivatives, loaded by the first evaluation; n = 0: not loaded.
int n = 0;
double* xa = nullptr;
double* ya = nullptr;
double* d2ya = nullptr;

// The spline of loren.out at x; 0.0 (after the loader's message) while it cannot be loaded.
double spline_interp(double x) {
    if (n == 0) {
        SampleTable t;
        if (!report_load(*con, load_table(table_name, {0, 0}, 2, t, thread_count()), t))
            return 0.0;
        double* d2 = alloc_doubles(static_cast<std::size_t>(t.n));
        if (d2 == nullptr || !spline_coeffs(t.xa, t.ya, d2, t.n, thread_count()))
            die_no_memory();
        n = t.n;
        xa = t.xa;
        ya = t.ya;
        d2ya = d2;
    }
    return spline_eval(xa, ya, d2ya, n, x);
}

constexpr const char* usage =
    "usage: splerr\n"
    "Interpolates the sample table loren.out (pairs x y, ascending x) in the current folder\n"
    "by a natural cubic spline. Reads abscissae from standard input and prints the spline's\n"
    "value (polyc) and the exact Lorentzian (floren) for each, until -10000 or the end of\n"
    "input; then writes the absolute error over a fixed grid of 999 abscissae to errsp.out\n"
    "and runs \"gplot loren.out errsp.out\".\n"
    "Exit status: 0; 1 when errsp.out or standard output cannot be written, or when no\n"
    "evaluation had a table (loren.out missing, unreadable or with fewer than 2 rows).\n";

void show(double x) {
    double p = spline_interp(x);
    double f = lorentz(x);
    out_printf(stdout, " polyc =%lg \n", p);
    out_printf(stdout, "floren =%lg \n", f);
    note_outside(*con, x);
}
} // namespace

int main(int argc, char** argv) {
    if (plain_args(argc, argv, "splerr", usage))
        return 0;
    Console& c = console_start("splerr", "the spline");
    con = &c;
    run_section(c, show);
    return console_end(c, finish_run(c, "errsp.out", spline_interp));
}
