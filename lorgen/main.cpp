// lorgen: writes N equally spaced samples of the Lorentzian on [A, B] to standard output, one
// pair a line with 17 significant digits, so that the values read back exactly.
#include "shell.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
constexpr long long default_n = 29;
constexpr double default_a = 0.0, default_b = 7.0;

constexpr const char* usage_text =
    "usage: lorgen [N [A B]]\n"
    "Writes N equally spaced samples (x, y) of the Lorentzian 1/(1+((x-3.47)/0.57)^2)\n"
    "on [A, B], one pair a line, \"%.17g %.17g\". Defaults: N = 29, A = 0, B = 7.\n"
    "N >= 1; A < B when N > 1, with B - A finite and the abscissae all apart.\n"
    "Exit status: 0; 1 when the table cannot be written; 2 for wrong arguments.\n";

int usage(std::FILE* to, int status) {
    std::fputs(usage_text, to);
    return status;
}

// What is wrong with the arguments, in one line, or "" when nothing is.
std::string check_args(int argc, char** argv, long long* n, double* a, double* b) {
    if (argc == 3 || argc > 4)
        return "give N alone, or N with both A and B";
    if (argc >= 2 && !count_arg(argv[1], n))
        return "N must be a whole number >= 1, not \"" + shown(argv[1]) + "\"";
    if (argc == 4 && !number_arg(argv[2], a))
        return "A must be a number, not \"" + shown(argv[2]) + "\"";
    if (argc == 4 && !number_arg(argv[3], b))
        return "B must be a number, not \"" + shown(argv[3]) + "\"";
    if (*n < 2)
        return "";
    if (!(*a < *b))
        return "A must be below B";
    if (!(*b - *a < HUGE_VAL))
        return "B - A must be finite";
    // Rows that doubles cannot tell apart would repeat an abscissa.
    for (long long i = 1; i < *n; ++i) {
        if (!(sample_x(*a, *b, *n, i) > sample_x(*a, *b, *n, i - 1))) {
            char m[160];
            std::snprintf(m, sizeof m, "%lld samples on [%.17g, %.17g] would repeat abscissae", *n,
                          *a, *b);
            return std::string(m) + ": the spacing is below what doubles tell apart there";
        }
    }
    return "";
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "lorgen", usage_text))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
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
        std::printf("%.17g %.17g\n", x, lorentz(x));
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("lorgen: cannot write the table\n", stderr);
        return 1;
    }
    return 0;
}
