// bound: the Lorentzian's derivatives with their allowances, and the bound of a sub-interval.
#include "bound.hpp"

#include "numlib.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr double u = unit_roundoff;
constexpr double inv_w = 1 / lor_width;
} // namespace

// From the point t0 of [a, b] nearest the peak (t = (x - c)/w): |f''''| = 24 |5t^4 - 10t^2
// + 1| / (1 + t^2)^5 / w^4 <= min(24, 120 / (1 + t0^2)^3) / w^4, and f <= 1 / (1 + t0^2). The
// slack covers the rounding of t and of the formulas.
Local local_of(double a, double b) {
    double ta = (a - lor_centre) * inv_w, tb = (b - lor_centre) * inv_w;
    double t0 = ta <= 0 && tb >= 0 ? 0 : std::min(std::fabs(ta), std::fabs(tb)) * (1 - 0x1p-40);
    double q = 1 / (1 + t0 * t0);
    constexpr double inv_w4 = inv_w * inv_w * inv_w * inv_w * (1 + 0x1p-40);
    return {std::min(24.0, 120 * (q * q) * q) * (1 + 0x1p-40) * inv_w4, q * (1 + 0x1p-40)};
}

namespace {
// f''(x) = (6t^2 - 2) q^3 / w^2 with q = f(x) = 1 / (1 + t^2) (as lorentz computes it, within
// 4u), and a bound of its rounding into *allow.
double lorentz_d2(double x, double q, double* allow) {
    double t = (x - lor_centre) * inv_w, s = t * t;
    if (s > 1e100) { // |f''| < 6/s^2 / w^2: below the smallest bound that matters
        *allow = 1e-190;
        return 0;
    }
    double scale = q * q * q * (inv_w * inv_w);
    *allow = 32 * u * (6 * s + 2) * scale;
    return (6 * s - 2) * scale;
}
} // namespace

Node node_of(const Jet& j, double x) {
    double f = lorentz(x), allow = 0;
    double f2 = lorentz_d2(x, f, &allow);
    return {x, std::fabs(j.p - f), std::fabs(j.d2 - f2) + j.ad2 + allow, j.ap};
}

SubBound sub_bound(const Node& a, const Node& b) {
    return sub_bound(a, b, local_of(a.x, b.x));
}

SubBound sub_bound(const Node& a, const Node& b, const Local& l) {
    if (!std::isfinite(a.e + b.e + a.d2 + b.d2 + a.r + b.r))
        return {HUGE_VAL, HUGE_VAL};
    double h = b.x - a.x, hh = h * h / 8;
    double m = std::max(a.d2, b.d2) + l.f4 * hh;
    double e = std::max(a.e, b.e);
    // |e| exactly at an end is within the end's computed error and its allowances; inside,
    // the programs' values and errors differ from the exact ones by as much again: the
    // piece's allowance (largest at an end), 10u of f (the Lorentzian's five roundings), and
    // 2u of the error (the subtraction and the absolute value's argument).
    double r = 2 * (std::max(a.r, b.r) + 10 * u * l.f) + 2 * u * e;
    return {e + m * hh, r};
}
