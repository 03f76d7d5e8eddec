// svg: axes, ticks and decimated drawing for gplot's figure.
#include "svg.hpp"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
double fwd(Scale s, double v) {
    switch (s) {
    case Scale::log10: return std::log10(v);
    case Scale::cbrt: return std::cbrt(v);
    case Scale::linear: break;
    }
    return v;
}

// 1, 2 or 5 times a power of ten, near range/6.
double nice_step(double range) {
    double raw = range / 6.0;
    double p = std::pow(10.0, std::floor(std::log10(raw)));
    double m = raw / p;
    return (m < 1.5 ? 1.0 : m < 3.5 ? 2.0 : m < 7.5 ? 5.0 : 10.0) * p;
}

// The exponents of the powers of ten that a double holds: 1e-323 (subnormal) to 1e308.
constexpr double min_exp10 = -323, max_exp10 = 308;

// e within [min_exp10, max_exp10]; NaN as min_exp10.
double clamp_exp10(double e) {
    return e > max_exp10 ? max_exp10 : e >= min_exp10 ? e : min_exp10;
}

// The ticks of an axis from a to b: powers of ten between finite positive limits (a few of
// them), the cube-root axis's decades, or 1, 2 or 5 times a power of ten apart; none where
// the limits do not make an axis.
std::vector<double> ticks(Scale s, double a, double b) {
    std::vector<double> t;
    if (!(a <= b) || !std::isfinite(a) || !std::isfinite(b))
        return t;
    if (s == Scale::log10) {
        if (!(a > 0))
            return t;
        int lo = static_cast<int>(clamp_exp10(std::ceil(std::log10(a) - 1e-9)));
        int hi = static_cast<int>(clamp_exp10(std::floor(std::log10(b) + 1e-9)));
        int every = (hi - lo) / 8 + 1;
        for (int k = lo; k <= hi; ++k)
            if ((k - lo) % every == 0)
                t.push_back(std::pow(10.0, k));
    } else if (s == Scale::cbrt) {
        for (double v : {-1000.0, -100.0, -10.0, -1.0, 0.0, 1.0, 10.0, 100.0, 1000.0})
            if (v >= a && v <= b)
                t.push_back(v);
    } else {
        double st = nice_step(b - a);
        double k0 = std::ceil(a / st - 1e-9), k1 = std::floor(b / st + 1e-9);
        // A handful of ticks at counts a long holds exactly, or none.
        if (!(st > 0) || !(k1 - k0 <= 100) || !(std::fabs(k0) < 0x1p53 && std::fabs(k1) < 0x1p53))
            return t;
        for (auto k = static_cast<long long>(k0); k <= static_cast<long long>(k1); ++k)
            t.push_back(static_cast<double>(k) * st);
    }
    return t;
}

std::string tick_label(Scale s, double v) {
    if (s == Scale::log10)
        return fmt("1e%d", static_cast<int>(std::lround(std::log10(v))));
    return fmt("%g", v);
}

bool inside(const Panel& p, double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && x >= p.left - 0.01 &&
           x <= p.left + p.width + 0.01 && y >= p.top - 0.01 && y <= p.top + p.height + 0.01;
}
} // namespace

double px(const Panel& p, double x) {
    double a = fwd(p.xs, p.x0), b = fwd(p.xs, p.x1);
    return p.left + (fwd(p.xs, x) - a) / (b - a) * p.width;
}

double py(const Panel& p, double y) {
    double a = fwd(p.ys, p.y0), b = fwd(p.ys, p.y1);
    return p.top + p.height - (fwd(p.ys, y) - a) / (b - a) * p.height;
}

namespace {
// s as XML character data; with apos, an apostrophe as &apos; too (for attribute values).
std::string escape(const std::string& s, bool apos) {
    std::string r;
    for (char c : s) {
        if (c == '\'' && !apos) {
            r += c;
            continue;
        }
        switch (c) {
        case '&': r += "&amp;"; break;
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '"': r += "&quot;"; break;
        case '\'': r += "&apos;"; break;
        default:
            // Control bytes are not allowed in XML 1.0; invalid UTF-8 is not either.
            r += static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) >= 128 ? '?'
                                                                                            : c;
        }
    }
    return r;
}
} // namespace

std::string xml_escape(const std::string& s) {
    return escape(s, true);
}

