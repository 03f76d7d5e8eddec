// reference: plain implementations of the suite's numbers, written here from the routines'
// definitions and kept apart from the product, so that the end-to-end tests compare the
// programs with an independent source. Where the results sit at the rounding level they keep
// the programs' order of operations, so that the bits agree.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace ref {

// The Lorentzian 1 / (t*t + 1), t = (x - 3.47) / 0.57.
inline double lorentz(double x) {
    double t = (x - 3.47) / 0.57;
    return 1.0 / (t * t + 1.0);
}

// Its derivative, -2t / (t*t + 1)^2 / 0.57.
inline double lorentz_deriv(double x) {
    double t = (x - 3.47) / 0.57, q = 1.0 / (t * t + 1.0);
    return -2.0 * t * q * q / 0.57;
}

// The 999 grid abscissae: -(0.02 i)^3 for i = 500 down to 2, then (0.02 i)^3 for i = 0 to
// 499, each cube multiplied left to right.
inline std::vector<double> grid() {
    std::vector<double> g;
    for (int i = 500; i >= 2; --i) {
        double t = i * 0.02 + 0.0;
        g.push_back(-(t * t * t));
    }
    for (int i = 0; i <= 499; ++i) {
        double t = i * 0.02 + 0.0;
        g.push_back(t * t * t);
    }
    return g;
}

// The largest j with xa[j] < x, -1 when there is none: for ascending xa.
inline int below(const std::vector<double>& xa, double x) {
    auto it = std::lower_bound(xa.begin(), xa.end(), x);
    return static_cast<int>(it - xa.begin()) - 1;
}

// The natural cubic spline through (xa, ya), ascending xa, n >= 2.
struct Spline {
    std::vector<double> xa, ya, d2;
    // The cubic spline of the second derivatives m (another end condition's, say).
    Spline(std::vector<double> x, std::vector<double> y, std::vector<double> m)
        : xa(std::move(x)), ya(std::move(y)), d2(std::move(m)) {}
    Spline(std::vector<double> x, std::vector<double> y) : xa(std::move(x)), ya(std::move(y)) {
        std::size_t n = xa.size();
        std::vector<double> u(n, 0.0);
        d2.assign(n, 0.0);
        for (std::size_t i = 1; i + 1 < n; ++i) {
            double sig = (xa[i] - xa[i - 1]) / (xa[i + 1] - xa[i - 1]);
            double p = sig * d2[i - 1] + 2.0;
            d2[i] = (sig - 1.0) / p;
            double right = (ya[i + 1] - ya[i]) / (xa[i + 1] - xa[i]);
            double left = (ya[i] - ya[i - 1]) / (xa[i] - xa[i - 1]);
            u[i] = (6.0 * (right - left) / (xa[i + 1] - xa[i - 1]) - sig * u[i - 1]) / p;
        }
        for (std::size_t k = n - 1; k-- > 0;)
            d2[k] = d2[k] * d2[k + 1] + u[k];
    }
    // The cubic of the interval around x; the end intervals extended.
    double operator()(double x) const {
        int n = static_cast<int>(xa.size());
        return piece(std::clamp(below(xa, x), 0, n - 2), x);
    }
    // The cubic of interval lo at x, computed in R (double, or float where the table's
    // numbers are float32 values).
    template <class R = double> R piece(int lo, R x) const {
        int hi = lo + 1;
        R x0 = R(xa[lo]), x1 = R(xa[hi]), y0 = R(ya[lo]), y1 = R(ya[hi]), h = x1 - x0;
        if (h == R(0))
            return (y0 + y1) * R(0.5);
        R a = -(x - x1) / h;
        R b = (x - x0) / h;
        R c = h * h * a * (a * a - R(1)) / R(6);
        R d = h * h * b * (b * b - R(1)) / R(6);
        return (c * R(d2[lo]) + (b * y1 + a * y0)) + d * R(d2[hi]);
    }
};

