// design_fuzz: lorgen's design on random tolerances and intervals: it ends, and a table it
// gives ascends from a to b and its error is proven within the tolerance everywhere (checked
// here by the proving search on the table's values as stored). Input: a byte (the tolerance
// 10^-1 to 10^-7, the method in bits 3, 4 and 7, the store: bit 5 for float32, with bit 6
// float32 arithmetic),
// then a and b as doubles;
// intervals the program refuses are skipped, and so are those wider than 1e6, where a design
// takes minutes, and float32 tolerances below twice its floor, which lorgen refuses.
#include "args.hpp"
#include "design.hpp"
#include "numlib.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 17)
        return 0;
    double tol = std::pow(10.0, -1.0 - data[0] % 7);
    std::size_t pick = ((data[0] >> 3) & 3U) | ((data[0] >> 5) & 4U);
    const Method& m = *methods()[pick % methods().size()];
    double a = 0, b = 0;
    std::memcpy(&a, data + 1, 8);
    std::memcpy(&b, data + 9, 8);
    Store s = (data[0] & 0x20) == 0   ? Store::f64
              : (data[0] & 0x40) != 0 ? Store::f32_float
                                      : Store::f32;
    if (!interval_fault(a, b).empty() || !(b - a <= 1e6) || !(std::fabs(a) <= 1e12))
        return 0;
    round_out(&a, &b, s);
    if (tol < 2 * store_floor(a, b, m, s))
        return 0;
    Design d = design_table({a, b, tol, &m, s, 1});
    if (d.end != DesignEnd::reached)
        return 0;
    const std::vector<double>& x = d.x;
    if (x.size() < 2 || x.front() != a || x.back() != b)
        __builtin_trap();
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        if ((i > 0 && !(x[i] > x[i - 1])) || stored(x[i], s) != x[i])
            __builtin_trap();
        y[i] = stored(lorentz(x[i]), s);
    }
    Proven p = table_error(x.data(), y.data(), static_cast<int>(x.size()), m, tol, 1, single(s));
    if (p.verdict != Verdict::within || !(p.largest.err <= p.bound) || !(p.bound <= tol))
        __builtin_trap();
    return 0;
}
