// render: the panels of gplot's two figures, each opened and closed by one function.
#include "render.hpp"
#include "function.hpp"

#include "summary.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// The figure's layout, in pixels.
// The gap under a panel holds its tick labels, its x axis title and two legend lines.
constexpr double fig_w = 960, panel_h = 300, panel_gap = 110, top_margin = 70, left = 90;
constexpr double panel_w = panel_columns;
constexpr long max_markers = 600; // sample markers drawn at most; more are thinned

// The log axis of an error file: from the rounding level of the table's values, the dense
// panels' rule, up to the power of ten at or above its largest finite error, a decade above
// the floor at least.
double log_ceiling(const std::vector<double>& e, double floor) {
    double m = floor * 10;
    for (double v : e)
        if (std::isfinite(v) && v > m)
            m = v;
    return decade_above(m);
}
// The top of the log axis for dense errors: the power of ten at or above the largest of
// them, and a decade above the floor at least.
double dense_ceiling(double largest, double floor) {
    return decade_above(std::fmax(largest, floor * 10));
}

// The upper envelope of a method's dense errors (peaks per column), those below the floor
// drawn at it.
void draw_envelope(std::string& svg, const Panel& p, const std::vector<Peak>& column, double floor,
                   const char* colour, double width, const char* dash = nullptr) {
    std::vector<double> vx, vy;
    for (const Peak& c : column)
        if (c.err >= 0) {
            vx.push_back(c.x);
            vy.push_back(std::fmax(c.err, floor));
        }
    draw_line(svg, p, vx.data(), vy.data(), static_cast<long>(vx.size()), colour, width, dash);
}

// The errors that have no place on the log axis, NaN and infinite, as marks at the top of
// panel p with a legend entry, at the left, for each kind that occurs.
void mark_unplaced(std::string& svg, const Panel& p, const std::vector<double>& nan_x,
                   const std::vector<double>& inf_x) {
    int line = 0;
    if (!nan_x.empty())
        draw_top_marks(svg, p, nan_x.data(), static_cast<long>(nan_x.size()), "#d62728", 2,
                       fmt("error is NaN (%zu)", nan_x.size()), line++);
    if (!inf_x.empty())
        draw_top_marks(svg, p, inf_x.data(), static_cast<long>(inf_x.size()), "#ff7f0e", 10,
                       fmt("error is infinite (%zu)", inf_x.size()), line);
}

// The largest finite error of the file f over its whole grid, taken into p.
FilePeak file_largest(const ErrorFile& f, FilePeak p = {}) {
    for (const FilePeak& q : {f.in, f.out})
        if (q.finite > 0)
            take_error(p, q.x, q.err);
    return p;
}

// The largest error of a panel marked: "largest 3.23e-03 at x = 3.37086".
void mark_largest(std::string& svg, const Panel& p, double x, double e, const char* colour,
                  bool label = true) {
    if (e > 0)
        mark_point(svg, p, x, e, colour, label ? fmt("largest %.2e at x = %g", e, x) : "");
}

// The rounding level the verdicts use (the bound's allowance: a largest error within it is
// "at the rounding level"), as a dotted line across panel p, told on legend line `line`.
void draw_rounding(std::string& svg, const Panel& p, double level, int line) {
    if (!(level > p.y0 && level < p.y1))
        return;
    double x[2] = {p.x0, p.x1}, y[2] = {level, level};
    draw_line(svg, p, x, y, 2, "#888", 1.0, "2 3");
    draw_note(svg, p, Corner::legend, fmt("grey dots: the rounding level %.1e", level), "#555",
              line);
}

// The floor of a dense panel: the rounding level of the table's values, or a decade below
// the rounding level the verdicts use where that is lower, so that its line shows.
double dense_floor(const Analysis& a, double level) {
    return level > 0 ? std::fmin(a.rounding, decade_below(level, 1)) : a.rounding;
}

// Where a panel's errors of exactly 0 are drawn, stated below it at the right.
void zero_note(std::string& svg, const Panel& p, double floor) {
    draw_note(svg, p, Corner::below_right, fmt("errors of exactly 0 drawn at %g", floor), "#555");
}

