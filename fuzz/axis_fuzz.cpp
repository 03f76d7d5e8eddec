// axis_fuzz: the SVG helpers on arbitrary doubles (subnormal, huge, zero, negative, infinite,
// NaN): no undefined behaviour, decades that a double holds and that bracket the value where
// it is in range, and drawings whose size stays bounded. Input: doubles, as far as it goes.
#include "svg.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
void check_decades(double v) {
    double lo = decade_below(v), hi = decade_above(v), r = rounding_level(v);
    for (double d : {lo, hi, r, decade_below(v, 3)})
        if (!(d > 0) || !std::isfinite(d))
            __builtin_trap();
    if (v >= 1e-323 && v <= 1e308 && !(lo <= v && v <= hi))
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<double> v(size / 8);
    if (!v.empty())
        std::memcpy(v.data(), data, 8 * v.size());
    for (double d : v)
        check_decades(d);
    if (v.size() < 4)
        return 0;
    Scale scales[3] = {Scale::linear, Scale::log10, Scale::cbrt};
    Panel p{90, 70, 840, 300, v[0], v[1], v[2], v[3], scales[data[0] % 3], scales[data[1] % 3]};
    std::string svg = svg_begin(960, 400);
    draw_axes(svg, p, "x", "y", "heading");
    std::vector<double> xs(v.begin() + 4, v.end()), ys(xs.rbegin(), xs.rend());
    auto n = static_cast<long>(xs.size());
    draw_line(svg, p, xs.data(), ys.data(), n, "#000", 1);
    draw_points(svg, p, xs.data(), ys.data(), n, 1, "#000", 2);
    draw_top_marks(svg, p, xs.data(), n, "#000", 2, "marks", 0);
    draw_x_ticks(svg, p, xs.data(), n, 1, "#000");
    shade_x_range(svg, p, v[0], v[1], "#eee");
    mark_point(svg, p, v[0], v[1], "#000", "largest");
    p.y1 = ceiling_with_room(p, v[1]);
    // Ticks, labels and at most a few points a pixel column.
    if (svg.size() > 60000 + 200 * static_cast<std::size_t>(std::min(n, 3000L)))
        __builtin_trap();
    return 0;
}
