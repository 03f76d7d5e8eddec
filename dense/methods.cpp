// methods: the entries of the methods the study programs know, each with its kernel's
// preparation and evaluation. A method is one entry here and its kernel.
#include "bound.hpp"
#include "dense.hpp"
#include "ends.hpp"

#include "numlib.hpp"
#include "poly/quad.hpp"
#include "spline.hpp"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

namespace {
// True when a[0..n-1] holds no NaN and never steps down: then locate_near finds the
// search's result for a point from its interval.
bool ascends(const double* a, int n) {
    for (int i = 0; i < n; ++i)
        if (std::isnan(a[i]) || (i > 0 && a[i] < a[i - 1]))
            return false;
    return true;
}

// The cubic splines' own array: the second derivatives at the rows, n entries.
constexpr int d2_of = 0;
// The quadratic's: quaderr's padded table, n + 2 entries.
constexpr int pxa_of = 0, pya_of = 1;

// t's own arrays: count of them, n zeros each, each allocated once.
void own_arrays(DenseTable& t, std::size_t count, std::size_t n) {
    t.own.resize(count);
    for (std::vector<double>& a : t.own)
        a.assign(n, 0.0);
}

// The unit roundoff of float32.
constexpr double single_roundoff = 0x1p-24;

// A float32 evaluator's value of a table's entry, a float32 value held as a double.
float f32(double v) {
    return static_cast<float>(v);
}

// The second derivatives as the cubic splines' headers ship them: rounded to float32 for a
// float32 evaluator.
void spline_ships_as(DenseTable& t) {
    t.walk = ascends(t.xa, t.n);
    if (t.single)
        for (double& v : t.own[d2_of])
            v = f32(v);
}

// The natural cubic spline: splerr's second derivatives and pieces.
void spline_prepare(DenseTable& t, int threads) {
    own_arrays(t, 1, static_cast<std::size_t>(t.n));
    if (!spline_coeffs(t.xa, t.ya, t.own[d2_of].data(), t.n, threads))
        throw std::bad_alloc();
    spline_ships_as(t);
}

// Piece j of the spline (0 <= j <= n-2) at x in float32 arithmetic, as the float32 header
// computes it: spline_piece's operations in its order.
float spline_piece_f(const double* xa, const double* ya, const double* d2, int j, float x) {
    float x0 = f32(xa[j]), x1 = f32(xa[j + 1]), h = x1 - x0;
    if (h == 0.0f)
        return (f32(ya[j]) + f32(ya[j + 1])) * 0.5f;
    float a = -(x - x1) / h;
    float b = (x - x0) / h;
    float c = h * h * a * (a * a + (-1.0f)) / 6.0f;
    float d = h * h * b * (b * b + (-1.0f)) / 6.0f;
    float s = b * f32(ya[j + 1]) + a * f32(ya[j]);
    return (c * f32(d2[j]) + s) + d * f32(d2[j + 1]);
}

void spline_values(const DenseTable& t, int k, const double* x, int count, double* p) {
    const double* d2 = t.own[d2_of].data();
    for (int i = 0; i < count; ++i) {
        int j = t.walk ? locate_near(x[i], t.xa, t.n, k) : locate(x[i], t.xa, t.n);
        p[i] = t.single ? spline_piece_f(t.xa, t.ya, d2, std::clamp(j, 0, t.n - 2), f32(x[i]))
                        : spline_piece(t.xa, t.ya, d2, t.n, j, x[i]);
    }
}

// Whether p - q is exact in floating point: one of them 0, or both of one sign and the
// larger in magnitude at most twice the smaller.
bool exact_difference(double p, double q) {
    return p == 0 || q == 0 ||
           ((p > 0) == (q > 0) && std::fabs(q) <= 2 * std::fabs(p) &&
            std::fabs(p) <= 2 * std::fabs(q));
}

// Piece k of the spline at x in [xa[k], xa[k+1]] (or a little past), with its exact second
// derivative (d0 (x1 - x) + d1 (x - x0)) / h. The allowances count the roundings of spline_piece's
// formula with its weights in [0, 1]: 7u of |y0| + |y1| and 3.1u h^2 of |d0| + |d1| for the
// value, 5u of |d0| + |d1| for the second derivative (docs/bound.md). In float32
// arithmetic the value is the float32 evaluator's, within (k + 2)u of max(|y0|, |y1|) and
// 2u h^2 of |d0| + |d1| (u = 2^-24; k = 3 where the differences are exact, else 5), and the
// closer value the double formula's.
Jet spline_jet(const DenseTable& t, int k, double x) {
    const double *xa = t.xa, *ya = t.ya, *d2 = t.own[d2_of].data();
    double h = xa[k + 1] - xa[k];
    double y = std::fabs(ya[k]) + std::fabs(ya[k + 1]), d = std::fabs(d2[k]) + std::fabs(d2[k + 1]);
    double q = spline_piece(xa, ya, d2, t.n, k, x), aq = unit_roundoff * (8 * y + 4 * h * h * d);
    Jet j{q, (d2[k] * (xa[k + 1] - x) + d2[k + 1] * (x - xa[k])) / h, aq, 6 * unit_roundoff * d, q,
          aq};
    if (t.single) {
        bool exact = exact_difference(x, xa[k]) && exact_difference(x, xa[k + 1]) &&
                     exact_difference(xa[k + 1], xa[k]);
        double units = exact ? 5 : 7;
        // max(|y0|, |y1|) times the weights' sum: 1 inside, a little more where an
        // evaluator that computes the interval from x takes the piece past a row.
        double top = std::fmax(std::fabs(ya[k]), std::fabs(ya[k + 1])) *
                     ((std::fabs(xa[k + 1] - x) + std::fabs(x - xa[k])) / h);
        j.p = spline_piece_f(xa, ya, d2, k, f32(x));
        j.ap = single_roundoff * (units * top + 2 * h * h * d) * (1 + 0x1p-16) + 0x1p-140;
    }
    return j;
}

// The not-a-knot and the clamped spline: their own second derivatives, evaluated by the
// spline's piece (spline_values, spline_jet), as a C2 cubic spline is.
void notaknot_prepare(DenseTable& t, int) {
    own_arrays(t, 1, static_cast<std::size_t>(t.n));
    notaknot_coeffs(t.xa, t.ya, t.own[d2_of].data(), t.n);
    spline_ships_as(t);
}

void clamped_prepare(DenseTable& t, int) {
    own_arrays(t, 1, static_cast<std::size_t>(t.n));
    clamped_coeffs(t.xa, t.ya, t.own[d2_of].data(), t.n, study_function().df(t.xa[0]),
                   study_function().df(t.xa[t.n - 1]));
    spline_ships_as(t);
}

// The four-point quadratic: quaderr's padded table, rows at 1..n, ghost points at 0 and n+1
// (computed in float32 for a float32 evaluator, as its header computes them).
void quadratic_prepare(DenseTable& t, int) {
    own_arrays(t, 2, static_cast<std::size_t>(t.n) + 2);
    std::vector<double>&pxa = t.own[pxa_of], &pya = t.own[pya_of];
    for (int i = 0; i < t.n; ++i) {
        pxa[i + 1] = t.xa[i];
        pya[i + 1] = t.ya[i];
    }
    set_ghosts(pxa.data(), pya.data(), t.n);
    if (t.single) {
        std::size_t n = pxa.size();
        pxa[0] = f32(pxa[1]) - (f32(pxa[2]) - f32(pxa[1]));
        pxa[n - 1] = (f32(pxa[n - 2]) - f32(pxa[n - 3])) + f32(pxa[n - 2]);
    }
    // quad_pick searches the first n entries of the padded table.
    t.walk = ascends(pxa.data(), t.n);
}

// quad_piece and quad_eval in float32 arithmetic, as the float32 header computes them.
struct QuadPieceF {
    float c, s23, a, mid;
};
QuadPieceF quad_piece_f(const double xi[], const double yi[]) {
    float x1 = f32(xi[0]), x2 = f32(xi[1]), x3 = f32(xi[2]), x4 = f32(xi[3]);
    float y1 = f32(yi[0]), y2 = f32(yi[1]), y3 = f32(yi[2]), y4 = f32(yi[3]);
    float s23 = (y3 - y2) / (x3 - x2);
    float s12 = (y2 - y1) / (x2 - x1);
    float s34 = (y4 - y3) / (x4 - x3);
    float c = (s34 - s12) / (((x3 + x4) - x1) - x2);
    float a = (y2 + y3) * 0.5f - (x3 - x2) * (x3 - x2) * c * 0.25f;
    return {c, s23, a, (x2 + x3) * 0.5f};
}
float quad_eval_f(const QuadPieceF& q, float x) {
    float t = x - q.mid;
    return (t * q.c + q.s23) * t + q.a;
}

void quadratic_values(const DenseTable& t, int k, const double* x, int count, double* p) {
    // Row k of the table is entry k + 1 of the padded one. The coefficients of the four
    // points the search picks are made once while the points stay the same: quad's bits.
    const double *pxa = t.own[pxa_of].data(), *pya = t.own[pya_of].data();
    int jb = -1;
    QuadPiece q{};
    QuadPieceF qf{};
    for (int i = 0; i < count; ++i) {
        int j = t.walk ? locate_near(x[i], pxa, t.n, k + 1) : locate(x[i], pxa, t.n);
        if (int b = quad_first(j, t.n); b != jb) {
            jb = b;
            if (t.single)
                qf = quad_piece_f(pxa + jb, pya + jb);
            else
                q = quad_piece(pxa + jb, pya + jb);
        }
        p[i] = t.single ? quad_eval_f(qf, f32(x[i])) : quad_eval(q, x[i]);
    }
}

// Piece k of the quadratic at x in [xa[k], xa[k+1]]: quad on padded entries k..k+3, the
// parabola of its computed coefficients, whose second derivative 2c is exact. The value's
// allowance counts the roundings of (t*c + s23)*t + a: 7u of |c| t^2 + |s23| |t| + |a|. In
// float32 arithmetic the parabola is that of the float32 coefficients, its value the float32
// evaluator's, within u (6 |c| t^2 + 4 |s23| |t| + |a|) (u = 2^-24), and the closer value
// the parabola's in double.
Jet quadratic_jet(const DenseTable& t, int k, double x) {
    const double *xi = t.own[pxa_of].data() + k, *yi = t.own[pya_of].data() + k;
    if (!t.single) {
        QuadPiece q = quad_piece(xi, yi);
        double s = std::fabs(x - q.mid);
        double size = (std::fabs(q.c) * s + std::fabs(q.s23)) * s + std::fabs(q.a);
        double p = quad_eval(q, x), ap = 7 * unit_roundoff * size;
        return {p, 2 * q.c, ap, 0, p, ap};
    }
    QuadPieceF f = quad_piece_f(xi, yi);
    QuadPiece q{f.c, f.s23, f.a, f.mid};
    double s = std::fabs(x - q.mid), c = std::fabs(q.c), s23 = std::fabs(q.s23);
    double size = (c * s + s23) * s + std::fabs(q.a);
    double ap = single_roundoff * ((6 * c * s + 4 * s23) * s + std::fabs(q.a)) * (1 + 0x1p-16);
    return {quad_eval_f(f, f32(x)),  2 * q.c, ap + 0x1p-140, 0, quad_eval(q, x),
            7 * unit_roundoff * size};
}

// a*b + c with one rounding, nearly always (in rare ties the last bit may differ), in plain
// IEEE arithmetic: the C library's fma is not correctly rounded on every platform, and the
// test vectors it picks must be the same everywhere. The product's error is exact from its
// factors split into 26-bit halves, the sum's from its parts; both join the sum last.
double fused(double a, double b, double c) {
    constexpr double split = 134217729.0; // 2^27 + 1
    double ta = split * a, ah = ta - (ta - a), al = a - ah;
    double tb = split * b, bh = tb - (tb - b), bl = b - bh;
    double p = a * b;
    double pe = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    double s = p + c, v = s - p;
    double se = (p - (s - v)) + (c - v);
    return s + (se + pe);
}

// Linear interpolation between the rows of the search's interval j (clamped to 0 .. n-2), in
// R: y0 + (y1 - y0)/h (x - x0), the mean of the two where h is 0, as its header computes it.
template <class R> R linear_piece(const DenseTable& t, int j, R x) {
    j = std::clamp(j, 0, t.n - 2);
    auto x0 = R(t.xa[j]), y0 = R(t.ya[j]), y1 = R(t.ya[j + 1]), h = R(t.xa[j + 1]) - x0;
    if (h == R(0))
        return (y0 + y1) * R(0.5);
    return y0 + (y1 - y0) / h * (x - x0);
}

void linear_prepare(DenseTable& t, int) {
    t.own.clear();
    t.walk = ascends(t.xa, t.n);
}

void linear_values(const DenseTable& t, int k, const double* x, int count, double* p) {
    for (int i = 0; i < count; ++i) {
        int j = t.walk ? locate_near(x[i], t.xa, t.n, k) : locate(x[i], t.xa, t.n);
        p[i] = t.single ? linear_piece(t, j, f32(x[i])) : linear_piece(t, j, x[i]);
    }
}

// Piece k of the linear interpolant at x in [xa[k], xa[k+1]] (or a little past): the line
// through the two rows, whose second derivative 0 is exact. The value's allowance: y1 - y0,
// h, their quotient, x - x0 and the product round once each, u of |y1 - y0| b (b =
// (x - x0)/h, in [0, 1] inside) each, and the last sum by u of the value: u (6 |y1 - y0| b +
// 2 max(|y0|, |y1|)) taken, with u = 2^-53, or 2^-24 in float32 arithmetic (docs/bound.md).
Jet linear_jet(const DenseTable& t, int k, double x) {
    const double *xa = t.xa, *ya = t.ya;
    double b = std::fabs(x - xa[k]) / (xa[k + 1] - xa[k]);
    double size = 6 * std::fabs(ya[k + 1] - ya[k]) * b +
                  2 * std::fmax(std::fabs(ya[k]), std::fabs(ya[k + 1]));
    double q = linear_piece(t, k, x), aq = unit_roundoff * size * (1 + 0x1p-16);
    if (!t.single)
        return {q, 0, aq, 0, q, aq};
    return {
        linear_piece(t, k, f32(x)), 0, single_roundoff * size * (1 + 0x1p-16) + 0x1p-140, 0, q, aq};
}

// a*b + c in float32 with one rounding, nearly always: the product is exact in double, the
// sum rounded there and then to float32 (twice only in rare ties).
float fused(float a, float b, float c) {
    return static_cast<float>(static_cast<double>(a) * static_cast<double>(b) +
                              static_cast<double>(c));
}

// The evaluators contracted (Method::fused), in the arithmetic R. The spline's piece: a*a - 1
// and b*b - 1 fused, b*y1 into the sum with a*y0, then c*d0 into the sum with s and d*d1 into
// the last.
template <class R> R spline_fused_in(const DenseTable& t, int k, R x) {
    const double *xa = t.xa, *ya = t.ya, *d2 = t.own[d2_of].data();
    int j = std::clamp(t.walk ? locate_near(x, xa, t.n, k) : locate(x, xa, t.n), 0, t.n - 2);
    auto x0 = R(xa[j]), x1 = R(xa[j + 1]), y0 = R(ya[j]), y1 = R(ya[j + 1]), h = x1 - x0;
    if (h == R(0))
        return (y0 + y1) * R(0.5);
    R a = -(x - x1) / h, b = (x - x0) / h;
    R c = h * h * a * fused(a, a, R(-1)) / R(6), d = h * h * b * fused(b, b, R(-1)) / R(6);
    R s = fused(b, y1, a * y0);
    return fused(d, R(d2[j + 1]), fused(c, R(d2[j]), s));
}
double spline_fused(const DenseTable& t, int k, double x) {
    return t.single ? spline_fused_in(t, k, f32(x)) : spline_fused_in(t, k, x);
}

// The linear interpolant's: the product fused into the sum.
template <class R> R linear_fused_in(const DenseTable& t, int k, R x) {
    int j = std::clamp(t.walk ? locate_near(x, t.xa, t.n, k) : locate(x, t.xa, t.n), 0, t.n - 2);
    auto x0 = R(t.xa[j]), y0 = R(t.ya[j]), y1 = R(t.ya[j + 1]), h = R(t.xa[j + 1]) - x0;
    if (h == R(0))
        return (y0 + y1) * R(0.5);
    return fused((y1 - y0) / h, x - x0, y0);
}
double linear_fused(const DenseTable& t, int k, double x) {
    return t.single ? linear_fused_in(t, k, f32(x)) : linear_fused_in(t, k, x);
}

// The quadratic's: its coefficients come out the same (the products fused there are by 0.5),
// its value (t c + s23) t + a as two fused operations.
double quadratic_fused(const DenseTable& t, int k, double x) {
    const double *pxa = t.own[pxa_of].data(), *pya = t.own[pya_of].data();
    int j = t.walk ? locate_near(x, pxa, t.n, k + 1) : locate(x, pxa, t.n);
    int b = quad_first(j, t.n);
    if (t.single) {
        QuadPieceF q = quad_piece_f(pxa + b, pya + b);
        float u = f32(x) - q.mid;
        return fused(fused(u, q.c, q.s23), u, q.a);
    }
    QuadPiece q = quad_piece(pxa + b, pya + b);
    double u = x - q.mid;
    return fused(fused(u, q.c, q.s23), u, q.a);
}

// The exported evaluators: the programs' search (its result from $_below, which the header
// gives), clamping and operations, in their order.
constexpr const char* spline_c = R"(static inline @ $_eval(@ x)
{
    int lo = $_below(x), j;
    @ h, a, b, c, d, s;
    j = lo < 0 ? 0 : lo > $_n - 2 ? $_n - 2 : lo;
    h = $_xs(j + 1) - $_xs(j);
    if (h == 0.0~)
        return ($_ys(j) + $_ys(j + 1)) * 0.5~;
    a = -(x - $_xs(j + 1)) / h;
    b = (x - $_xs(j)) / h;
    c = h * h * a * (a * a + (-1.0~)) / 6.0~;
    d = h * h * b * (b * b + (-1.0~)) / 6.0~;
    s = b * $_ys(j + 1) + a * $_ys(j);
    return (c * $_d2[j] + s) + d * $_d2[j + 1];
}
)";

