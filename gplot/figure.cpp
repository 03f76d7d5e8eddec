// figure: what gplot's two kinds of figure share.
#include "figure.hpp"

#include "shell.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

const char* const usage_text =
    "usage: gplot TABLE ERRFILE\n"
    "       gplot TABLE ERRSP ERRQ\n"
    "Draws the sample table TABLE over the exact Lorentzian and the absolute\n"
    "interpolation error in ERRFILE (pairs x, error) into STEM.svg in the current\n"
    "folder, where STEM is ERRFILE's name without folder and extension, and prints\n"
    "a summary of the largest errors inside and outside the table's range. For errsp.out\n"
    "and errq.out the error inside the table is the method's own, at 64 points an interval.\n"
    "With two error files (errsp.out and errq.out) it draws both methods on shared axes into\n"
    "compare.svg and prints the summary of each.\n"
    "Exit status: 0; 1 when a file cannot be read or the figure cannot be written; 2 for a\n"
    "wrong number of arguments.\n";

namespace {
std::string count_text(long k, const char* one, const char* many) {
    return std::to_string(k) + " " + (k == 1 ? one : many);
}

// What the dense evaluation adds to the summary: "; N of M points give NaN", and the same
// for infinite errors.
std::string dense_notes(const DenseErrors& d) {
    std::string s;
    long long infs = d.not_finite - d.nans;
    if (d.nans > 0)
        s += fmt("; %lld of %lld points give NaN", d.nans, d.points);
    if (infs > 0)
        s += fmt("; %lld of %lld points give an infinite error", infs, d.points);
    return s;
}

// What the file holds that is not finite: "; 2 errors are NaN, 1 is infinite".
std::string file_notes(long nans, long infs) {
    if (nans > 0 && infs > 0)
        return "; " + count_text(nans, "error is NaN", "errors are NaN") + ", " +
               count_text(infs, "is infinite", "are infinite");
    if (nans > 0)
        return "; " + count_text(nans, "error is NaN", "errors are NaN");
    if (infs > 0)
        return "; " + count_text(infs, "error is infinite", "errors are infinite");
    return "";
}

} // namespace

int usage(std::FILE* to, int status) {
    std::fputs(usage_text, to);
    return status;
}

// Loads the sample table and tells its problems (unless the program that ran this one has);
// tells why not and returns false when it cannot.
bool load(const char* path, SampleTable& t) {
    Load s = load_table(path, {0, 0}, 2, t, thread_count());
    switch (s) {
    case Load::ok: report_notes(path, t.notes); return true;
    case Load::cannot_open: report_unusable(path, s, t.error, 2); break;
    case Load::too_few:
        report_unusable(path, s, t.error, 2);
        report_notes(path, t.notes);
        break;
    case Load::no_memory: tell("not enough memory for " + std::string(path)); break;
    }
    return false;
}

// Reads the error file into xs, es; tells why not and returns false when it cannot.
bool read_errors(const char* path, std::vector<double>& xs, std::vector<double>& es) {
    ErrorRow bad;
    switch (read_error_table(path, xs, es, &bad)) {
    case ReadErrors::ok: return true;
    case ReadErrors::cannot_open: tell("cannot open " + std::string(path)); break;
    case ReadErrors::bad_row:
        tell(std::string(path) + ":" + std::to_string(bad.line) + ": cannot read \"" +
             shown(bad.text) + "\"");
        break;
    case ReadErrors::too_few: tell(std::string(path) + " holds fewer than 2 pairs"); break;
    }
    return false;
}

void add_to_envelope(double x, double e, void* ctx) {
    auto* v = static_cast<Envelope*>(ctx);
    // A NaN error compares false and is left out; so is an x outside the table.
    if (!(e <= HUGE_VAL) || e == HUGE_VAL || !(x >= v->x0 && x <= v->x1))
        return;
    double cols = static_cast<double>(v->ey.size());
    double at = (x - v->x0) * (cols / (v->x1 - v->x0));
    std::size_t c = at < cols - 1 ? static_cast<std::size_t>(at) : v->ey.size() - 1;
    if (e > v->ey[c]) {
        v->ey[c] = e;
        v->ex[c] = x;
    }
}