void draw_axes(std::string& svg, const Panel& p, const std::string& xlabel,
               const std::string& ylabel, const std::string& heading) {
    svg += fmt("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" "
               "stroke=\"#333\"/>\n",
               p.left, p.top, p.width, p.height);
    for (double t : ticks(p.xs, p.x0, p.x1)) {
        double x = px(p, t);
        svg += fmt("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n", x,
                   p.top, x, p.top + p.height);
        svg += fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%s</text>\n", x,
                   p.top + p.height + 16, tick_label(p.xs, t).c_str());
    }
    for (double t : ticks(p.ys, p.y0, p.y1)) {
        double y = py(p, t);
        svg += fmt("<line x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n",
                   p.left, y, p.left + p.width, y);
        svg += fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%s</text>\n", p.left - 6, y + 4,
                   tick_label(p.ys, t).c_str());
    }
    svg += fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%s</text>\n",
               p.left + p.width / 2, p.top + p.height + 34, xml_escape(xlabel).c_str());
    svg += fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" "
               "transform=\"rotate(-90 %.1f %.1f)\">%s</text>\n",
               p.left - 58, p.top + p.height / 2, p.left - 58, p.top + p.height / 2,
               xml_escape(ylabel).c_str());
    svg += fmt("<text x=\"%.1f\" y=\"%.1f\" font-size=\"15\" font-weight=\"bold\">%s</text>\n",
               p.left, p.top - 10, xml_escape(heading).c_str());
}

void draw_line(std::string& svg, const Panel& p, const double* x, const double* y, long n,
               const char* colour, double width, const char* dash) {
    std::string pts;
    long col = -1;
    double lo = 0, hi = 0, lox = 0, hix = 0;
    bool lo_first = true;
    auto flush = [&] {
        if (col < 0)
            return;
        double a = lo_first ? lo : hi, b = lo_first ? hi : lo;
        double ax = lo_first ? lox : hix, bx = lo_first ? hix : lox;
        pts += fmt("%.1f,%.1f ", ax, a);
        if (b != a)
            pts += fmt("%.1f,%.1f ", bx, b);
    };
    for (long i = 0; i < n; ++i) {
        double X = px(p, x[i]), Y = py(p, y[i]);
        if (!inside(p, X, Y))
            continue;
        auto c = static_cast<long>(X);
        if (c != col) {
            flush();
            col = c;
            lo = hi = Y;
            lox = hix = X;
            lo_first = true;
        } else if (Y < lo) {
            lo = Y;
            lox = X;
            lo_first = false;
        } else if (Y > hi) {
            hi = Y;
            hix = X;
        }
    }
    flush();
    if (!pts.empty())
        svg += fmt("<polyline fill=\"none\" stroke=\"%s\" stroke-width=\"%.1f\"%s%s%s points=\"",
                   colour, width, dash ? " stroke-dasharray=\"" : "", dash ? dash : "",
                   dash ? "\"" : "") +
               pts + "\"/>\n";
}

namespace {
// The markers of at most the lowest and the highest point of each pixel column, column by
// column: for more points than the panel has columns.
void draw_column_extremes(std::string& svg, const Panel& p, const double* x, const double* y,
                          long n, long stride, double r) {
    struct Ends {
        double lx, ly, hx, hy;
        bool any = false;
    };
    std::vector<Ends> col(static_cast<std::size_t>(p.width) + 2);
    for (long i = 0; i < n; i += stride) {
        double X = px(p, x[i]), Y = py(p, y[i]);
        if (!inside(p, X, Y))
            continue;
        auto c = static_cast<std::size_t>(std::fmax(X - p.left, 0.0));
        Ends& e = col[std::min(c, col.size() - 1)];
        if (!e.any)
            e = {X, Y, X, Y, true};
        else if (Y > e.ly) // lower on the page
            e = {X, Y, e.hx, e.hy, true};
        else if (Y < e.hy)
            e = {e.lx, e.ly, X, Y, true};
    }
    for (const Ends& e : col) {
        if (!e.any)
            continue;
        svg += fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\"/>\n", e.lx, e.ly, r);
        if (e.hx != e.lx || e.hy != e.ly)
            svg += fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\"/>\n", e.hx, e.hy, r);
    }
}
} // namespace

