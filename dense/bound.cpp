// bound: the bound of a sub-interval of one piece from its two ends.
#include "bound.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr double u = unit_roundoff;
} // namespace

Node node_of(const Jet& j, double x) {
    const Function& fn = study_function();
    double f = fn.f(x), allow = 0;
    double f2 = fn.d2(x, f, &allow);
    return {x,    std::fabs(j.p - f), std::fabs(j.d2 - f2) + j.ad2 + allow,
            j.ap, std::fabs(j.q - f), j.aq};
}

SubBound sub_bound(const Node& a, const Node& b) {
    return sub_bound(a, b, study_function().local(a.x, b.x));
}

SubBound sub_bound(const Node& a, const Node& b, const Local& l) {
    if (!std::isfinite(a.e + b.e + a.d2 + b.d2 + a.r + b.r + a.eb + b.eb + a.rb + b.rb))
        return {HUGE_VAL, HUGE_VAL, HUGE_VAL};
    double h = b.x - a.x, hh = h * h / 8;
    double m = std::max(a.d2, b.d2) + l.f4 * hh;
    double e = std::max(a.eb, b.eb);
    // |e| exactly at an end is within the end's error of the closer value and its
    // allowances; inside, the programs' values and errors differ from the exact ones by the
    // piece's allowance (largest at an end) and the function's own rounding again, and 2u of
    // the error (the subtraction and the absolute value's argument).
    double fr = study_function().f_allow * l.f, rb = std::max(a.rb, b.rb) + fr;
    return {e + m * hh, rb + (std::max(a.r, b.r) + fr) + 2 * u * e, rb + rb + 2 * u * e};
}