// 1. The samples over the exact Lorentzian and, where the method is known, its interpolant
// from the dense evaluation, on the table's range.
void samples_panel(std::string& svg, const Analysis& a, const ErrorFile& f, const char* table) {
    const SampleTable& t = *a.tab;
    std::vector<double> cx(curve_points), cy(curve_points);
    const std::vector<double>& iy = f.curve;
    for (int i = 0; i < curve_points; ++i) {
        cx[i] = curve_x(a, i);
        cy[i] = study_function().f(cx[i]);
    }
    double y0 = a.ymin, y1 = a.ymax;
    for (double v : iy)
        if (std::isfinite(v)) {
            y0 = std::fmin(y0, v);
            y1 = std::fmax(y1, v);
        }
    Panel p{left, top_margin, panel_w, panel_h, a.lo, a.hi, y0, y1 + (y1 - y0) * 0.08};
    open_panel(svg, p, "samples");
    draw_axes(svg, p, "x", "y", fmt("Samples of %s (%d) and the exact Lorentzian", table, t.n));
    long stride = t.n > max_markers ? (t.n + max_markers - 1) / max_markers : 1;
    // Markers closer than 12 pixels on average would make a band over the curves: they go
    // under them, thinned to 8 pixels apart.
    bool under = static_cast<double>(t.n) / static_cast<double>(stride) > panel_w / 12;
    if (under) {
        stride = std::max(stride, static_cast<long>(std::ceil(t.n / (panel_w / 8))));
        draw_points(svg, p, t.xa, t.ya, t.n, stride, "#d62728", 2.5);
    }
    draw_line(svg, p, cx.data(), cy.data(), curve_points, "#1f77b4", 1.5);
    if (!iy.empty())
        draw_line(svg, p, cx.data(), iy.data(), curve_points, "#ff7f0e", 1.3, "5 3");
    if (!under)
        draw_points(svg, p, t.xa, t.ya, t.n, stride, "#d62728", 2.5);
    std::string legend =
        stride > 1 ? fmt("red: every %ld-th sample%s; ", stride, under ? ", under the curves" : "")
                   : "red: samples; ";
    draw_note(svg, p, Corner::legend,
              legend + "blue: exact Lorentzian" +
                  (iy.empty() ? "" : std::string("; orange, dashed: ") + f.m->label));
    close_panel(svg);
}

// The panel inside the table at top, its log axis on [floor, ceiling], open, with its axes.
Panel open_inside(std::string& svg, const Analysis& a, double top, double floor, double ceiling,
                  double room, const std::string& heading) {
    Panel p{left, top, panel_w, panel_h, a.lo, a.hi, floor, ceiling, Scale::linear, Scale::log10};
    p.y1 = ceiling_with_room(p, room);
    open_panel(svg, p, "inside", true);
    draw_axes(svg, p, "x", "absolute error", heading);
    return p;
}

// The heading of the panel inside the table.
std::string inside_heading(const Analysis& a, const ErrorFile& f) {
    std::string grid = peak_text(f.in);
    if (f.m == nullptr)
        return fmt("Error inside the table [%g, %g]: max %s", a.lo, a.hi, grid.c_str());
    const Largest& d = f.dense;
    std::string e =
        d.peaks.all.err >= 0 ? fmt("%.2e (", d.peaks.all.err) + bound_text(d) + ")" : "none finite";
    return fmt("Error inside the table [%g, %g]: largest %s; grid %s", a.lo, a.hi, e.c_str(),
               grid.c_str());
}

