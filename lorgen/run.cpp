// run: lorgen's designs as a user asks for them: designed, proven as they read back, counted,
// put out and told.
#include "lorgen.hpp"

#include "limits.hpp"

#include "progress.hpp"
#include "save.hpp"
#include "shell.hpp"
#include "spacing.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {
// Reads text back as splerr and quaderr read loren.out (from memory: the loader reads it as
// the file's bytes): "" when it gives the abscissae x and its error is proven within d.tol
// for d's arithmetic (the largest and the bound then in *p), else what went wrong.
std::string check_read_back(const std::string& text, const std::vector<double>& x, const Method& m,
                            const DesignArgs& d, int threads, Proven* p) {
    SampleTable t;
    Load s = load_table_memory(text.data(), static_cast<std::int64_t>(text.size()), {0, 0}, 2, t,
                               threads);
    if (s == Load::no_memory)
        throw std::bad_alloc();
    std::string wrong;
    if (s != Load::ok || t.n != static_cast<int>(x.size()) ||
        std::memcmp(t.xa, x.data(), x.size() * sizeof(double)) != 0)
        wrong = "the table does not read back with the abscissae it was designed with";
    else if (*p = table_error(t.xa, t.ya, t.n, m, d.tol, threads, single(d.store));
             p->verdict != Verdict::within)
        wrong = "the table read back does not keep the error within the tolerance";
    free_table(t);
    return wrong;
}

// Whether every piece of the grid g's table x (rows as stored) is proven within d.tol as far
// past its rows as the computed interval takes it; the errors there and their bounds join *p.
bool past_rows(const std::vector<double>& x, const EvenGrid& g, const Method& m,
               const DesignArgs& d, Proven* p) {
    std::vector<double> y = stored_values(x, d.store), e = even_edges(g, x);
    DenseTable t = dense_prepare(x.data(), y.data(), g.n, m, 1, single(d.store));
    for (int k = 1; k + 1 < g.n; ++k) {
        double at = e[static_cast<std::size_t>(k - 1)], row = x[static_cast<std::size_t>(k)];
        if (at == row)
            continue;
        double before = just_below(g, at);
        PieceError pe = at < row ? piece_error(t, k, at, row) : piece_error(t, k - 1, row, before);
        if (pe.largest.err > p->largest.err)
            p->largest = pe.largest;
        p->bound = std::fmax(p->bound, pe.bound);
    }
    return p->bound <= d.tol;
}

// The evenly spaced table of --spacing even, whose header computes its rows and intervals
// from x: the count's rows (known, or counted here), a row more at a time (up to 64) until that
// grid is proven within E, as its rows read back and past them (past_rows).
Outcome even_counted(const DesignArgs& d, const Method& m, int threads, const Tell& tell,
                     const EvenCount* known = nullptr) {
    Outcome o;
    o.m = &m;
    o.grid = true;
    o.even = known != nullptr ? *known : even_rows({d.fa, d.fb, d.tol, &m, d.store, threads}, tell);
    long long from = o.even.rows, to = std::min(from + 64, max_rows);
    for (long long n = from; n > 0 && n <= to; ++n) {
        EvenGrid g = even_grid(d.fa, d.fb, static_cast<int>(n), d.store);
        std::vector<double> x = even_nodes(g);
        o.text = table_text(x, d.store);
        if (check_read_back(o.text, x, m, d, threads, &o.p).empty() &&
            past_rows(x, g, m, d, &o.p)) {
            o.x = std::move(x);
            return o;
        }
    }
    o.wrong = std::string("no evenly spaced table of ") +
              (from > 0 ? "up to " + std::to_string(to) : "at most " + std::to_string(max_rows)) +
              " rows keeps " + m.title + " " + where_text(d);
    return o;
}

