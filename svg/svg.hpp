// svg: the pieces of a self-contained SVG figure: panels with linear, logarithmic and signed
// cube-root axes, ticks, labels, decimated polylines and points.
#pragma once

#include <cstdio>
#include <string>

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
// For log axes, v > 0: the power of ten at or below v, or down decades below that, and the
// power of ten at or above v.
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

// Markers at (x[i], y[i]) for every stride-th point.
void draw_points(std::string& svg, const Panel& p, const double* x, const double* y, long n,
                 long stride, const char* colour, double r);

// A row of small downward triangles, dy pixels below the top edge, at each x (one per pixel
// column): values that have no place on the y axis (NaN, infinite). Non-finite x are left out.
void draw_top_marks(std::string& svg, const Panel& p, const double* x, long n, const char* colour,
                    double dy);

// Short ticks up from the bottom edge at every stride-th x.
void draw_x_ticks(std::string& svg, const Panel& p, const double* x, long n, long stride,
                  const char* colour);

// A legend line at height y in panel p: a dot of the colour (with dash, a short line in that
// dash pattern instead), then the text.
void draw_legend(std::string& svg, const Panel& p, double y, const char* colour,
                 const std::string& text, const char* dash = nullptr);

// Writes bytes to path in binary mode, whole or not at all: under the name path + ".part",
// then put in place of path. Returns 0, or the errno value of the first step that failed
// (path is then as it was).
int save_file(const std::string& path, const std::string& bytes);
