// function: the function the study interpolates, as one entry: its value and derivative, what
// the bound needs of its derivatives, where its shape is, and its formula as text. Code
// outside the entry and numlib never names its constants.
#pragma once

#include "numlib.hpp"

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
};

// The Lorentzian's own parts (function.cpp): its second derivative, local bounds and
// largest value, as the entry's fields describe them.
double lorentz_d2(double x, double fx, double* allow);
Local lorentz_local(double a, double b);
double lorentz_largest(double a, double b);

// The Lorentzian 1/(1+t^2), t = (x-c)/w: numlib's value and derivative. A constant entry, so
// that its value inlines where the engine evaluates it.
inline constexpr Function lorentzian{.name = "the Lorentzian",
                                     .formula = "1/(1+((x-3.47)/0.57)^2)",
                                     .peak = lor_centre,
                                     .width = lor_width,
                                     .f = lorentz,
                                     .f_allow = 10 * 0x1p-53, // its five roundings
                                     .df = lorentz_deriv,
                                     .d2 = lorentz_d2,
                                     .local = lorentz_local,
                                     .largest = lorentz_largest};

// The function of the study.
constexpr const Function& study_function() {
    return lorentzian;
}
