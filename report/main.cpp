// lorreport: the study's report page. In the folder where the study ran it reads the outputs
// (gplot's side-by-side lines, conv.csv, lorgen's decision table, the commands, the figures)
// and writes index.html: the answer first, then each figure inline with what to see in it,
// then the commands that made it. Every number on the page is read from those outputs.
#include "function.hpp"
#include "method.hpp"
#include "numlib.hpp"
#include "parse.hpp"
#include "save.hpp"
#include "shell.hpp"
#include "svg.hpp"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {
constexpr const char* usage =
    "usage: lorreport\n"
    "Writes index.html in the current folder, the report page of the study that ran there:\n"
    "both methods' largest errors on loren.out, the orders lorconv observed against theory,\n"
    "the rows each method needs for the tolerance of lorgen's decision table, then every\n"
    "figure inline (errsp.svg, errq.svg, compare.svg, conv.svg, design.svg) and the commands\n"
    "in commands.txt. Reads compare.txt (gplot's lines), conv.csv and design.txt (lorgen\n"
    "--method all). cmake --workflow --preset study runs it.\n"
    "Exit status: 0; 1 when an input cannot be read or the page cannot be written.\n";

// The whole file at path into *out; false, told with its cause, when it cannot be read.
bool slurp(const char* path, std::string* out) {
    int err = read_whole(path, SIZE_MAX, out);
    if (err != 0)
        tell(std::string("cannot read ") + path + ": " + cause_text(err));
    return err == 0;
}

// Everything the page shows, read.
struct Inputs {
    std::vector<MethodLargest> largest;
    std::vector<MethodOrders> orders;
    Decision rows;
    std::string commands, table; // the commands; "29 rows on [0, 7]"
    std::vector<std::string> svgs;
};

// The figures, in the page's order: file, title, what to see in it.
struct Figure {
    const char* file;
    const char* title;
    const char* see;
};
constexpr Figure figures[] = {
    {"errsp.svg", "The natural cubic spline",
     "Top: the samples, the exact curve and the spline through them. Middle: the spline's "
     "error inside the table, the largest in every pixel column, proven by a bound; the ring "
     "marks the largest, the dots the error file's grid. Bottom: the error file over its whole "
     "grid, on a cube-root axis: outside the table the spline extrapolates and the error grows "
     "without limit."},
    {"errq.svg", "The four-point quadratic",
     "The same three panels for the quadratic. Its error peaks where the Lorentzian bends most, "
     "on the flanks of the peak, and at the ends, where its flat ghost ordinates cost an order."},
    {"compare.svg", "Both methods on one scale",
     "The two methods' errors inside the table, solid and dashed, on shared axes: the lower "
     "curve is the better method at that x. Below, both error files over the whole grid."},
    {"conv.svg", "How the error shrinks",
     "The largest error against the spacing h as the tables double, inside (solid) and at the "
     "ends (dotted), with the theory's slopes dashed: a curve parallel to its slope converges "
     "at the theory's order. The grey line is the floor below which the verdicts read no order."},
    {"design.svg", "Where the designed rows go",
     "Each method's spacing of consecutive rows in its designed table (solid) and the even "
     "spacing that meets the same tolerance (dashed): the design puts its rows where the error "
     "is, on the flanks of the peak, and saves rows in the tails."},
};
} // namespace

namespace {
std::string esc(const std::string& s) {
    return xml_escape(s);
}

// The value of a number as printed, or -1.
double value_of(const std::string& s) {
    double v = -1;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() ? v : -1;
}

// "h^4" for a method's order, "h" for 1.
std::string power(int k) {
    return k == 1 ? "h" : "h<sup>" + std::to_string(k) + "</sup>";
}

// A formula as text in HTML: escaped, each power "^k" (k digits) a superscript.
std::string formula_html(const std::string& f) {
    std::string s;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '^') {
            s += esc(f.substr(i, 1));
            continue;
        }
        std::size_t j = i + 1;
        while (j < f.size() && f[j] >= '0' && f[j] <= '9')
            ++j;
        s += "<sup>" + f.substr(i + 1, j - i - 1) + "</sup>";
        i = j - 1;
    }
    return s;
}

// The label of a method by name, or the name.
std::string label_of(const std::string& name) {
    const Method* m = method_named(name);
    return m != nullptr ? m->label : name;
}

// Which method errs less on the sample table, and by how much.
std::string largest_html(const Inputs& in) {
    std::string s = "<li><b>Which method.</b> On the sample table, " + esc(in.table) + ", ";
    for (std::size_t i = 0; i < in.largest.size(); ++i) {
        const MethodLargest& m = in.largest[i];
        s += (i == 0 ? "the " : "; the ") + esc(m.label) + " errs by at most <b>" + esc(m.err) +
             "</b> (at x = " + esc(m.x) + "; " + esc(m.bound) + ")";
    }
    if (in.largest.size() == 2) {
        double a = value_of(in.largest[0].err), b = value_of(in.largest[1].err);
        if (a > 0 && b > 0)
            s += fmt(": the %s is %.1f times as accurate",
                     esc(in.largest[a < b ? 0 : 1].label).c_str(), a < b ? b / a : a / b);
    }
    return s + ".</li>\n";
}