// The second derivatives M of a cubic spline through (x, y) the plain way: the whole n x n
// system, its end rows written as the condition says, solved by Gaussian elimination with
// partial pivoting. cond 'n': not-a-knot (third derivative continuous at x[1] and x[n-2]; with
// three rows M constant, with two M = 0); 'c': clamped, slopes s0 and s1 at the ends.
inline std::vector<double> end_d2(const std::vector<double>& x, const std::vector<double>& y,
                                  char cond, double s0, double s1) {
    std::size_t n = x.size();
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    auto h = [&](std::size_t i) { return x[i + 1] - x[i]; };
    auto d = [&](std::size_t i) { return (y[i + 1] - y[i]) / h(i); };
    for (std::size_t i = 1; i + 1 < n; ++i) {
        a[i][i - 1] = h(i - 1);
        a[i][i] = 2 * (h(i - 1) + h(i));
        a[i][i + 1] = h(i);
        a[i][n] = 6 * (d(i) - d(i - 1));
    }
    std::size_t l = n - 1;
    if (cond == 'c') {
        a[0][0] = 2 * h(0), a[0][1] = h(0), a[0][n] = 6 * (d(0) - s0);
        a[l][l - 1] = h(l - 1), a[l][l] = 2 * h(l - 1), a[l][n] = 6 * (s1 - d(l - 1));
    } else if (n == 2) {
        a[0][0] = 1, a[1][1] = 1;
    } else if (n == 3) {
        a[0][0] = 1, a[0][1] = -1, a[2][1] = 1, a[2][2] = -1;
    } else {
        a[0][0] = -1 / h(0), a[0][1] = 1 / h(0) + 1 / h(1), a[0][2] = -1 / h(1);
        a[l][l - 2] = -1 / h(l - 2), a[l][l - 1] = 1 / h(l - 2) + 1 / h(l - 1),
                 a[l][l] = -1 / h(l - 1);
    }
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c]))
                p = r;
        std::swap(a[c], a[p]);
        for (std::size_t r = c + 1; r < n; ++r) {
            double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k <= n; ++k)
                a[r][k] -= f * a[c][k];
        }
    }
    std::vector<double> m(n);
    for (std::size_t c = n; c-- > 0;) {
        double s = a[c][n];
        for (std::size_t k = c + 1; k < n; ++k)
            s -= a[c][k] * m[k];
        m[c] = s / a[c][c];
    }
    return m;
}

// The four-point quadratic of rows (xs, ys), ascending, n >= 2: the table padded with a
// ghost point at each end, four padded entries from one before the search's interval.
struct Quad {
    std::vector<double> xa, ya; // padded: n + 2
    int n;
    Quad(const std::vector<double>& xs, const std::vector<double>& ys)
        : xa(xs.size() + 2), ya(xs.size() + 2), n(static_cast<int>(xs.size())) {
        std::copy(xs.begin(), xs.end(), xa.begin() + 1);
        std::copy(ys.begin(), ys.end(), ya.begin() + 1);
        xa[0] = xa[1] - (xa[2] - xa[1]);
        ya[0] = ya[1];
        xa[n + 1] = (xa[n] - xa[n - 1]) + xa[n];
        ya[n + 1] = ya[n];
    }
    double operator()(double x) const {
        // The search runs over the first n entries of the padded table.
        std::vector<double> searched(xa.begin(), xa.begin() + n);
        return piece(std::clamp(below(searched, x) - 1, 0, n - 2), x);
    }
    // The coefficients c, s23, a and mid of the quadratic of padded entries jb .. jb+3 (row
    // interval jb), computed in R (for float, the ghost abscissae as float computes them).
    template <class R> std::array<R, 4> coeffs(int jb) const {
        R p[4], q[4];
        for (int i = 0; i < 4; ++i) {
            p[i] = R(xa[jb + i]);
            q[i] = R(ya[jb + i]);
        }
        if (jb == 0)
            p[0] = R(xa[1]) - (R(xa[2]) - R(xa[1]));
        if (jb + 3 == n + 1)
            p[3] = (R(xa[n]) - R(xa[n - 1])) + R(xa[n]);
        R s23 = (q[2] - q[1]) / (p[2] - p[1]);
        R s12 = (q[1] - q[0]) / (p[1] - p[0]);
        R s34 = (q[3] - q[2]) / (p[3] - p[2]);
        R c = (s34 - s12) / (((p[2] + p[3]) - p[0]) - p[1]);
        R a = (q[1] + q[2]) * R(0.5) - (p[2] - p[1]) * (p[2] - p[1]) * c * R(0.25);
        return {c, s23, a, (p[1] + p[2]) * R(0.5)};
    }
    // That quadratic at x, its coefficients computed in C and its value in R.
    template <class C = double, class R = C> R piece(int jb, R x) const {
        std::array<C, 4> k = coeffs<C>(jb);
        R c = k[0], s23 = k[1], a = k[2], t = x - R(k[3]);
        return (t * c + s23) * t + a;
    }
};

