// lorgen: writes N equally spaced samples of the Lorentzian on [A, B] to standard output, one
// pair a line with 17 significant digits, so that the values read back exactly; or, with
// --tol, a table designed so that an interpolant of it stays within a tolerance.
#include "args.hpp"
#include "design.hpp"
#include "proc.hpp"
#include "save.hpp"
#include "shell.hpp"
#include "spacing.hpp"
#include "svg.hpp"

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
           method_names("|", "|") +
           " [--svg FILE] [A B]\n"
           "Writes N equally spaced samples (x, y) of the Lorentzian 1/(1+((x-3.47)/0.57)^2)\n"
           "on [A, B], one pair a line, \"%.17g %.17g\". Defaults: N = 29, A = 0, B = 7.\n"
           "N >= 1; A < B when N > 1, with B - A finite and the abscissae all apart.\n"
           "With --tol: a table of few rows, placed where the method's error is, whose natural\n"
           "cubic spline (splerr) or four-point quadratic (quaderr) stays within E everywhere,\n"
           "proven by a bound; standard error tells its rows, its largest error and bound, and\n"
           "the rows an evenly spaced table needs. --svg FILE draws the spacing of both.\n"
           "E >= 1e-13.\n"
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

// What is wrong with the arguments, in one line, or "" when nothing is.
std::string check_args(int argc, char** argv, long long* n, double* a, double* b) {
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
    const char* svg = nullptr;
    double a = default_a, b = default_b;
};

bool is_design_option(const char* s) {
    return std::strcmp(s, "--tol") == 0 || std::strcmp(s, "--method") == 0 ||
           std::strcmp(s, "--svg") == 0;
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
            if (d->method != nullptr)
                return "--method is given twice";
            d->method = method_named(v);
            if (d->method == nullptr)
                return "the method is " + method_names(", ", " or ") + ", not \"" + shown(v) + "\"";
        } else {
            if (d->svg != nullptr)
                return "--svg is given twice";
            d->svg = v;
        }
    }
    if (!tol || d->method == nullptr)
        return "a design needs both --tol E and --method " + method_names("|", "|");
    if (argc - i != 0 && argc - i != 2)
        return "after the options, give both A and B, or neither";
    if (std::string w = argc - i == 2 ? interval_args(argv[i], argv[i + 1], &d->a, &d->b) : "";
        !w.empty())
        return w;
    return interval_fault(d->a, d->b);
}

// The shortest text that reads back as v.
std::string shortest(double v) {
    char b[40];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

// The rows in lorgen's format.
std::string table_text(const std::vector<double>& x) {
    std::string text;
    char line[64];
    for (double v : x) {
        int k = std::snprintf(line, sizeof line, row_format, v, lorentz(v));
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

// lorgen --tol E --method M [--svg FILE] [A B].
int design_main(int argc, char** argv) {
    DesignArgs d;
    std::string wrong = check_design_args(argc, argv, &d);
    if (!wrong.empty() || d.method == nullptr) {
        std::fprintf(stderr, "lorgen: %s\n", wrong.c_str());
        return usage(stderr, 2);
    }
    if (d.svg != nullptr && save_refuses(d.svg)) {
        std::fprintf(stderr, "lorgen: --svg %s is not a regular file; nothing written\n",
                     shown(d.svg).c_str());
        return 1;
    }
    const Method& m = *d.method;
    const char* name = m.title;
    std::string tol = shown(d.tol_text);
    std::string where = "within " + tol + " on [" + shortest(d.a) + ", " + shortest(d.b) + "]";
    int threads = thread_count();
    Design g = design_table(d.a, d.b, d.tol, m, threads);
    if (g.end == DesignEnd::gave_up) {
        std::fprintf(stderr,
                     "lorgen: the search for a table that keeps %s %s gave up at %lld rows: the "
                     "largest error stayed near %.2g as the rows doubled\n",
                     name, where.c_str(), g.stalled_rows, g.stalled_error);
        return 1;
    }
    if (g.end != DesignEnd::reached) {
        std::string why = g.end == DesignEnd::too_close
                              ? ": its rows would be closer than doubles can tell apart"
                          : g.end == DesignEnd::not_finite
                              ? ": its values are not finite on intervals this wide"
                              : " with at most " + std::to_string(max_rows) + " rows";
        std::fprintf(stderr, "lorgen: no table keeps %s %s%s\n", name, where.c_str(), why.c_str());
        return 1;
    }
    std::string text = table_text(g.x);
    Proven p{};
    if (std::string wrong = check_read_back(text, g.x, m, d.tol, threads, &p); !wrong.empty()) {
        std::fprintf(stderr, "lorgen: %s\n", wrong.c_str());
        return 1;
    }
    EvenCount even = even_rows(d.a, d.b, d.tol, m, threads);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::fputs("lorgen: cannot write the table\n", stderr);
        return 1;
    }
    std::fprintf(stderr, "lorgen: %zu rows keep %s %s (largest %.2e at x = %.3g, bound %s); %s\n",
                 g.x.size(), name, where.c_str(), p.largest.err, p.largest.x,
                 fmt_up(p.bound).c_str(), even_text(even, tol).c_str());
    if (d.svg != nullptr) {
        std::string svg = spacing_svg(g.x, even.rows, d.a, d.b, name, tol);
        if (Saved s = save_file(d.svg, svg); s.what != Saved::ok) {
            std::string name = (s.what == Saved::not_regular ? "--svg " : "") + shown(d.svg);
            std::fprintf(stderr, "lorgen: %s\n", save_failure(name, s).c_str());
            return 1;
        }
    }
    return 0;
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
        std::fputs("lorgen: cannot write the table\n", stderr);
        return 1;
    }
    return 0;
}
