// lorgen: writes N equally spaced samples of the Lorentzian on [A, B] to standard output, one
// pair a line with 17 significant digits, so that the values read back exactly; or, with
// --tol, a table designed so that an interpolant of it stays within a tolerance.
#include "args.hpp"
#include "function.hpp"
#include "lorgen.hpp"
#include "options.hpp"
#include "request.hpp"
#include "save.hpp"
#include "shell.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

namespace {
namespace fs = std::filesystem;
constexpr long long default_n = 29;

// The usage, its forms from the option table.
std::string usage_text() {
    Given g;
    return usage_lines("lorgen", {"[N [A B]]", option_list(design_options(g)) + " [A B]"}) +
           "Writes N equally spaced samples (x, y) of the Lorentzian " + study_function().formula +
           "\n"
           "on [A, B], one pair a line, \"%.17g %.17g\". Defaults: N = 29, A = 0, B = 7.\n"
           "N >= 1; A < B when N > 1, with B - A finite and the abscissae all apart.\n" +
           paragraph("With --tol: a table of few rows, placed where the method's error is, whose "
                     "interpolant, " +
                     method_titles(", ", " or ", true) +
                     ", stays within E everywhere, proven by a bound; standard error tells its "
                     "rows, its largest error and bound, and the rows an evenly spaced table "
                     "needs.") +
           "--method all: no table, one decision table of every method on standard output;\n"
           "--data FILE also writes its numbers as named fields, one \"key value\" a line.\n"
           "--store float32: every row a float32 value, the design and its proof of the table\n"
           "as it reads back; a tolerance below what rounding to float32 alone may cost is\n"
           "refused. --arith float32 (with --store float32): the evaluator computes in float32,\n"
           "the proof counts its rounding at every float32 x, and a tolerance below what that\n"
           "may cost is refused. --format c --name NAME: no rows on standard output; NAME.h,\n"
           "a C99 and C++17 header of the table, its evaluator (the suite's values bit for bit)\n"
           "and test vectors, written in the current folder. --spacing even: the evenly\n"
           "spaced table instead, its header computing rows and intervals from x.\n"
           "--certify (with --format c, a designed table of at most 2000 rows): NAME.sollya and\n"
           "NAME.gappa beside it, certificates of the bound for Sollya and Gappa.\n"
           "--svg FILE draws the spacing of the rows. E >= 1e-13. --force: NAME's files and FILEs\n"
           "may replace files that exist, which are otherwise left alone.\n"
           "Exit status: 0; 1 when the table or figure cannot be written, or no table of at most\n"
           "16777216 rows reaches E; 2 for wrong arguments.\n";
}

int usage(std::FILE* to, int status) {
    std::fputs(usage_text().c_str(), to);
    return status;
}

// Whether path is one that no save may replace (without --force, any that exists), told.
bool refused_path(const std::string& path, const char* option, bool force) {
    if (!save_refuses(path, force))
        return false;
    Saved s{save_refuses(path) ? Saved::not_regular : Saved::exists, 0};
    tell(save_text((s.what == Saved::not_regular ? option : "") + shown(path), s));
    return true;
}

// lorgen --tol E --method M|all [--store S] [--arith S] [--svg FILE] [--format c --name NAME] [A
// B].
int design_main(int argc, char** argv) {
    DesignArgs d;
    d.command = "lorgen";
    for (int i = 1; i < argc; ++i) {
        d.command += ' ';
        d.command += shown(argv[i]);
    }
    Given g;
    int first = 1;
    std::string wrong = parse_options(design_options(g), argc, argv, &first, "A and B");
    if (wrong.empty())
        wrong = design_request(g, argc, argv, first, &d);
    if (!wrong.empty()) {
        tell(wrong);
        return usage(stderr, 2);
    }
    std::string file = d.form->suffix != nullptr ? d.name + std::string(d.form->suffix) : "";
    if (!file.empty() && d.svg != nullptr && one_file(file, d.svg)) {
        tell("--svg " + shown(d.svg) + " and " + file + " are one file: give each its own");
        return usage(stderr, 2);
    }
    if (d.data != nullptr && d.svg != nullptr && one_file(d.data, d.svg)) {
        tell("--svg " + shown(d.svg) + " and --data " + shown(d.data) +
             " are one file: give each its own");
        return usage(stderr, 2);
    }
    if (!file.empty() && refused_path(file, "", d.force))
        return 1;
    for (const char* suffix : {".sollya", ".gappa"})
        if (d.certify && refused_path(d.name + std::string(suffix), "", d.force))
            return 1;
    if (d.data != nullptr && refused_path(d.data, "--data ", d.force))
        return 1;
    if (d.svg != nullptr && refused_path(d.svg, "--svg ", d.force))
        return 1;
    int threads = thread_count();
    return d.method == nullptr ? all_main(d, threads) : one_main(d, threads);
}

// Whether the arguments ask for a design: they begin with one of its options.
bool asks_design(int argc, char** argv) {
    Given g;
    for (const Option& o : design_options(g))
        if (argc >= 2 && std::strcmp(argv[1], o.name) == 0)
            return true;
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "lorgen", usage_text().c_str()))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    console_name("lorgen");
    save_guard_signals();
    if (asks_design(argc, argv)) {
        try {
            return design_main(argc, argv);
        } catch (const std::bad_alloc&) {
            tell("not enough memory for the design");
            return 1;
        }
    }
    long long n = default_n;
    double a = default_a, b = default_b;
    if (std::string wrong = sample_fault(argc, argv, &n, &a, &b); !wrong.empty()) {
        tell(wrong);
        return usage(stderr, 2);
    }
    static char buf[1 << 16];
    std::setvbuf(stdout, buf, _IOFBF, sizeof buf);
    const Function& f = study_function();
    for (long long i = 0; i < n; ++i) {
        double x = sample_x(a, b, n, i);
        std::printf("%.17g %.17g\n", x, f.f(x));
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        tell(std::string("cannot write the table: ") + std::strerror(errno));
        return 1;
    }
    return 0;
}