// The orders lorconv observed, against theory.
std::string orders_html(const Inputs& in) {
    if (in.orders.empty())
        return "";
    const MethodOrders& o0 = in.orders.front();
    std::string s = "<li><b>How the error shrinks.</b> The orders lorconv observed between its "
                    "two finest tables (n = " +
                    esc(o0.n_first) + " to " + esc(o0.n_last) +
                    ", doubling), against theory:\n<table><tr><th>method</th><th>inside</th>"
                    "<th>theory</th><th>at the ends</th><th>theory</th></tr>\n";
    for (const MethodOrders& o : in.orders) {
        const Method* m = method_named(o.method);
        s += "<tr><td>" + esc(label_of(o.method)) + "</td><td>" + esc(o.inner) + "</td><td>" +
             (m != nullptr ? power(m->order_inner) : "") + "</td><td>" + esc(o.ends) + "</td><td>" +
             (m != nullptr ? power(m->order_ends) : "") + "</td></tr>\n";
    }
    return s + "</table></li>\n";
}

// The rows each method needs, from lorgen's decision table.
std::string rows_html(const Inputs& in) {
    if (in.rows.rows.empty())
        return "";
    std::string s = "<li><b>How many rows.</b> " + esc(in.rows.heading) +
                    ":\n<table><tr><th>method</th><th>evenly spaced</th><th>designed</th>"
                    "<th>bytes (doubles)</th><th>largest error</th><th>bound</th></tr>\n";
    for (const MethodRows& r : in.rows.rows)
        s += "<tr><td>" + esc(label_of(r.method)) + "</td><td>" + esc(r.even) + "</td><td>" +
             esc(r.designed) + "</td><td>" + esc(r.bytes) + "</td><td>" + esc(r.largest) +
             "</td><td>" + esc(r.bound) + "</td></tr>\n";
    return s + "</table></li>\n";
}

// A figure's SVG for inlining: without its XML declaration, its ids prefixed with n.
std::string inline_svg(std::string svg, std::size_t n) {
    if (svg.rfind("<?xml", 0) == 0)
        svg.erase(0, svg.find('\n') + 1);
    std::string id = " id=\"f" + std::to_string(n) + "-";
    for (std::size_t at = 0; (at = svg.find(" id=\"", at)) != std::string::npos; at += id.size())
        svg.replace(at, 5, id);
    return svg;
}

std::string page_html(const Inputs& in) {
    std::string s =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>How well interpolation reproduces the Lorentzian</title>\n<style>\n"
        "body{font-family:sans-serif;max-width:1000px;margin:2em auto;padding:0 1em;"
        "line-height:1.45;color:#222}\n"
        "table{border-collapse:collapse;margin:.5em 0}td,th{border:1px solid #bbb;"
        "padding:.2em .6em;text-align:right}td:first-child,th:first-child{text-align:left}\n"
        "figure{margin:2em 0}figure svg{max-width:100%;height:auto;display:block}\n"
        "pre{background:#f4f4f4;padding:.8em;overflow-x:auto}\n</style>\n</head>\n<body>\n"
        "<h1>How well interpolation reproduces the Lorentzian</h1>\n"
        "<p>The study of " +
        formula_html(study_function().formula) +
        " from a table of its samples. "
        "The answer, from this run:</p>\n<ul>\n" +
        largest_html(in) + orders_html(in) + rows_html(in) + "</ul>\n";
    for (std::size_t i = 0; i < std::size(figures); ++i)
        s += std::string("<figure>\n<h2>") + figures[i].title + " <small>(" + figures[i].file +
             ")</small></h2>\n<p>" + figures[i].see + "</p>\n" + inline_svg(in.svgs[i], i) +
             "</figure>\n";
    return s +
           "<h2>The commands that made it</h2>\n<p>In this folder, in this order (cmake "
           "--workflow --preset study runs them):</p>\n<pre>" +
           esc(in.commands) + "</pre>\n</body>\n</html>\n";
}

// The sample table as the page names it: "loren.out, 29 rows on [0, 7]"; "" when it cannot
// be read.
std::string table_text() {
    SampleTable t;
    if (load_table(table_name, {0, 0}, 2, t, 1) != Load::ok)
        return table_name;
    double lo = t.xa[0], hi = t.xa[t.n - 1];
    std::string s = fmt("%s, %d rows on [%g, %g]", table_name, t.n, lo, hi);
    free_table(t);
    return s;
}

// Reads the inputs and writes the page; the exit status.
int run() {
    Inputs in;
    std::string compare, conv, design;
    bool ok = slurp("compare.txt", &compare) && slurp("conv.csv", &conv) &&
              slurp("design.txt", &design) && slurp("commands.txt", &in.commands);
    for (const Figure& f : figures) {
        in.svgs.emplace_back();
        ok = ok && slurp(f.file, &in.svgs.back());
    }
    if (!ok)
        return 1;
    in.largest = parse_compare(compare);
    in.orders = parse_conv(conv);
    in.rows = parse_decision(design);
    in.table = table_text();
    if (Saved w = save_file("index.html", page_html(in)); w.what != Saved::ok) {
        tell(save_failure("index.html", w));
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (plain_args(argc, argv, "lorreport", usage))
        return 0;
    Console& c = console_start("lorreport");
    save_guard_signals();
    try {
        return console_end(c, run());
    } catch (const std::bad_alloc&) {
        tell("not enough memory for the page");
        return 1;
    }
}
