// gplot: draws a sample table and its interpolation-error file as one SVG figure, and prints
// a one-line summary of the largest errors inside and outside the table's range.
#include "figure.hpp"

#include "shell.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {
// The errors of a panel that have no place on its log axis: NaN and infinite, by abscissa.
struct Unplaced {
    std::vector<double> nan_x, inf_x;
};

// Marks the unplaced errors in a row at the top of panel p, with a legend entry for each kind
// that occurs.
void mark_unplaced(std::string& svg, const Panel& p, const Unplaced& u) {
    double ly = p.top + 34;
    if (!u.nan_x.empty()) {
        draw_top_marks(svg, p, u.nan_x.data(), static_cast<long>(u.nan_x.size()), "#d62728", 2);
        svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#d62728\">&#9660; error is NaN (%zu)</text>\n",
                   p.left + 8, ly, u.nan_x.size());
        ly += 16;
    }
    if (!u.inf_x.empty()) {
        draw_top_marks(svg, p, u.inf_x.data(), static_cast<long>(u.inf_x.size()), "#ff7f0e", 10);
        svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#ff7f0e\">&#9660; error is infinite "
                   "(%zu)</text>\n",
                   p.left + 8, ly, u.inf_x.size());
    }
}

// Where a panel's errors of exactly 0 are drawn, stated below the panel at the right, out of
// the way of every curve.
void zero_note(std::string& svg, const Panel& p, double floor) {
    svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"#555\">errors of exactly 0 "
               "drawn at %g</text>\n",
               p.left + p.width, p.top + p.height + 34, floor);
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "gplot", usage_text))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    if (argc == 4)
        return compare_figure(argv[1], argv[2], argv[3]);
    if (argc != 3)
        return usage(stderr, 2);
    console_start("gplot", method_word(argv[2]));
    static SampleTable tab; // kept to the end of the process
    std::vector<double> ex, ee;
    std::string name = stem(argv[2]) + ".svg";
    if (!load(argv[1], tab) || !read_errors(argv[2], ex, ee))
        return drop_figure(name);

    double lo = HUGE_VAL, hi = -HUGE_VAL, ymin = 0, ymax = 1;
    table_range(tab, &lo, &hi, &ymin, &ymax);
    if (!(lo < hi)) {
        tell(std::string(argv[1]) + " has no range of finite abscissae");
        return drop_figure(name);
    }

    // Errors as drawn on the log axes: zeros at the floor, which a note states; NaN and
    // infinite errors as marks at the top of the panel.
    long n = static_cast<long>(ee.size());
    double floor = log_floor(ee);
    double ceiling = log_ceiling(ee, floor);
    std::vector<double> drawn = ee;
    bool zeros = false, zeros_in = false;
    for (double& e : drawn)
        if (e == 0) {
            e = floor;
            zeros = true;
        }
    FilePeak in, out;
    Unplaced u_in, u_all;
    std::vector<double> ix, iy; // the error rows inside the table's range
    double gx0 = HUGE_VAL, gx1 = -HUGE_VAL;
    for (long i = 0; i < n; ++i) {
        double x = ex[i], e = ee[i];
        bool within = x >= lo && x <= hi;
        take(within ? in : out, x, e);
        if (!std::isfinite(e)) {
            (std::isnan(e) ? u_all.nan_x : u_all.inf_x).push_back(x);
            if (within)
                (std::isnan(e) ? u_in.nan_x : u_in.inf_x).push_back(x);
        }
        if (within) {
            ix.push_back(x);
            iy.push_back(drawn[i]);
            zeros_in = zeros_in || e == 0;
        }
        if (std::isfinite(x)) {
            gx0 = std::fmin(gx0, x);
            gx1 = std::fmax(gx1, x);
        }
    }
    if (!(gx0 < gx1)) {
        gx0 = lo;
        gx1 = hi;
    }

    // The interpolant itself, densely, where the error file's name says which it is: its
    // errors' upper envelope for the panel inside the table, and the largest errors of both
    // methods for that panel's range, so that errsp.svg and errq.svg of one table compare.
    double w = fig_w - left - right;
    std::optional<Method> method = method_of_file(argv[2]);
    Envelope env{lo, hi, std::vector<double>(static_cast<std::size_t>(w)),
                 std::vector<double>(static_cast<std::size_t>(w), -1.0)};
    DenseErrors dense;
    double largest = -1;
    if (method) {
        DenseErrors other;
        int threads = thread_count();
        side_by_side(
            threads,
            [&] {
                DenseOpts o;
                o.each = add_to_envelope;
                o.ctx = &env;
                dense = dense_errors(dense_prepare(tab.xa, tab.ya, tab.n, *method), o);
            },
            [&] {
                DenseOpts o;
                o.threads = std::max(1, threads - 1);
                Method m = *method == Method::spline ? Method::quadratic : Method::spline;
                other = dense_errors(dense_prepare(tab.xa, tab.ya, tab.n, m), o);
            });
        largest = std::fmax(dense.all.err, other.all.err);
    }

    double fig_h = top_margin + 3 * panel_h + 3 * panel_gap - 20;
    std::string svg = svg_begin(fig_w, fig_h) + figure_mark;
    svg += fmt("<text x=\"%g\" y=\"30\" font-size=\"19\" font-weight=\"bold\" "
               "text-anchor=\"middle\">Interpolation error of %s against %s</text>\n",
               fig_w / 2, xml_escape(method_of(argv[2])).c_str(), xml_escape(argv[1]).c_str());

    // 1. The samples over the exact Lorentzian, on the table's range.
    Panel p1{left, top_margin, w, panel_h, lo, hi, ymin, ymax * 1.08};
    svg += "<g class=\"panel\" id=\"samples\">\n";
    draw_axes(svg, p1, "x", "y",
              fmt("Samples of %s (%d) and the exact Lorentzian", argv[1], tab.n));
    std::vector<double> cx(curve_points), cy(curve_points);
    for (int i = 0; i < curve_points; ++i) {
        cx[i] = lo + (hi - lo) * i / (curve_points - 1);
        cy[i] = lorentz(cx[i]);
    }
    draw_line(svg, p1, cx.data(), cy.data(), curve_points, "#1f77b4", 1.5);
    long stride = tab.n > max_markers ? (tab.n + max_markers - 1) / max_markers : 1;
    draw_points(svg, p1, tab.xa, tab.ya, tab.n, stride, "#d62728", 2.5);
    std::string legend = stride > 1 ? fmt("red: every %ld-th sample; ", stride) : "red: samples; ";
    svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\">%sblue: exact Lorentzian</text>\n",
               left + w - 8, top_margin + 18, legend.c_str());
    svg += "</g>\n";

    // 2. The error on a log axis, over the table's range: densely where the method is known,
    // from the rounding level up, else at the error file's points.
    double top2 = top_margin + panel_h + panel_gap;
    double floor2 = method ? table_rounding_level(tab) : floor;
    std::string heading =
        method
            ? fmt("Error inside the table [%g, %g]: largest %s at 64 points an interval; grid %s",
                  lo, hi, dense.all.err >= 0 ? fmt("%.2e", dense.all.err).c_str() : "none finite",
                  peak_text(in).c_str())
            : fmt("Error inside the table [%g, %g]: max %s", lo, hi, peak_text(in).c_str());
    double ceiling2 = method ? dense_ceiling(largest, floor2) : log_ceiling(iy, floor);
    Panel p2 = begin_inside_panel(svg, top2, lo, hi, floor2, ceiling2, heading);
    for (double& e : iy)
        e = std::fmax(e, floor2);
    if (method) {
        // The largest error in each pixel column, with the grid's points as markers on it.
        draw_envelope(svg, p2, env, floor2, "#2ca02c", 1.2);
        draw_points(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), 1, "#111", 2.2);
        label_rounding_level(svg, p2);
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\">green: the largest error in "
                   "each pixel column; black: the grid's points</text>\n",
                   p2.left + p2.width - 8, p2.top + 18);
    } else {
        draw_line(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), "#2ca02c", 1.2);
        if (ix.size() <= 400)
            draw_points(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), 1, "#2ca02c",
                        1.8);
    }
    if (ix.empty())
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"middle\" fill=\"#555\">no point of the "
                   "error file's grid lies inside the table</text>\n",
                   p2.left + p2.width / 2, p2.top + 40);
    // The table's nodes, where the error is exactly 0, thinned to a few pixels apart.
    long tick_stride = std::max(1L, static_cast<long>(std::ceil(tab.n / (w / 4))));
    draw_x_ticks(svg, p2, tab.xa, tab.n, tick_stride, "#d62728");
    svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#d62728\">ticks on the x axis: the table's "
               "nodes%s</text>\n",
               left, top2 + panel_h + 34,
               tick_stride > 1 ? fmt(", every %ld-th", tick_stride).c_str() : "");
    mark_unplaced(svg, p2, u_in);
    if (zeros_in && !method)
        zero_note(svg, p2, floor);
    svg += "</g>\n";

    // 3. The error over the whole grid, on a signed cube-root axis, the table's range marked.
    double top3 = top2 + panel_h + panel_gap;
    Panel p3{left, top3, w, panel_h, gx0, gx1, floor, ceiling, Scale::cbrt, Scale::log10};
    begin_grid_panel(
        svg, p3, lo, hi,
        fmt("Error over the whole grid: outside the table max %s", peak_text(out).c_str()));
    double r0 = px(p3, std::fmax(lo, gx0)), r1 = px(p3, std::fmin(hi, gx1));
    draw_line(svg, p3, ex.data(), drawn.data(), n, "#9467bd", 1.2);
    mark_unplaced(svg, p3, u_all);
    if (zeros)
        zero_note(svg, p3, floor);
    svg += fmt("<text x=\"%.1f\" y=\"%g\" text-anchor=\"middle\" fill=\"#8a6d00\">table "
               "[%g, %g]</text>\n",
               (r0 + r1) / 2, top3 + 18, lo, hi);
    svg += "</g>\n</svg>\n";

    if (int err = save_file(name, svg); err != 0) {
        tell("cannot write " + name + ": " + cause_text(err));
        return drop_figure(name);
    }
    std::string line =
        method ? dense_summary(name, dense, in, out, lo, hi) : summary(name, in, out, lo, hi);
    std::printf("%s\n", line.c_str());
    return console_end(0);
}
