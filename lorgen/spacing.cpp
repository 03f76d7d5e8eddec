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

namespace {
// One method's rows as the figure draws them: the spacing at each interval's middle, and the
// rows a hair's breadth from an end, apart.
struct Drawn {
    std::vector<double> mid, h, ends;
};

// Method i of s on the panel: its even spacing dashed, its end rows' ticks, its spacing
// solid, and its legend line (two for a figure of one method) from ly.
void draw_method(std::string& svg, const Panel& p, const std::vector<Spacing>& s, std::size_t i,
                 const Drawn& d, double ly) {
    const Spacing& m = s[i];
    const char* designed = s.size() == 1 ? one_designed : m.colour;
    const char* evenly = s.size() == 1 ? one_even : designed;
    double he = even_spacing(m, p.x0, p.x1), ex[2] = {p.x0, p.x1}, ey[2] = {he, he};
    draw_line(svg, p, ex, ey, 2, evenly, 1.6, "6 4");
    draw_x_ticks(svg, p, d.ends.data(), static_cast<long>(d.ends.size()), 1, designed);
    draw_line(svg, p, d.mid.data(), d.h.data(), static_cast<long>(d.h.size()), designed, 1.6);
    if (s.size() == 1)
        legend_one(svg, p, ly, m, designed, evenly);
    else
        draw_legend(svg, p, ly + 18.0 * static_cast<double>(i), designed,
                    m.label + ": " +
                        fmt("designed %zu rows, solid; evenly spaced, dashed: ", m.x.size()) +
                        even_rows_text(m));
}

// The notes under the legend's lines, from y: what the ticks on the x axis are, and which
// evenly spaced lines are drawn over each other.
void spacing_notes(std::string& svg, const Panel& p, double y, bool any_ends,
                   const std::vector<std::string>& same) {
    if (any_ends) {
        draw_text(svg, p.left + 8, y,
                  "ticks on the x axis: rows a hair's breadth from an end, their spacing off "
                  "the axis",
                  {Anchor::start, "#555"});
        y += 18;
    }
    for (const std::string& g : same) {
        draw_text(svg, p.left + 8, y, "evenly spaced (dashed) lines drawn over each other: " + g,
                  {Anchor::start, "#555"});
        y += 18;
    }
}
} // namespace

std::string spacing_svg(const std::vector<Spacing>& s, double a, double b,
                        const std::string& heading) {
    // The axis from the body of the rows: end rows a hair's breadth from an end are marked
    // at the bottom apart, not drawn at their spacing, which would stretch it over decades.
    std::vector<Drawn> dr(s.size());
    double lo = HUGE_VAL, hi = 0;
    bool any_ends = false;
    // The lines drawn over each other, said in the legend: evenly spaced ones of one count.
    std::vector<std::string> names;
    std::vector<std::vector<double>> ys;
    for (std::size_t i = 0; i < s.size(); ++i) {
        spacings(s[i].x, dr[i].mid, dr[i].h, &dr[i].ends);
        any_ends = any_ends || !dr[i].ends.empty();
        double he = even_spacing(s[i], a, b);
        lo = std::min({lo, he, *std::min_element(dr[i].h.begin(), dr[i].h.end())});
        hi = std::max({hi, he, *std::max_element(dr[i].h.begin(), dr[i].h.end())});
        names.push_back(s[i].label);
        ys.push_back({he});
    }
    std::vector<std::string> same = coinciding(names, ys);
    double lines = static_cast<double>(s.size() == 1 ? 2 : s.size());
    double legend = 18.0 * (lines + (any_ends ? 1 : 0) + static_cast<double>(same.size()));
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
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto n = static_cast<long>(dr[i].h.size());
        draw_points(svg, p, dr[i].mid.data(), dr[i].h.data(), n, std::max(1L, n / 400),
                    s.size() == 1 ? one_designed : s[i].colour, 2.2);
    }
    for (std::size_t i = 0; i < s.size(); ++i)
        draw_method(svg, p, s, i, dr[i], ly);
    spacing_notes(svg, p, ly + 18.0 * lines, any_ends, same);
    svg_end(svg);
    return svg;
}
