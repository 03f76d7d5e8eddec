// lorgen: writes N equally spaced samples of the Lorentzian on [A, B] to standard output, one
// pair a line with 17 significant digits, so that the values read back exactly; or, with
// --tol, a table designed so that an interpolant of it stays within a tolerance.
#include "args.hpp"
#include "design.hpp"
#include "header.hpp"
#include "proc.hpp"
#include "progress.hpp"
#include "save.hpp"
#include "shell.hpp"
#include "spacing.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {
constexpr long long default_n = 29;
// One row: x and y with 17 significant digits, which read back exactly.
constexpr const char* row_format = "%.17g %.17g\n";

// The usage, the methods' names in it.
std::string usage_text() {
    return "usage: lorgen [N [A B]]\n"
           "       lorgen --tol E --method " +
           method_names("|", "|") + "|all" +
           " [--store double|float32]\n"
           "              [--svg FILE] [--format c --name NAME] [A B]\n"
           "Writes N equally spaced samples (x, y) of the Lorentzian 1/(1+((x-3.47)/0.57)^2)\n"
           "on [A, B], one pair a line, \"%.17g %.17g\". Defaults: N = 29, A = 0, B = 7.\n"
           "N >= 1; A < B when N > 1, with B - A finite and the abscissae all apart.\n"
           "With --tol: a table of few rows, placed where the method's error is, whose natural\n"
           "cubic spline (splerr), four-point quadratic (quaderr), or not-a-knot or clamped\n"
           "cubic spline stays within E everywhere, proven by a bound; standard error tells its\n"
           "rows, its largest error and bound, and the rows an evenly spaced table needs.\n"
           "--method all: no table, one decision table of every method on standard output.\n"
           "--store float32: every row a float32 value, the design and its proof of the table\n"
           "as it reads back; a tolerance below what rounding to float32 alone may cost is\n"
           "refused. --format c --name NAME: no rows on standard output; NAME.h, a C99 and C++17\n"
           "header of the table, its evaluator (the suite's values bit for bit) and test\n"
           "vectors, written in the current folder.\n"
           "--svg FILE draws the spacing of the rows. E >= 1e-13.\n"
           "Exit status: 0; 1 when the table or figure cannot be written, or no table of at most\n"
           "16777216 rows reaches E; 2 for wrong arguments.\n";
}

int usage(std::FILE* to, int status) {
    std::fputs(usage_text().c_str(), to);
    return status;
}

// Whether n samples on [a, b] (a < b, b - a finite) keep their abscissae apart, or "". A
// spacing of 4 units in the last place of the largest |x| or more proves it at once (each
// sample is rounded twice, by half a unit each time); a closer one is checked sample by
// sample up to check_most of them, and beyond that refused without the check, which would
// take too long.
std::string spacing_fault(long long n, double a, double b) {
    constexpr long long check_most = 100000000;
    double top = std::fmax(std::fabs(a), std::fabs(b));
    double h = (b - a) / static_cast<double>(n - 1);
    if (h >= 4 * (std::nextafter(top, HUGE_VAL) - top))
        return "";
    char m[200];
    if (n > check_most) {
        std::snprintf(m, sizeof m, "%lld samples on [%.17g, %.17g] are too close to check", n, a,
                      b);
        return std::string(m) +
               ": the spacing is within 4 units of the last place of doubles there";
    }
    // Rows that doubles cannot tell apart would repeat an abscissa.
    for (long long i = 1; i < n; ++i) {
        if (!(sample_x(a, b, n, i) > sample_x(a, b, n, i - 1))) {
            std::snprintf(m, sizeof m, "%lld samples on [%.17g, %.17g] would repeat abscissae", n,
                          a, b);
            return std::string(m) + ": the spacing is below what doubles tell apart there";
        }
    }
    return "";
}

constexpr const char* design_options[] = {"--tol",   "--method", "--svg",
                                          "--store", "--format", "--name"};

bool is_design_option(const char* s) {
    for (const char* o : design_options)
        if (std::strcmp(s, o) == 0)
            return true;
    return false;
}

