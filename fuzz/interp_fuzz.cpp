// interp_fuzz: arbitrary tables of n >= 2 doubles (unordered, repeated, infinite, NaN) and
// abscissae. The spline and the quadratic, with their trace, read nothing outside their
// arrays, which are allocated to their exact sizes so that AddressSanitizer sees any overrun.
#include "numlib.hpp"
#include "poly/poly.hpp"
#include "spline.hpp"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
// The quadratic at x, with or without its trace.
double pick(double x, const double xa[], const double ya[], int n, bool trace) {
    return trace ? quad_traced(locate(x, xa, n), x, xa, ya, n) : quad_pick(x, xa, ya, n);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    int n = 2 + (data[0] & 0x7f) % 40;
    bool trace = (data[0] >> 7) != 0;
    ++data;
    --size;
    std::size_t need = 8 * static_cast<std::size_t>(2 * n);
    if (size < need)
        return 0;
    auto xa = std::make_unique<double[]>(static_cast<std::size_t>(n));
    auto ya = std::make_unique<double[]>(static_cast<std::size_t>(n));
    auto d2 = std::make_unique<double[]>(static_cast<std::size_t>(n));
    std::memcpy(xa.get(), data, 8 * static_cast<std::size_t>(n));
    std::memcpy(ya.get(), data + 8 * n, 8 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        d2[i] = 0.0;
    if (!spline_coeffs(xa.get(), ya.get(), d2.get(), n))
        return 0;
    auto px = std::make_unique<double[]>(static_cast<std::size_t>(n) + 2);
    auto py = std::make_unique<double[]>(static_cast<std::size_t>(n) + 2);
    std::memcpy(px.get() + 1, xa.get(), 8 * static_cast<std::size_t>(n));
    std::memcpy(py.get() + 1, ya.get(), 8 * static_cast<std::size_t>(n));
    set_ghosts(px.get(), py.get(), n);
    // The rest of the input: abscissae to evaluate at, and the table's own points.
    for (std::size_t at = need; at + 8 <= size; at += 8) {
        double x;
        std::memcpy(&x, data + at, 8);
        spline_eval(xa.get(), ya.get(), d2.get(), n, x);
        pick(x, px.get(), py.get(), n, trace);
    }
    for (int i = 0; i < n; ++i) {
        spline_eval(xa.get(), ya.get(), d2.get(), n, xa[i]);
        pick(xa[i], px.get(), py.get(), n, trace);
    }
    return 0;
}
