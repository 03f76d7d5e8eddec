// render: the panels of gplot's two figures, each opened and closed by one function.
#include "render.hpp"

#include "summary.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// The figure's layout, in pixels.
constexpr double fig_w = 960, panel_h = 300, panel_gap = 90, top_margin = 70, left = 90;
constexpr double panel_w = panel_columns;
constexpr long max_markers = 600; // sample markers drawn at most; more are thinned
constexpr int curve_points = 800;

// The log axis of an error file: one decade below its least positive finite error (1e-17
// when there is none), so that the spline's and the quadratic's figures follow one rule; up
// to the power of ten at or above its largest finite error, a decade above the floor at least.
double log_floor(const std::vector<double>& e) {
    double m = HUGE_VAL;
    for (double v : e)
        if (v > 0 && v < m)
            m = v;
    return m == HUGE_VAL ? 1e-17 : decade_below(m, 1);
}
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
// panel p with a legend entry for each kind that occurs.
void mark_unplaced(std::string& svg, const Panel& p, const std::vector<double>& nan_x,
                   const std::vector<double>& inf_x) {
    double ly = 34;
    if (!nan_x.empty()) {
        draw_top_marks(svg, p, nan_x.data(), static_cast<long>(nan_x.size()), "#d62728", 2,
                       fmt("error is NaN (%zu)", nan_x.size()), ly);
        ly += 16;
    }
    if (!inf_x.empty())
        draw_top_marks(svg, p, inf_x.data(), static_cast<long>(inf_x.size()), "#ff7f0e", 10,
                       fmt("error is infinite (%zu)", inf_x.size()), ly);
}

// Where a panel's errors of exactly 0 are drawn, stated below it at the right.
void zero_note(std::string& svg, const Panel& p, double floor) {
    draw_note(svg, p, Corner::below_right, fmt("errors of exactly 0 drawn at %g", floor), "#555");
}

// 1. The samples over the exact Lorentzian, on the table's range.
void samples_panel(std::string& svg, const Analysis& a, const char* table) {
    const SampleTable& t = *a.tab;
    Panel p{left, top_margin, panel_w, panel_h, a.lo, a.hi, a.ymin, a.ymax * 1.08};
    open_panel(svg, p, "samples");
    draw_axes(svg, p, "x", "y", fmt("Samples of %s (%d) and the exact Lorentzian", table, t.n));
    std::vector<double> cx(curve_points), cy(curve_points);
    for (int i = 0; i < curve_points; ++i) {
        cx[i] = a.lo + (a.hi - a.lo) * i / (curve_points - 1);
        cy[i] = lorentz(cx[i]);
    }
    draw_line(svg, p, cx.data(), cy.data(), curve_points, "#1f77b4", 1.5);
    long stride = t.n > max_markers ? (t.n + max_markers - 1) / max_markers : 1;
    draw_points(svg, p, t.xa, t.ya, t.n, stride, "#d62728", 2.5);
    std::string legend = stride > 1 ? fmt("red: every %ld-th sample; ", stride) : "red: samples; ";
    draw_note(svg, p, Corner::top_right, legend + "blue: exact Lorentzian");
    close_panel(svg);
}

// The panel inside the table at top, its log axis on [floor, ceiling], open, with its axes.
Panel open_inside(std::string& svg, const Analysis& a, double top, double floor, double ceiling,
                  const std::string& heading) {
    Panel p{left, top, panel_w, panel_h, a.lo, a.hi, floor, ceiling, Scale::linear, Scale::log10};
    open_panel(svg, p, "inside", true);
    draw_axes(svg, p, "x", "absolute error", heading);
    return p;
}

// The heading of the panel inside the table.
std::string inside_heading(const Analysis& a, const ErrorFile& f) {
    std::string grid = peak_text(f.in);
    if (f.m == nullptr)
        return fmt("Error inside the table [%g, %g]: max %s", a.lo, a.hi, grid.c_str());
    const DenseErrors& d = f.dense;
    std::string e = d.all.err >= 0 ? fmt("%.2e (", d.all.err) + bound_text(d) + ")" : "none finite";
    return fmt("Error inside the table [%g, %g]: largest %s; grid %s", a.lo, a.hi, e.c_str(),
               grid.c_str());
}

