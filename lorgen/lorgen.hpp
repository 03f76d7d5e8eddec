// lorgen: what the program's parts share: the request as its command line gives it, one
// method's outcome, the output forms, and the sentences it tells.
#pragma once

#include "design.hpp"
#include "even.hpp"
#include "header.hpp"
#include "save.hpp"

#include <span>
#include <string>
#include <vector>

struct Form;

// The tolerance design's request, as given.
struct DesignArgs {
    double tol = 0;
    const char* tol_text = nullptr; // as the user typed it
    const Method* method = nullptr; // null: --method all
    const char* svg = nullptr;
    Store store = Store::f64;
    const Form* form = nullptr; // how the table is put out
    const char* name = nullptr; // --name: the file's stem
    bool force = false;         // --force: the files it writes may replace existing ones
    const char* data = nullptr; // --data: the decision table's companion
    bool even = false;          // --spacing even: the evenly spaced table, no abscissae shipped
    bool certify = false;       // --certify: NAME.sollya and NAME.gappa beside NAME.h
    double a = 0, b = 0;
    double fa = 0, fb = 0; // [a, b] rounded outward to the store
    std::string command;   // the command line, for the header's comment
};

// One method's design for the request: its table, proven, and its evenly spaced count; or
// why there is none, in a line.
struct Outcome {
    const Method* m = nullptr;
    std::vector<double> x;
    std::string text; // the table in lorgen's format, as it was read back
    Proven p{};
    EvenCount even;
    std::string wrong; // "" when there is a table
    std::string ends;  // its rows close to the ends, told (end_rows_text), or their absence
    bool grid = false; // x is the evenly spaced grid of --spacing even (even_grid)
};

// ---------------------------------------------------------------------------------------
// The output forms (forms.cpp).
// ---------------------------------------------------------------------------------------

// One way to put out a designed table: its word after --format (null: the rows), the
// suffix of the file NAME + suffix it is written to (null: standard output), and its text
// into *text, or why there is none in a line. The texts allocate.
struct Form {
    const char* word;
    const char* suffix;
    std::string (*text)(const DesignArgs& d, const Outcome& o, std::string* text);
};
// Every form, the rows on standard output first.
std::span<const Form> forms();
// The form a user names after --format, or null.
const Form* form_named(const char* word);
// The rows x (values of the store) in lorgen's format "%.17g %.17g\n", their ordinates as
// stored: 17 digits read back as the same double for either store.
std::string table_text(const std::vector<double>& x, Store st);

// What is wrong with NAME for a header, in a line, or "": a C identifier of at most 64
// characters, not beginning with _, no keyword of C or C++, no standard header's name (in
// any case) (names.cpp).
std::string name_fault(const char* name);

// ---------------------------------------------------------------------------------------
// The sentences (lines.cpp).
// ---------------------------------------------------------------------------------------

// "within 1e-8 on [0, 7]", E as typed.
std::string where_text(const DesignArgs& d);
// Why a design ended without a table, in a line.
std::string design_failure(const Design& g, const Method& m, const DesignArgs& d);
// Where a design put a row close to an end: "; the table depends on its rows 4.59e-08 from 0
// and 2.37e-08 from 7", or "".
std::string end_rows_text(const std::vector<double>& x);
// "; no rows close to the ends, unlike in doubles: ...": the store does without them.
std::string no_end_rows_text(Store s);
// Why the request is below what rounding to the store alone may cost m, in a line, or "".
std::string below_floor(const DesignArgs& d, const Method& m);
// The line of one method's table: its rows, largest, bound, ends, the asymptotic estimate of
// the fewest rows (where the method has one) and evenly spaced count.
std::string result_line(const DesignArgs& d, const Outcome& o);
// What a header of rows x for m ships of the table, and its bytes: the abscissae and
// ordinates in the store s, m's own arrays in their C type, and the index (table_index) with
// as many cells as keep those bytes below the evenly spaced table's of even_rows rows (no
// abscissae), where that count is known (> 0); with grid, of the evenly spaced grid x, which
// ships no abscissae and needs no index. Allocates.
struct Footprint {
    Index index;
    long long bytes = 0;
};
Footprint footprint(const Method& m, const std::vector<double>& x, Store s, long long even_rows,
                    bool grid = false);
// The decision table's companion: its request and every method's rows as fields, designed
// (out) and evenly spaced (grids, as --spacing even ships them), and the figure svg's size and
// checksum where one was written.
std::string decision_data(const DesignArgs& d, const std::vector<Outcome>& out,
                          const std::vector<Outcome>& grids, std::size_t fewest,
                          const std::string& svg);
// The decision table of every method: the heading, a line a method and spacing with its rows,
// bytes and the work of one lookup, the fewest designed rows marked.
std::string decision_table(const DesignArgs& d, const std::vector<Outcome>& out,
                           const std::vector<Outcome>& grids, std::size_t fewest);
// A failed save of the file named name, told: with --force's hint where it exists.
std::string save_text(const std::string& name, const Saved& s);
// The heading of the spacing figure: of one method, or of all (m null).
std::string spacing_heading(const DesignArgs& d, const Method* m);

// ---------------------------------------------------------------------------------------
// The runs (run.cpp): each designs, proves and counts with a progress line, puts out what
// it made and tells its line; it returns the exit status (1: a method has no table, or a
// file or standard output cannot be written) and throws std::bad_alloc when memory is short.
// ---------------------------------------------------------------------------------------

// lorgen --tol E --method M: the table in its form, the line on standard error; a request
// below the store's floor refused before any work.
int one_main(const DesignArgs& d, int threads);
// lorgen --tol E --method all: every method's design and count, one decision table on
// standard output, the methods that have none told.
int all_main(const DesignArgs& d, int threads);
