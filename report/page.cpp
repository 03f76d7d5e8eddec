// page: every number on it is a companion's field, escaped; every figure checked SVG.
#include "page.hpp"

#include "check.hpp"
#include "function.hpp"
#include "method.hpp"
#include "svg.hpp"

#include <algorithm>
#include <iterator>
#include <vector>

extern const char* const bound_markdown; // docs/bound.md, built in

namespace {
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
     "at the theory's order. The grey line is the rounding floor: an order below it that "
     "disagrees with theory is laid to rounding."},
    {"design.svg", "Where the designed rows go",
     "Each method's spacing of consecutive rows in its designed table (solid) and the even "
     "spacing that meets the same tolerance (dashed): the design puts its rows where the error "
     "is, on the flanks of the peak, and saves rows in the tails."},
};

std::string esc(const std::string& s) {
    return html_escape(s);
}

// A field of d, escaped.
std::string val(const Data& d, const std::string& key) {
    return esc(data_value(d, key));
}

std::string label_of(const std::string& name) {
    const Method* m = method_named(name);
    return esc(m != nullptr ? m->label : name);
}

// A method's row head in a table: its short name, as the console's tables give it.
std::string cell_of(const std::string& name) {
    return "<td>" + esc(name) + "</td>";
}

// "[0, 7]" from a companion's "0 7".
std::string interval_of(const Data& d) {
    std::vector<std::string> w = data_words(data_value(d, "interval"));
    std::string s;
    if (w.size() == 2)
        s.append("[").append(esc(w[0])).append(", ").append(esc(w[1])).append("]");
    return s;
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

// Which method, how many rows: the decision table, the fewest marked as the console marks it.
std::string which_html(const Inputs& in) {
    const Data &d = in.fig[4], &c = in.fig[2];
    std::string s = "<li id=\"which\"><b>Which method.</b> On " + esc(in.table) +
                    ", the programs' largest errors, each proven by the bound beside it: ";
    for (const char* m : {"spline", "quadratic"})
        s += label_of(m) + " <b>" + val(c, std::string(m) + "-largest") +
             "</b> at x = " + val(c, std::string(m) + "-at") + " (" +
             val(c, std::string(m) + "-bound") + ")" + (m[0] == 's' ? "; " : ".");
    s += " For a table of its own within " + val(d, "tolerance") + " on " + interval_of(d) +
         ", every method, designed and evenly spaced, with the bytes its exported header ships "
         "and the work of one lookup through it at its worst (table entries read, "
         "multiplications, divisions, comparisons):\n<table class=\"work\"><tr><th>method</th>"
         "<th>spacing</th><th>rows</th><th>bytes "
         "(doubles)</th><th>reads</th><th>mul</th><th>div</th>"
         "<th>cmp</th><th>largest error</th><th>bound</th></tr>\n";
    for (const std::string& m : data_words(data_value(d, "methods"))) {
        if (data_get(d, m + "-none") != nullptr) {
            s += "<tr>" + cell_of(m) + "<td colspan=\"9\">" + val(d, m + "-none") + "</td></tr>\n";
            continue;
        }
        for (const char* k : {"designed", "even"}) {
            std::string e = k[0] == 'e' ? "-even" : "";
            std::string head = "<td rowspan=\"2\">" + esc(m) +
                               (data_value(d, "fewest") == m ? "<br><b>fewest rows</b>" : "") +
                               "</td>";
            s += "<tr>" + (k[0] == 'd' ? head : "") + "<td>" +
                 (k[0] == 'e' ? "evenly spaced" : "designed") + "</td><td>" + val(d, m + "-" + k) +
                 "</td><td>" + val(d, m + e + "-bytes") + "</td>";
            for (const std::string& w : data_words(data_value(d, m + "-" + k + "-work")))
                s += "<td>" + esc(w) + "</td>";
            s += "<td>" + val(d, m + e + "-largest") + "</td><td>" + val(d, m + e + "-bound") +
                 "</td></tr>\n";
        }
    }
    s += "</table></li>\n";
    std::string f = data_value(d, "fewest");
    if (f != "none")
        s += "<li id=\"rows\"><b>How many rows.</b> The " + label_of(f) +
             " needs the fewest: " + val(d, f + "-designed") + " designed rows (" +
             val(d, f + "-even") + " evenly spaced) keep it within " + val(d, "tolerance") +
             " on " + interval_of(d) + ".</li>\n";
    return s;
}

// Stored how: rows and bytes in doubles and in float32 at the storage tolerance.
std::string stored_html(const Inputs& in) {
    const Data &a = in.store64, &b = in.store32;
    std::string s = "<li id=\"stored\"><b>Stored how.</b> Within " + val(b, "tolerance") + " on " +
                    interval_of(b) +
                    ", a tolerance float32 values can still meet, each method's designed "
                    "table in doubles and in float32:\n<table><tr><th>method</th><th>rows "
                    "(double)</th><th>bytes</th><th>rows (float32)</th><th>bytes</th></tr>\n";
    for (const std::string& m : data_words(data_value(a, "methods"))) {
        s += "<tr>" + cell_of(m);
        for (const Data* d : {&a, &b})
            s += data_get(*d, m + "-none") != nullptr
                     ? "<td colspan=\"2\">" + val(*d, m + "-none") + "</td>"
                     : "<td>" + val(*d, m + "-designed") + "</td><td>" + val(*d, m + "-bytes") +
                           "</td>";
        s += "</tr>\n";
    }
    return s + "</table></li>\n";
}

// How sure: the bounds, the orders against theory, the derivation.
std::string sure_html(const Inputs& in) {
    const Data& c = in.fig[3];
    std::string s =
        "<li id=\"sure\"><b>How sure.</b> Every largest error above is found by a search that "
        "proves it: the bound beside it holds everywhere on the interval, rounding included "
        "(<a href=\"bound.html\">how the bound is derived</a>). The orders lorconv observed "
        "between its two finest tables on " +
        interval_of(c) + " (n = " + val(c, "n-first") + " to " + val(c, "n-last") +
        ", doubling), against theory:\n<table><tr><th>method</th><th>inside</th><th>theory</th>"
        "<th>at the ends</th><th>theory</th></tr>\n";
    for (const std::string& m : data_words(data_value(c, "methods")))
        s += "<tr>" + cell_of(m) + "<td>" + val(c, m + "-inner") + "</td><td>h<sup>" +
             val(c, m + "-inner-theory") + "</sup></td><td>" + val(c, m + "-ends") +
             "</td><td>h<sup>" + val(c, m + "-ends-theory") + "</sup></td></tr>\n";
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

// The commands that made the figures and numbers, one a line, as their companions record them.
std::string commands_html(const Inputs& in) {
    std::string s = "<h2>The commands that made it</h2>\n<p>In this folder, after splerr and "
                    "quaderr wrote errsp.out and errq.out, as each companion records it:</p>\n"
                    "<pre id=\"commands\">";
    for (const Data& d : in.fig)
        s += val(d, "command") + "\n";
    for (const Data* d : {&in.store64, &in.store32})
        s += val(*d, "command") + "\n";
    return s + "lorreport</pre>\n";
}
} // namespace

std::string page_html(const Inputs& in) {
    std::string s =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>How well interpolation reproduces the Lorentzian</title>\n<style>\n"
        "body{font-family:sans-serif;max-width:1000px;margin:2em auto;padding:0 1em;"
        "line-height:1.45;color:#222}\n"
        "table{border-collapse:collapse;margin:.5em 0}td,th{border:1px solid #bbb;"
        "padding:.2em .6em;text-align:right;white-space:nowrap}"
        "td:first-child,th:first-child{text-align:left}"
        "table.work td,table.work th{padding:.2em .4em}td[rowspan]{vertical-align:top}\n"
        "figure{margin:2em 0}figure svg{max-width:100%;height:auto;display:block}\n"
        "pre{background:#f4f4f4;padding:.8em;overflow-x:auto;white-space:pre}\n</style>\n"
        "</head>\n<body>\n"
        "<h1>How well interpolation reproduces the Lorentzian</h1>\n"
        "<p>The study of " +
        formula_html(study_function().formula) +
        " from a table of its samples. "
        "The answer, from this run:</p>\n<ul>\n" +
        which_html(in) + stored_html(in) + sure_html(in) + "</ul>\n";
    for (std::size_t i = 0; i < std::size(figures); ++i)
        s += std::string("<figure>\n<h2>") + figures[i].title + " <small>(" + figures[i].file +
             ")</small></h2>\n<p>" + figures[i].see + "</p>\n" + inline_svg(in.svg[i], i) +
             "</figure>\n";
    return s + commands_html(in) + "</body>\n</html>\n";
}

std::string bound_html() {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<title>The bound: how it is derived</title>\n<style>body{max-width:1000px;"
           "margin:2em auto;padding:0 1em}pre{white-space:pre-wrap;line-height:1.4}</style>\n"
           "</head>\n<body>\n<p><a href=\"index.html\">Back to the report</a></p>\n<pre>" +
           esc(bound_markdown) + "</pre>\n</body>\n</html>\n";
}