constexpr const char* quadratic_c =
    R"(/* Entry e (0 .. n+1) of the table padded with a ghost row at each end. */
static inline void $_entry(int e, @ *x, @ *y)
{
    if (e == 0) {
        *x = $_xs(0) - ($_xs(1) - $_xs(0));
        *y = $_ys(0);
    } else if (e == $_n + 1) {
        *x = ($_xs($_n - 1) - $_xs($_n - 2)) + $_xs($_n - 1);
        *y = $_ys($_n - 1);
    } else {
        *x = $_xs(e - 1);
        *y = $_ys(e - 1);
    }
}

static inline @ $_eval(@ x)
{
    @ xi[4], yi[4], s23, s12, s34, c, a, t;
    int b = $_below(x), lo, jb, i;
    /* The search over the padded table's first n entries: the ghost row, then rows 0..n-2. */
    $_entry(0, &xi[0], &yi[0]);
    lo = b >= 0 ? 1 + (b < $_n - 2 ? b : $_n - 2) : x > xi[0] ? 0 : -1;
    jb = lo - 1;
    if (jb > $_n - 2)
        jb = $_n - 2;
    if (jb < 0)
        jb = 0;
    for (i = 0; i < 4; ++i)
        $_entry(jb + i, &xi[i], &yi[i]);
    s23 = (yi[2] - yi[1]) / (xi[2] - xi[1]);
    s12 = (yi[1] - yi[0]) / (xi[1] - xi[0]);
    s34 = (yi[3] - yi[2]) / (xi[3] - xi[2]);
    c = (s34 - s12) / (((xi[2] + xi[3]) - xi[0]) - xi[1]);
    a = (yi[1] + yi[2]) * 0.5~ - (xi[2] - xi[1]) * (xi[2] - xi[1]) * c * 0.25~;
    t = x - (xi[1] + xi[2]) * 0.5~;
    return (t * c + s23) * t + a;
}
)";

