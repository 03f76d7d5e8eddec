// bound: the Lorentzian's derivatives with their allowances, and the bound of a sub-interval.
#include "bound.hpp"

#include "numlib.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr double u = unit_roundoff;

// |f''''(x)| = 24 |5t^4 - 10t^2 + 1| / (1 + t^2)^5 / w^4 with t = (x - c)/w, as a function of t.
double f4_of(double t) {
    double s = t * t, q = 1 / (1 + s);
    if (s > 1e100)
        return 1e-290; // above 120/s^3, where the formula would give inf * 0
    return 24 * std::fabs((5 * s - 10) * s + 1) * (q * q) * (q * q) * q;
}

// What the bound needs of the Lorentzian on [a, b]: a bound of |f''''| and of f.
struct Local {
    double f4, f;
};
// |f''''| peaks where f''''' = 0 (t = 0, +-1/sqrt(3), +-sqrt(3)) or at an end; f peaks at
// t = 0 or at the end nearer it. The slack covers the rounding of t and of the formula.
Local local_of(double a, double b) {
    double ta = (a - lor_centre) / lor_width, tb = (b - lor_centre) / lor_width;
    double g = std::max(f4_of(ta), f4_of(tb));
    for (double t : {0.0, 0.5773502691896258, -0.5773502691896258, 1.7320508075688772,
                     -1.7320508075688772})
        if (t > ta && t < tb)
            g = std::max(g, f4_of(t));
    double w2 = lor_width * lor_width;
    double tmin = ta <= 0 && tb >= 0 ? 0 : std::min(std::fabs(ta), std::fabs(tb));
    return {(g * (1 + 0x1p-30) + 0x1p-40) / (w2 * w2), 1 / (1 + tmin * tmin) * (1 + 0x1p-40)};
}

// f''(x) = (6t^2 - 2) / (1 + t^2)^3 / w^2, and a bound of its rounding into *allow.
double lorentz_d2(double x, double* allow) {
    double t = (x - lor_centre) / lor_width, s = t * t, q = 1 / (1 + s);
    if (s > 1e100) { // |f''| < 6/s^2 / w^2: below the smallest bound that matters
        *allow = 1e-190;
        return 0;
    }
    double scale = q * q * q / (lor_width * lor_width);
    *allow = 32 * u * (6 * s + 2) * scale;
    return (6 * s - 2) * scale;
}
} // namespace

Node node_of(const Jet& j, double x) {
    double f = lorentz(x), allow = 0;
    double f2 = lorentz_d2(x, &allow);
    return {x, std::fabs(j.p - f), std::fabs(j.d2 - f2) + j.ad2 + allow, j.ap};
}

SubBound sub_bound(const Node& a, const Node& b) {
    if (!std::isfinite(a.e + b.e + a.d2 + b.d2 + a.r + b.r))
        return {HUGE_VAL, HUGE_VAL};
    double h = b.x - a.x, hh = h * h / 8;
    Local l = local_of(a.x, b.x);
    double m = std::max(a.d2, b.d2) + l.f4 * hh;
    double e = std::max(a.e, b.e);
    // |e| exactly at an end is within the end's computed error and its allowances; inside,
    // the programs' values and errors differ from the exact ones by as much again: the
    // piece's allowance (largest at an end), 10u of f (the Lorentzian's five roundings), and
    // 2u of the error (the subtraction and the absolute value's argument).
    double r = 2 * (std::max(a.r, b.r) + 10 * u * l.f) + 2 * u * e;
    return {e + m * hh, r};
}
