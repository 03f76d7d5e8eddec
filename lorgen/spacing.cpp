// spacing: each designed table's spacing against x, and its evenly spaced table's.
#include "spacing.hpp"

#include "design.hpp"
#include "limits.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cmath>

namespace {
// One method's figure: its designed rows blue, the even spacing red.
constexpr const char* one_designed = "#1f77b4";
constexpr const char* one_even = "#d62728";

// The even spacing of s's evenly spaced table on [a, b] (drawn at 2^24 rows beyond that).
double even_spacing(const Spacing& s, double a, double b) {
    long long rows = s.even > 0 ? s.even : max_rows;
    return (b - a) / static_cast<double>(rows - 1);
}

// Each interval's spacing at its middle; the end intervals of rows placed a hair's breadth
// from an end (end_rows) apart, in ends (their middles).
void spacings(const std::vector<double>& x, std::vector<double>& mid, std::vector<double>& h,
              std::vector<double>* ends = nullptr) {
    std::size_t n = x.size();
    EndRows e = end_rows(x);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        double hk = x[k + 1] - x[k], m = x[k] + 0.5 * hk;
        bool end = (k == 0 && e.front) || (k + 2 == n && e.back);
        if (end && ends != nullptr) {
            ends->push_back(m);
            continue;
        }
        mid.push_back(m);
        h.push_back(hk);
    }
}
// "197 rows", the rows of s's evenly spaced table, or that there are more than 2^24.
std::string even_rows_text(const Spacing& s) {
    return s.even > 0 ? fmt("%lld rows", s.even)
                      : fmt("more than %lld rows (drawn at %lld)", max_rows, max_rows);
}

// The legend of a figure of one method's rows, two lines from ly.
void legend_one(std::string& svg, const Panel& p, double ly, const Spacing& m, const char* designed,
                const char* evenly) {
    draw_legend(svg, p, ly, designed,
                fmt("designed: %zu rows, each at the middle of its interval", m.x.size()));
    draw_legend(svg, p, ly + 18, evenly, "evenly spaced, dashed: " + even_rows_text(m), "6 4");
}
} // namespace

std::string spacing_svg(const std::vector<Spacing>& s, double a, double b,
                        const std::string& heading) {
    // The axis from the body of the rows: end rows a hair's breadth from an end are marked
    // at the bottom apart, not drawn at their spacing, which would stretch it over decades.
    double lo = HUGE_VAL, hi = 0;
    bool any_ends = false;
    for (const Spacing& m : s) {
        std::vector<double> mid, h, ends;
        spacings(m.x, mid, h, &ends);
        any_ends = any_ends || !ends.empty();
        double he = even_spacing(m, a, b);
        lo = std::min({lo, he, *std::min_element(h.begin(), h.end())});
        hi = std::max({hi, he, *std::max_element(h.begin(), h.end())});
    }
    // The lines drawn over each other, said in the legend: evenly spaced ones of one count.
    std::vector<std::string> names;
    std::vector<std::vector<double>> ys;
    for (const Spacing& m : s) {
        names.push_back(m.label);
        ys.push_back({even_spacing(m, a, b)});
    }
    std::vector<std::string> same = coinciding(names, ys);
    double legend = 18.0 * static_cast<double>((s.size() == 1 ? 2 : s.size()) + (any_ends ? 1 : 0) +
                                               same.size());
    constexpr double w = 860, left = 90, top = 60;
    double ht = 484 + legend;
    Panel p{left,
            top,
            w - left - 30,
            430 - top,
            a,
            b,
            decade_below(lo),
            decade_above(hi),
            Scale::linear,
            Scale::log10};
    std::string svg = svg_begin(w, ht);
    draw_axes(svg, p, "x", "spacing of consecutive rows", heading);
    double ly = ht - legend - 4;
    // Every method's markers first, under all the lines, which they would otherwise hide
    // where the rows are dense.
    for (const Spacing& m : s) {
        std::vector<double> mid, h, ends;
        spacings(m.x, mid, h, &ends);
        auto n = static_cast<long>(h.size());
        draw_points(svg, p, mid.data(), h.data(), n, std::max(1L, n / 400),
                    s.size() == 1 ? one_designed : m.colour, 2.2);
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Spacing& m = s[i];
        const char* designed = s.size() == 1 ? one_designed : m.colour;
        const char* evenly = s.size() == 1 ? one_even : designed;
        double he = even_spacing(m, a, b), ex[2] = {a, b}, ey[2] = {he, he};
        draw_line(svg, p, ex, ey, 2, evenly, 1.6, "6 4");
        std::vector<double> mid, h, ends;
        spacings(m.x, mid, h, &ends);
        draw_x_ticks(svg, p, ends.data(), static_cast<long>(ends.size()), 1, designed);
        draw_line(svg, p, mid.data(), h.data(), static_cast<long>(h.size()), designed, 1.6);
        if (s.size() == 1)
            legend_one(svg, p, ly, m, designed, evenly);
        else
            draw_legend(svg, p, ly + 18.0 * static_cast<double>(i), designed,
                        m.label + ": " +
                            fmt("designed %zu rows, solid; evenly spaced, dashed: ", m.x.size()) +
                            even_rows_text(m));
    }
    if (any_ends)
        draw_text(svg, p.left + 8, ly + 18.0 * static_cast<double>(s.size() == 1 ? 2 : s.size()),
                  "ticks on the x axis: rows a hair's breadth from an end, their spacing off "
                  "the axis",
                  {Anchor::start, "#555"});
    double ny =
        ly + 18.0 * static_cast<double>((s.size() == 1 ? 2 : s.size()) + (any_ends ? 1 : 0));
    for (const std::string& g : same) {
        draw_text(svg, p.left + 8, ny, "evenly spaced (dashed) lines drawn over each other: " + g,
                  {Anchor::start, "#555"});
        ny += 18;
    }
    svg_end(svg);
    return svg;
}
