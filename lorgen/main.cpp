// lorgen: writes N equally spaced samples of the Lorentzian on [A, B] to standard output, one
// pair a line with 17 significant digits, so that the values read back exactly.
#include "shell.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr long long default_n = 29;
constexpr double default_a = 0.0, default_b = 7.0;

constexpr const char* usage_text =
    "usage: lorgen [N [A B]]\n"
    "Writes N equally spaced samples (x, y) of the Lorentzian 1/(1+((x-3.47)/0.57)^2)\n"
    "on [A, B], one pair a line, \"%.17g %.17g\". Defaults: N = 29, A = 0, B = 7.\n"
    "N >= 1; A < B when N > 1.\n";

int usage(std::FILE* to, int status) {
    std::fputs(usage_text, to);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "lorgen", usage_text))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    long long n = default_n;
    double a = default_a, b = default_b;
    if (argc == 3 || argc > 4 || (argc >= 2 && !count_arg(argv[1], &n)) ||
        (argc == 4 && (!number_arg(argv[2], &a) || !number_arg(argv[3], &b))))
        return usage(stderr, 2);
    if (n > 1 && !(a < b && b - a < HUGE_VAL)) {
        std::fputs("lorgen: A must be below B, both finite\n", stderr);
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