constexpr const char* linear_c = R"(static inline @ $_eval(@ x)
{
    int lo = $_below(x), j;
    @ h;
    j = lo < 0 ? 0 : lo > $_n - 2 ? $_n - 2 : lo;
    h = $_xs(j + 1) - $_xs(j);
    if (h == 0.0~)
        return ($_ys(j) + $_ys(j + 1)) * 0.5~;
    return $_ys(j) + ($_ys(j + 1) - $_ys(j)) / h * (x - $_xs(j));
}
)";

// What the cubic splines' headers carry of their own.
constexpr Shipped spline_ships[] = {
    {.array = d2_of,
     .name = "d2",
     .words = "second derivatives",
     .comment = "The second derivatives at the rows, as the suite computes them."},
};

// The numbers and steps of the pieces for the provers (Method::prover): the spline's rows and
// second derivatives; the quadratic's coefficients as its evaluator computes them (in float32
// for a float32 evaluator); linear interpolation's rows.
std::vector<Named> spline_numbers(const DenseTable& t, int k) {
    const double* d2 = t.own[d2_of].data();
    return {{"x0", t.xa[k]},     {"x1", t.xa[k + 1]}, {"y0", t.ya[k]},
            {"y1", t.ya[k + 1]}, {"d0", d2[k]},       {"d1", d2[k + 1]}};
}
constexpr const char* spline_steps = "%h = x1 - x0\n"
                                     "%a = -(X - x1) / %h\n"
                                     "%b = (X - x0) / %h\n"
                                     "%c = %h * %h * %a * (%a * %a + (-1)) / 6\n"
                                     "%d = %h * %h * %b * (%b * %b + (-1)) / 6\n"
                                     "%s = %b * y1 + %a * y0\n"
                                     "%v = (%c * d0 + %s) + %d * d1\n";

