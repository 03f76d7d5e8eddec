// figure: what gplot's two kinds of figure share: reading the table and the error file, the
// peaks and the summary lines, the dense envelope, the rounding level, the figure's frame.
#pragma once

#include "dense.hpp"
#include "numlib.hpp"
#include "svg.hpp"

#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The figure's layout, in pixels.
inline constexpr double fig_w = 960, panel_h = 300, panel_gap = 90, top_margin = 70, left = 90,
                        right = 30;
inline constexpr long max_markers = 600; // sample markers drawn at most; more are thinned
inline constexpr int curve_points = 800;

// gplot's usage text, and its writing to a stream; usage returns status.
extern const char* const usage_text;
int usage(std::FILE* to, int status);

// Loads the sample table and tells its problems (unless the program that ran this one has);
// tells why not and returns false when it cannot.
bool load(const char* path, SampleTable& t);
// Reads the error file into xs, es; tells why not and returns false when it cannot.
bool read_errors(const char* path, std::vector<double>& xs, std::vector<double>& es);

// The largest finite error in each pixel column of the panel inside the table [x0, x1], and
// the x where it is met first.
struct Envelope {
    double x0, x1;
    std::vector<double> ex, ey; // ey -1: no point in the column
};
// A DenseOpts::each callback: takes the point's error into the Envelope at ctx.
void add_to_envelope(double x, double e, void* ctx);
// The upper envelope of a method's dense errors, errors below the floor drawn at it.
void draw_envelope(std::string& svg, const Panel& p, const Envelope& env, double floor,
                   const char* colour, double width, const char* dash = nullptr);

// The rounding level of the table's values: 1e-16 times its largest |y|, down to a decade;
// 1e-16 when that is 0 or not finite.
double table_rounding_level(const SampleTable& t);
// The range of the table's finite abscissae, and of its finite ordinates together with 0
// and 1 (for the samples' panel).
void table_range(const SampleTable& t, double* lo, double* hi, double* ymin, double* ymax);

// gplot's figures carry this mark; only a file that has it is ever removed.
inline constexpr const char* figure_mark = "<desc>figure by gplot (lorentz-interp)</desc>\n";
// When no figure can be drawn: removes the figure of an earlier run at name, if gplot made
// it, so that none is left beside files it does not show; returns the exit status 1.
int drop_figure(const std::string& name);

// The error file's name without folder and extension ("gplot" when that is empty).
std::string stem(const char* path);
// The method of the suite's own error files, by name: for the title, for the engine (none
// for another file), and as the diagnostics speak of it (null for another file).
std::string method_of(const char* path);
std::optional<Method> method_of_file(const char* path);
const char* method_word(const char* path);

// The largest finite error of a region and where it is first met, and what is not finite.
struct FilePeak {
    double err = -1, x = 0;
    long finite = 0, nans = 0, infs = 0;
};
void take(FilePeak& p, double x, double e);
// "3.2e-03 at x = 3.375", "none", "none finite".
std::string peak_text(const FilePeak& p);
// The summary where the method is known: the largest error of the dense evaluation inside
// the table, the file's grid maximum there, the file's maximum outside, then what is not
// finite, in the file and in the dense evaluation.
std::string dense_summary(const std::string& name, const DenseErrors& d, const FilePeak& in,
                          const FilePeak& out, double lo, double hi);
// The summary of both regions of a file whose method is not known: the finite maxima on the
// file's points, then how many errors are not finite.
std::string summary(const std::string& name, const FilePeak& in, const FilePeak& out, double lo,
                    double hi);

// The log axis of the error files: one decade below the least positive finite error (1e-17
// when there is none), up to the power of ten at or above the largest finite one.
double log_floor(const std::vector<double>& e);
double log_ceiling(const std::vector<double>& e, double floor);

// The top of the log axis for dense errors: the power of ten at or above the largest of
// them, and a decade above the floor at least.
double dense_ceiling(double largest, double floor);
// The panel inside the table [lo, hi] at top, its log axis on [floor, ceiling]: opens its
// group, with the axis range as data-y0/data-y1, and draws its axes. label_rounding_level
// labels a floor that is the table's rounding level.
Panel begin_inside_panel(std::string& svg, double top, double lo, double hi, double floor,
                         double ceiling, const std::string& heading);
void label_rounding_level(std::string& svg, const Panel& p);

// Opens the whole-grid panel p: its group, the table's range [lo, hi] shaded, the axes.
void begin_grid_panel(std::string& svg, const Panel& p, double lo, double hi,
                      const std::string& heading);

// Both methods on one table: compare.svg (the two error files given) and each summary.
int compare_figure(const char* table, const char* errsp, const char* errq);

// Runs a and b, on two threads where threads allows and one can be had, else one after
// the other; returns when both have ended.
template <class A, class B> void side_by_side(int threads, A a, B b) {
    run_jobs(2, threads, [&](std::size_t k) { k == 0 ? a() : b(); });
}