// What is wrong with an option among the arguments from argv[from] on, or "": options come
// first, and only the design's are known. A number never begins with "--".
std::string option_fault(int argc, char** argv, int from) {
    for (int i = from; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) != 0)
            continue;
        if (!is_design_option(argv[i]))
            return "unknown option " + shown(argv[i]);
        return "options come before A and B";
    }
    return "";
}

// What is wrong with the arguments, in one line, or "" when nothing is.
std::string check_args(int argc, char** argv, long long* n, double* a, double* b) {
    if (std::string w = option_fault(argc, argv, 1); !w.empty())
        return w;
    if (argc == 3 || argc > 4)
        return "give N alone, or N with both A and B";
    if (std::string w = argc >= 2 ? count_fault("N", argv[1], 1, 0, n) : ""; !w.empty())
        return w;
    if (std::string w = argc == 4 ? interval_args(argv[2], argv[3], a, b) : ""; !w.empty())
        return w;
    if (*n < 2)
        return "";
    if (std::string w = interval_fault(*a, *b); !w.empty())
        return w;
    return spacing_fault(*n, *a, *b);
}

// The tolerance design's arguments.
struct DesignArgs {
    double tol = 0;
    const char* tol_text = ""; // as the user typed it
    const Method* method = nullptr;
    bool all = false; // --method all
    const char* svg = nullptr;
    Store store = Store::f64;
    bool store_given = false;
    const char* name = nullptr; // --format c: the header's NAME
    bool c = false;             // --format c
    double a = default_a, b = default_b;
    double fa = default_a, fb = default_b; // [a, b] rounded outward to the store
    std::string command;                   // the command line, for the header's comment
};

