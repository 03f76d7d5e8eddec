// gplot: draws a sample table and its interpolation-error file as one SVG figure, and prints
// a one-line summary of the largest errors inside and outside the table's range.
#include "numlib.hpp"
#include "svg.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr double fig_w = 960, panel_h = 300, panel_gap = 90, top_margin = 70, left = 90, right = 30;
constexpr long max_markers = 600; // sample markers drawn at most; more are thinned
constexpr int curve_points = 800;

constexpr const char* usage_text =
    "usage: gplot TABLE ERRFILE\n"
    "Draws the sample table TABLE over the exact Lorentzian and the absolute\n"
    "interpolation error in ERRFILE (pairs x, error) into STEM.svg in the current\n"
    "folder, where STEM is ERRFILE's name without folder and extension, and prints\n"
    "a summary of the largest errors inside and outside the table's range.\n";

int usage(std::FILE* to, int status) {
    std::fputs(usage_text, to);
    return status;
}

// Loads a file of pairs; prints why not and returns false when it cannot.
bool load(const char* path, SampleTable& t) {
    switch (load_table(path, 0, 0, 2, t)) {
    case Load::ok: return true;
    case Load::cannot_open: std::fprintf(stderr, "gplot: cannot open %s\n", path); break;
    case Load::too_few: std::fprintf(stderr, "gplot: %s holds fewer than 2 pairs\n", path); break;
    case Load::no_memory: std::fprintf(stderr, "gplot: not enough memory for %s\n", path); break;
    }
    return false;
}

std::string stem(const char* path) {
    std::string s = path;
    auto slash = s.find_last_of('/');
    if (slash != std::string::npos)
        s = s.substr(slash + 1);
    auto dot = s.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        s = s.substr(0, dot);
    return s.empty() ? "gplot" : s;
}

struct Peak {
    double err = -1, x = 0;
    long count = 0;
};

void take(Peak& p, double x, double e) {
    ++p.count;
    if (e > p.err || (p.err < 0 && std::isnan(e))) {
        p.err = e;
        p.x = x;
    }
}

std::string peak_text(const Peak& p) {
    if (p.count == 0)
        return "no rows";
    return fmt("%.1e at x = %g", p.err, p.x);
}

// Smallest decade at or below the least positive error, or the floor used for zeros.
double log_floor(const double* e, long n) {
    double m = HUGE_VAL;
    for (long i = 0; i < n; ++i)
        if (e[i] > 0 && e[i] < m)
            m = e[i];
    double f = m == HUGE_VAL ? 1e-17 : std::pow(10.0, std::floor(std::log10(m)));
    return f < 1e-17 ? f : 1e-17;
}

