// spline: the tridiagonal solve for the natural spline and the evaluation of its pieces.
#include "spline.hpp"

#include "numlib.hpp"

bool spline_coeffs(const double xa[], const double ya[], double d2ya[], int n) {
    double* u = alloc_doubles(static_cast<std::size_t>(n));
    if (u == nullptr)
        return false;
    u[0] = 0.0;
    spline_sweep(xa, ya, d2ya, u, 1, n - 1);
    spline_back(d2ya, u, n);
    free_doubles(u, static_cast<std::size_t>(n));
    return true;
}

void spline_sweep(const double xa[], const double ya[], double d2ya[], double u[], int from,
                  int to) {
    if (from >= to)
        return;
    // d2ya[i] holds the row's multiplier, u[i] its right-hand side. The right slope of row i
    // is the left slope of row i+1: the same operations, so the same bits.
    double sl = (ya[from] - ya[from - 1]) / (xa[from] - xa[from - 1]);
    for (int i = from; i < to; ++i) {
        double r = (xa[i] - xa[i - 1]) / (xa[i + 1] - xa[i - 1]);
        double p = r * d2ya[i - 1] + 2.0;
        d2ya[i] = (r + (-1.0)) / p;
        double sr = (ya[i + 1] - ya[i]) / (xa[i + 1] - xa[i]);
        u[i] = (6.0 * (sr - sl) / (xa[i + 1] - xa[i - 1]) - r * u[i - 1]) / p;
        sl = sr;
    }
}

void spline_back(double d2ya[], const double u[], int n) {
    d2ya[n - 1] = 0.0;
    for (int k = n - 2; k >= 0; --k)
        d2ya[k] = d2ya[k] * d2ya[k + 1] + u[k];
}

double spline_eval(const double xa[], const double ya[], const double d2ya[], int n, double x) {
    return spline_piece(xa, ya, d2ya, n, locate(x, xa, n), x);
}

double spline_piece(const double xa[], const double ya[], const double d2ya[], int n, int j,
                    double x) {
    if (j < 0)
        j = 0;
    if (j > n - 2)
        j = n - 2;
    double h = xa[j + 1] - xa[j];
    if (h == 0.0)
        return (ya[j] + ya[j + 1]) * 0.5;
    double a = -(x - xa[j + 1]) / h;
    double b = (x - xa[j]) / h;
    double c = h * h * a * (a * a + (-1.0)) / 6.0;
    double d = h * h * b * (b * b + (-1.0)) / 6.0;
    double s = b * ya[j + 1] + a * ya[j];
    return (c * d2ya[j] + s) + d * d2ya[j + 1];
}