// 2. The error inside the table on a log axis: densely where the method is known, from the
// rounding level up, with the grid's points on the envelope; else at the file's points. The
// largest marked.
void inside_panel(std::string& svg, const Analysis& a, const ErrorFile& f, double floor) {
    const SampleTable& t = *a.tab;
    double level = f.m != nullptr ? f.dense.allowance : 0;
    double floor2 = f.m != nullptr ? dense_floor(a, level) : floor;
    std::vector<double> ix, iy; // the file's rows inside the table's range
    bool zeros = false;
    for (std::size_t i = 0; i < f.x.size(); ++i)
        if (f.x[i] >= a.lo && f.x[i] <= a.hi) {
            ix.push_back(f.x[i]);
            iy.push_back(f.e[i]);
            zeros = zeros || f.e[i] == 0;
        }
    double ceiling = f.m != nullptr ? dense_ceiling(a.largest, floor2) : log_ceiling(iy, floor);
    double top = top_margin + panel_h + panel_gap;
    Peak big = f.m != nullptr ? f.dense.peaks.all : Peak{f.in.err, f.in.x};
    Panel p = open_inside(svg, a, top, floor2, ceiling, f.m != nullptr ? a.largest : big.err,
                          inside_heading(a, f));
    for (double& e : iy)
        e = std::fmax(e == 0 ? floor : e, floor2);
    auto ni = static_cast<long>(ix.size());
    if (f.m != nullptr) {
        // The grid's points under the curve: where the grid is dense they would hide it.
        draw_points(svg, p, ix.data(), iy.data(), ni, 1, "#111", 2.2);
        draw_envelope(svg, p, f.dense.peaks.column, floor2, "#2ca02c", 1.2);
        draw_note(svg, p, Corner::legend,
                  "green: the largest error in each pixel column; black, under it: the grid's "
                  "points");
        draw_rounding(svg, p, level, 1);
    } else {
        draw_line(svg, p, ix.data(), iy.data(), ni, "#2ca02c", 1.2);
        if (ix.size() <= 400)
            draw_points(svg, p, ix.data(), iy.data(), ni, 1, "#2ca02c", 1.8);
    }
    mark_largest(svg, p, big.x, big.err, "#111");
    if (ix.empty())
        draw_note(svg, p, Corner::legend_left,
                  "no point of the error file's grid lies inside the table", "#555", 1);
    // The table's nodes, where the error is exactly 0, thinned to a few pixels apart.
    long stride = std::max(1L, static_cast<long>(std::ceil(t.n / (panel_w / 4))));
    draw_x_ticks(svg, p, t.xa, t.n, stride, "#d62728");
    draw_note(svg, p, Corner::below_left,
              std::string("ticks on the x axis: the table's nodes") +
                  (stride > 1 ? fmt(", every %ld-th", stride) : ""),
              "#d62728");
    mark_unplaced(svg, p, f.nan_in, f.inf_in);
    if (zeros && f.m == nullptr)
        zero_note(svg, p, floor);
    close_panel(svg);
}

// The panel of the whole grid at top on a signed cube-root axis, open, the table's range
// shaded, with its axes.
Panel open_grid(std::string& svg, const Analysis& a, double top, double floor, double ceiling,
                double room, const std::string& heading) {
    Panel p{left, top, panel_w, panel_h, a.gx0, a.gx1, floor, ceiling, Scale::cbrt, Scale::log10};
    p.y1 = ceiling_with_room(p, room);
    open_panel(svg, p, "grid");
    shade_x_range(svg, p, a.lo, a.hi, "#fff3c4");
    draw_axes(svg, p, "x (cube-root scale)", "absolute error", heading);
    return p;
}

// 3. The error over the whole grid, the table's range marked.
void grid_panel(std::string& svg, const Analysis& a, const ErrorFile& f, double floor) {
    double top = top_margin + 2 * (panel_h + panel_gap);
    FilePeak all = file_largest(f);
    double ceiling = log_ceiling(f.e, floor);
    Panel p = open_grid(svg, a, top, floor, ceiling, all.err,
                        "Error over the whole grid: outside the table max " + peak_text(f.out));
    // Zeros at the floor, which a note states; NaN and infinite errors as marks at the top.
    std::vector<double> drawn = f.e;
    bool zeros = false;
    for (double& e : drawn)
        if (e == 0) {
            e = floor;
            zeros = true;
        }
    draw_line(svg, p, f.x.data(), drawn.data(), static_cast<long>(drawn.size()), "#9467bd", 1.2);
    mark_unplaced(svg, p, f.nan_all, f.inf_all);
    if (all.finite > 0)
        mark_largest(svg, p, all.x, all.err, "#111");
    if (zeros)
        zero_note(svg, p, floor);
    draw_note(svg, p, Corner::legend, fmt("shaded: the table's range [%g, %g]", a.lo, a.hi),
              "#8a6d00");
    close_panel(svg);
}

// The title of a file's method, with the file, or the file alone.
std::string method_title(const ErrorFile& f) {
    if (f.m == nullptr)
        return f.path;
    return std::string(f.m->title) + " (" + f.m->error_file + ")";
}