// The rounding level of the table's values: 1e-16 times its largest |y|, down to a decade;
// 1e-16 when that is 0 or not finite.
double table_rounding_level(const SampleTable& t) {
    double m = 0;
    for (int i = 0; i < t.n; ++i)
        if (std::isfinite(t.ya[i]))
            m = std::fmax(m, std::fabs(t.ya[i]));
    return rounding_level(m);
}

// The range of the table's finite abscissae, and of its finite ordinates together with 0
// and 1 (for the samples' panel).
void table_range(const SampleTable& t, double* lo, double* hi, double* ymin, double* ymax) {
    for (int i = 0; i < t.n; ++i) {
        if (!std::isfinite(t.xa[i]))
            continue;
        *lo = std::fmin(*lo, t.xa[i]);
        *hi = std::fmax(*hi, t.xa[i]);
        if (std::isfinite(t.ya[i])) {
            *ymin = std::fmin(*ymin, t.ya[i]);
            *ymax = std::fmax(*ymax, t.ya[i]);
        }
    }
}

// When no figure can be drawn: removes the figure of an earlier run at name, if gplot made
// it, so that none is left beside files it does not show; returns the exit status 1.
int drop_figure(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    if (text.find(figure_mark) != std::string::npos && std::remove(name.c_str()) == 0)
        tell(name + " removed: it showed an earlier run");
    return 1;
}

// The file's name without its folder.
std::string base_name(const char* path) {
    std::string s = path;
    auto slash = s.find_last_of('/');
    return slash != std::string::npos ? s.substr(slash + 1) : s;
}

std::string stem(const char* path) {
    std::string s = base_name(path);
    auto dot = s.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        s = s.substr(0, dot);
    return s.empty() ? "gplot" : s;
}

// The method whose errors the suite's own error files hold, by the file's name.
std::optional<Method> method_of_file(const char* path) {
    std::string s = base_name(path);
    if (s == "errsp.out")
        return Method::spline;
    if (s == "errq.out")
        return Method::quadratic;
    return std::nullopt;
}

std::string method_of(const char* path) {
    std::optional<Method> m = method_of_file(path);
    if (!m)
        return path;
    return *m == Method::spline ? "the natural cubic spline (errsp.out)"
                                : "the four-point quadratic (errq.out)";
}

const char* method_word(const char* path) {
    std::optional<Method> m = method_of_file(path);
    if (!m)
        return nullptr;
    return *m == Method::spline ? "the spline" : "the quadratic";
}

void take(FilePeak& p, double x, double e) {
    if (std::isnan(e)) {
        ++p.nans;
    } else if (std::isinf(e)) {
        ++p.infs;
    } else {
        ++p.finite;
        if (e > p.err) {
            p.err = e;
            p.x = x;
        }
    }
}

std::string peak_text(const FilePeak& p) {
    if (p.finite == 0)
        return p.nans + p.infs > 0 ? "none finite" : "none";
    return fmt("%.1e at x = %g", p.err, p.x);
}

// The summary where the method is known: the largest error of the dense evaluation inside
// the table, the file's grid maximum there, the file's maximum outside, then what is not
// finite, in the file and in the dense evaluation.
std::string dense_summary(const std::string& name, const DenseErrors& d, const FilePeak& in,
                          const FilePeak& out, double lo, double hi) {
    std::string e = d.all.err >= 0 ? fmt("%.2e at x = %g", d.all.err, d.all.x) : "none finite";
    return fmt("%s: largest error %s inside the table [%g, %g] (grid: %s); %s outside",
               name.c_str(), e.c_str(), lo, hi, peak_text(in).c_str(), peak_text(out).c_str()) +
           file_notes(in.nans + out.nans, in.infs + out.infs) + dense_notes(d);
}

