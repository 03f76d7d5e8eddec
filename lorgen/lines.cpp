// lines: what lorgen tells of its designs, on standard error and in its decision table.
#include "lorgen.hpp"

#include "data.hpp"
#include "header.hpp"
#include "limits.hpp"
#include "shell.hpp"
#include "svg.hpp"

#include <limits>

std::string where_text(const DesignArgs& d) {
    return "within " + shown(d.tol_text) + " on [" + shortest(d.a) + ", " + shortest(d.b) + "]";
}

std::string design_failure(const Design& g, const Method& m, const DesignArgs& d) {
    std::string where = where_text(d);
    if (g.end == DesignEnd::gave_up)
        return fmt("the search for a table that keeps %s %s gave up at %lld rows: the largest "
                   "error stayed near %.2g as the rows doubled",
                   m.title, where.c_str(), g.stalled_rows, g.stalled_error);
    std::string why = g.end == DesignEnd::too_close
                          ? ": its rows would be closer than doubles can tell apart"
                      : g.end == DesignEnd::not_finite
                          ? ": its values or their bound are not finite on intervals this wide"
                          : " with at most " + std::to_string(max_rows) + " rows";
    return std::string("no table keeps ") + m.title + " " + where + why;
}

std::string end_rows_text(const std::vector<double>& x) {
    std::size_t n = x.size();
    auto [front, back] = end_rows(x);
    if (!front && !back)
        return "";
    std::string f = fmt("%.3g from %s", x[1] - x[0], shortest(x[0]).c_str());
    std::string b = fmt("%.3g from %s", x[n - 1] - x[n - 2], shortest(x[n - 1]).c_str());
    if (front && back)
        return "; the table depends on its rows " + f + " and " + b;
    return "; the table depends on its row " + (front ? f : b);
}

std::string no_end_rows_text(Store s) {
    return std::string("; no rows close to the ends, unlike in doubles: rounded to ") +
           store_name(s) + " they do not pay";
}

std::string below_floor(const DesignArgs& d, const Method& m) {
    double floor = store_floor(d.fa, d.fb, m, d.store);
    if (!(d.tol < 2 * floor))
        return "";
    return fmt("%s tables%s are not designed below %s for %s on [%s, %s]: rounding the values "
               "%s can cost %s",
               store_name(d.store), single(d.store) ? " in float32 arithmetic" : "",
               fmt_up(2 * floor).c_str(), m.title, shortest(d.a).c_str(), shortest(d.b).c_str(),
               single(d.store) ? "and the arithmetic" : "alone", fmt_up(floor).c_str());
}

namespace {
// "evenly spaced: 1722 rows meet 1e-08 (1721 do not)", or "(1721 not proven)" where the
// largest error of one row fewer is within E but its bound is not.
std::string even_text(const EvenCount& c, const std::string& tol) {
    if (c.rows == 0)
        return "evenly spaced: more than " + std::to_string(max_rows) + " rows";
    std::string s = "evenly spaced: " + std::to_string(c.rows) + " rows meet " + tol;
    if (c.fewer == Verdict::within)
        return s;
    return s + " (" + std::to_string(c.rows - 1) +
           (c.fewer == Verdict::above ? " do not)" : " not proven)");
}

// "; its ends rounded out to float32: 0.099999994 and 7", or "" where they are A and B.
std::string ends_text(const DesignArgs& d) {
    if (d.fa == d.a && d.fb == d.b)
        return "";
    return std::string("; its ends rounded out to ") + store_name(d.store) + ": " + shortest(d.fa) +
           " and " + shortest(d.fb);
}
} // namespace

