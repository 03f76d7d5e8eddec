// splerr: the natural cubic spline of loren.out against the exact Lorentzian: typed
// abscissae first, then the error over the grid into errsp.out, then the plot.
#include "numlib.hpp"
#include "spline.hpp"

#include <cstdio>
#include <cstdlib>

namespace {
// The table and its second derivatives, loaded by the first evaluation; n = 0: not loaded.
int n = 0;
double* xa = nullptr;
double* ya = nullptr;
double* d2ya = nullptr;

// The spline of loren.out at x; 0.0 (after the loader's message) while it cannot be loaded.
double spline_interp(double x) {
    if (n == 0) {
        // The loader allocates the second derivatives and the scratch array with the table.
        SampleTable t;
        if (!report_load(load_table(table_name, 0, 0, 2, t, 2)))
            return 0.0;
        spline_coeffs(t.xa, t.ya, t.extra[0], t.extra[1], t.n);
        free_doubles(t.extra[1], static_cast<std::size_t>(t.n));
        n = t.n;
        xa = t.xa;
        ya = t.ya;
        d2ya = t.extra[0];
    }
    return spline_eval(xa, ya, d2ya, n, x);
}

void show(double x) {
    double p = spline_interp(x);
    double f = lorentz(x);
    std::printf(" polyc =%g \n", p);
    std::printf("floren =%g \n", f);
}
} // namespace

int main() {
    TextFile& in = console_start();
    run_section(in, show);
    return console_end(finish_run("errsp.out", spline_interp));
}
