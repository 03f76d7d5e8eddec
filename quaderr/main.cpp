// quaderr: the four-point quadratic of loren.out against the exact Lorentzian: typed
// abscissae with a full trace, then the error over the grid into errq.out, then the plot.
#include "numlib.hpp"
#include "poly/poly.hpp"

#include <cstdio>

namespace {
void show(double x) {
    double f = quad_interp(x);
    double floren = lorentz(x);
    std::printf("f = %g floren =%g \n", f, floren);
}
} // namespace

int main() {
    TextFile& in = console_start();
    trace_flag = 1;
    run_section(in, show);
    trace_flag = 0;
    return console_end(finish_run("errq.out", quad_interp));
}
