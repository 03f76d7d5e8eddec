// settle: rows where the error is. The spacing follows the error model e = C h^p interval by
// interval, settled by rounds of evaluation through the engine.
#include "rows.hpp"

#include "function.hpp"

#include <algorithm>
#include <cmath>

Rows errors_of(const Rows& x, const Job& job, int k0, int k1, PerInterval what) {
    Rows y = stored_values(x, job.s);
    int n = static_cast<int>(x.size());
    DenseTable t = dense_prepare(x.data(), y.data(), n, job.m, job.threads, single(job.s));
    return dense_intervals(t, {.span = {k0, k1, job.threads}, .what = what, .tol = job.tol});
}

double largest(const Rows& e) {
    return *std::max_element(e.begin(), e.end());
}

Rows resolving(double a, double b, Store st) {
    Rows x{a};
    while (x.back() < b) {
        const Function& f = study_function();
        double s = 0.25 * (f.width + std::fabs(x.back() - f.peak));
        double next = stored(x.back() + s, st);
        x.push_back(next > b - 0.5 * s ? b : next);
    }
    return x;
}

namespace {
bool ascending(const Rows& x) {
    for (std::size_t i = 1; i < x.size(); ++i)
        if (!(x[i] > x[i - 1]))
            return false;
    return true;
}

// v^(1/p) for p = 1, 2 or 4, by square roots, which IEEE arithmetic rounds correctly on
// every platform: the design comes out the same everywhere.
double root(double v, int p) {
    for (; p > 1; p /= 2)
        v = std::sqrt(v);
    return v;
}

// Scales r so that its largest is 1, none below 1e-150.
void relative(Rows& r) {
    double most = *std::max_element(r.begin(), r.end());
    for (double& v : r)
        v = std::max(v / most, 1e-150);
}

// The density of rows that the rows x with errors e call for, at the middle of each interval:
// the one under which every interval's error e = C h^p would be the same (C from e), halfway
// (a geometric mean) toward x's own spacing and smoothed over neighbours inside, so that the
// rounds settle. Relative to its largest value, and at least 1e-150 of it.
Rows density(const Rows& x, const Rows& e, Tuning tu) {
    std::size_t n = e.size();
    double top = 0, wide = 0; // the largest finite error and the widest interval
    for (std::size_t k = 0; k < n; ++k) {
        if (std::isfinite(e[k]))
            top = std::max(top, e[k]);
        wide = std::max(wide, x[k + 1] - x[k]);
    }
    auto ends = static_cast<std::size_t>(std::min(tu.ends, static_cast<int>(n) / 2));
    auto inside = [&](std::size_t k) { return k >= ends && k + ends < n; };
    Rows c(n), rho(n);
    for (std::size_t k = 0; k < n; ++k) {
        // Errors that are not finite weigh a million times the largest; those below a
        // millionth of a millionth of it weigh that much; all zero: even spacing.
        double v = std::isfinite(e[k]) ? e[k] : top * 1e6;
        v = top > 0 ? std::max(v / top, 1e-12) : 1.0;
        double h = (x[k + 1] - x[k]) / wide;
        c[k] = inside(k) ? std::sqrt(root(v, tu.p)) / h : root(v, tu.p_end) / h;
    }
    relative(c);
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t lo = k > 0 && inside(k - 1) ? k - 1 : k,
                    hi = k + 1 < n && inside(k + 1) ? k + 1 : k;
        rho[k] = inside(k) ? std::sqrt(std::sqrt(c[lo] * c[k]) * std::sqrt(c[k] * c[hi])) : c[k];
    }
    relative(rho);
    return rho;
}

