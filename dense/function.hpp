// function: the function the study interpolates, as one entry: its value and derivative, what
// the bound needs of its derivatives, where its shape is, and its formula as text. Code
// outside the entry and numlib never names its constants.
#pragma once

#include "numlib.hpp"

#include <algorithm>
#include <cmath>

// Bounds of |f''''| and of |f| on an interval, for the bound of a sub-interval.
struct Local {
    double f4, f;
};

struct Function {
    const char* name;       // as a sentence names it: "the Lorentzian"
    const char* formula;    // as text: "1/(1+((x-3.47)/0.57)^2)"
    double peak, width;     // where its shape is: the abscissa of its peak and its half width
    double (*f)(double x);  // its value, as the programs compute it
    double f_allow;         // a bound of f's rounding, relative to |f|
    double (*df)(double x); // its derivative (the clamped spline's end slopes)
    // f''(x), given fx = f(x) as f computes it, and a bound of its rounding into *allow.
    double (*d2)(double x, double fx, double* allow);
    // Bounds of |f''''| and of |f| on [a, b] (a <= b), rounding included.
    Local (*local)(double a, double b);
    // The largest |f| on [a, b] (a <= b).
    double (*largest)(double a, double b);
    // |f^(k)(x)| for k = 2 or 4, plainly computed (for estimates, not for bounds).
    double (*derivative)(double x, int k);
    // The function in exact arithmetic, in the provers' words: x the input, peak and width
    // standing for those doubles ("1 / (1 + ((x - peak) / width)^2)").
    const char* exact;
};

// The Lorentzian 1/(1+t^2), t = (x-c)/w: numlib's value and derivative, its second and fourth
// derivatives bounded with their rounding. Inline, with the entry a constant, so that the
// engine's loops call them directly.
namespace lorentzian_parts {
inline constexpr double inv_w = 1 / lor_width;

// f''(x) = (6t^2 - 2) q^3 / w^2 with q = f(x) = 1 / (1 + t^2) (as lorentz computes it, within
// 4u), and a bound of its rounding into *allow.
inline double d2(double x, double q, double* allow) {
    double t = (x - lor_centre) * inv_w, s = t * t;
    if (s > 1e100) { // |f''| < 6/s^2 / w^2: below the smallest bound that matters
        *allow = 1e-190;
        return 0;
    }
    double scale = q * q * q * (inv_w * inv_w);
    *allow = 32 * 0x1p-53 * (6 * s + 2) * scale;
    return (6 * s - 2) * scale;
}

// From the point t0 of [a, b] nearest the peak (t = (x - c)/w): |f''''| = 24 |5t^4 - 10t^2
// + 1| / (1 + t^2)^5 / w^4 <= min(24, 120 / (1 + t0^2)^3) / w^4, and f <= 1 / (1 + t0^2). The
// slack covers the rounding of t and of the formulas.
inline Local local(double a, double b) {
    double ta = (a - lor_centre) * inv_w, tb = (b - lor_centre) * inv_w;
    double t0 = ta <= 0 && tb >= 0 ? 0 : std::min(std::fabs(ta), std::fabs(tb)) * (1 - 0x1p-40);
    double q = 1 / (1 + t0 * t0);
    constexpr double inv_w4 = inv_w * inv_w * inv_w * inv_w * (1 + 0x1p-40);
    return {std::min(24.0, 120 * (q * q) * q) * (1 + 0x1p-40) * inv_w4, q * (1 + 0x1p-40)};
}

// |f''| = |6t^2 - 2| / (1 + t^2)^3 / w^2, |f''''| = 24 |5t^4 - 10t^2 + 1| / (1 + t^2)^5 / w^4.
inline double derivative(double x, int k) {
    double t = (x - lor_centre) * inv_w, s = t * t, q = 1 / (1 + s);
    if (k == 2)
        return std::fabs(6 * s - 2) * q * q * q * (inv_w * inv_w);
    return 24 * std::fabs((5 * s - 10) * s + 1) * (q * q) * (q * q) * q *
           (inv_w * inv_w * inv_w * inv_w);
}

// 1 at the peak; else at the end nearer it, where f falls away from the peak.
inline double largest(double a, double b) {
    return a <= lor_centre && lor_centre <= b ? 1.0 : std::max(lorentz(a), lorentz(b));
}
} // namespace lorentzian_parts

inline constexpr Function lorentzian{.name = "the Lorentzian",
                                     .formula = "1/(1+((x-3.47)/0.57)^2)",
                                     .peak = lor_centre,
                                     .width = lor_width,
                                     .f = lorentz,
                                     .f_allow = 10 * 0x1p-53, // its five roundings
                                     .df = lorentz_deriv,
                                     .d2 = lorentzian_parts::d2,
                                     .local = lorentzian_parts::local,
                                     .largest = lorentzian_parts::largest,
                                     .derivative = lorentzian_parts::derivative,
                                     .exact = "1 / (1 + ((x - peak) / width)^2)"};

// The function of the study.
constexpr const Function& study_function() {
    return lorentzian;
}
