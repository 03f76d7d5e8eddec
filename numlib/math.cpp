// math: the bracketing search, the reference Lorentzian with its derivative, the power.
#include "numlib.hpp"

int locate(double x, const double xa[], int n) {
    int lo = -1, hi = n;
    while (hi - lo > 1) {
        int mid = (lo + hi) >> 1;
        // A NaN on either side compares false and moves hi.
        if (x > xa[mid])
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

double lorentz_deriv(double x) {
    double t = (x - lor_centre) / lor_width;
    double l = 1.0 / (t * t + 1.0);
    return (((-l) * l) * 2.0) * t / lor_width;
}

double ipow(double x, int n) {
    double r = x;
    for (int i = 1; i < n; ++i)
        r = r * x;
    return r;
}

double sample_x(double a, double b, long long n, long long i) {
    if (n < 2)
        return a;
    double h = (b - a) / static_cast<double>(n - 1);
    return i == n - 1 ? b : a + static_cast<double>(i) * h;
}

void sample_table(double a, double b, long long n, double* xa, double* ya) {
    for (long long i = 0; i < n; ++i) {
        xa[i] = sample_x(a, b, n, i);
        ya[i] = lorentz(xa[i]);
    }
}
