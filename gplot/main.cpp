// gplot: draws a sample table and its interpolation-error file as one SVG figure, and prints
// a one-line summary of the largest errors inside and outside the table's range.
#include "dense.hpp"
#include "shell.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {
constexpr double fig_w = 960, panel_h = 300, panel_gap = 90, top_margin = 70, left = 90, right = 30;
constexpr long max_markers = 600; // sample markers drawn at most; more are thinned
constexpr int curve_points = 800;

constexpr const char* usage_text =
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

// The largest finite error in each pixel column of the panel inside the table [x0, x1], and
// the x where it is met first.
struct Envelope {
    double x0, x1;
    std::vector<double> ex, ey; // ey -1: no point in the column
};

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
double rounding_level(const SampleTable& t) {
    double m = 0;
    for (int i = 0; i < t.n; ++i)
        if (std::isfinite(t.ya[i]))
            m = std::fmax(m, std::fabs(t.ya[i]));
    double r = 1e-16 * m;
    return r > 0 && std::isfinite(r) ? decade_below(r) : 1e-16;
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

// gplot's figures carry this mark; only a file that has it is ever removed.
constexpr const char* figure_mark = "<desc>figure by gplot (lorentz-interp)</desc>\n";

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
std::string method_of(const char* path) {
    std::string s = base_name(path);
    if (s == "errsp.out")
        return "the natural cubic spline (errsp.out)";
    if (s == "errq.out")
        return "the four-point quadratic (errq.out)";
    return path;
}

// The method whose errors the suite's own error files hold; none for another file.
std::optional<Method> method_of_file(const char* path) {
    std::string s = base_name(path);
    if (s == "errsp.out")
        return Method::spline;
    if (s == "errq.out")
        return Method::quadratic;
    return std::nullopt;
}

// The interpolant whose errors the suite's own error files hold, as the diagnostics speak of
// it; null for another file.
const char* method_word(const char* path) {
    std::string s = base_name(path);
    return s == "errsp.out" ? "the spline" : s == "errq.out" ? "the quadratic" : nullptr;
}

// The largest finite error of a region and where it is first met, and what is not finite.
struct FilePeak {
    double err = -1, x = 0;
    long finite = 0, nans = 0, infs = 0;
};

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

// The errors of a panel that have no place on its log axis: NaN and infinite, by abscissa.
struct Unplaced {
    std::vector<double> nan_x, inf_x;
};

// Marks the unplaced errors in a row at the top of panel p, with a legend entry for each kind
// that occurs.
void mark_unplaced(std::string& svg, const Panel& p, const Unplaced& u) {
    double ly = p.top + 34;
    if (!u.nan_x.empty()) {
        draw_top_marks(svg, p, u.nan_x.data(), static_cast<long>(u.nan_x.size()), "#d62728", 2);
        svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#d62728\">&#9660; error is NaN (%zu)</text>\n",
                   p.left + 8, ly, u.nan_x.size());
        ly += 16;
    }
    if (!u.inf_x.empty()) {
        draw_top_marks(svg, p, u.inf_x.data(), static_cast<long>(u.inf_x.size()), "#ff7f0e", 10);
        svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#ff7f0e\">&#9660; error is infinite "
                   "(%zu)</text>\n",
                   p.left + 8, ly, u.inf_x.size());
    }
}

// Where a panel's errors of exactly 0 are drawn, stated below the panel at the right, out of
// the way of every curve.
void zero_note(std::string& svg, const Panel& p, double floor) {
    svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"#555\">errors of exactly 0 "
               "drawn at %g</text>\n",
               p.left + p.width, p.top + p.height + 34, floor);
}
// Runs a and b, on two threads where threads allows and one can be had, else one after
// the other; returns when both have ended.
template <class A, class B> void side_by_side(int threads, A a, B b) {
    std::thread t;
    if (threads >= 2) {
        try {
            t = std::thread(a);
        } catch (...) {
            // No thread: a runs after b.
        }
    }
    b();
    if (t.joinable())
        t.join();
    else
        a();
}

// Opens the whole-grid panel p: its group, the table's range [lo, hi] shaded, the axes.
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
                   const char* colour, double width, const char* dash = nullptr) {
    std::vector<double> vx, vy;
    for (std::size_t c = 0; c < env.ey.size(); ++c)
        if (env.ey[c] >= 0) {
            vx.push_back(env.ex[c]);
            vy.push_back(std::fmax(env.ey[c], floor));
        }
    draw_line(svg, p, vx.data(), vy.data(), static_cast<long>(vx.size()), colour, width, dash);
}

