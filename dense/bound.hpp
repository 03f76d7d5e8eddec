// bound: what proves a bound of an interpolant's error on a stretch of one polynomial piece:
// the function's second derivative and a local bound of its fourth, the allowances for
// rounding, and the bound of a sub-interval from its two ends.
//
// On a piece p (a polynomial of degree <= 3, so p'''' = 0) the error e = p - f has
// e'''' = -f''''. For a <= x <= b, with h = b - a, linear interpolation of e and of e'' gives
//   |e(x)| <= max(|e(a)|, |e(b)|) + M h^2/8,  M = max(|e''(a)|, |e''(b)|) + F4 h^2/8,
// F4 a bound of |f''''| on [a, b]. The computed values differ from the exact ones by the
// allowances, which the bound adds (README, "How sure is a bound").
#pragma once

#include "function.hpp"

// The unit roundoff of doubles.
inline constexpr double unit_roundoff = 0x1p-53;

// A method's piece at a point: the value its program computes there (p), the piece's second
// derivative as computed (d2), and bounds of how far each is from the exact piece's (ap, ad2);
// and the piece's value computed closer (q, within aq of the exact; in double arithmetic p and
// ap again), which the bound's ends take, so that a float32 evaluator's rounding counts once.
struct Jet {
    double p, d2, ap, ad2, q, aq;
};

// One end of a sub-interval: the error there as the programs compute it (e), an upper bound
// of |e''| of the exact piece (d2), the allowance for the rounding of the piece's value (r),
// and the error of the closer value with its allowance (eb, rb: e and r in double
// arithmetic). Not finite where the piece or the function is not.
struct Node {
    double x, e, d2, r, eb, rb;
};
Node node_of(const Jet& j, double x);

// The bound of a sub-interval [a.x, b.x] of one piece (a.x < b.x): the part that splitting
// shrinks (d: the larger end error plus the curvature term) and the part it cannot (r: the
// rounding of the piece's values, of the function's and of the errors themselves; rq: of the
// closer values alone, as far as d may be from the closer errors found). The error, as the
// programs compute it and as it is exactly, is at most bound_of(s) everywhere on the
// sub-interval; NaN or infinite when an end is not finite. No allocation.
struct SubBound {
    double d, r, rq;
};
SubBound sub_bound(const Node& a, const Node& b);
// sub_bound with l, the study function's local bounds on an interval that holds [a.x, b.x].
SubBound sub_bound(const Node& a, const Node& b, const Local& l);
inline double bound_of(const SubBound& s) {
    return (s.d + s.r) * (1 + 0x1p-40); // the rounding of the bound's own arithmetic
}
