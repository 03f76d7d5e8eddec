// work: what one lookup through an exported header costs at its worst, counted as the
// header's C does it: the index's search, or the evenly spaced grid's computed interval, and
// the method's evaluator (Method::work).
#include "header.hpp"
#include "method.hpp"

#include <algorithm>
#include <cmath>

namespace {
// The header's $_below(v) counted: its comparisons and the entries it reads.
struct Steps {
    int cmp = 0, reads = 0;
};

// The cell's number (x - x[0]) * scale as the header computes it, in its arithmetic.
double cell_number(double v, double x0, double scale, bool single) {
    if (single)
        return (static_cast<float>(v) - static_cast<float>(x0)) * static_cast<float>(scale);
    return (v - x0) * scale;
}

// The cell of v (v > x[0]), clamped as the header clamps it.
int cell_of(double v, const std::vector<double>& x, const Index& ix, double scale, bool single) {
    double c = cell_number(v, x[0], scale, single);
    auto last = static_cast<int>(ix.first.size()) - 1;
    return c < last ? static_cast<int>(c) : last;
}

Steps below_steps(double v, const std::vector<double>& x, const Index& ix, double scale,
                  bool single) {
    auto n = static_cast<int>(x.size());
    if (!(v > x[0]))
        return {1, 1};
    if (v > x[static_cast<std::size_t>(n - 1)])
        return {2, 2};
    Steps s{3, 3}; // both ends, the cell's clamp; both ends and the index entry read
    auto i = static_cast<int>(ix.first[static_cast<std::size_t>(cell_of(v, x, ix, scale, single))]);
    for (++s.cmp, ++s.reads; !(v > x[static_cast<std::size_t>(i)]); ++s.cmp, ++s.reads)
        --i;
    for (++s.cmp, ++s.reads; v > x[static_cast<std::size_t>(i) + 1]; ++s.cmp, ++s.reads)
        ++i;
    return s;
}

// The value of the input type next to v, above (dir 1) or below (-1).
double next_to(double v, int dir, bool single) {
    if (single)
        return std::nextafter(static_cast<float>(v), dir > 0 ? HUGE_VALF : -HUGE_VALF);
    return std::nextafter(v, dir > 0 ? HUGE_VAL : -HUGE_VAL);
}

// The search's worst case: the steps are largest at a row or just above it (where the
// search's result changes), or at the first or last x of a cell (where its start does).
Steps worst_below(const std::vector<double>& x, const Index& ix, bool single) {
    double scale = single ? static_cast<float>(ix.scale) : ix.scale;
    Steps w;
    auto take = [&](double v) {
        Steps s = below_steps(v, x, ix, scale, single);
        w = {std::max(w.cmp, s.cmp), std::max(w.reads, s.reads)};
    };
    for (double r : x) {
        take(r);
        take(next_to(r, 1, single));
    }
    auto cells = static_cast<int>(ix.first.size());
    double lo_all = x.front(), hi_all = x.back();
    for (int c = 1; c < cells; ++c) {
        auto up = [&](double v) { return cell_of(v, x, ix, scale, single) >= c; };
        // A bracket a cell wide either side of the edge, the whole range where rounding
        // puts the edge outside it.
        double lo = std::max(lo_all, x[0] + (c - 1) / ix.scale);
        double hi = std::min(hi_all, x[0] + (c + 1) / ix.scale);
        if (up(lo) || !up(hi)) {
            lo = lo_all;
            hi = hi_all;
            if (!up(hi))
                break; // no x of the table reaches this cell
        }
        double first = least_where(lo, hi, single, up);
        take(first);
        take(next_to(first, -1, single));
    }
    return w;
}
} // namespace

Lookup lookup_work(const Method& m, const std::vector<double>& x, const Index* ix, Store s) {
    const Work& e = m.work;
    Lookup l{e.ys + e.own, e.mul, e.div, e.cmp};
    if (ix == nullptr) {
        // The grid: (x - a) s and its clamp at both ends; each row's abscissa a + i h.
        l.mul += 1 + e.xs;
        l.cmp += 2;
        return l;
    }
    Steps b = worst_below(x, *ix, single(s));
    l.reads += e.xs + b.reads;
    l.mul += 1;
    l.cmp += b.cmp;
    return l;
}