// Whether s is a C identifier of at most 64 characters.
bool c_identifier(const char* s) {
    std::size_t n = std::strlen(s);
    if (n == 0 || n > 64 || std::isdigit(static_cast<unsigned char>(s[0])))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!(std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_') ||
            static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

// One of the design's options that takes a word or a name: "" when v is right for it.
std::string word_option(const std::string& o, const char* v, DesignArgs* d) {
    if (o == "--store") {
        if (d->store_given)
            return "--store is given twice";
        d->store_given = true;
        if (std::strcmp(v, "float32") == 0)
            d->store = Store::f32;
        else if (std::strcmp(v, "double") != 0)
            return "the store is double or float32, not \"" + shown(v) + "\"";
    } else if (o == "--format") {
        if (d->c)
            return "--format is given twice";
        if (std::strcmp(v, "c") != 0)
            return "the format is c, not \"" + shown(v) + "\"";
        d->c = true;
    } else {
        if (d->name != nullptr)
            return "--name is given twice";
        if (!c_identifier(v))
            return "NAME must be a C identifier (letters, digits and _, not a digit first; at "
                   "most 64), not \"" +
                   shown(v) + "\"";
        d->name = v;
    }
    return "";
}

// What is wrong with the design's arguments, in one line, or "" when nothing is. The
// options come first; what follows them is A and B, whatever they begin with.
std::string check_design_args(int argc, char** argv, DesignArgs* d) {
    bool tol = false;
    int i = 1;
    for (; i < argc && is_design_option(argv[i]); i += 2) {
        std::string o = argv[i];
        if (i + 1 >= argc)
            return o + " needs a value";
        const char* v = argv[i + 1];
        if (o == "--tol") {
            if (tol)
                return "--tol is given twice";
            tol = true;
            d->tol_text = v;
            if (std::string w = tolerance_arg(v, &d->tol); !w.empty())
                return w;
        } else if (o == "--method") {
            if (d->method != nullptr || d->all)
                return "--method is given twice";
            d->all = std::strcmp(v, "all") == 0;
            d->method = method_named(v);
            if (d->method == nullptr && !d->all)
                return "the method is " + method_names(", ", ", ") + " or all, not \"" + shown(v) +
                       "\"";
        } else if (o == "--svg") {
            if (d->svg != nullptr)
                return "--svg is given twice";
            d->svg = v;
        } else if (std::string w = word_option(o, v, d); !w.empty()) {
            return w;
        }
    }
    if (std::string w = option_fault(argc, argv, i); !w.empty())
        return w;
    if (!tol || (d->method == nullptr && !d->all))
        return "a design needs both --tol E and --method " + method_names("|", "|") + "|all";
    if (d->c != (d->name != nullptr))
        return "--format c and --name NAME go together";
    if (d->c && d->all)
        return "--format c needs one method, not all";
    if (argc - i != 0 && argc - i != 2)
        return "after the options, give both A and B, or neither";
    if (std::string w = argc - i == 2 ? interval_args(argv[i], argv[i + 1], &d->a, &d->b) : "";
        !w.empty())
        return w;
    if (std::string w = interval_fault(d->a, d->b); !w.empty())
        return w;
    if (d->store == Store::f32 && !(std::fmax(std::fabs(d->a), std::fabs(d->b)) <= 1e38))
        return "with --store float32, A and B must lie within [-1e38, 1e38]";
    d->fa = d->a;
    d->fb = d->b;
    round_out(&d->fa, &d->fb, d->store);
    return "";
}

// The rows (each a value of the store) in lorgen's format, their ordinates as stored: 17
// digits read back as the same double for either store.
std::string table_text(const std::vector<double>& x, Store st) {
    std::string text;
    char line[64];
    std::vector<double> y = stored_values(x, st);
    for (std::size_t i = 0; i < x.size(); ++i) {
        int k = std::snprintf(line, sizeof line, row_format, x[i], y[i]);
        text.append(line, static_cast<std::size_t>(k));
    }
    return text;
}

// Reads text back as splerr and quaderr read loren.out (from memory: the loader reads it as
// the file's bytes): "" when it gives the abscissae x and its error is proven within tol
// (the largest and the bound then in *p), else what went wrong.
std::string check_read_back(const std::string& text, const std::vector<double>& x, const Method& m,
                            double tol, int threads, Proven* p) {
    SampleTable t;
    Load s = load_table_memory(text.data(), static_cast<std::int64_t>(text.size()), {0, 0}, 2, t,
                               threads);
    if (s == Load::no_memory)
        throw std::bad_alloc();
    std::string wrong;
    if (s != Load::ok || t.n != static_cast<int>(x.size()) ||
        std::memcmp(t.xa, x.data(), x.size() * sizeof(double)) != 0)
        wrong = "the table does not read back with the abscissae it was designed with";
    else if (*p = table_error(t.xa, t.ya, t.n, m, tol, threads); p->verdict != Verdict::within)
        wrong = "the table read back does not keep the error within the tolerance";
    free_table(t);
    return wrong;
}

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

// One method's design for the request: its table, proven, and its evenly spaced count; or
// why there is none, in a line.
struct Outcome {
    const Method* m = nullptr;
    std::vector<double> x;
    std::string text; // the table in lorgen's format
    Proven p{};
    EvenCount even;
    std::string wrong; // "" when there is a table
    std::string ends;  // its rows close to the ends, told (end_rows_text), or their absence
};

// "within 1e-8 on [0, 7]", E as typed.
std::string where_text(const DesignArgs& d) {
    return "within " + shown(d.tol_text) + " on [" + shortest(d.a) + ", " + shortest(d.b) + "]";
}

// Why a design ended without a table, in a line.
std::string design_failure(const Design& g, const Method& m, const DesignArgs& d) {
    std::string where = where_text(d);
    if (g.end == DesignEnd::gave_up)
        return fmt("the search for a table that keeps %s %s gave up at %lld rows: the largest "
                   "error stayed near %.2g as the rows doubled",
                   m.title, where.c_str(), g.stalled_rows, g.stalled_error);
    std::string why =
        g.end == DesignEnd::too_close    ? ": its rows would be closer than doubles can tell apart"
        : g.end == DesignEnd::not_finite ? ": its values are not finite on intervals this wide"
                                         : " with at most " + std::to_string(max_rows) + " rows";
    return std::string("no table keeps ") + m.title + " " + where + why;
}

// Where a design put a row close to an end, the end condition's error confined between them:
// "; the table depends on its rows 4.59e-08 from 0 and 2.37e-08 from 7", or "".
std::string end_rows_text(const std::vector<double>& x) {
    std::size_t n = x.size();
    auto [front, back] = end_rows(x);
    if (!front && !back)
        return "";
    std::string f = fmt("%.3g from %s", x[1] - x[0], shortest(x[0]).c_str());
    std::string b = fmt("%.3g from %s", x[n - 1] - x[n - 2], shortest(x[n - 1]).c_str());
    if (front && back)
        return "; the table depends on its rows " + f + " and " + b;
    if (front || back)
        return "; the table depends on its row " + (front ? f : b);
    return "";
}

// Why the request is below what rounding to the store alone may cost m, in a line, or "".
std::string below_floor(const DesignArgs& d, const Method& m) {
    double floor = store_floor(d.fa, d.fb, m, d.store);
    if (!(d.tol < 2 * floor))
        return "";
    return fmt("%s tables are not designed below %s for %s on [%s, %s]: rounding the values "
               "alone can cost %s",
               store_name(d.store), fmt_up(2 * floor).c_str(), m.title, shortest(d.a).c_str(),
               shortest(d.b).c_str(), fmt_up(floor).c_str());
}

// The design and count of m for the request, told as they go.
Outcome design_counted(const DesignArgs& d, const Method& m, int threads, const Tell& tell) {
    Outcome o;
    o.m = &m;
    Design g = design_table(d.fa, d.fb, d.tol, m, d.store, threads, tell);
    if (g.end != DesignEnd::reached) {
        o.wrong = design_failure(g, m, d);
        return o;
    }
    o.text = table_text(g.x, d.store);
    o.wrong = check_read_back(o.text, g.x, m, d.tol, threads, &o.p);
    if (!o.wrong.empty())
        return o;
    o.x = std::move(g.x);
    o.ends = end_rows_text(o.x);
    // A table stored in a narrower type may do without the rows the double design puts
    // close to the ends: rounding their values costs more than they save there.
    if (o.ends.empty() && d.store != Store::f64 && m.tuning.end_rows) {
        Design w = design_table(d.fa, d.fb, d.tol, m, Store::f64, threads);
        if (w.end == DesignEnd::reached && !end_rows_text(w.x).empty())
            o.ends = std::string("; no rows close to the ends, unlike in doubles: rounded to ") +
                     store_name(d.store) + " they do not pay";
    }
    o.even = even_rows(d.fa, d.fb, d.tol, m, d.store, threads, tell);
    return o;
}

// The progress line of the design and count of m: "lorgen: evenly spaced rows for the
// quadratic: 1,048,576 ... 2,097,152".
Tell progress_of(Progress& p, const Method& m) {
    return [&p, &m](const char* what, long long lo, long long hi) {
        std::string at = hi > 0 ? grouped(lo) + " ... " + grouped(hi) : grouped(lo);
        progress_say(p, std::string("lorgen: ") + what + " for " + m.word + ": " + at + " rows");
    };
}

// design_counted with a progress line while it runs. Throws std::bad_alloc when memory is
// short, the line cleared.
Outcome design_one(const DesignArgs& d, const Method& m, int threads) {
    Progress p;
    progress_begin(p);
    try {
        Outcome o = design_counted(d, m, threads, progress_of(p, m));
        progress_end(p);
        return o;
    } catch (...) {
        progress_end(p);
        throw;
    }
}

// Writes the figure of the methods' spacings to d.svg; false, told, when it cannot.
bool write_spacing(const DesignArgs& d, const std::vector<Spacing>& s, const std::string& heading) {
    if (Saved w = save_file(d.svg, spacing_svg(s, d.a, d.b, heading)); w.what != Saved::ok) {
        std::string name = (w.what == Saved::not_regular ? "--svg " : "") + shown(d.svg);
        std::fprintf(stderr, "lorgen: %s\n", save_failure(name, w).c_str());
        return false;
    }
    return true;
}

// "; its ends rounded out to float32: 0.099999994 and 7", or "" where they are A and B.
std::string ends_text(const DesignArgs& d) {
    if (d.fa == d.a && d.fb == d.b)
        return "";
    return std::string("; its ends rounded out to ") + store_name(d.store) + ": " + shortest(d.fa) +
           " and " + shortest(d.fb);
}

// The table of o to standard output, or with --format c its header to NAME.h; false, told,
// when it cannot be written.
bool put_table(const DesignArgs& d, const Outcome& o) {
    if (d.c) {
        Export e{d.name, *o.m, d.store, o.x, d.tol_text, d.fa, d.fb, o.p, d.command};
        std::string path = std::string(d.name) + ".h";
        std::string text, wrong = c_header(e, &text);
        Saved w = wrong.empty() ? save_file(path, text) : Saved{};
        if (wrong.empty() && w.what != Saved::ok)
            wrong = save_failure(path, w);
        if (!wrong.empty())
            std::fprintf(stderr, "lorgen: %s\n", wrong.c_str());
        return wrong.empty();
    }
    if (std::fwrite(o.text.data(), 1, o.text.size(), stdout) != o.text.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "lorgen: cannot write the table: %s\n", std::strerror(errno));
        return false;
    }
    return true;
}

// lorgen --tol E --method M: the table on standard output (or in NAME.h), the line on
// standard error; a request below the store's floor refused before any work.
int one_main(const DesignArgs& d, const Method& m, int threads) {
    if (std::string w = below_floor(d, m); !w.empty()) {
        std::fprintf(stderr, "lorgen: %s\n", w.c_str());
        return 1;
    }
    Outcome o = design_one(d, m, threads);
    if (!o.wrong.empty()) {
        std::fprintf(stderr, "lorgen: %s\n", o.wrong.c_str());
        return 1;
    }
    if (!put_table(d, o))
        return 1;
    std::string tol = shown(d.tol_text);
    std::string rows = std::to_string(o.x.size()) +
                       (d.store == Store::f32 ? std::string(" ") + store_name(d.store) : "");
    std::fprintf(stderr,
                 "lorgen: %s rows keep %s %s (largest %.2e at x = %.3g, bound %s)%s%s; %s\n",
                 rows.c_str(), m.title, where_text(d).c_str(), o.p.largest.err, o.p.largest.x,
                 fmt_up(o.p.bound).c_str(), ends_text(d).c_str(), o.ends.c_str(),
                 even_text(o.even, tol).c_str());
    if (d.c)
        std::fprintf(stderr, "lorgen: wrote %s.h\n", d.name);
    std::string heading = fmt("Where the rows go: %s %s", m.title, where_text(d).c_str());
    return d.svg == nullptr || write_spacing(d, {{m.label, o.x, o.even.rows}}, heading) ? 0 : 1;
}

// lorgen --tol E --method all: every method's design and count, one decision table on
// standard output, the methods that have none told on standard error.
int all_main(const DesignArgs& d, int threads) {
    // The methods below the store's floor are refused before any work; when all are, there is
    // no table at all.
    std::vector<std::string> refused;
    for (const Method* m : methods())
        refused.push_back(below_floor(d, *m));
    if (std::none_of(refused.begin(), refused.end(), [](auto& w) { return w.empty(); })) {
        for (const std::string& w : refused)
            std::fprintf(stderr, "lorgen: %s\n", w.c_str());
        return 1;
    }
    std::vector<Outcome> out;
    std::size_t fewest = 0;
    for (const Method* m : methods()) {
        Outcome o;
        o.m = m;
        o.wrong = refused[out.size()];
        out.push_back(o.wrong.empty() ? design_one(d, *m, threads) : std::move(o));
        if (out.back().wrong.empty() &&
            (!out[fewest].wrong.empty() || out.back().x.size() < out[fewest].x.size()))
            fewest = out.size() - 1;
    }
    std::string rows =
        d.store == Store::f32 ? std::string("Rows of ") + store_name(d.store) : "Rows";
    std::string t = rows + " that keep each method " + where_text(d) + ", proven by the bound:\n" +
                    fmt("%-12s %14s %10s %10s %14s %9s\n", "method", "evenly spaced", "designed",
                        "bytes", "largest error", "bound");
    std::vector<Spacing> s;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Outcome& o = out[i];
        if (!o.wrong.empty()) {
            t += fmt("%-12s %14s %10s %10s %14s %9s\n", o.m->name, "-", "-", "-", "-", "-");
            continue;
        }
        std::string even =
            o.even.rows > 0 ? std::to_string(o.even.rows) : "> " + std::to_string(max_rows);
        const std::string& ends = o.ends;
        // The bytes of the designed table: its abscissae and ordinates in the store.
        long long bytes = 2LL * store_bytes(d.store) * static_cast<long long>(o.x.size());
        t += fmt("%-12s %14s %10s %10s %14.2e %9s", o.m->name, even.c_str(),
                 std::to_string(o.x.size()).c_str(), std::to_string(bytes).c_str(), o.p.largest.err,
                 fmt_up(o.p.bound).c_str()) +
             (i == fewest ? "  fewest rows" : "") +
             (ends.empty() ? "" : "  (" + ends.substr(2) + ")") + "\n";
        s.push_back({o.m->name, o.x, o.even.rows});
    }
    bool ok = std::fwrite(t.data(), 1, t.size(), stdout) == t.size() && std::fflush(stdout) == 0;
    if (!ok)
        std::fprintf(stderr, "lorgen: cannot write the table: %s\n", std::strerror(errno));
    for (const Outcome& o : out)
        if (!o.wrong.empty()) {
            std::fprintf(stderr, "lorgen: %s\n", o.wrong.c_str());
            ok = false;
        }
    std::string heading = "Where the rows go: each method " + where_text(d);
    if (d.svg != nullptr && !s.empty() && !write_spacing(d, s, heading))
        ok = false;
    return ok ? 0 : 1;
}

