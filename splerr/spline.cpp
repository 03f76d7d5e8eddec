// spline: the tridiagonal solve for the natural spline and the evaluation of its pieces.
#include "spline.hpp"

#include "numlib.hpp"

bool spline_coeffs(const double xa[], const double ya[], double d2ya[], int n, int threads) {
    double* u = alloc_doubles(static_cast<std::size_t>(n));
    if (u == nullptr)
        return false;
    std::thread faults = prefault_pair(d2ya, u, static_cast<std::size_t>(n), threads);
    // The forward sweep: d2ya[i] holds row i's multiplier, u[i] its right-hand side. The
    // right slope of row i is the left slope of row i+1: the same operations, so the same bits.
    if (n > 2) {
        double sl = (ya[1] - ya[0]) / (xa[1] - xa[0]);
        for (int i = 1; i < n - 1; ++i) {
            double r = (xa[i] - xa[i - 1]) / (xa[i + 1] - xa[i - 1]);
            double p = r * d2ya[i - 1] + 2.0;
            d2ya[i] = (r + (-1.0)) / p;
            double sr = (ya[i + 1] - ya[i]) / (xa[i + 1] - xa[i]);
            u[i] = (6.0 * (sr - sl) / (xa[i + 1] - xa[i - 1]) - r * u[i - 1]) / p;
            sl = sr;
        }
    }
    if (faults.joinable())
        faults.join();
    // The back substitution.
    d2ya[n - 1] = 0.0;
    for (int k = n - 2; k >= 0; --k)
        d2ya[k] = d2ya[k] * d2ya[k + 1] + u[k];
    free_doubles(u);
    return true;
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