// Linear interpolation between the rows (xs, ys), ascending, n >= 2, the interval as the
// search takes it: y0 + (y1 - y0)/h (x - x0), computed in R.
struct Linear {
    std::vector<double> xa, ya;
    template <class R = double> R piece(int k, R x) const {
        R x0 = R(xa[k]), y0 = R(ya[k]), y1 = R(ya[k + 1]), h = R(xa[k + 1]) - x0;
        return y0 + (y1 - y0) / h * (x - x0);
    }
};

// The error table of interpolant f: 999 lines "%14.6g %14.6g" of x and |f(x) - lorentz(x)|,
// each ended by CR LF.
template <class F> std::string error_table(F f) {
    std::string s;
    char line[96];
    for (double x : grid()) {
        std::snprintf(line, sizeof line, "%14.6g %14.6g\r\n", x, std::fabs(f(x) - lorentz(x)));
        s += line;
    }
    return s;
}

// The pairs of a table as lorgen writes it ("%.17g %.17g" lines), read with strtod.
inline void read_pairs(const std::string& text, std::vector<double>& xs, std::vector<double>& ys) {
    const char* p = text.c_str();
    for (;;) {
        char* e = nullptr;
        double x = std::strtod(p, &e);
        if (e == p)
            return;
        p = e;
        double y = std::strtod(p, &e);
        if (e == p)
            return;
        p = e;
        xs.push_back(x);
        ys.push_back(y);
    }
}

// The largest finite |f(x) - lorentz(x)| at x = xs[k] + ((xs[k+1] - xs[k]) * j) / 64.0,
// j = 0..63, for every interval k, then at the last abscissa; the first x where it is met.
// Points whose error is NaN are counted, not taken.
struct Worst {
    double err = -1, x = 0;
    long nans = 0, points = 0;
};
template <class F> Worst worst(const std::vector<double>& xs, F f) {
    Worst w;
    auto take = [&](double x) {
        double e = std::fabs(f(x) - lorentz(x));
        ++w.points;
        if (std::isnan(e))
            ++w.nans;
        else if (std::isfinite(e) && e > w.err) {
            w.err = e;
            w.x = x;
        }
    };
    for (std::size_t k = 0; k + 1 < xs.size(); ++k)
        for (int j = 0; j < 64; ++j)
            take(xs[k] + ((xs[k + 1] - xs[k]) * j) / 64.0);
    take(xs.back());
    return w;
}

// The largest error anywhere, the hard way: interval k's cubic or quadratic piece(k, x) at
// 4,096 points of (xs[k], xs[k+1]] (and at xs[0]), then 60 golden-section steps around the
// interval's best point. The pieces are the programs' own there.
template <class P> Worst brute_worst(const std::vector<double>& xs, const P& piece) {
    Worst w;
    auto err = [&](int k, double x) {
        if (k > 0 && !(x > xs[k]))
            return -1.0; // the interval before's piece is the programs' there
        double e = std::fabs(piece(k, x) - lorentz(x));
        if (std::isfinite(e) && e > w.err) {
            w.err = e;
            w.x = x;
        }
        return std::isfinite(e) ? e : -1.0;
    };
    err(0, xs[0]);
    for (int k = 0; k + 1 < static_cast<int>(xs.size()); ++k) {
        double a = xs[k], h = xs[k + 1] - a, best = -1, at = a;
        for (int j = 1; j <= 4096; ++j) {
            double x = j == 4096 ? xs[k + 1] : a + h * j / 4096;
            if (double e = err(k, x); e > best)
                best = e, at = x;
        }
        double lo = std::max(a, at - h / 4096), hi = std::min(xs[k + 1], at + h / 4096);
        for (int i = 0; i < 60 && hi - lo > 0; ++i) {
            double c = hi - 0.618 * (hi - lo), d = lo + 0.618 * (hi - lo);
            if (!(c > lo && d < hi))
                break;
            if (err(k, c) >= err(k, d))
                hi = d;
            else
                lo = c;
        }
    }
    return w;
}

// The largest error anywhere of the method on (xs, ys), the hard way (brute_worst).
inline Worst method_worst(const std::string& method, const std::vector<double>& xs,
                          const std::vector<double>& ys) {
    // The other end conditions: their second derivatives solved the plain way.
    bool ends = method == "not-a-knot" || method == "clamped";
    Spline sp =
        ends ? Spline(xs, ys,
                      end_d2(xs, ys, method[0], lorentz_deriv(xs[0]), lorentz_deriv(xs.back())))
             : Spline(xs, ys);
    Quad q(xs, ys);
    if (method != "quadratic")
        return brute_worst(xs, [&](int k, double v) { return sp.piece(k, v); });
    return brute_worst(xs, [&](int k, double v) { return q.piece(k, v); });
}

} // namespace ref
