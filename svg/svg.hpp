// svg: the pieces of a self-contained SVG figure: panels with linear, logarithmic and signed
// cube-root axes, ticks, labels, decimated polylines and points.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum class Scale { linear, log10, cbrt };

// A plotting area of the figure and the data ranges its axes show.
struct Panel {
    double left, top, width, height; // in pixels
    double x0, x1;                   // data range across (in data units)
    double y0, y1;                   // data range up
    Scale xs = Scale::linear, ys = Scale::linear;
};

double px(const Panel& p, double x);
double py(const Panel& p, double y);

// XML text with &, <, >, " and ' escaped.
std::string xml_escape(const std::string& s);
// printf into a std::string (up to 511 characters).
template <class... A> std::string fmt(const char* f, A... a) {
    char b[512];
    int n = std::snprintf(b, sizeof b, f, a...);
    return std::string(b, n < 0 ? 0 : n < static_cast<int>(sizeof b) ? n : sizeof b - 1);
}

// The start of a figure of w x h pixels: the XML declaration, the svg element (sans-serif,
// 13 px) and a white background. The figure ends with "</svg>\n".
std::string svg_begin(double w, double h);
// For log axes: the power of ten at or below v, or down decades below that, and the power of
// ten at or above v; the exponents kept to what a double holds, 1e-323 to 1e308 (so a value
// beyond them, 0, a negative value or NaN gives the nearer end).
double decade_below(double v, int down = 0);
double decade_above(double v);
// The floor of an error axis: the rounding level of values up to ymax in size, 1e-16 times
// ymax down to a decade (1e-16 when that is 0 or not finite).
double rounding_level(double ymax);

// Frame, ticks with their labels, axis titles and the panel's heading.
void draw_axes(std::string& svg, const Panel& p, const std::string& xlabel,
               const std::string& ylabel, const std::string& heading);

// The points (x[i], y[i]) joined as a line, reduced to at most the lowest and the highest
// point of each pixel column (in the order met), so the drawing stays small for any n.
// Points that fall outside the panel's ranges or are not finite are left out.
void draw_line(std::string& svg, const Panel& p, const double* x, const double* y, long n,
               const char* colour, double width, const char* dash = nullptr);

// Markers at (x[i], y[i]) for every stride-th point; where those are more than the panel's
// pixel columns, at the lowest and the highest of them in each column only, so the drawing
// stays small for any n. Points outside the panel or not finite are left out.
void draw_points(std::string& svg, const Panel& p, const double* x, const double* y, long n,
                 long stride, const char* colour, double r);

// A row of small downward triangles, dy pixels below the top edge, at each x (one per pixel
// column): values that have no place on the y axis (NaN, infinite). Non-finite x are left out.
// Then its legend: a triangle and the text on legend line `line` at the panel's left.
void draw_top_marks(std::string& svg, const Panel& p, const double* x, long n, const char* colour,
                    double dy, const std::string& legend, int line);

// Short ticks up from the bottom edge at every stride-th x.
void draw_x_ticks(std::string& svg, const Panel& p, const double* x, long n, long stride,
                  const char* colour);

// A legend line at height y in panel p: a dot of the colour (with dash, a short line in that
// dash pattern instead), then the text.
void draw_legend(std::string& svg, const Panel& p, double y, const char* colour,
                 const std::string& text, const char* dash = nullptr);

// How a text stands: where its anchor is, its colour (null: the figure's), its size in pixels
// (0: the figure's), bold or not.
enum class Anchor { start, middle, end };
struct TextStyle {
    Anchor anchor = Anchor::start;
    const char* fill = nullptr;
    int size = 0;
    bool bold = false;
};
// A line of text at (x, y) in pixels; its bytes are XML-escaped.
void draw_text(std::string& svg, double x, double y, const std::string& text, TextStyle s = {});
// The figure's title, bold and centred over a figure w pixels wide.
void draw_title(std::string& svg, double w, const std::string& text);

// Where a note of a panel stands, never over its data: on the legend lines under the panel's
// x axis (line 0, 1, ...), at the right or the left; or on the x axis title's line, at the
// left or the right. A panel leaves 56 pixels under its frame for two legend lines.
enum class Corner { legend, legend_left, below_left, below_right };
void draw_note(std::string& svg, const Panel& p, Corner c, const std::string& text,
               const char* fill = nullptr, int line = 0);
// The baseline of legend line `line` of panel p.
double legend_y(const Panel& p, int line);

// The point (x, e) marked with a ring, and, with label, the label centred over it (kept
// inside the panel): where no value drawn in the panel is above e, nothing drawn crosses it.
void mark_point(std::string& svg, const Panel& p, double x, double e, const char* colour,
                const std::string& label);
// A log axis top at or above p's that leaves room for mark_point's label over e: the label's
// 26 pixels between e and the panel's top (the top times 10 until they are).
double ceiling_with_room(Panel p, double e);

// The x range [lo, hi] of panel p (cut to the panel's range) shaded in fill across its
// height.
void shade_x_range(std::string& svg, const Panel& p, double lo, double hi, const char* fill);

// A panel's group, opened and closed: everything drawn between belongs to the panel named
// id; with y_range, the group carries the y axis range as data-y0 and data-y1.
void open_panel(std::string& svg, const Panel& p, const char* id, bool y_range = false);
void close_panel(std::string& svg);
// The figure's end.
void svg_end(std::string& svg);
// A description element, "<desc>text</desc>" and a line end, text XML-escaped.
std::string svg_desc(const std::string& text);

// The groups of series that a figure draws over each other: those whose values agree within
// 1% at every point (same length), each group's names as a sentence names them ("a, b and
// c"); none when every series stands alone.
std::vector<std::string> coinciding(const std::vector<std::string>& names,
                                    const std::vector<std::vector<double>>& ys);
