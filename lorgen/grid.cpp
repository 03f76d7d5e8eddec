// grid: the evenly spaced table a header computes its rows and intervals for, as it computes
// them, in double or in float32 arithmetic.
#include "header.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>

EvenGrid even_grid(double a, double b, int n, Store s) {
    double h = (b - a) / static_cast<double>(n - 1), sc = static_cast<double>(n - 1) / (b - a);
    if (single(s)) {
        h = static_cast<float>(h);
        sc = static_cast<float>(sc);
    }
    return {n, a, b, h, sc, s};
}

std::vector<double> even_nodes(const EvenGrid& g) {
    std::vector<double> x(static_cast<std::size_t>(g.n));
    for (int i = 0; i < g.n; ++i) {
        double v = g.b;
        if (i < g.n - 1 && single(g.store))
            v = static_cast<float>(g.a) + static_cast<float>(i) * static_cast<float>(g.h);
        else if (i < g.n - 1)
            v = stored(g.a + static_cast<double>(i) * g.h, g.store);
        x[static_cast<std::size_t>(i)] = v;
    }
    return x;
}

int even_index(const EvenGrid& g, double x) {
    double c = single(g.store)
                   ? static_cast<double>((static_cast<float>(x) - static_cast<float>(g.a)) *
                                         static_cast<float>(g.s))
                   : (x - g.a) * g.s;
    return !(c >= 1.0) ? 0 : c >= g.n - 2 ? g.n - 2 : static_cast<int>(c);
}

double just_below(const EvenGrid& g, double x) {
    return single(g.store) ? std::nextafter(static_cast<float>(x), -HUGE_VALF)
                           : std::nextafter(x, -HUGE_VAL);
}

namespace {
// The values of the evaluator's input type in order: key(x) ascends with x, one step a value.
std::int64_t key(double x, bool single) {
    std::int64_t b = single ? std::bit_cast<std::int32_t>(static_cast<float>(x))
                            : std::bit_cast<std::int64_t>(x);
    std::int64_t sign = single ? std::int64_t{0x7fffffff} : INT64_MAX;
    return b < 0 ? -(b & sign) : b;
}
double of_key(std::int64_t k, bool single) {
    if (single) {
        auto b = static_cast<std::int32_t>(k < 0 ? -k | std::int64_t{0x80000000} : k);
        return static_cast<double>(std::bit_cast<float>(b));
    }
    return std::bit_cast<double>(k < 0 ? -k | INT64_MIN : k);
}
} // namespace

double least_where(double lo, double hi, bool single, const std::function<bool(double)>& up) {
    std::int64_t l = key(lo, single), h = key(hi, single);
    while (h - l > 1) {
        std::int64_t mid = l + (h - l) / 2;
        (up(of_key(mid, single)) ? h : l) = mid;
    }
    return of_key(h, single);
}

std::vector<double> even_edges(const EvenGrid& g, const std::vector<double>& x) {
    std::vector<double> e;
    for (std::size_t k = 1; k + 1 < x.size(); ++k) {
        // The computed interval never steps down as x grows: bisect between the rows around.
        auto up = [&g, k](double v) { return even_index(g, v) >= static_cast<int>(k); };
        e.push_back(least_where(x[k - 1], x[k + 1], single(g.store), up));
    }
    return e;
}