void draw_points(std::string& svg, const Panel& p, const double* x, const double* y, long n,
                 long stride, const char* colour, double r) {
    svg += fmt("<g fill=\"%s\">\n", colour);
    if ((n + stride - 1) / stride > static_cast<long>(p.width)) {
        draw_column_extremes(svg, p, x, y, n, stride, r);
    } else {
        for (long i = 0; i < n; i += stride) {
            double X = px(p, x[i]), Y = py(p, y[i]);
            if (inside(p, X, Y))
                svg += fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\"/>\n", X, Y, r);
        }
    }
    svg += "</g>\n";
}

void draw_legend(std::string& svg, const Panel& p, double y, const char* colour,
                 const std::string& text, const char* dash) {
    if (dash == nullptr)
        svg += fmt("<circle cx=\"%g\" cy=\"%g\" r=\"3.2\" fill=\"%s\"/>\n", p.left + 16, y - 4,
                   colour);
    else
        svg += fmt("<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" stroke=\"%s\" "
                   "stroke-width=\"1.6\" stroke-dasharray=\"%s\"/>\n",
                   p.left + 8, y - 4, p.left + 22, y - 4, colour, dash);
    svg += fmt("<text x=\"%g\" y=\"%g\">", p.left + 26, y) + xml_escape(text) + "</text>\n";
}

void draw_top_marks(std::string& svg, const Panel& p, const double* x, long n, const char* colour,
                    double dy, const std::string& legend, int line) {
    svg += fmt("<g fill=\"%s\">\n", colour);
    long col = -1;
    for (long i = 0; i < n; ++i) {
        double X = px(p, x[i]);
        if (!inside(p, X, p.top))
            continue;
        auto c = static_cast<long>(X);
        if (c == col)
            continue;
        col = c;
        double y = p.top + dy;
        svg += fmt("<path d=\"M%.1f %.1fl-3.5 -6h7z\"/>\n", X, y + 6);
    }
    svg += "</g>\n";
    svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"%s\">&#9660; ", p.left, legend_y(p, line), colour) +
           xml_escape(legend) + "</text>\n";
}

void draw_text(std::string& svg, double x, double y, const std::string& text, TextStyle s) {
    static constexpr const char* anchors[] = {"", "middle", "end"};
    svg += fmt("<text x=\"%g\" y=\"%g\"", x, y);
    if (s.size > 0)
        svg += fmt(" font-size=\"%d\"", s.size);
    if (s.bold)
        svg += " font-weight=\"bold\"";
    if (s.anchor != Anchor::start)
        svg += fmt(" text-anchor=\"%s\"", anchors[static_cast<int>(s.anchor)]);
    if (s.fill != nullptr)
        svg += fmt(" fill=\"%s\"", s.fill);
    svg += '>';
    svg += escape(text, false);
    svg += "</text>\n";
}

void draw_title(std::string& svg, double w, const std::string& text) {
    draw_text(svg, w / 2, 30, text, {Anchor::middle, nullptr, 19, true});
}

double legend_y(const Panel& p, int line) {
    return p.top + p.height + 54 + 16 * line;
}

void draw_note(std::string& svg, const Panel& p, Corner c, const std::string& text,
               const char* fill, int line) {
    double right = p.left + p.width, below = p.top + p.height + 34;
    switch (c) {
    case Corner::legend: draw_text(svg, right, legend_y(p, line), text, {Anchor::end, fill}); break;
    case Corner::legend_left:
        draw_text(svg, p.left, legend_y(p, line), text, {Anchor::start, fill});
        break;
    case Corner::below_left: draw_text(svg, p.left, below, text, {Anchor::start, fill}); break;
    case Corner::below_right: draw_text(svg, right, below, text, {Anchor::end, fill}); break;
    }
}

void mark_point(std::string& svg, const Panel& p, double x, double e, const char* colour,
                const std::string& label) {
    double X = px(p, x), Y = py(p, e);
    if (!inside(p, X, Y))
        return;
    svg += fmt("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"5\" fill=\"none\" stroke=\"%s\" "
               "stroke-width=\"1.6\"/>\n",
               X, Y, colour);
    if (label.empty())
        return;
    // About 7 pixels a character at 13 px: the label's half width, kept inside the frame.
    double half = 3.6 * static_cast<double>(label.size());
    double cx =
        std::clamp(X, p.left + half + 2, std::fmax(p.left + half + 2, p.left + p.width - half - 2));
    draw_text(svg, cx, Y - 9, label, {Anchor::middle, colour});
}

