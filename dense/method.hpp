// method: one interpolation method, as the study programs know it: its names, its theory,
// its preparation and evaluation, and how a design spaces its rows. Each method is one
// const entry of methods.cpp; the programs hold a pointer to it and never name a method.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

struct DenseTable;
struct Jet;

// How a design spaces the rows of a method: every interval should carry the same error
// under the model e = C h^p inside; the `ends` intervals at each end follow their own
// exponent p_end, unsmoothed (0: none apart); with end_rows an end interval above the
// tolerance is split close to the end, where that pays (the end condition's error confined).
struct Tuning {
    int p;
    int ends;
    int p_end;
    bool end_rows;
};

// One of a method's own arrays that an exported header carries, in its arithmetic's type:
// its index in the table's arrays (DenseTable::own), its name after the header's prefix
// ("d2": NAME_d2), the header's words for it, and what its comment says of it.
struct Shipped {
    int array;
    const char* name;
    const char* words;   // "second derivatives"
    const char* comment; // "The second derivatives at the rows, as the suite computes them."
};

// The work of a method's exported evaluator once its search has found the interval, on its
// longest path, counted as the C is written (a compiler may share repeated reads): the
// abscissae ($_xs) and ordinates ($_ys) it takes, the entries of its own arrays it reads, and
// its multiplications, divisions and comparisons of numbers (of indices not counted).
struct Work {
    int xs, ys, own, mul, div, cmp;
};

// One number of a piece as the provers take it (lorgen --certify): its name in the steps and
// its value, a number the header ships or its evaluator computes from them.
struct Named {
    const char* name;
    double v;
};
// A method's piece in the provers' words: its numbers on interval k of a prepared table, and
// the evaluator's steps over them, one "%name = expression" a line, the value last, in the
// header's order of operations: the numbers by name, the input as X, earlier steps as %name,
// + - * / and parentheses. The same steps, each operation exact, are the exact piece.
struct ProverPiece {
    std::vector<Named> (*numbers)(const DenseTable& t, int k);
    const char* steps;
};

struct Method {
    const char* name;       // as a user types it: "spline"
    const char* title;      // as a sentence names it: "the natural cubic spline"
    const char* label;      // in a legend or a table's heading: "natural cubic spline"
    const char* word;       // as the table's diagnostics speak of it: "the spline"
    const char* colour;     // its curves and rows in the figures, "#1f77b4"
    const char* error_file; // the error table its program writes ("errsp.out"), or null
    int order_inner;        // the error falls like h^order_inner inside the table,
    int order_ends;         // ... like h^order_ends in its end layers,
    const char* why_ends;   // ... because of this (null where the orders agree)
    // Makes t (n >= 2, xa, ya set) ready for value: the method's own arrays (t.own), the
    // walk flag.
    // May start a helper thread when threads > 1; throws std::bad_alloc when memory is short.
    void (*prepare)(DenseTable& t, int threads);
    // The values p[i] at x[i], i < count, of the pieces that the method's program takes for
    // them, bit for bit; k is the interval of the engine's points x (a hint only: the result
    // is the program's). One call an interval keeps the engine's loop tight.
    void (*values)(const DenseTable& t, int k, const double* x, int count, double* p);
    // Piece k (0 <= k <= n-2) at x in [xa[k], xa[k+1]], or a few units in the last place
    // past them: the program's value wherever the program takes that piece (x > xa[k], or
    // k = 0), the piece's second derivative, and their rounding allowances (bound.hpp). Only
    // for tables whose abscissae strictly ascend.
    Jet (*jet)(const DenseTable& t, int k, double x);
    Tuning tuning;
    bool local; // a piece depends only on the two rows to each side of its interval
    // The C99 body of values for a table exported as a header: the function
    // "static inline @ $_eval(@ x)", which reads the rows through $_xs(i) and $_ys(i), $_n,
    // and the arrays it ships ($_d2[i]), and finds the search's result with $_below(x): the
    // largest i with x > $_xs(i), -1 where none is; $ stands for the header's name, @ for
    // its arithmetic's type (double, float) and ~ for the suffix of its constants ("", f).
    const char* c_eval;
    // c_eval's value at x in interval k (as values) where C is compiled with contraction
    // (-ffp-contract=fast with FMA): each product fused into the add or subtraction that first
    // takes it, in the order of evaluation, as GCC fuses them. Only to pick the test vectors
    // that show such a build.
    double (*fused)(const DenseTable& t, int k, double x);
    std::span<const Shipped> ships; // its own arrays that the header carries
    // The least rounding of its float32 evaluator near the largest ordinate Y, where the
    // differences of abscissae are exact: at most this many times 2^-24 Y (docs/bound.md).
    double single_units;
    // The constant C of its asymptotic error C h^p |f^(p)| (p = order_inner) on a fine table,
    // inside and at the ends alike; 0 where the ends follow another order or none is known.
    double asymptotic;
    Work work; // of c_eval, after $_below
    ProverPiece prover;
};

// Every method, in the order the programs list them.
std::span<const Method* const> methods();
// The method a user names ("spline"), or null.
const Method* method_named(std::string_view name);
// The method whose program writes the error file at path (by its name without folder:
// "errsp.out"), or null.
const Method* method_of_file(std::string_view path);
// The methods' names joined: "spline|quadratic" with sep "|", "spline or quadratic" with
// last " or " and sep ", ".
std::string method_names(const char* sep, const char* last);
// The methods' titles joined the same way; with names, each followed by its name:
// "the natural cubic spline (spline)".
std::string method_titles(const char* sep, const char* last, bool with_names = false);