// lorgen --tol E --method M|all [--svg FILE] [A B].
int design_main(int argc, char** argv) {
    DesignArgs d;
    d.command = "lorgen";
    for (int i = 1; i < argc; ++i) {
        d.command += ' ';
        d.command += shown(argv[i]);
    }
    std::string wrong = check_design_args(argc, argv, &d);
    if (!wrong.empty() || (d.method == nullptr && !d.all)) {
        std::fprintf(stderr, "lorgen: %s\n", wrong.c_str());
        return usage(stderr, 2);
    }
    if (d.c && save_refuses(std::string(d.name) + ".h")) {
        std::fprintf(stderr, "lorgen: %s.h is not a regular file; nothing written\n", d.name);
        return 1;
    }
    if (d.svg != nullptr && save_refuses(d.svg)) {
        std::fprintf(stderr, "lorgen: --svg %s is not a regular file; nothing written\n",
                     shown(d.svg).c_str());
        return 1;
    }
    int threads = thread_count();
    return d.all ? all_main(d, threads) : one_main(d, *d.method, threads);
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "lorgen", usage_text().c_str()))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    if (argc >= 2 && is_design_option(argv[1])) {
        try {
            return design_main(argc, argv);
        } catch (const std::bad_alloc&) {
            std::fputs("lorgen: not enough memory for the design\n", stderr);
            return 1;
        }
    }
    long long n = default_n;
    double a = default_a, b = default_b;
    if (std::string wrong = check_args(argc, argv, &n, &a, &b); !wrong.empty()) {
        std::fprintf(stderr, "lorgen: %s\n", wrong.c_str());
        return usage(stderr, 2);
    }
    static char buf[1 << 16];
    std::setvbuf(stdout, buf, _IOFBF, sizeof buf);
    for (long long i = 0; i < n; ++i) {
        double x = sample_x(a, b, n, i);
        std::printf(row_format, x, lorentz(x));
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "lorgen: cannot write the table: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