// The design and count of m for the request, told as they go.
Outcome design_counted(const DesignArgs& d, const Method& m, int threads, const Tell& tell) {
    if (d.even)
        return even_counted(d, m, threads, tell);
    Outcome o;
    o.m = &m;
    Request r{d.fa, d.fb, d.tol, &m, d.store, threads};
    Design g = design_table(r, tell);
    if (g.end != DesignEnd::reached) {
        o.wrong = design_failure(g, m, d);
        return o;
    }
    o.text = table_text(g.x, d.store);
    o.wrong = check_read_back(o.text, g.x, m, d, threads, &o.p);
    if (!o.wrong.empty())
        return o;
    o.x = std::move(g.x);
    o.ends = end_rows_text(o.x);
    // A table stored in a narrower type may do without the rows the double design puts
    // close to the ends: rounding their values costs more than they save there.
    if (o.ends.empty() && d.store != Store::f64 && m.tuning.end_rows) {
        Design w = design_table({r.a, r.b, r.tol, &m, Store::f64, threads});
        if (w.end == DesignEnd::reached && !end_rows_text(w.x).empty())
            o.ends = no_end_rows_text(d.store);
    }
    o.even = even_rows(r, tell);
    return o;
}

// design_counted with a progress line while it runs: "lorgen: evenly spaced rows for the
// quadratic: 1,048,576 ... 2,097,152 rows". The line is cleared however it ends. With
// grid_of, the evenly spaced table of its count instead (even_counted).
Outcome design_one(const DesignArgs& d, const Method& m, int threads,
                   const Outcome* grid_of = nullptr) {
    Progress p;
    progress_begin(p);
    Tell tell = [&p, &m](const char* what, long long lo, long long hi) {
        std::string at = hi > 0 ? grouped(lo) + " ... " + grouped(hi) : grouped(lo);
        progress_say(p, std::string("lorgen: ") + what + " for " + m.word + ": " + at + " rows");
    };
    try {
        Outcome o = grid_of != nullptr ? even_counted(d, m, threads, tell, &grid_of->even)
                                       : design_counted(d, m, threads, tell);
        progress_end(p);
        return o;
    } catch (...) {
        progress_end(p);
        throw;
    }
}

// Writes the figure of the methods' spacings to d.svg; false, told, when it cannot.
bool write_spacing(const DesignArgs& d, const std::vector<Spacing>& s, const Method* m,
                   std::string* svg) {
    std::string text = spacing_svg(s, d.a, d.b, spacing_heading(d, m));
    if (svg != nullptr)
        *svg = text;
    if (Saved w = save_file(d.svg, text, d.force); w.what != Saved::ok) {
        tell(save_text((w.what == Saved::not_regular ? "--svg " : "") + shown(d.svg), w));
        return false;
    }
    return true;
}

// text to standard output; false, told, when it cannot be written.
bool put_out(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return true;
    tell(std::string("cannot write the table: ") + std::strerror(errno));
    return false;
}

// The table of o in d's form, to standard output or to its file; false, told, when it cannot
// be made or written.
bool put_table(const DesignArgs& d, const Outcome& o) {
    std::string text, wrong = d.form->text(d, o, &text);
    if (wrong.empty() && d.form->suffix == nullptr)
        return put_out(text);
    std::string path = std::string(d.name != nullptr ? d.name : "") + d.form->suffix;
    Saved w = wrong.empty() ? save_file(path, text, d.force) : Saved{};
    if (wrong.empty() && w.what != Saved::ok)
        wrong = save_text(path, w);
    if (!wrong.empty())
        tell(wrong);
    return wrong.empty();
}
// NAME.sollya and NAME.gappa of o's table (--certify), each told as it is written; false,
// told, when one cannot be.
bool put_certificates(const DesignArgs& d, const Outcome& o) {
    Export e{d.name, *o.m, d.store, o.x, d.tol_text, d.fa, d.fb, o.p, d.command, o.even.rows};
    for (const char* suffix : {".sollya", ".gappa"}) {
        std::string path = d.name + std::string(suffix);
        std::string text = suffix[1] == 's' ? sollya_text(e) : gappa_text(e);
        if (Saved w = save_file(path, text, d.force); w.what != Saved::ok) {
            tell(save_text(path, w));
            return false;
        }
        tell("wrote " + path);
    }
    return true;
}
} // namespace

