// header: a designed table exported as a C header: the rows in their store, the method's
// evaluator, which gives the suite's values bit for bit, and test vectors that show it does.
#pragma once

#include "design.hpp"
#include "store.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An evenly spaced table whose header stores no abscissae: row i is a + i h (b the last) as
// the evaluator's arithmetic computes it and rounded to the store, and the interval of x is
// computed as (x - a) s, clamped to 0 .. n-2: near a row it may be the neighbouring one.
// h = (b - a)/(n - 1) and s = (n - 1)/(b - a), in the evaluator's type.
struct EvenGrid {
    int n;
    double a, b, h, s;
    Store store;
};
// The grid of n >= 2 rows on [a, b] (values of the store, a < b) for an evaluator in s.
EvenGrid even_grid(double a, double b, int n, Store s);
// Its rows, as the header computes them.
std::vector<double> even_nodes(const EvenGrid& g);
// The interval the header computes for x (x a value of its input type).
int even_index(const EvenGrid& g, double x);
// The value of the evaluator's input type (double, or float32) just below x.
double just_below(const EvenGrid& g, double x);
// The least value of the input type (float32 where single) in (lo, hi] at which up holds,
// where up fails at lo, holds at hi and, once it holds, holds at every value above.
double least_where(double lo, double hi, bool single, const std::function<bool(double)>& up);
// The points between rows where the computed interval is not the search's: for each row k
// (0 < k < n-1) the least x (of the input type) whose computed interval is k or more; if
// it lies below row k, piece k reaches down to it, else piece k-1 up to the point before.
std::vector<double> even_edges(const EvenGrid& g, const std::vector<double>& x);

// What the header holds and says of itself.
struct Export {
    const char* name; // a C identifier: the file NAME.h, the prefix NAME_
    const Method& m;
    Store store;
    const std::vector<double>& x;   // the rows, values of the store, strictly ascending
    const char* tol;                // the tolerance as typed
    double a, b;                    // the interval the table covers
    Proven p;                       // its largest error and bound
    std::string command;            // the command that made it
    long long even = 0;             // the rows of the evenly spaced table (0: none known)
    const EvenGrid* grid = nullptr; // x is this evenly spaced grid, stored without abscissae
};

// The header's index of uniform cells over the rows x (n >= 2, strictly ascending): cells
// across [x[0], x[n-1]], as many as that range holds of the narrowest interval, at most
// 4 (n - 1) and most_cells (>= 1); each holds the last row below its left edge, so that a lookup is
// one multiply, one read and a scan over the rows of one cell.
struct Index {
    double scale = 0;                 // cells per unit of x
    std::vector<std::uint32_t> first; // per cell, the last row below its left edge
    int entry_bytes = 2;              // 2 where n - 1 < 65536, else 4
};
Index table_index(const std::vector<double>& x, long long most_cells);

// The work of one lookup through the header at its worst, over every x of the input type:
// table entries read (rows, the method's own arrays, the index), multiplications, divisions
// and comparisons of numbers, the search's and the evaluator's (Work). For rows x in the
// store s, searched through the index ix, or computed as the evenly spaced grid where ix is
// null. Allocates nothing beyond a few temporaries.
struct Lookup {
    int reads = 0, mul = 0, div = 0, cmp = 0;
};
Lookup lookup_work(const Method& m, const std::vector<double>& x, const Index* ix, Store s);

// v as a hexadecimal floating literal ("0x1.8p+1", "-0x0p+0"), which C99, C++17, Sollya and
// Gappa read as v exactly, with suffix appended; v finite.
std::string hex(double v, const char* suffix = "");

// The header's text into *text, or why there is none (a test value not finite), in a line.
// The test vectors: every row, every interval's middle, the engine's 64 points of the
// interval of the largest error, and a point outside each end, with the method's values as
// the suite computes them. Throws std::bad_alloc when memory is short.
std::string c_header(const Export& e, std::string* text);

// The certificates of an exported table, for two independent provers (lorgen --certify), their
// text from the table alone. NAME.sollya: every piece exact over the shipped numbers, its
// largest error against the function enclosed by Sollya's supnorm, the largest compared with
// the bound; it prints one line, "sollya: holds: ..." or "sollya: FAILS: ...". NAME.gappa:
// Gappa's proof that on every interval the evaluator's value, rounded as the header computes
// it, stays within the allowance the bound counts for it of the exact piece; gappa prints
// nothing and exits with 0 when it proves that, else the intervals it could not. Allocate.
std::string sollya_text(const Export& e);
std::string gappa_text(const Export& e);
// The most rows a certified table may have: the provers take about a tenth of a second an
// interval.
inline constexpr std::size_t certified_rows = 2000;
