// errtab: the error grid and the error-table writer shared by splerr and quaderr.
#include "numlib.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace {
constexpr double grid_step = 0.02;
constexpr double grid_origin = 0.0;
constexpr int neg_points = 499; // i = 500 down to 2
} // namespace

double grid_x(int k) {
    if (k < neg_points) {
        double t = (500 - k) * grid_step + grid_origin;
        return -ipow(t, 3);
    }
    double t = (k - neg_points) * grid_step + grid_origin;
    return ipow(t, 3);
}

Write write_error_table(const char* path, double (*f)(double), int* cause) {
    int err = 0;
    // The first failure's cause, kept past the calls that follow it.
    auto failed = [&err]() {
        if (err == 0)
            err = errno != 0 ? errno : EIO;
    };
    // Binary mode: the CR LF line ends are the file's format on every platform.
    errno = 0;
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        failed();
        if (cause != nullptr)
            *cause = err;
        return Write::cannot_open;
    }
    char line[96];
    for (int k = 0; k < grid_size; ++k) {
        double x = grid_x(k);
        double p = f(x);
        double fl = lorentz(x);
        double e = std::fabs(p - fl);
        int len = fmt_nums(line, sizeof line, "%14.6lg %14.6lg\r\n", x, e);
        errno = 0;
        if (err == 0 && std::fwrite(line, 1, static_cast<std::size_t>(len), out) !=
                            static_cast<std::size_t>(len))
            failed();
    }
    errno = 0;
    if (std::fflush(out) != 0)
        failed();
    errno = 0;
    if (std::fclose(out) != 0)
        failed();
    if (cause != nullptr)
        *cause = err;
    return err == 0 ? Write::ok : Write::cannot_write;
}
