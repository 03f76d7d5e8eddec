// compare: gplot TABLE ERRSP ERRQ, both methods on one table in compare.svg.
#include "figure.hpp"

#include "shell.hpp"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {
// One method's side of the comparison: its error file, its peaks inside and outside the
// table, and its dense evaluation with the upper envelope of its errors.
struct Side {
    Method m;
    std::vector<double> ex, ee;
    FilePeak in, out;
    DenseErrors dense;
    Envelope env;
};

} // namespace

// Both methods on one table: compare.svg with the dense errors inside the table and both
// error files over the whole grid, on shared axes; the summary line of each file.
int compare_figure(const char* table, const char* errsp, const char* errq) {
    std::optional<Method> ms = method_of_file(errsp), mq = method_of_file(errq);
    if (!ms || !mq || *ms == *mq) {
        std::fputs("gplot: to compare, give an errsp.out and an errq.out\n", stderr);
        return usage(stderr, 2);
    }
    console_start("gplot");
    const std::string name = "compare.svg";
    static SampleTable tab; // kept to the end of the process
    double w = fig_w - left - right;
    Side sides[2] = {{*ms, {}, {}, {}, {}, {}, {}}, {*mq, {}, {}, {}, {}, {}, {}}};
    const char* files[2] = {errsp, errq};
    if (!load(table, tab) || !read_errors(errsp, sides[0].ex, sides[0].ee) ||
        !read_errors(errq, sides[1].ex, sides[1].ee))
        return drop_figure(name);
    double lo = HUGE_VAL, hi = -HUGE_VAL, ymin = 0, ymax = 1;
    table_range(tab, &lo, &hi, &ymin, &ymax);
    if (!(lo < hi)) {
        tell(std::string(table) + " has no range of finite abscissae");
        return drop_figure(name);
    }
    double largest = -1, gx0 = HUGE_VAL, gx1 = -HUGE_VAL, floor3 = HUGE_VAL, ceiling3 = 0;
    for (Side& sd : sides) {
        for (std::size_t i = 0; i < sd.ex.size(); ++i) {
            double x = sd.ex[i];
            take(x >= lo && x <= hi ? sd.in : sd.out, x, sd.ee[i]);
            if (std::isfinite(x)) {
                gx0 = std::fmin(gx0, x);
                gx1 = std::fmax(gx1, x);
            }
        }
        sd.env = {lo, hi, std::vector<double>(static_cast<std::size_t>(w)),
                  std::vector<double>(static_cast<std::size_t>(w), -1.0)};
        floor3 = std::fmin(floor3, log_floor(sd.ee));
    }
    // Each method densely, with the envelope of its errors, the two side by side.
    auto evaluate = [&](Side& sd) {
        DenseOpts o;
        o.each = add_to_envelope;
        o.ctx = &sd.env;
        sd.dense = dense_errors(dense_prepare(tab.xa, tab.ya, tab.n, sd.m), o);
    };
    side_by_side(
        thread_count(), [&] { evaluate(sides[0]); }, [&] { evaluate(sides[1]); });
    largest = std::fmax(sides[0].dense.all.err, sides[1].dense.all.err);
    for (const Side& sd : sides)
        ceiling3 = std::fmax(ceiling3, log_ceiling(sd.ee, floor3));
    if (!(gx0 < gx1)) {
        gx0 = lo;
        gx1 = hi;
    }

    const char* colour[2] = {"#1f77b4", "#d62728"};
    const char* dash[2] = {nullptr, "6 4"};
    const char* label[2] = {"natural cubic spline", "four-point quadratic"};
    double fig_h = top_margin + 2 * panel_h + 2 * panel_gap - 20;
    std::string svg = svg_begin(fig_w, fig_h) + figure_mark;
    svg += fmt("<text x=\"%g\" y=\"30\" font-size=\"19\" font-weight=\"bold\" "
               "text-anchor=\"middle\">Both methods on %s</text>\n",
               fig_w / 2, xml_escape(table).c_str());

    // 1. The dense errors inside the table, from the rounding level up.
    double floor1 = table_rounding_level(tab);
    Panel p1 =
        begin_inside_panel(svg, top_margin, lo, hi, floor1, dense_ceiling(largest, floor1),
                           fmt("Error inside the table [%g, %g], 64 points an interval", lo, hi));
    for (int k = 0; k < 2; ++k) {
        draw_envelope(svg, p1, sides[k].env, floor1, colour[k], 1.4, dash[k]);
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"%s\">%s%s: largest "
                   "%.2e</text>\n",
                   left + w - 8, top_margin + 18 + 16 * k, colour[k], label[k],
                   k == 1 ? " (dashed)" : "", sides[k].dense.all.err);
    }
    label_rounding_level(svg, p1);
    svg += "</g>\n";

    // 2. Both error files over the whole grid, on a signed cube-root axis.
    double top2 = top_margin + panel_h + panel_gap;
    Panel p2{left, top2, w, panel_h, gx0, gx1, floor3, ceiling3, Scale::cbrt, Scale::log10};
    begin_grid_panel(svg, p2, lo, hi,
                     "The error files over the whole grid (the table's range shaded)");
    for (int k = 0; k < 2; ++k) {
        std::vector<double> y = sides[k].ee;
        for (double& e : y)
            e = std::isfinite(e) ? std::fmax(e, floor3) : e;
        draw_line(svg, p2, sides[k].ex.data(), y.data(), static_cast<long>(y.size()), colour[k],
                  1.2, dash[k]);
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"%s\">%s%s</text>\n",
                   left + w - 8, top2 + 18 + 16 * k, colour[k], xml_escape(files[k]).c_str(),
                   k == 1 ? " (dashed)" : "");
    }
    svg += "</g>\n</svg>\n";

    if (int err = save_file(name, svg); err != 0) {
        tell("cannot write " + name + ": " + cause_text(err));
        return drop_figure(name);
    }
    for (const Side& sd : sides)
        std::printf("%s\n", dense_summary(name, sd.dense, sd.in, sd.out, lo, hi).c_str());
    return console_end(0);
}