int one_main(const DesignArgs& d, int threads) {
    const Method& m = *d.method;
    if (std::string w = below_floor(d, m); !w.empty()) {
        tell(w);
        return 1;
    }
    Outcome o = design_one(d, m, threads);
    if (!o.wrong.empty()) {
        tell(o.wrong);
        return 1;
    }
    if (d.certify && o.x.size() > certified_rows) {
        tell(fmt("no certificates for %zu rows: --certify takes tables of at most %zu, as the "
                 "provers' time grows with the rows; nothing written",
                 o.x.size(), certified_rows));
        return 1;
    }
    if (!put_table(d, o))
        return 1;
    tell(result_line(d, o));
    if (d.form->suffix != nullptr)
        tell(std::string("wrote ") + d.name + d.form->suffix);
    if (d.certify && !put_certificates(d, o))
        return 1;
    return d.svg == nullptr ||
                   write_spacing(d, {{m.label, m.colour, o.x, o.even.rows}}, &m, nullptr)
               ? 0
               : 1;
}

namespace {
// The decision table's companion, where --data asks for it; false, told, when it cannot be
// written.
bool put_data(const DesignArgs& d, const std::vector<Outcome>& out,
              const std::vector<Outcome>& grids, std::size_t fewest, const std::string& svg) {
    if (d.data == nullptr)
        return true;
    Saved w = save_file(d.data, decision_data(d, out, grids, fewest, svg), d.force);
    if (w.what == Saved::ok)
        return true;
    tell(save_text(shown(d.data), w));
    return false;
}

// Every method refused below the store's floor: no table at all; each told, and the companion
// says why for each, so that a page can show it. Status 1.
int all_refused(const DesignArgs& d, const std::vector<std::string>& refused) {
    std::vector<Outcome> none;
    for (const Method* m : methods()) {
        tell(refused[none.size()]);
        none.emplace_back();
        none.back().m = m;
        none.back().wrong = refused[none.size() - 1];
    }
    put_data(d, none, none, 0, "");
    return 1;
}
} // namespace

int all_main(const DesignArgs& d, int threads) {
    // The methods below the store's floor are refused before any work.
    std::vector<std::string> refused;
    for (const Method* m : methods())
        refused.push_back(below_floor(d, *m));
    if (std::none_of(refused.begin(), refused.end(), [](auto& w) { return w.empty(); }))
        return all_refused(d, refused);
    std::vector<Outcome> out, grids;
    std::size_t fewest = 0;
    for (const Method* m : methods()) {
        Outcome o;
        o.m = m;
        o.wrong = refused[out.size()];
        out.push_back(o.wrong.empty() ? design_one(d, *m, threads) : o);
        // The evenly spaced table as --spacing even would ship it, from the count's rows; a
        // method without a design has none either.
        grids.push_back(out.back().wrong.empty() ? design_one(d, *m, threads, &out.back())
                                                 : out.back());
        if (out.back().wrong.empty() &&
            (!out[fewest].wrong.empty() || out.back().x.size() < out[fewest].x.size()))
            fewest = out.size() - 1;
    }
    bool ok = put_out(decision_table(d, out, grids, fewest));
    std::vector<Spacing> s;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Outcome& o = out[i];
        if (!o.wrong.empty()) {
            tell(o.wrong);
            ok = false;
            continue;
        }
        // An evenly spaced table beyond reach is the table's to show, not a failure.
        if (!grids[i].wrong.empty() && grids[i].even.rows > 0)
            tell(grids[i].wrong);
        s.push_back({o.m->name, o.m->colour, o.x, o.even.rows});
    }
    std::string svg;
    if (d.svg != nullptr && !s.empty() && !write_spacing(d, s, nullptr, &svg)) {
        ok = false;
        svg.clear(); // not written: the companion names no figure
    }
    // The companion of the table as printed, a method without a table with its reason.
    return put_data(d, out, grids, fewest, svg) && ok ? 0 : 1;
}