std::string result_line(const DesignArgs& d, const Outcome& o) {
    std::string rows = std::to_string(o.x.size()) +
                       (d.store != Store::f64 ? std::string(" ") + store_name(d.store) : "");
    if (o.grid)
        return fmt("%s evenly spaced rows keep %s %s%s (largest %.2e at x = %.3g, bound %s)%s, "
                   "each interval computed from x: no abscissae stored%s",
                   rows.c_str(), o.m->title, where_text(d).c_str(),
                   single(d.store) ? " in float32 arithmetic" : "", o.p.largest.err, o.p.largest.x,
                   fmt_up(o.p.bound).c_str(), ends_text(d).c_str(),
                   o.x.size() > static_cast<std::size_t>(o.even.rows)
                       ? fmt(" (a search's interval: %lld rows)", o.even.rows).c_str()
                       : "");
    double fewest = asymptotic_rows(d.fa, d.fb, *o.m, d.tol);
    std::string estimate =
        fewest > 0 ? fmt("; the asymptotic estimate of the fewest: about %.0f", fewest) : "";
    return fmt("%s rows keep %s %s%s (largest %.2e at x = %.3g, bound %s)%s%s%s; %s", rows.c_str(),
               o.m->title, where_text(d).c_str(), single(d.store) ? " in float32 arithmetic" : "",
               o.p.largest.err, o.p.largest.x, fmt_up(o.p.bound).c_str(), ends_text(d).c_str(),
               o.ends.c_str(), estimate.c_str(), even_text(o.even, shown(d.tol_text)).c_str());
}

namespace {
// The bytes of a table's rows in the store and of m's own arrays, and of one row of the
// evenly spaced table (its ordinate and m's own entries; no abscissa).
struct Shares {
    long long base = 0, even_row = 0;
};
Shares shares_of(const Method& m, const std::vector<double>& x, Store s) {
    auto n = static_cast<long long>(x.size());
    Shares sh{2LL * store_bytes(s) * n, store_bytes(s)};
    if (m.ships.empty())
        return sh;
    std::vector<double> y = stored_values(x, s);
    DenseTable t = dense_prepare(x.data(), y.data(), static_cast<int>(n), m);
    for (const Shipped& a : m.ships) {
        long long each = single(s) ? 4 : 8;
        sh.base += each * static_cast<long long>(t.own[static_cast<std::size_t>(a.array)].size());
        sh.even_row += each;
    }
    return sh;
}

// The index for sh's table within the bytes left below the evenly spaced table's.
Index index_within(const Shares& sh, const std::vector<double>& x, long long even_rows) {
    long long most = std::numeric_limits<long long>::max();
    if (even_rows > 0) {
        long long entry = x.size() - 1 < 65536 ? 2 : 4;
        most = std::max(1LL, (even_rows * sh.even_row - sh.base - 1) / entry);
    }
    return table_index(x, most);
}
} // namespace

Footprint footprint(const Method& m, const std::vector<double>& x, Store s, long long even_rows,
                    bool grid) {
    Shares sh = shares_of(m, x, s);
    if (grid)
        return {{}, sh.base - static_cast<long long>(x.size()) * store_bytes(s)};
    Footprint f{index_within(sh, x, even_rows), 0};
    f.bytes = sh.base + static_cast<long long>(f.index.first.size()) * f.index.entry_bytes;
    return f;
}

namespace {
// The rows cell of a spacing without a table: "> 16777216" where no count reaches E, else "-".
std::string rows_cell(const Outcome& o) {
    return o.grid && o.even.rows == 0 ? "> " + std::to_string(max_rows) : "-";
}

// What a table ships and costs: its bytes as its header ships them, and the work of one
// lookup through that header at its worst.
struct Cost {
    long long bytes = 0;
    Lookup work;
};
Cost cost_of(const DesignArgs& d, const Outcome& o) {
    Footprint f = footprint(*o.m, o.x, d.store, o.even.rows, o.grid);
    return {f.bytes, lookup_work(*o.m, o.x, o.grid ? nullptr : &f.index, d.store)};
}

// "12 13 4 12": a lookup's reads, multiplications, divisions and comparisons.
std::string work_text(const Lookup& w) {
    return fmt("%d %d %d %d", w.reads, w.mul, w.div, w.cmp);
}

// The fields of one spacing's table ("designed", "even") of method m.
void put_spacing(Data& t, const DesignArgs& d, const Outcome& o, const std::string& key) {
    const std::string m = o.m->name;
    bool even = key == "even";
    if (!o.wrong.empty()) { // no evenly spaced table: its count, or "-", and no figures
        data_put(t, m + "-even", rows_cell(o));
        for (const char* k : {"-even-bytes", "-even-work", "-even-largest", "-even-bound"})
            data_put(t, m + k, "-");
        return;
    }
    Cost c = cost_of(d, o);
    data_put(t, m + "-" + key, std::to_string(o.x.size()));
    data_put(t, m + (even ? "-even-bytes" : "-bytes"), std::to_string(c.bytes));
    data_put(t, m + "-" + key + "-work", work_text(c.work));
    data_put(t, m + (even ? "-even-largest" : "-largest"), fmt("%.2e", o.p.largest.err));
    data_put(t, m + (even ? "-even-bound" : "-bound"), fmt_up(o.p.bound));
}
} // namespace