// The summary of both regions of a file whose method is not known: the finite maxima on the
// file's points, then how many errors are not finite.
std::string summary(const std::string& name, const FilePeak& in, const FilePeak& out, double lo,
                    double hi) {
    long nans = in.nans + out.nans, infs = in.infs + out.infs;
    long all = in.finite + out.finite + nans + infs;
    if (in.finite + out.finite == 0) {
        std::string what = infs == 0   ? "NaN (not a number)"
                           : nans == 0 ? "infinite"
                                       : fmt("not finite (%ld NaN, %ld infinite)", nans, infs);
        return fmt("%s: %ld of %ld errors are ", name.c_str(), all, all) + what +
               "; no finite error to show";
    }
    return fmt("%s: max %serror on the file's points %s inside the table [%g, %g]; %s outside",
               name.c_str(), nans + infs > 0 ? "finite " : "", peak_text(in).c_str(), lo, hi,
               peak_text(out).c_str()) +
           file_notes(nans, infs);
}

// The log axis floor: one decade below the least positive finite error (1e-17 when there
// is none), so that the spline's and the quadratic's figures follow one rule.
double log_floor(const std::vector<double>& e) {
    double m = HUGE_VAL;
    for (double v : e)
        if (v > 0 && v < m)
            m = v;
    return m == HUGE_VAL ? 1e-17 : decade_below(m, 1);
}

double log_ceiling(const std::vector<double>& e, double floor) {
    double m = floor * 10;
    for (double v : e)
        if (std::isfinite(v) && v > m)
            m = v;
    return decade_above(m);
}

// Opens the whole-grid panel p: its group, the table's range [lo, hi] shaded, the axes.
double dense_ceiling(double largest, double floor) {
    return decade_above(std::fmax(largest, floor * 10));
}

Panel begin_inside_panel(std::string& svg, double top, double lo, double hi, double floor,
                         double ceiling, const std::string& heading) {
    Panel p{left,  top,     fig_w - left - right, panel_h,     lo, hi,
            floor, ceiling, Scale::linear,        Scale::log10};
    svg += fmt("<g class=\"panel\" id=\"inside\" data-y0=\"%.17g\" data-y1=\"%.17g\">\n", floor,
               ceiling);
    draw_axes(svg, p, "x", "absolute error", heading);
    return p;
}

void label_rounding_level(std::string& svg, const Panel& p) {
    svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#555\">rounding level</text>\n", p.left + 6,
               p.top + p.height - 6);
}

void begin_grid_panel(std::string& svg, const Panel& p, double lo, double hi,
                      const std::string& heading) {
    svg += "<g class=\"panel\" id=\"grid\">\n";
    double r0 = px(p, std::fmax(lo, p.x0)), r1 = px(p, std::fmin(hi, p.x1));
    if (r1 > r0)
        svg += fmt("<rect x=\"%.1f\" y=\"%g\" width=\"%.1f\" height=\"%g\" fill=\"#fff3c4\"/>\n",
                   r0, p.top, r1 - r0, p.height);
    draw_axes(svg, p, "x (cube-root scale)", "absolute error", heading);
}

// The upper envelope of a method's dense errors, errors below the floor drawn at it.
void draw_envelope(std::string& svg, const Panel& p, const Envelope& env, double floor,
                   const char* colour, double width, const char* dash) {
    std::vector<double> vx, vy;
    for (std::size_t c = 0; c < env.ey.size(); ++c)
        if (env.ey[c] >= 0) {
            vx.push_back(env.ex[c]);
            vy.push_back(std::fmax(env.ey[c], floor));
        }
    draw_line(svg, p, vx.data(), vy.data(), static_cast<long>(vx.size()), colour, width, dash);
}
