// lorconv: how the error of both interpolants shrinks as the table gets finer: the maxima
// inside and at the ends, the observed orders against theory, conv.csv and conv.svg.
#include "args.hpp"
#include "conv.hpp"
#include "conv_args.hpp"
#include "data.hpp"
#include "function.hpp"
#include "options.hpp"
#include "progress.hpp"
#include "save.hpp"
#include "shell.hpp"
#include "svg.hpp"

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {
constexpr long long default_n0 = 8, default_n1 = 4096;

// The usage.
std::string usage_text() {
    return usage_lines("lorconv", {"[--data FILE] [N0 N1 [A B]]"}) +
           paragraph("The convergence study: for tables of n = N0, 2 N0, 4 N0, ... <= N1 samples "
                     "of " +
                     std::string(study_function().name) +
                     " on [A, B] (as lorgen writes them), the largest error of " +
                     method_titles(", ", " and ") +
                     " anywhere, proven, inside [A + w, B - w] (w = (B - A)/7) and at the ends, "
                     "with the observed orders of convergence (\"-\" while the error has not "
                     "started to shrink).") +
           "Writes conv.csv and conv.svg in the current folder and prints the table and a verdict\n"
           "per method. Defaults: N0 = 8, N1 = 4096, A = 0, B = 7. 4 <= N0 <= N1 <= 16777216.\n"
           "--data FILE also writes FILE, the verdicts' orders as named fields (one \"key value\"\n"
           "a line), with the command and the figure's size and checksum.\n"
           "Exit status: 0; 1 when a file cannot be written; 2 for bad arguments.\n";
}

// One method's tables, coarsest first.
struct Series {
    const Method* m;
    std::vector<ConvStats> rows;
};
using Study = std::vector<Series>;

// The observed order between tables i-1 and i of a series, inside or at the ends; i >= 1.
double observed(const std::vector<ConvStats>& r, std::size_t i, bool inner) {
    const ConvStats &p = r[i - 1], &c = r[i];
    return inner ? conv_order(p.inner_max, p.h, c.inner_max, c.h)
                 : conv_order(p.ends_max, p.h, c.ends_max, c.h);
}

std::string order_cell(const std::vector<ConvStats>& r, std::size_t i, bool inner) {
    return i == 0 ? "" : fmt("%.17g", observed(r, i, inner));
}

// Whether the error of table i (i >= 1), inside or at the ends, has yet to shrink: above the
// rounding floor, and falling by less than h^0.5 from every table to the next up to i.
bool not_shrinking(const std::vector<ConvStats>& r, std::size_t i, bool inner) {
    double e = inner ? r[i].inner_max : r[i].ends_max;
    if (!(e >= error_floor))
        return false;
    for (std::size_t j = 1; j <= i; ++j)
        if (!(observed(r, j, inner) < 0.5))
            return false;
    return true;
}

// An observed order as the table shows it: "-" where the error has yet to shrink.
std::string order_text(const std::vector<ConvStats>& r, std::size_t i, bool inner) {
    return not_shrinking(r, i, inner) ? "-" : fmt("%.2f", observed(r, i, inner));
}

// Writes conv.csv.
Saved write_csv(const Study& s) {
    std::string csv =
        "method,n,h,max_error,x_at_max,inner_max,ends_max,order_inner,order_ends,bound\n";
    for (const Series& se : s) {
        const std::vector<ConvStats>& r = se.rows;
        for (std::size_t i = 0; i < r.size(); ++i)
            csv += fmt("%s,%d,%.17g,%.17g,%.17g,%.17g,%.17g,", se.m->name, r[i].n, r[i].h,
                       r[i].max_error, r[i].x_at_max, r[i].inner_max, r[i].ends_max) +
                   order_cell(r, i, true) + "," + order_cell(r, i, false) +
                   fmt(",%.17g\n", r[i].bound);
    }
    return save_file("conv.csv", csv);
}

std::string power(int k) {
    return k == 1 ? "h" : fmt("h^%d", k);
}

// The panel of conv.svg: the x axis spans the spacings of the tables; the y axis reaches down
// to the rounding level floor, so that a curve that flattens there is seen to meet it.
Panel conv_panel(const Study& s, double floor) {
    const std::vector<ConvStats>& r0 = s[0].rows;
    double hmin = r0.back().h, hmax = r0.front().h, emin = HUGE_VAL, emax = 0;
    for (const Series& se : s)
        for (const ConvStats& c : se.rows)
            for (double e : {c.inner_max, c.ends_max})
                if (e > 0 && std::isfinite(e)) {
                    emin = std::fmin(emin, e);
                    emax = std::fmax(emax, e);
                }
    if (!(emin <= emax))
        emin = emax = 1;
    constexpr double w = 860, h = 560, left = 90, top = 60;
    return {left,
            top,
            w - left - 30,
            h - top - 70,
            hmin < hmax ? hmin : decade_below(hmin),
            hmin < hmax ? hmax : decade_above(hmax),
            std::fmin(decade_below(emin), floor),
            decade_above(emax),
            Scale::log10,
            Scale::log10};
}

// One method's curve inside (region 0: solid) or in the end layers (1: dotted), its theory's
// slope (dashed) anchored at the finest table, and its legend line at *ly.
void draw_series(std::string& svg, const Panel& p, const Series& se, const char* col, int region,
                 double a, double b, double* ly) {
    static constexpr const char* style[2] = {nullptr, "2 3"};
    std::vector<double> hs, es;
    for (const ConvStats& c : se.rows) {
        hs.push_back(c.h);
        es.push_back(region == 0 ? c.inner_max : c.ends_max);
    }
    auto n = static_cast<long>(hs.size());
    draw_line(svg, p, hs.data(), es.data(), n, col, 1.6, style[region]);
    draw_points(svg, p, hs.data(), es.data(), n, 1, col, region == 0 ? 3.2 : 2.0);
    int order = region == 0 ? se.m->order_inner : se.m->order_ends;
    double hmax = se.rows.front().h, hf = hs.back(), ef = es.back();
    double tx[2] = {hf, hmax}, ty[2] = {ef, ef * std::pow(hmax / hf, order)};
    draw_line(svg, p, tx, ty, 2, col, 1.0, "6 4");
    double wi = (b - a) / 7;
    std::string where = region == 0 ? fmt("inner [%g, %g], solid", a + wi, b - wi)
                                    : std::string("the end layers, dotted");
    draw_legend(svg, p, *ly, col,
                fmt("%s, %s (dashed: %s)", se.m->name, where.c_str(), power(order).c_str()));
    *ly += 18;
}

// conv.svg's bytes.
std::string conv_svg(const Study& s, double a, double b) {
    // The floor the verdicts use, drawn as a line, the axis reaching a decade below it.
    Panel p = conv_panel(s, decade_below(error_floor, 1));
    // The curves drawn over each other, said in the legend.
    std::vector<std::string> names;
    std::vector<std::vector<double>> ys;
    for (int region = 0; region < 2; ++region)
        for (const Series& se : s) {
            names.push_back(std::string(se.m->name) + (region == 0 ? " inside" : " at the ends"));
            ys.emplace_back();
            for (const ConvStats& c : se.rows)
                ys.back().push_back(region == 0 ? c.inner_max : c.ends_max);
        }
    std::vector<std::string> same = coinciding(names, ys);
    // The legend below the panel, a line a curve, one for the floor and one a group of curves
    // drawn over each other: it hides none of them.
    double lines = 2.0 * static_cast<double>(s.size()) + 1 + static_cast<double>(same.size());
    std::string svg = svg_begin(860, 560 + 18 * lines);
    draw_axes(svg, p, "h = (B - A)/(n - 1)", "largest absolute error",
              fmt("Convergence on [%g, %g]: the error against the spacing h", a, b));
    // Inside: solid lines; the end layers: dotted; the theory's slopes: dashed.
    double rx[2] = {p.x0, p.x1}, ry[2] = {error_floor, error_floor};
    draw_line(svg, p, rx, ry, 2, "#888", 1.0);
    double ly = p.top + p.height + 66;
    for (std::size_t k = 0; k < s.size(); ++k)
        for (int region = 0; region < 2; ++region)
            draw_series(svg, p, s[k], s[k].m->colour, region, a, b, &ly);
    draw_legend(
        svg, p, ly, "#888",
        fmt("grey line: the rounding floor %g; an order below it that disagrees with theory is "
            "laid to rounding",
            error_floor));
    for (const std::string& g : same) {
        ly += 18;
        draw_legend(svg, p, ly, "#888", "drawn over each other (within 1%): " + g);
    }
    svg_end(svg);
    return svg;
}

// "4.00 (h^4)" when the observed order is within a quarter of the theory's; else it says
// that the theory is not reached, or that the error e has come down to rounding, that it is
// NaN, or (yet) that it has not started to shrink.
std::string verdict_part(double obs, double e, int theory, const char* why, bool yet) {
    if (std::isnan(e))
        return fmt("not measured: the errors are NaN, not numbers (theory %s)",
                   power(theory).c_str());
    if (yet)
        return fmt("not shrinking yet (theory %s", power(theory).c_str()) +
               (why != nullptr ? std::string(": ") + why : "") + ")";
    bool agrees = std::fabs(obs - theory) <= 0.25;
    std::string r = fmt("%.2f (", obs) + (agrees ? "" : "theory ") + power(theory);
    if (why != nullptr)
        r += std::string(": ") + why;
    // Past the theory the pre-asymptotic terms have not died out yet; short of it, the
    // theory's order is not reached.
    if (!agrees)
        r += e < error_floor ? fmt(", not seen: the error %.1e is at the rounding floor", e)
                             : std::string(obs > theory ? ", not settled" : ", not reached");
    return r + ")";
}

// The table of maxima and orders, a column group a method; n takes up to 8 digits.
void print_table(const Study& s) {
    std::printf("%8s %11s", "", "");
    for (const Series& se : s)
        std::printf(" | %-34s", se.m->label);
    std::printf("\n%8s %11s", "n", "h");
    for (std::size_t k = 0; k < s.size(); ++k)
        std::printf(" | %10s %10s %6s %6s", "inner", "ends", "p in", "p ends");
    std::printf("\n");
    for (std::size_t i = 0; i < s[0].rows.size(); ++i) {
        std::printf("%8d %11.5g", s[0].rows[i].n, s[0].rows[i].h);
        for (const Series& se : s) {
            const std::vector<ConvStats>& r = se.rows;
            std::printf(" | %10.3e %10.3e", r[i].inner_max, r[i].ends_max);
            if (i == 0)
                std::printf(" %6s %6s", "", "");
            else
                std::printf(" %6s %6s", order_text(r, i, true).c_str(),
                            order_text(r, i, false).c_str());
        }
        std::printf("\n");
    }
}

// The table, then a verdict a method.
void print_results(const Study& s) {
    print_table(s);
    std::printf("key: inner, ends = the largest error inside [A + w, B - w] (w = (B - A)/7) "
                "and in the end layers; p in, p ends = the observed orders "
                "log(e'/e)/log(h'/h) from the row above; - = not shrinking yet\n");
    for (const Series& se : s) {
        const std::vector<ConvStats>& r = se.rows;
        const Method& m = *se.m;
        if (r.size() < 2) {
            std::printf("%s: one table only, no observed order\n", m.name);
            continue;
        }
        std::size_t last = r.size() - 1;
        std::printf("%s: inner order %s, ends %s\n", m.name,
                    verdict_part(observed(r, last, true), r[last].inner_max, m.order_inner, nullptr,
                                 not_shrinking(r, last, true))
                        .c_str(),
                    verdict_part(observed(r, last, false), r[last].ends_max, m.order_ends,
                                 m.why_ends, not_shrinking(r, last, false))
                        .c_str());
    }
}

// The study of every method on the tables of n0, 2 n0, ... <= n1 rows, each table and
// method a job of its own, the jobs on up to threads threads; the same results whatever
// threads is. On a terminal, from 2 s on, p says how far it is.
void study(long long n0, long long n1, double a, double b, int threads, Study& s, Progress& p) {
    std::vector<int> sizes;
    for (long long n = n0; n <= n1; n *= 2)
        sizes.push_back(static_cast<int>(n));
    for (const Method* m : methods())
        s.push_back({m, std::vector<ConvStats>(sizes.size())});
    // The largest tables first, so that the threads end together.
    std::size_t ms = s.size(), jobs = ms * sizes.size();
    std::atomic<std::size_t> done{0};
    run_jobs(jobs, threads, [&](std::size_t job) {
        std::size_t i = sizes.size() - 1 - job / ms, k = job % ms;
        ConvTable t = conv_table(sizes[i], a, b);
        s[k].rows[i] = conv_stats(t, *s[k].m, a, b);
        progress_say(p, "lorconv: " + std::to_string(++done) + " of " + std::to_string(jobs) +
                            " tables studied (" + s[k].m->word + " on " + grouped(sizes[i]) +
                            " rows)");
    });
}

// The companion of conv.svg (figure): the request, and each method's observed orders at
// the finest tables as the verdicts read them, with the theory's.
std::string companion(const Study& s, const ConvArgs& c, const std::string& command,
                      const std::string& figure) {
    Data d;
    data_put(d, "program", "lorconv");
    data_put(d, "command", command);
    data_put_file(d, "figure", "conv.svg", figure);
    data_put(d, "interval", fmt("%g %g", c.a, c.b));
    data_put(d, "n-first", std::to_string(s[0].rows.front().n));
    data_put(d, "n-last", std::to_string(s[0].rows.back().n));
    std::string names;
    for (const Series& se : s) {
        const std::vector<ConvStats>& r = se.rows;
        std::string m = se.m->name;
        names += (names.empty() ? "" : " ") + m;
        std::size_t last = r.size() - 1;
        data_put(d, m + "-inner", last == 0 ? "-" : order_text(r, last, true));
        data_put(d, m + "-ends", last == 0 ? "-" : order_text(r, last, false));
        data_put(d, m + "-inner-theory", std::to_string(se.m->order_inner));
        data_put(d, m + "-ends-theory", std::to_string(se.m->order_ends));
        data_put(d, m + "-inner-max", fmt("%.3e", r[last].inner_max));
        data_put(d, m + "-ends-max", fmt("%.3e", r[last].ends_max));
    }
    data_put(d, "methods", names);
    return data_text(d);
}

// The study, its results on standard output, then its files; the exit status. Throws
// std::bad_alloc when memory is short.
int run(const ConvArgs& c, const std::string& command) {
    double a = c.a, b = c.b;
    Study s;
    Progress p;
    progress_begin(p);
    try {
        study(c.n0, c.n1, a, b, thread_count(), s, p);
    } catch (...) {
        progress_end(p);
        throw;
    }
    progress_end(p);
    // The results first: a file that cannot be written loses nothing of them.
    print_results(s);
    std::string figure = conv_svg(s, a, b);
    Saved csv = write_csv(s), svg = save_file("conv.svg", figure);
    bool csv_ok = csv.what == Saved::ok, svg_ok = svg.what == Saved::ok;
    if (csv_ok && svg_ok)
        std::printf("wrote conv.csv and conv.svg\n");
    else if (csv_ok || svg_ok)
        std::printf("wrote %s\n", csv_ok ? "conv.csv" : "conv.svg");
    if (!csv_ok)
        tell(save_failure("conv.csv", csv));
    if (!svg_ok)
        tell(save_failure("conv.svg", svg));
    if (csv_ok && svg_ok && c.data != nullptr) {
        Saved d = save_file(c.data, companion(s, c, command, figure));
        if (d.what != Saved::ok) {
            tell(save_failure(c.data, d));
            return 1;
        }
    }
    return csv_ok && svg_ok ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "lorconv", usage_text().c_str()))
        return 0;
    Console& c = console_start("lorconv");
    save_guard_signals();
    ConvArgs args{default_n0, default_n1, default_a, default_b};
    if (std::string wrong = conv_args_fault(argc, argv, &args); !wrong.empty()) {
        tell(wrong);
        std::fputs(usage_text().c_str(), stderr);
        return 2;
    }
    try {
        return console_end(c, run(args, command_text(argc, argv)));
    } catch (const std::bad_alloc&) {
        tell("not enough memory for the study");
        return 1;
    }
}