// 2. The error inside the table on a log axis: densely where the method is known, from the
// rounding level up, with the grid's points on the envelope; else at the file's points.
void inside_panel(std::string& svg, const Analysis& a, const ErrorFile& f, double floor) {
    const SampleTable& t = *a.tab;
    double floor2 = f.m != nullptr ? a.rounding : floor;
    std::vector<double> ix, iy; // the file's rows inside the table's range
    bool zeros = false;
    for (std::size_t i = 0; i < f.x.size(); ++i)
        if (f.x[i] >= a.lo && f.x[i] <= a.hi) {
            ix.push_back(f.x[i]);
            iy.push_back(f.e[i]);
            zeros = zeros || f.e[i] == 0;
        }
    double ceiling = f.m != nullptr ? dense_ceiling(a.largest, floor2) : log_ceiling(iy, floor);
    Panel p = open_inside(svg, a, top_margin + panel_h + panel_gap, floor2, ceiling,
                          inside_heading(a, f));
    for (double& e : iy)
        e = std::fmax(e == 0 ? floor : e, floor2);
    auto ni = static_cast<long>(ix.size());
    if (f.m != nullptr) {
        draw_envelope(svg, p, f.dense.column, floor2, "#2ca02c", 1.2);
        draw_points(svg, p, ix.data(), iy.data(), ni, 1, "#111", 2.2);
        label_rounding_level(svg, p, p.top + p.height - 6);
        draw_note(svg, p, Corner::top_right,
                  "green: the largest error in each pixel column; black: the grid's points");
    } else {
        draw_line(svg, p, ix.data(), iy.data(), ni, "#2ca02c", 1.2);
        if (ix.size() <= 400)
            draw_points(svg, p, ix.data(), iy.data(), ni, 1, "#2ca02c", 1.8);
    }
    if (ix.empty())
        draw_note(svg, p, Corner::top_centre,
                  "no point of the error file's grid lies inside the table", "#555");
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
                const std::string& heading) {
    Panel p{left, top, panel_w, panel_h, a.gx0, a.gx1, floor, ceiling, Scale::cbrt, Scale::log10};
    open_panel(svg, p, "grid");
    shade_x_range(svg, p, a.lo, a.hi, "#fff3c4");
    draw_axes(svg, p, "x (cube-root scale)", "absolute error", heading);
    return p;
}

// 3. The error over the whole grid, the table's range marked.
void grid_panel(std::string& svg, const Analysis& a, const ErrorFile& f, double floor) {
    double top = top_margin + 2 * (panel_h + panel_gap);
    Panel p = open_grid(svg, a, top, floor, log_ceiling(f.e, floor),
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
    if (zeros)
        zero_note(svg, p, floor);
    label_x_range(svg, p, a.lo, a.hi, top + 18, fmt("table [%g, %g]", a.lo, a.hi), "#8a6d00");
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
    double floor = a.rounding;
    Panel p = open_inside(
        svg, a, top_margin, floor, dense_ceiling(a.largest, floor),
        fmt("Error inside the table [%g, %g], the largest in each pixel column", a.lo, a.hi));
    for (int k = 0; k < 2; ++k) {
        const ErrorFile& f = a.files[static_cast<std::size_t>(k)];
        draw_envelope(svg, p, f.dense.column, floor, colour[k], 1.4, dash[k]);
        draw_note(
            svg, p, Corner::top_right,
            fmt("%s%s: largest %.2e (", f.m->label, k == 1 ? " (dashed)" : "", f.dense.all.err) +
                bound_text(f.dense) + ")",
            colour[k], k);
    }
    label_rounding_level(svg, p, p.top + p.height - 6);
    close_panel(svg);
}

// Both error files over the whole grid, on a signed cube-root axis.
void compare_grid(std::string& svg, const Analysis& a, const char* const* colour,
                  const char* const* dash) {
    double floor = HUGE_VAL, ceiling = 0;
    for (const ErrorFile& f : a.files)
        floor = std::fmin(floor, log_floor(f.e));
    for (const ErrorFile& f : a.files)
        ceiling = std::fmax(ceiling, log_ceiling(f.e, floor));
    Panel p = open_grid(svg, a, top_margin + panel_h + panel_gap, floor, ceiling,
                        "The error files over the whole grid (the table's range shaded)");
    for (int k = 0; k < 2; ++k) {
        const ErrorFile& f = a.files[static_cast<std::size_t>(k)];
        std::vector<double> y = f.e;
        for (double& e : y)
            e = std::isfinite(e) ? std::fmax(e, floor) : e;
        draw_line(svg, p, f.x.data(), y.data(), static_cast<long>(y.size()), colour[k], 1.2,
                  dash[k]);
        draw_note(svg, p, Corner::top_right, f.path + (k == 1 ? " (dashed)" : ""), colour[k], k);
    }
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
    double floor = log_floor(f.e);
    samples_panel(svg, a, table);
    inside_panel(svg, a, f, floor);
    grid_panel(svg, a, f, floor);
    svg_end(svg);
    return svg;
}

std::string compare_figure(const Analysis& a, const char* table) {
    static constexpr const char* colour[2] = {"#1f77b4", "#d62728"};
    static constexpr const char* dash[2] = {nullptr, "6 4"};
    std::string svg = begin_figure(2, "Both methods on " + std::string(table));
    compare_inside(svg, a, colour, dash);
    compare_grid(svg, a, colour, dash);
    svg_end(svg);
    return svg;
}