double ceiling_with_room(Panel p, double e) {
    for (int i = 0; i < 8 && std::isfinite(e) && e > 0 && py(p, e) - p.top < 26; ++i)
        p.y1 = std::fmin(p.y1 * 10, 1e308);
    return p.y1;
}

void shade_x_range(std::string& svg, const Panel& p, double lo, double hi, const char* fill) {
    double r0 = px(p, std::fmax(lo, p.x0)), r1 = px(p, std::fmin(hi, p.x1));
    if (r1 > r0)
        svg += fmt("<rect x=\"%.1f\" y=\"%g\" width=\"%.1f\" height=\"%g\" fill=\"%s\"/>\n", r0,
                   p.top, r1 - r0, p.height, fill);
}

void open_panel(std::string& svg, const Panel& p, const char* id, bool y_range) {
    svg += fmt("<g class=\"panel\" id=\"%s\"", id);
    if (y_range)
        svg += fmt(" data-y0=\"%.17g\" data-y1=\"%.17g\"", p.y0, p.y1);
    svg += ">\n";
}

void close_panel(std::string& svg) {
    svg += "</g>\n";
}

void svg_end(std::string& svg) {
    svg += "</svg>\n";
}

std::string svg_desc(const std::string& text) {
    return "<desc>" + xml_escape(text) + "</desc>\n";
}

void draw_x_ticks(std::string& svg, const Panel& p, const double* x, long n, long stride,
                  const char* colour) {
    std::string d;
    for (long i = 0; i < n; i += stride) {
        double X = px(p, x[i]);
        if (inside(p, X, p.top))
            d += fmt("M%.1f %.1fv-7", X, p.top + p.height);
    }
    if (!d.empty())
        svg += fmt("<path fill=\"none\" stroke=\"%s\" stroke-width=\"1.2\" d=\"", colour) + d +
               "\"/>\n";
}

std::string svg_begin(double w, double h) {
    return fmt("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" "
               "viewBox=\"0 0 %g %g\" font-family=\"sans-serif\" font-size=\"13\">\n"
               "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
               w, h, w, h);
}

namespace {
// 10^e, correctly rounded on every platform (the C library's pow need not be).
double ten_to(double e) {
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", static_cast<int>(clamp_exp10(e)));
    double v = 0;
    std::from_chars(text, text + std::strlen(text), v);
    return v;
}

// The exponent of the power of ten at or below v: log10 rounded, then set right where the
// rounding of log10 crossed a power (1e-16 is a little above the power it names).
double exponent_below(double v) {
    if (!(v > 0))
        return min_exp10;
    double e = clamp_exp10(std::floor(std::log10(v)));
    if (e < max_exp10 && ten_to(e + 1) <= v)
        e += 1;
    else if (e > min_exp10 && ten_to(e) > v)
        e -= 1;
    return e;
}
} // namespace

double decade_below(double v, int down) {
    return ten_to(exponent_below(v) - down);
}

double decade_above(double v) {
    double e = exponent_below(v);
    return ten_to(ten_to(e) < v ? e + 1 : e);
}

double rounding_level(double ymax) {
    double r = 1e-16 * ymax;
    return r > 0 && std::isfinite(r) ? decade_below(r) : 1e-16;
}

namespace {
bool agree(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i] - b[i]) <= 0.01 * std::fmax(std::fabs(a[i]), std::fabs(b[i]))))
            return false;
    return true;
}
} // namespace

std::vector<std::string> coinciding(const std::vector<std::string>& names,
                                    const std::vector<std::vector<double>>& ys) {
    std::vector<std::string> groups;
    std::vector<bool> taken(ys.size(), false);
    for (std::size_t k = 0; k < ys.size(); ++k) {
        std::vector<std::size_t> g{k};
        for (std::size_t j = k + 1; j < ys.size(); ++j)
            if (!taken[j] && !taken[k] && agree(ys[k], ys[j])) {
                g.push_back(j);
                taken[j] = true;
            }
        if (g.size() < 2)
            continue;
        std::string t;
        for (std::size_t i = 0; i < g.size(); ++i)
            t += (i == 0 ? "" : i + 1 == g.size() ? " and " : ", ") + names[g[i]];
        groups.push_back(t);
    }
    return groups;
}