std::vector<Named> quadratic_numbers(const DenseTable& t, int k) {
    const double *xi = t.own[pxa_of].data() + k, *yi = t.own[pya_of].data() + k;
    QuadPiece q = quad_piece(xi, yi);
    if (t.single) {
        QuadPieceF f = quad_piece_f(xi, yi);
        q = {f.c, f.s23, f.a, f.mid};
    }
    return {{"mid", q.mid}, {"c", q.c}, {"s23", q.s23}, {"a", q.a}};
}
constexpr const char* quadratic_steps = "%t = X - mid\n"
                                        "%v = (%t * c + s23) * %t + a\n";

std::vector<Named> linear_numbers(const DenseTable& t, int k) {
    return {{"x0", t.xa[k]}, {"x1", t.xa[k + 1]}, {"y0", t.ya[k]}, {"y1", t.ya[k + 1]}};
}
constexpr const char* linear_steps = "%h = x1 - x0\n"
                                     "%v = y0 + (y1 - y0) / %h * (X - x0)\n";

// The spline evaluator's work: abscissae twice for h and once each for a and b, ordinates for
// s, two second derivatives; a and b a division each, c and d four multiplications and a
// division each, s two, the sum two; h == 0.
constexpr Work spline_work{4, 2, 2, 12, 4, 1};

