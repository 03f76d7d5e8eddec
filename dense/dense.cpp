// dense: the points of every interval, the method's value at each, and the largest errors.
#include "dense.hpp"

#include "numlib.hpp"
#include "poly/quad.hpp"
#include "spline.hpp"

#include <algorithm>
#include <new>

namespace {
// True when a[0..n-1] holds no NaN and never steps down: then the search's result for a
// point is the largest j with a[j] < x, which a walk from a nearby guess finds.
bool ascends(const double* a, int n) {
    for (int i = 0; i < n; ++i)
        if (std::isnan(a[i]) || (i > 0 && a[i] < a[i - 1]))
            return false;
    return true;
}

// locate(x, a, n) for ascending a, from a guess g near it: O(1) when it is off by one or two.
int bracket(const double* a, int n, int g, double x) {
    int j = g < n - 1 ? g : n - 1;
    while (j >= 0 && !(a[j] < x))
        --j;
    while (j + 1 < n && a[j + 1] < x)
        ++j;
    return j;
}
} // namespace

DenseTable dense_prepare(const double* xa, const double* ya, int n, Method m) {
    DenseTable t;
    t.n = n;
    t.xa = xa;
    t.ya = ya;
    t.method = m;
    auto len = static_cast<std::size_t>(n);
    if (m == Method::spline) {
        t.d2.assign(len, 0.0);
        if (!spline_coeffs(xa, ya, t.d2.data(), n))
            throw std::bad_alloc();
        t.walk = ascends(xa, n);
    } else {
        // The padded table as quaderr loads it: rows at 1..n, ghost points at 0 and n+1.
        t.pxa.assign(len + 2, 0.0);
        t.pya.assign(len + 2, 0.0);
        for (int i = 0; i < n; ++i) {
            t.pxa[i + 1] = xa[i];
            t.pya[i + 1] = ya[i];
        }
        set_ghosts(t.pxa.data(), t.pya.data(), n);
        // quad_pick searches the first n entries of the padded table.
        t.walk = ascends(t.pxa.data(), n);
    }
    return t;
}

namespace {
// The points of interval k: count of them (64, or 1 for the last abscissa alone), and the
// first abscissa and the width the others are taken from.
struct Points {
    double x0, step;
    int count;
};
inline Points points_of(const DenseTable& t, int k) {
    if (k >= t.n - 1)
        return {t.xa[t.n - 1], 0.0, 1};
    return {t.xa[k], t.xa[k + 1] - t.xa[k], dense_per_interval};
}
// Point j: x0 + ((x1 - x0) * j) / 64.0.
inline double point_x(const Points& p, int j) {
    return p.count == 1 ? p.x0 : p.x0 + (p.step * j) / 64.0;
}
} // namespace

double dense_x(const DenseTable& t, int k, int j) {
    return point_x(points_of(t, k), j);
}

double dense_value(const DenseTable& t, int k, double x) {
    if (t.method == Method::spline) {
        int j = t.walk ? bracket(t.xa, t.n, k, x) : locate(x, t.xa, t.n);
        return spline_piece(t.xa, t.ya, t.d2.data(), t.n, j, x);
    }
    // Row k of the table is entry k + 1 of the padded one.
    const double* pxa = t.pxa.data();
    int j = t.walk ? bracket(pxa, t.n, k + 1, x) : locate(x, pxa, t.n);
    return quad_at(j, x, pxa, t.pya.data(), t.n);
}

void dense_walk(const DenseTable& t, int k0, int k1, DenseVisit visit, void* ctx) {
    for (int k = k0; k < k1; ++k) {
        Points pts = points_of(t, k);
        for (int j = 0; j < pts.count; ++j) {
            double x = point_x(pts, j);
            visit(x, dense_value(t, k, x), ctx);
        }
    }
}

namespace {
// dense_errors over the intervals k0 .. k1-1 on the caller's thread.
DenseErrors errors_of(const DenseTable& t, const DenseOpts& o, int k0, int k1) {
    DenseErrors r;
    for (int k = k0; k < k1 && !r.stopped; ++k) {
        Peak p;
        long long bad = 0;
        Points pts = points_of(t, k);
        for (int j = 0; j < pts.count; ++j) {
            double x = point_x(pts, j);
            double e = std::fabs(dense_value(t, k, x) - lorentz(x));
            ++r.points;
            if (o.each != nullptr)
                o.each(x, e, o.ctx);
            if (!std::isfinite(e)) {
                ++bad;
                r.nans += std::isnan(e) ? 1 : 0;
                continue;
            }
            if (e > p.err)
                p = {e, x};
            if (e > o.stop_above) {
                r.stopped = true;
                break;
            }
        }
        r.not_finite += bad;
        if (p.err > r.all.err)
            r.all = p;
        if (o.per_interval) {
            r.interval.push_back(p);
            r.interval_not_finite.push_back(bad);
        }
    }
    return r;
}

// Joins the result of the intervals after a's to a: what one pass over both gives.
void join(DenseErrors& a, DenseErrors&& b) {
    if (b.all.err > a.all.err)
        a.all = b.all; // strictly greater: on a tie the first x stays
    a.interval.insert(a.interval.end(), b.interval.begin(), b.interval.end());
    a.interval_not_finite.insert(a.interval_not_finite.end(), b.interval_not_finite.begin(),
                                 b.interval_not_finite.end());
    a.points += b.points;
    a.not_finite += b.not_finite;
    a.nans += b.nans;
    a.stopped = b.stopped;
}
} // namespace

DenseErrors dense_errors(const DenseTable& t, const DenseOpts& o) {
    int k0 = o.k0, k1 = o.k1 < 0 ? t.n : o.k1;
    // Blocks of intervals, one a thread, joined in order: the same result as one pass. The
    // per-point callback runs on one thread only.
    int blocks = o.each != nullptr ? 1 : std::min(o.threads, (k1 - k0) / 256);
    if (blocks < 2)
        return errors_of(t, o, k0, k1);
    std::vector<DenseErrors> part(static_cast<std::size_t>(blocks));
    run_jobs(part.size(), blocks, [&](std::size_t b) {
        auto from = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * b / part.size());
        auto to = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * (b + 1) / part.size());
        part[b] = errors_of(t, o, from, to);
    });
    // A block after one that stopped early was never reached by one pass.
    DenseErrors r = std::move(part[0]);
    for (std::size_t b = 1; b < part.size() && !r.stopped; ++b)
        join(r, std::move(part[b]));
    return r;
}