// n >= 2 rows from x.front() to x.back() that share out the density density(x, e) evenly,
// the density linear between the middles of x's intervals, each rounded to the type. The rows
// may fail to ascend strictly where the type cannot tell them apart.
Rows spread(const Rows& x, const Rows& e, long long n, Tuning tu, Store st) {
    Rows rho = density(x, e, tu);
    // The density's breakpoints: both ends and every interval's middle.
    Rows bx{x.front()}, br{rho.front()};
    for (std::size_t k = 0; k < rho.size(); ++k) {
        bx.push_back(x[k] + 0.5 * (x[k + 1] - x[k]));
        br.push_back(rho[k]);
    }
    bx.push_back(x.back());
    br.push_back(rho.back());
    Rows w(bx.size(), 0.0); // the density's integral up to each breakpoint
    for (std::size_t i = 1; i < bx.size(); ++i)
        w[i] = w[i - 1] + 0.5 * (br[i - 1] + br[i]) * (bx[i] - bx[i - 1]);
    Rows out(static_cast<std::size_t>(n));
    out.front() = x.front();
    out.back() = x.back();
    std::size_t i = 0;
    for (long long j = 1; j < n - 1; ++j) {
        double want = w.back() * static_cast<double>(j) / static_cast<double>(n - 1);
        while (i + 2 < bx.size() && w[i + 1] <= want)
            ++i;
        // The integral of r0 + s t over [0, t] is want - w[i].
        double h = bx[i + 1] - bx[i], r0 = br[i], s = (br[i + 1] - br[i]) / h, d = want - w[i];
        double t = std::fabs(s) * h <= 1e-9 * r0
                       ? d / r0
                       : (std::sqrt(std::max(0.0, r0 * r0 + 2 * s * d)) - r0) / s;
        out[j] = stored(bx[i] + std::clamp(t, 0.0, h), st);
    }
    return out;
}
} // namespace

// At most 40 rounds, until the largest error changes by less than a part in 500, or five
// rounds have not bettered the best by as much.
Try settle(const Try& from, long long n, const Job& job) {
    Tuning tu = job.m.tuning;
    Try cur = from, best;
    double last = HUGE_VAL;
    // Rounds since the best improved by a part in 500: five are enough, the rest wander.
    for (int round = 0, idle = 0; round < 40 && idle < 5; ++round) {
        Rows x = spread(cur.x, cur.e, n, tu, job.s);
        if (!ascending(x))
            break;
        cur = {x, errors_of(x, job)};
        double s = largest(cur.e);
        idle = best.x.empty() || s < largest(best.e) * (1 - 1.0 / 500) ? 0 : idle + 1;
        if (best.x.empty() || s < largest(best.e))
            best = cur;
        if (std::fabs(last - s) <= s / 500)
            break;
        last = s;
    }
    return best;
}

Try placed(double a, double b, long long n, const Job& job) {
    const Function& f = study_function();
    const int p = job.m.order_inner;
    constexpr int panels = 1 << 14;
    // Panels even in s, x = peak + width s / sqrt(1 - s^2): fine near the peak, wide far out.
    auto s_of = [&](double x) {
        double t = (x - f.peak) / f.width;
        return t / std::sqrt(1 + t * t);
    };
    double s0 = s_of(a), step = (s_of(b) - s0) / panels;
    Rows edge(panels + 1), g(panels), w(panels + 1, 0.0), h(panels, 0.0);
    for (int i = 0; i <= panels; ++i) {
        double s = s0 + i * step;
        edge[static_cast<std::size_t>(i)] = f.peak + f.width * (s / std::sqrt(1 - s * s));
    }
    edge.front() = a;
    edge.back() = b;
    // The density, then again with |f^(p)| at its largest over half the spacing either side.
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < g.size(); ++i) {
            double x = edge[i] + 0.5 * (edge[i + 1] - edge[i]), v = f.derivative(x, p);
            for (int j = -8; round > 0 && j <= 8; ++j)
                v = std::max(v, f.derivative(x + h[i] * j / 16, p));
            g[i] = root(job.m.asymptotic * v, p);
            w[i + 1] = w[i] + g[i] * (edge[i + 1] - edge[i]);
        }
        for (std::size_t i = 0; i < g.size(); ++i)
            h[i] = std::min(b - a, w.back() / static_cast<double>(n - 1) / std::max(g[i], 1e-300));
    }
    Rows x(static_cast<std::size_t>(n));
    x.front() = a;
    x.back() = b;
    std::size_t i = 0;
    for (long long j = 1; j + 1 < n; ++j) {
        double want = w.back() * static_cast<double>(j) / static_cast<double>(n - 1);
        while (i + 1 < g.size() && w[i + 1] < want)
            ++i;
        double t = (want - w[i]) / (w[i + 1] - w[i]);
        x[static_cast<std::size_t>(j)] = stored(edge[i] + t * (edge[i + 1] - edge[i]), job.s);
    }
    if (!ascending(x))
        return {};
    Rows e = errors_of(x, job);
    return {std::move(x), std::move(e)};
}
