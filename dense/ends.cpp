// ends: the tridiagonal systems of the not-a-knot and the clamped spline, each row made from
// the table as the elimination reaches it, solved in order (the same bits on every platform).
#include "ends.hpp"

#include <vector>

namespace {
// One row of a tridiagonal system: sub x[i-1] + dia x[i] + sup x[i+1] = rhs.
struct Row {
    double sub, dia, sup, rhs;
};

// Solves the m rows row(i), i < m (the first's sub and the last's sup unused), by elimination
// without pivoting (the systems here are diagonally dominant), into x[0 .. m-1]. Throws
// std::bad_alloc when its scratch of m doubles cannot be allocated.
template <class R> void tridiag(int m, R row, double* x) {
    std::vector<double> c(static_cast<std::size_t>(m));
    Row r = row(0);
    double w = r.dia;
    x[0] = r.rhs / w;
    c[0] = r.sup / w;
    for (int i = 1; i < m; ++i) {
        r = row(i);
        w = r.dia - r.sub * c[static_cast<std::size_t>(i - 1)];
        c[static_cast<std::size_t>(i)] = r.sup / w;
        x[i] = (r.rhs - r.sub * x[i - 1]) / w;
    }
    for (int i = m - 2; i >= 0; --i)
        x[i] = x[i] - c[static_cast<std::size_t>(i)] * x[i + 1];
}

// Width and chord slope of interval i.
double width(const double* xa, int i) {
    return xa[i + 1] - xa[i];
}
double slope(const double* xa, const double* ya, int i) {
    return (ya[i + 1] - ya[i]) / width(xa, i);
}

// The spline's row for the knot i (0 < i < n-1): continuity of the first derivative there.
Row inner_row(const double* xa, const double* ya, int i) {
    double h0 = width(xa, i - 1), h1 = width(xa, i);
    return {h0, 2.0 * (h0 + h1), h1, 6.0 * (slope(xa, ya, i) - slope(xa, ya, i - 1))};
}
} // namespace

void notaknot_coeffs(const double* xa, const double* ya, double* d2, int n) {
    if (n < 4) { // the line, or the parabola through three rows
        double c = n == 3 ? 2.0 * (slope(xa, ya, 1) - slope(xa, ya, 0)) / (xa[2] - xa[0]) : 0.0;
        for (int i = 0; i < n; ++i)
            d2[i] = c;
        return;
    }
    // The rows of knots 1 .. n-2 for d2[1 .. n-2]; in the first and the last, d2[0] and
    // d2[n-1] eliminated by the continuity of the third derivative at knots 1 and n-2.
    int m = n - 2;
    tridiag(
        m,
        [&](int r) {
            int i = r + 1;
            Row w = inner_row(xa, ya, i);
            double h0 = w.sub, h1 = w.sup;
            if (r == 0) {
                w.dia = h0 + 2.0 * h1;
                w.sup = h1 - h0;
                w.rhs = w.rhs * h1 / (h0 + h1);
            }
            if (r == m - 1) {
                w.sub = h0 - h1;
                w.dia = 2.0 * h0 + h1;
                w.rhs = w.rhs * h0 / (h0 + h1);
            }
            return w;
        },
        d2 + 1);
    d2[0] = d2[1] + width(xa, 0) / width(xa, 1) * (d2[1] - d2[2]);
    d2[n - 1] = d2[n - 2] + width(xa, n - 2) / width(xa, n - 3) * (d2[n - 2] - d2[n - 3]);
}

void clamped_coeffs(const double* xa, const double* ya, double* d2, int n, double s0, double s1) {
    tridiag(
        n,
        [&](int i) {
            if (i == 0) {
                double h = width(xa, 0);
                return Row{0.0, 2.0 * h, h, 6.0 * (slope(xa, ya, 0) - s0)};
            }
            if (i == n - 1) {
                double h = width(xa, n - 2);
                return Row{h, 2.0 * h, 0.0, 6.0 * (s1 - slope(xa, ya, n - 2))};
            }
            return inner_row(xa, ya, i);
        },
        d2);
}