// The design's tunings. The spline's model exponent is its order inside, 4 (its end layer's
// 2 still settles). The quadratic's is 2, between its 3 inside and 1 at the ends, so that
// the rounds settle for both; its one end interval a side, whose error falls with the order 1
// of the flat ghost ordinates and as the neighbour widens, follows exponent 1.
constexpr Method spline_entry{.name = "spline",
                              .title = "the natural cubic spline",
                              .label = "natural cubic spline",
                              .word = "the spline",
                              .colour = "#1f77b4",
                              .error_file = "errsp.out",
                              .order_inner = 4,
                              .order_ends = 2,
                              .why_ends = "the natural end condition",
                              .prepare = spline_prepare,
                              .values = spline_values,
                              .jet = spline_jet,
                              .tuning = {4, 0, 4, true},
                              .local = false,
                              .c_eval = spline_c,
                              .fused = spline_fused,
                              .ships = spline_ships,
                              .single_units = 5,
                              .asymptotic = 0,
                              .work = spline_work,
                              .prover = {spline_numbers, spline_steps}};
constexpr Method quadratic_entry{.name = "quadratic",
                                 .title = "the four-point quadratic",
                                 .label = "four-point quadratic",
                                 .word = "the quadratic",
                                 .colour = "#d62728",
                                 .error_file = "errq.out",
                                 .order_inner = 3,
                                 .order_ends = 1,
                                 .why_ends = "the flat ghost ordinates",
                                 .prepare = quadratic_prepare,
                                 .values = quadratic_values,
                                 .jet = quadratic_jet,
                                 .tuning = {2, 1, 1, true},
                                 .local = true,
                                 .c_eval = quadratic_c,
                                 .fused = quadratic_fused,
                                 .ships = {},
                                 .single_units = 1,
                                 .asymptotic = 0,
                                 // Three abscissae for the first ghost and one for each
                                 // entry, three for a ghost among them; three slopes and c
                                 // divisions, a four multiplications, t one, the value two.
                                 // (x > the ghost only where the search found no row.)
                                 .work = {9, 5, 0, 7, 4, 0},
                                 .prover = {quadratic_numbers, quadratic_steps}};
