// function: the Lorentzian 1/(1+t^2), t = (x-c)/w, as the study's function: numlib's value and
// derivative, its second and fourth derivatives bounded with their rounding.
#include "function.hpp"

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
Local lorentz_local(double a, double b) {
    double ta = (a - lor_centre) * inv_w, tb = (b - lor_centre) * inv_w;
    double t0 = ta <= 0 && tb >= 0 ? 0 : std::min(std::fabs(ta), std::fabs(tb)) * (1 - 0x1p-40);
    double q = 1 / (1 + t0 * t0);
    constexpr double inv_w4 = inv_w * inv_w * inv_w * inv_w * (1 + 0x1p-40);
    return {std::min(24.0, 120 * (q * q) * q) * (1 + 0x1p-40) * inv_w4, q * (1 + 0x1p-40)};
}

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

// 1 at the peak; else at the end nearer it, where f falls away from the peak.
double lorentz_largest(double a, double b) {
    return a <= lor_centre && lor_centre <= b ? 1.0 : std::max(lorentz(a), lorentz(b));
}