// One method's side of the comparison: its error file, its peaks inside and outside the
// table, and its dense evaluation with the upper envelope of its errors.
struct Side {
    Method m;
    std::vector<double> ex, ee;
    FilePeak in, out;
    DenseErrors dense;
    Envelope env;
};

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
    double floor1 = rounding_level(tab);
    double ceiling1 = decade_above(std::fmax(largest, floor1 * 10));
    Panel p1{left, top_margin, w, panel_h, lo, hi, floor1, ceiling1, Scale::linear, Scale::log10};
    svg += fmt("<g class=\"panel\" id=\"inside\" data-y0=\"%.17g\" data-y1=\"%.17g\">\n", floor1,
               ceiling1);
    draw_axes(svg, p1, "x", "absolute error",
              fmt("Error inside the table [%g, %g], 64 points an interval", lo, hi));
    for (int k = 0; k < 2; ++k) {
        draw_envelope(svg, p1, sides[k].env, floor1, colour[k], 1.4, dash[k]);
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\" fill=\"%s\">%s%s: largest "
                   "%.2e</text>\n",
                   left + w - 8, top_margin + 18 + 16 * k, colour[k], label[k],
                   k == 1 ? " (dashed)" : "", sides[k].dense.all.err);
    }
    svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#555\">rounding level</text>\n", p1.left + 6,
               p1.top + p1.height - 6);
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
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "gplot", usage_text))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    if (argc == 4)
        return compare_figure(argv[1], argv[2], argv[3]);
    if (argc != 3)
        return usage(stderr, 2);
    console_start("gplot", method_word(argv[2]));
    static SampleTable tab; // kept to the end of the process
    std::vector<double> ex, ee;
    std::string name = stem(argv[2]) + ".svg";
    if (!load(argv[1], tab) || !read_errors(argv[2], ex, ee))
        return drop_figure(name);

    double lo = HUGE_VAL, hi = -HUGE_VAL, ymin = 0, ymax = 1;
    table_range(tab, &lo, &hi, &ymin, &ymax);
    if (!(lo < hi)) {
        tell(std::string(argv[1]) + " has no range of finite abscissae");
        return drop_figure(name);
    }

    // Errors as drawn on the log axes: zeros at the floor, which a note states; NaN and
    // infinite errors as marks at the top of the panel.
    long n = static_cast<long>(ee.size());
    double floor = log_floor(ee);
    double ceiling = log_ceiling(ee, floor);
    std::vector<double> drawn = ee;
    bool zeros = false, zeros_in = false;
    for (double& e : drawn)
        if (e == 0) {
            e = floor;
            zeros = true;
        }
    FilePeak in, out;
    Unplaced u_in, u_all;
    std::vector<double> ix, iy; // the error rows inside the table's range
    double gx0 = HUGE_VAL, gx1 = -HUGE_VAL;
    for (long i = 0; i < n; ++i) {
        double x = ex[i], e = ee[i];
        bool within = x >= lo && x <= hi;
        take(within ? in : out, x, e);
        if (!std::isfinite(e)) {
            (std::isnan(e) ? u_all.nan_x : u_all.inf_x).push_back(x);
            if (within)
                (std::isnan(e) ? u_in.nan_x : u_in.inf_x).push_back(x);
        }
        if (within) {
            ix.push_back(x);
            iy.push_back(drawn[i]);
            zeros_in = zeros_in || e == 0;
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

    // The interpolant itself, densely, where the error file's name says which it is: its
    // errors' upper envelope for the panel inside the table, and the largest errors of both
    // methods for that panel's range, so that errsp.svg and errq.svg of one table compare.
    double w = fig_w - left - right;
    std::optional<Method> method = method_of_file(argv[2]);
    Envelope env{lo, hi, std::vector<double>(static_cast<std::size_t>(w)),
                 std::vector<double>(static_cast<std::size_t>(w), -1.0)};
    DenseErrors dense;
    double largest = -1;
    if (method) {
        DenseErrors other;
        int threads = thread_count();
        side_by_side(
            threads,
            [&] {
                DenseOpts o;
                o.each = add_to_envelope;
                o.ctx = &env;
                dense = dense_errors(dense_prepare(tab.xa, tab.ya, tab.n, *method), o);
            },
            [&] {
                DenseOpts o;
                o.threads = std::max(1, threads - 1);
                Method m = *method == Method::spline ? Method::quadratic : Method::spline;
                other = dense_errors(dense_prepare(tab.xa, tab.ya, tab.n, m), o);
            });
        largest = std::fmax(dense.all.err, other.all.err);
    }

    double fig_h = top_margin + 3 * panel_h + 3 * panel_gap - 20;
    std::string svg = svg_begin(fig_w, fig_h) + figure_mark;
    svg += fmt("<text x=\"%g\" y=\"30\" font-size=\"19\" font-weight=\"bold\" "
               "text-anchor=\"middle\">Interpolation error of %s against %s</text>\n",
               fig_w / 2, xml_escape(method_of(argv[2])).c_str(), xml_escape(argv[1]).c_str());

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

    // 2. The error on a log axis, over the table's range: densely where the method is known,
    // from the rounding level up, else at the error file's points.
    double top2 = top_margin + panel_h + panel_gap;
    double floor2 = method ? rounding_level(tab) : floor;
    double ceiling2 =
        method ? decade_above(std::fmax(largest, floor2 * 10)) : log_ceiling(iy, floor);
    Panel p2{left, top2, w, panel_h, lo, hi, floor2, ceiling2, Scale::linear, Scale::log10};
    svg += fmt("<g class=\"panel\" id=\"inside\" data-y0=\"%.17g\" data-y1=\"%.17g\">\n", floor2,
               ceiling2);
    std::string heading =
        method
            ? fmt("Error inside the table [%g, %g]: largest %s at 64 points an interval; grid %s",
                  lo, hi, dense.all.err >= 0 ? fmt("%.2e", dense.all.err).c_str() : "none finite",
                  peak_text(in).c_str())
            : fmt("Error inside the table [%g, %g]: max %s", lo, hi, peak_text(in).c_str());
    draw_axes(svg, p2, "x", "absolute error", heading);
    for (double& e : iy)
        e = std::fmax(e, floor2);
    if (method) {
        // The largest error in each pixel column, with the grid's points as markers on it.
        draw_envelope(svg, p2, env, floor2, "#2ca02c", 1.2);
        draw_points(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), 1, "#111", 2.2);
        svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#555\">rounding level</text>\n", p2.left + 6,
                   p2.top + p2.height - 6);
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"end\">green: the largest error in "
                   "each pixel column; black: the grid's points</text>\n",
                   p2.left + p2.width - 8, p2.top + 18);
    } else {
        draw_line(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), "#2ca02c", 1.2);
        if (ix.size() <= 400)
            draw_points(svg, p2, ix.data(), iy.data(), static_cast<long>(ix.size()), 1, "#2ca02c",
                        1.8);
    }
    if (ix.empty())
        svg += fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"middle\" fill=\"#555\">no point of the "
                   "error file's grid lies inside the table</text>\n",
                   p2.left + p2.width / 2, p2.top + 40);
    // The table's nodes, where the error is exactly 0, thinned to a few pixels apart.
    long tick_stride = std::max(1L, static_cast<long>(std::ceil(tab.n / (w / 4))));
    draw_x_ticks(svg, p2, tab.xa, tab.n, tick_stride, "#d62728");
    svg += fmt("<text x=\"%g\" y=\"%g\" fill=\"#d62728\">ticks on the x axis: the table's "
               "nodes%s</text>\n",
               left, top2 + panel_h + 34,
               tick_stride > 1 ? fmt(", every %ld-th", tick_stride).c_str() : "");
    mark_unplaced(svg, p2, u_in);
    if (zeros_in && !method)
        zero_note(svg, p2, floor);
    svg += "</g>\n";

    // 3. The error over the whole grid, on a signed cube-root axis, the table's range marked.
    double top3 = top2 + panel_h + panel_gap;
    Panel p3{left, top3, w, panel_h, gx0, gx1, floor, ceiling, Scale::cbrt, Scale::log10};
    begin_grid_panel(
        svg, p3, lo, hi,
        fmt("Error over the whole grid: outside the table max %s", peak_text(out).c_str()));
    double r0 = px(p3, std::fmax(lo, gx0)), r1 = px(p3, std::fmin(hi, gx1));
    draw_line(svg, p3, ex.data(), drawn.data(), n, "#9467bd", 1.2);
    mark_unplaced(svg, p3, u_all);
    if (zeros)
        zero_note(svg, p3, floor);
    svg += fmt("<text x=\"%.1f\" y=\"%g\" text-anchor=\"middle\" fill=\"#8a6d00\">table "
               "[%g, %g]</text>\n",
               (r0 + r1) / 2, top3 + 18, lo, hi);
    svg += "</g>\n</svg>\n";

    if (int err = save_file(name, svg); err != 0) {
        tell("cannot write " + name + ": " + cause_text(err));
        return drop_figure(name);
    }
    std::string line =
        method ? dense_summary(name, dense, in, out, lo, hi) : summary(name, in, out, lo, hi);
    std::printf("%s\n", line.c_str());
    return console_end(0);
}