// A cubic spline with another end condition than the natural one: its own second derivatives
// (prepare), the spline's pieces and exported evaluator; h^4 inside and at the ends, so no
// rows are placed at the ends.
constexpr Method end_condition_spline(const char* name, const char* title, const char* label,
                                      const char* word, const char* colour,
                                      void (*prepare)(DenseTable&, int)) {
    return {.name = name,
            .title = title,
            .label = label,
            .word = word,
            .colour = colour,
            .error_file = nullptr,
            .order_inner = 4,
            .order_ends = 4,
            .why_ends = nullptr,
            .prepare = prepare,
            .values = spline_values,
            .jet = spline_jet,
            .tuning = {4, 0, 4, false},
            .local = false,
            .c_eval = spline_c,
            .fused = spline_fused,
            .ships = spline_ships,
            .single_units = 5,
            .asymptotic = 1.0 / 384,
            .work = spline_work,
            .prover = {spline_numbers, spline_steps}};
}
constexpr Method notaknot_entry =
    end_condition_spline("not-a-knot", "the not-a-knot cubic spline", "not-a-knot cubic spline",
                         "the not-a-knot spline", "#2ca02c", notaknot_prepare);
constexpr Method clamped_entry = end_condition_spline(
    "clamped", "the clamped cubic spline", "clamped cubic spline (f' at the ends)",
    "the clamped spline", "#9467bd", clamped_prepare);

