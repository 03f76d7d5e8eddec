// poly: the padded table, the choice of four points, the quadratic, and their trace lines.
#include "poly.hpp"

#include "numlib.hpp"

#include <cstdio>

int trace_flag = 0;

namespace {
// The padded table, loaded by the first evaluation; n = 0: not loaded.
int n = 0;
double* xa = nullptr;
double* ya = nullptr;
} // namespace

double quad(const double xi[], const double yi[], double x) {
    if (trace_flag == 1) {
        out_printf(stdout, "inside quad x=%lg \n", x);
        for (int i = 1; i <= 4; ++i)
            out_printf(stdout, "i %d xi %lg yi %lg \n", i, xi[i - 1], yi[i - 1]);
    }
    double x1 = xi[0], x2 = xi[1], x3 = xi[2], x4 = xi[3];
    double y1 = yi[0], y2 = yi[1], y3 = yi[2], y4 = yi[3];
    double s23 = (y3 - y2) / (x3 - x2);
    double s12 = (y2 - y1) / (x2 - x1);
    double s34 = (y4 - y3) / (x4 - x3);
    double c = (s34 - s12) / (((x3 + x4) - x1) - x2);
    double a = (y2 + y3) * 0.5 - (x3 - x2) * (x3 - x2) * c * 0.25;
    double t = x - (x2 + x3) * 0.5;
    return (t * c + s23) * t + a;
}

double quad_pick(double x, const double xa[], const double ya[], int n) {
    return quad_at(locate(x, xa, n), x, xa, ya, n);
}

double quad_at(int j, double x, const double xa[], const double ya[], int n) {
    if (trace_flag == 1) {
        out_printf(stdout, "jb n %d %d \n", j, n);
        out_printf(stdout, "xa[n],xa[n+1] %lg,%lg \n", xa[n], xa[n + 1]);
        out_printf(stdout, "ya[n],ya[n+1] %lg,%lg \n", ya[n], ya[n + 1]);
    }
    int jb = j - 1;
    if (jb > n - 2)
        jb = n - 2;
    if (jb < 0)
        jb = 0;
    if (trace_flag == 1) {
        out_printf(stdout, "final jb %d \n", jb);
        // Four places above jb lies past the array when jb = n-2: show the right ghost.
        double xap = jb + 4 <= n + 1 ? xa[jb + 4] : xa[n + 1];
        out_printf(stdout, "xam x xap %lg %lg %lg \n", xa[jb + 1], x, xap);
        out_printf(stdout, "poly x= %lg \n", x);
        for (int i = 0; i < 4; ++i)
            out_printf(stdout, "i %d xa[i+jb] %lg ya[i+jb] %lg \n", i, xa[jb + i], ya[jb + i]);
    }
    return quad(xa + jb, ya + jb, x);
}

void set_ghosts(double xa[], double ya[], int n) {
    xa[0] = xa[1] - (xa[2] - xa[1]);
    ya[0] = ya[1];
    xa[n + 1] = (xa[n] - xa[n - 1]) + xa[n];
    ya[n + 1] = ya[n];
}

double quad_interp(double x) {
    if (n == 0) {
        SampleTable t;
        if (!report_load(load_table(table_name, 1, 2, 2, t), t))
            return 0.0;
        set_ghosts(t.xa, t.ya, t.n);
        n = t.n;
        xa = t.xa;
        ya = t.ya;
    }
    return quad_pick(x, xa, ya, n);
}