std::string decision_data(const DesignArgs& d, const std::vector<Outcome>& out,
                          const std::vector<Outcome>& grids, std::size_t fewest,
                          const std::string& svg) {
    Data t;
    data_put(t, "program", "lorgen");
    data_put(t, "command", d.command);
    if (!svg.empty())
        data_put_file(t, "figure", d.svg, svg);
    data_put(t, "tolerance", shown(d.tol_text));
    data_put(t, "interval", shortest(d.a) + " " + shortest(d.b));
    data_put(t, "store", store_name(d.store));
    if (single(d.store))
        data_put(t, "arithmetic", arith_name(d.store));
    std::string names;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Outcome &o = out[i], &g = grids[i];
        std::string m = o.m->name;
        names += (names.empty() ? "" : " ") + m;
        if (!o.wrong.empty()) {
            data_put(t, m + "-none", o.wrong);
            continue;
        }
        put_spacing(t, d, o, "designed");
        put_spacing(t, d, g, "even");
    }
    data_put(t, "methods", names);
    data_put(t, "fewest", out[fewest].wrong.empty() ? out[fewest].m->name : "none");
    return data_text(t);
}

namespace {
// One line of the decision table: the method, the spacing and its figures ("-" for none).
std::string decision_line(const DesignArgs& d, const Outcome& o, const char* spacing) {
    if (!o.wrong.empty())
        return fmt("%-12s %-13s %7s %9s %6s %4s %4s %4s %14s %9s", o.m->name, spacing,
                   rows_cell(o).c_str(), "-", "-", "-", "-", "-", "-", "-");
    Cost c = cost_of(d, o);
    return fmt("%-12s %-13s %7zu %9lld %6d %4d %4d %4d %14.2e %9s", o.m->name, spacing, o.x.size(),
               c.bytes, c.work.reads, c.work.mul, c.work.div, c.work.cmp, o.p.largest.err,
               fmt_up(o.p.bound).c_str());
}
} // namespace

std::string decision_table(const DesignArgs& d, const std::vector<Outcome>& out,
                           const std::vector<Outcome>& grids, std::size_t fewest) {
    std::string rows =
        d.store != Store::f64 ? std::string("Rows of ") + store_name(d.store) : "Rows";
    if (single(d.store))
        rows += ", evaluated in float32 arithmetic,";
    std::string t = rows + " that keep each method " + where_text(d) +
                    ", proven by the bound; the\n"
                    "work of one lookup through the exported header at its worst: table entries "
                    "read,\nmultiplications, divisions and comparisons of numbers:\n" +
                    fmt("%-12s %-13s %7s %9s %6s %4s %4s %4s %14s %9s\n", "method", "spacing",
                        "rows", "bytes", "reads", "mul", "div", "cmp", "largest error", "bound");
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Outcome& o = out[i];
        t += decision_line(d, o, "designed") + (i == fewest ? "  fewest rows" : "") +
             (o.ends.empty() ? "" : "  (" + o.ends.substr(2) + ")") + "\n" +
             decision_line(d, grids[i], "evenly spaced") + "\n";
    }
    return t;
}

std::string spacing_heading(const DesignArgs& d, const Method* m) {
    if (m == nullptr)
        return "Where the rows go: each method " + where_text(d);
    return fmt("Where the rows go: %s %s", m->title, where_text(d).c_str());
}

std::string save_text(const std::string& name, const Saved& s) {
    std::string t = save_failure(name, s);
    return s.what == Saved::exists ? t + " (--force replaces it)" : t;
}