// Linear interpolation: h^2 everywhere, no end condition, a piece from its two rows alone.
constexpr Method linear_entry{.name = "linear",
                              .title = "linear interpolation",
                              .label = "linear interpolation",
                              .word = "the linear interpolant",
                              .colour = "#ff7f0e",
                              .error_file = nullptr,
                              .order_inner = 2,
                              .order_ends = 2,
                              .why_ends = nullptr,
                              .prepare = linear_prepare,
                              .values = linear_values,
                              .jet = linear_jet,
                              .tuning = {2, 0, 2, false},
                              .local = true,
                              .c_eval = linear_c,
                              .fused = linear_fused,
                              .ships = {},
                              .single_units = 1,
                              .asymptotic = 1.0 / 8,
                              // Three abscissae, three ordinates; one slope, one
                              // product; h == 0.
                              .work = {3, 3, 0, 1, 1, 1},
                              .prover = {linear_numbers, linear_steps}};

constexpr const Method* all[] = {&spline_entry, &quadratic_entry, &notaknot_entry, &clamped_entry,
                                 &linear_entry};
} // namespace

std::span<const Method* const> methods() {
    return all;
}

const Method* method_named(std::string_view name) {
    for (const Method* m : all)
        if (name == m->name)
            return m;
    return nullptr;
}

const Method* method_of_file(std::string_view path) {
    std::string_view base = path.substr(path.find_last_of('/') + 1);
    for (const Method* m : all)
        if (m->error_file != nullptr && base == m->error_file)
            return m;
    return nullptr;
}

std::string method_names(const char* sep, const char* last) {
    std::string s;
    for (std::size_t i = 0; i < std::size(all); ++i)
        s += std::string(i == 0 ? "" : i + 1 == std::size(all) ? last : sep) + all[i]->name;
    return s;
}

std::string method_titles(const char* sep, const char* last, bool with_names) {
    std::string s;
    for (std::size_t i = 0; i < std::size(all); ++i) {
        s += std::string(i == 0 ? "" : i + 1 == std::size(all) ? last : sep) + all[i]->title;
        if (with_names)
            s += std::string(" (") + all[i]->name + ")";
    }
    return s;
}