// A figure of panels, begun: its frame, gplot's mark and the title.
std::string begin_figure(int panels, const std::string& title) {
    std::string svg = svg_begin(fig_w, top_margin + panels * (panel_h + panel_gap) - 20);
    svg += figure_mark();
    draw_title(svg, fig_w, title);
    return svg;
}

// Both methods' dense errors inside the table, from the rounding level up.
void compare_inside(std::string& svg, const Analysis& a, const char* const* colour,
                    const char* const* dash) {
    double level = std::fmax(a.files[0].dense.allowance, a.files[1].dense.allowance);
    double floor = dense_floor(a, level);
    // The larger of the two largest errors is labelled over its point; the other's point is
    // marked, and its value and place are in its legend.
    std::size_t top = a.files[1].dense.peaks.all.err > a.files[0].dense.peaks.all.err ? 1 : 0;
    Panel p = open_inside(
        svg, a, top_margin, floor, dense_ceiling(a.largest, floor), a.largest,
        fmt("Error inside the table [%g, %g], the largest in each pixel column", a.lo, a.hi));
    for (int k = 0; k < 2; ++k) {
        const ErrorFile& f = a.files[static_cast<std::size_t>(k)];
        draw_envelope(svg, p, f.dense.peaks.column, floor, colour[k], 1.4, dash[k]);
        draw_note(svg, p, Corner::legend_left,
                  fmt("%s%s: largest %.2e at x = %g (", f.m->label, k == 1 ? " (dashed)" : "",
                      f.dense.peaks.all.err, f.dense.peaks.all.x) +
                      bound_text(f.dense) + ")",
                  colour[k], k);
    }
    for (std::size_t k = 0; k < 2; ++k)
        mark_largest(svg, p, a.files[k].dense.peaks.all.x, a.files[k].dense.peaks.all.err,
                     colour[k], k == top);
    draw_rounding(svg, p, level, 0);
    close_panel(svg);
}

// Both error files over the whole grid, on a signed cube-root axis.
void compare_grid(std::string& svg, const Analysis& a, const char* const* colour,
                  const char* const* dash) {
    double floor = a.rounding, ceiling = 0;
    FilePeak big;
    for (const ErrorFile& f : a.files) {
        ceiling = std::fmax(ceiling, log_ceiling(f.e, floor));
        big = file_largest(f, big);
    }
    double top = top_margin + panel_h + panel_gap;
    Panel p = open_grid(svg, a, top, floor, ceiling, big.err,
                        "The error files over the whole grid (the table's range shaded)");
    for (int k = 0; k < 2; ++k) {
        const ErrorFile& f = a.files[static_cast<std::size_t>(k)];
        std::vector<double> y = f.e;
        for (double& e : y)
            e = std::isfinite(e) ? std::fmax(e, floor) : e;
        draw_line(svg, p, f.x.data(), y.data(), static_cast<long>(y.size()), colour[k], 1.2,
                  dash[k]);
        draw_note(svg, p, Corner::legend_left,
                  f.path + (k == 1 ? " (dashed)" : "") + ": largest " +
                      peak_text(f.in.err > f.out.err ? f.in : f.out),
                  colour[k], k);
    }
    if (big.finite > 0)
        mark_largest(svg, p, big.x, big.err, "#111");
    draw_note(svg, p, Corner::legend, fmt("shaded: the table's range [%g, %g]", a.lo, a.hi),
              "#8a6d00");
    close_panel(svg);
}
} // namespace

std::string figure_mark() {
    return svg_desc("figure by gplot (lorentz-interp)");
}

std::string error_figure(const Analysis& a, const char* table) {
    const ErrorFile& f = a.files[0];
    std::string svg = begin_figure(3, "Interpolation error of " + method_title(f) + " against " +
                                          std::string(table));
    double floor = a.rounding;
    samples_panel(svg, a, f, table);
    inside_panel(svg, a, f, floor);
    grid_panel(svg, a, f, floor);
    svg_end(svg);
    return svg;
}

std::string compare_figure(const Analysis& a, const char* table) {
    // Each method in its own colour, the second dashed.
    const char* colour[2] = {a.files[0].m->colour, a.files[1].m->colour};
    static constexpr const char* dash[2] = {nullptr, "6 4"};
    std::string svg = begin_figure(2, "Both methods on " + std::string(table));
    compare_inside(svg, a, colour, dash);
    compare_grid(svg, a, colour, dash);
    svg_end(svg);
    return svg;
}