double log_ceiling(const double* e, long n, double floor) {
    double m = floor * 10;
    for (long i = 0; i < n; ++i)
        if (std::isfinite(e[i]) && e[i] > m)
            m = e[i];
    return std::pow(10.0, std::ceil(std::log10(m)));
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "gplot", usage_text))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    if (argc != 3)
        return usage(stderr, 2);
    static SampleTable tab, err; // kept to the end of the process
    if (!load(argv[1], tab) || !load(argv[2], err))
        return 1;

    double lo = HUGE_VAL, hi = -HUGE_VAL, ymin = 0, ymax = 1;
    for (int i = 0; i < tab.n; ++i) {
        if (!std::isfinite(tab.xa[i]))
            continue;
        lo = std::fmin(lo, tab.xa[i]);
        hi = std::fmax(hi, tab.xa[i]);
        if (std::isfinite(tab.ya[i])) {
            ymin = std::fmin(ymin, tab.ya[i]);
            ymax = std::fmax(ymax, tab.ya[i]);
        }
    }
    if (!(lo < hi)) {
        std::fprintf(stderr, "gplot: %s has no range of finite abscissae\n", argv[1]);
        return 1;
    }

    // Errors as drawn on the log axes: zeros at the floor, which the legend states.
    std::vector<double> drawn(err.ya, err.ya + err.n);
    double floor = log_floor(err.ya, err.n);
    double ceiling = log_ceiling(err.ya, err.n, floor);
    for (double& e : drawn)
        if (e == 0)
            e = floor;
    Peak in, out;
    std::vector<double> ix, iy; // the error rows inside the table's range
    double gx0 = HUGE_VAL, gx1 = -HUGE_VAL;
    for (int i = 0; i < err.n; ++i) {
        double x = err.xa[i];
        bool within = x >= lo && x <= hi;
        take(within ? in : out, x, err.ya[i]);
        if (within) {
            ix.push_back(x);
            iy.push_back(drawn[i]);
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

    std::string name = stem(argv[2]) + ".svg";
    std::string svg;
    double fig_h = top_margin + 3 * panel_h + 3 * panel_gap - 20;
    svg += fmt("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" "
               "viewBox=\"0 0 %g %g\" font-family=\"sans-serif\" font-size=\"13\">\n",
               fig_w, fig_h, fig_w, fig_h);
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += fmt("<text x=\"%g\" y=\"30\" font-size=\"19\" font-weight=\"bold\" "
               "text-anchor=\"middle\">Interpolation error: %s against %s</text>\n",
               fig_w / 2, xml_escape(argv[2]).c_str(), xml_escape(argv[1]).c_str());
    double w = fig_w - left - right;

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

    // 2. The error on a log axis, over the table's range.
    double top2 = top_margin + panel_h + panel_gap;
    double ceiling2 = log_ceiling(iy.data(), static_cast<long>(iy.size()), floor);
    Panel p2{left, top2, w, panel_h, lo, hi, floor, ceiling2, Scale::linear, Scale::log10};
    svg += "<g class=\"panel\" id=\"inside\">\n";
    draw_axes(svg, p2, "x", "absolute error",
              fmt("Error inside the table [%g, %g]: max %s", lo, hi, peak_text(in).c_str()));
    draw_line(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), "#2ca02c", 1.2);
    if (ix.size() <= 400)
        draw_points(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), 1, "#2ca02c", 1.8);
    svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\">errors of exactly 0 drawn at "
               "%g</text>\n",
               left + w - 8, top2 + 18, floor);
    svg += "</g>\n";

    // 3. The error over the whole grid, on a signed cube-root axis, the table's range marked.
    double top3 = top2 + panel_h + panel_gap;
    Panel p3{left, top3, w, panel_h, gx0, gx1, floor, ceiling, Scale::cbrt, Scale::log10};
    svg += "<g class=\"panel\" id=\"grid\">\n";
    double r0 = px(p3, std::fmax(lo, gx0)), r1 = px(p3, std::fmin(hi, gx1));
    if (r1 > r0)
        svg += fmt("<rect x=\"%.1f\" y=\"%g\" width=\"%.1f\" height=\"%g\" fill=\"#fff3c4\"/>\n",
                   r0, top3, r1 - r0, panel_h);
    draw_axes(svg, p3, "x (cube-root scale)", "absolute error",
              fmt("Error over the whole grid: outside the table max %s", peak_text(out).c_str()));
    draw_line(svg, p3, err.xa, drawn.data(), err.n, "#9467bd", 1.2);
    svg += fmt("<text x=\"%.1f\" y=\"%g\" text-anchor=\"middle\" fill=\"#8a6d00\">table "
               "[%g, %g]</text>\n",
               (r0 + r1) / 2, top3 + 18, lo, hi);
    svg += "</g>\n</svg>\n";

    std::FILE* f = std::fopen(name.c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(svg.data(), 1, svg.size(), f) == svg.size();
    if (f != nullptr && std::fclose(f) != 0)
        ok = false;
    if (!ok) {
        std::fprintf(stderr, "gplot: cannot write %s\n", name.c_str());
        return 1;
    }
    std::printf("%s: max error %s inside the table [%g, %g]; %s outside\n", name.c_str(),
                in.count ? fmt("%.1e at x = %g", in.err, in.x).c_str() : "none", lo, hi,
                peak_text(out).c_str());
    return 0;
}
