// poly: the padded table of loren.out, loaded on first use, and the trace of an evaluation.
#include "poly.hpp"

#include "shell.hpp"

#include <cstdio>

int trace_flag = 0;
Console* quad_console = nullptr;

namespace {
// The padded table, loaded by the first evaluation; n = 0: not loaded.
int n = 0;
double* xa = nullptr;
double* ya = nullptr;
} // namespace

double quad_traced(int j, double x, const double xa[], const double ya[], int n) {
    out_printf(stdout, "jb n %d %d \n", j, n);
    out_printf(stdout, "xa[n],xa[n+1] %lg,%lg \n", xa[n], xa[n + 1]);
    out_printf(stdout, "ya[n],ya[n+1] %lg,%lg \n", ya[n], ya[n + 1]);
    int jb = quad_first(j, n);
    out_printf(stdout, "final jb %d \n", jb);
    // Four places above jb lies past the array when jb = n-2: show the right ghost.
    double xap = jb + 4 <= n + 1 ? xa[jb + 4] : xa[n + 1];
    out_printf(stdout, "xam x xap %lg %lg %lg \n", xa[jb + 1], x, xap);
    out_printf(stdout, "poly x= %lg \n", x);
    for (int i = 0; i < 4; ++i)
        out_printf(stdout, "i %d xa[i+jb] %lg ya[i+jb] %lg \n", i, xa[jb + i], ya[jb + i]);
    out_printf(stdout, "inside quad x=%lg \n", x);
    for (int i = 1; i <= 4; ++i)
        out_printf(stdout, "i %d xi %lg yi %lg \n", i, xa[jb + i - 1], ya[jb + i - 1]);
    return quad(xa + jb, ya + jb, x);
}

double quad_interp(double x) {
    if (n == 0) {
        SampleTable t;
        if (!report_load(*quad_console, load_table(table_name, {1, 2}, 2, t, thread_count()), t, 2,
                         1))
            return 0.0;
        set_ghosts(t.xa, t.ya, t.n);
        n = t.n;
        xa = t.xa;
        ya = t.ya;
    }
    if (trace_flag == 1)
        return quad_traced(locate(x, xa, n), x, xa, ya, n);
    return quad_pick(x, xa, ya, n);
}
