// analysis: what gplot reads and works out before it draws: the table, the error files and
// their maxima inside and outside the table's range, and each method densely.
#pragma once

#include "dense.hpp"
#include "numlib.hpp"
#include "shell.hpp"

#include <string>
#include <vector>

// The largest finite error of a region and where it is first met, and what is not finite.
struct FilePeak {
    double err = -1, x = 0;
    long finite = 0, nans = 0, infs = 0;
};
// Takes the error e at x into p.
void take_error(FilePeak& p, double x, double e);

// One error file, read, and what it shows of the table.
struct ErrorFile {
    std::string path;
    const Method* m = nullptr; // the method whose program writes a file of its name
    std::vector<double> x, e;  // its rows
    std::string bytes;         // a method's file, whole, when it is small (else empty)
    FilePeak in, out;          // its maxima inside the table's range and outside it
    std::vector<double> nan_in, inf_in, nan_all, inf_all; // where its errors are not finite
    Largest dense;             // m densely: overall, and per pixel column of the range
    bool made_here = true;     // m's program would write these very bytes for the table
    std::vector<double> curve; // m's values at the curve_points (empty: m unknown)
};

// The points across the table's range where the figure draws the curves: curve_x(a, i) for
// i = 0 .. curve_points - 1.
inline constexpr int curve_points = 800;
struct Analysis;
double curve_x(const Analysis& a, int i);

// A table and its error files, analysed.
struct Analysis {
    const SampleTable* tab = nullptr;
    double lo = HUGE_VAL, hi = -HUGE_VAL;   // the range of its finite abscissae
    double ymin = 0, ymax = 1;              // of its finite ordinates, 0 and 1 among them
    double gx0 = HUGE_VAL, gx1 = -HUGE_VAL; // of the files' finite abscissae (else lo, hi)
    double rounding = 1e-16;                // the rounding level of its values
    double largest = -1; // the largest dense error of the methods compared (-1: none)
    std::vector<ErrorFile> files;
};

// Loads the sample table and tells its problems (unless the program that ran this one has);
// tells why not and returns false when it cannot.
bool load_sample_table(Console& c, const char* path, SampleTable& t);
// The most rows read from an error file of a method's name (its program writes 999).
inline constexpr std::size_t max_error_rows = 10000;
// Reads the error file at f.path into f.x, f.e and sets f.m by its name; tells why not and
// returns false when it cannot: a bad row, a negative error, more than max_error_rows rows
// for a method's file, more than max_rows for another.
bool read_errors(ErrorFile& f);

// Analyses the table t with the files read into a->files: ranges, the files' maxima, and
// every file's method densely, with the peak of each of `columns` pixel columns across
// [lo, hi]. With all_methods, the largest error is taken over every method that has an
// error file, so that the figures of one table share their scale; else over the files'. Runs
// on up to threads threads; the result is the same for any. "" or what is wrong (then no
// figure can be drawn). Throws std::bad_alloc when memory is short.
std::string analyse(const SampleTable& t, int columns, bool all_methods, int threads, Analysis* a);

// The rounding level of the table's values: 1e-16 times its largest |y|, down to a decade;
// 1e-16 when that is 0 or not finite.
double table_rounding_level(const SampleTable& t);
