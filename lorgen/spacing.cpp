// spacing: the designed table's spacing against x, and the evenly spaced table's.
#include "spacing.hpp"

#include "design.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cmath>

std::string spacing_svg(const std::vector<double>& x, long long even, double a, double b,
                        const char* method, const std::string& tol) {
    // Each interval's spacing at its middle.
    std::vector<double> mid, h;
    for (std::size_t k = 0; k + 1 < x.size(); ++k) {
        mid.push_back(x[k] + 0.5 * (x[k + 1] - x[k]));
        h.push_back(x[k + 1] - x[k]);
    }
    long long rows = even > 0 ? even : max_rows;
    double he = (b - a) / static_cast<double>(rows - 1);
    double lo = std::min(he, *std::min_element(h.begin(), h.end()));
    double hi = std::max(he, *std::max_element(h.begin(), h.end()));
    constexpr double w = 860, ht = 520, left = 90, top = 60;
    Panel p{left,
            top,
            w - left - 30,
            ht - top - 90,
            a,
            b,
            decade_below(lo),
            decade_above(hi),
            Scale::linear,
            Scale::log10};
    std::string svg = svg_begin(w, ht);
    draw_axes(svg, p, "x", "spacing of consecutive rows",
              fmt("Where the rows go: %s within %s on [%g, %g]", method, tol.c_str(), a, b));
    const char* designed = "#1f77b4";
    const char* evenly = "#d62728";
    double ex[2] = {a, b}, ey[2] = {he, he};
    draw_line(svg, p, ex, ey, 2, evenly, 1.6, "6 4");
    auto n = static_cast<long>(h.size());
    draw_line(svg, p, mid.data(), h.data(), n, designed, 1.6);
    draw_points(svg, p, mid.data(), h.data(), n, std::max(1L, n / 400), designed, 2.2);
    double ly = ht - 40;
    draw_legend(svg, p, ly, designed,
                fmt("designed: %zu rows, each at the middle of its interval", x.size()));
    std::string need = even > 0 ? fmt("%lld rows", even) : fmt("more than %lld rows", max_rows);
    draw_legend(svg, p, ly + 18, evenly,
                "evenly spaced, dashed: " + need +
                    (even > 0 ? "" : fmt(" (drawn at %lld)", max_rows)),
                "6 4");
    svg_end(svg);
    return svg;
}
