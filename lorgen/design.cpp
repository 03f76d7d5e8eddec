// design: rows where the error is. The spacing follows the error model e = C h^p interval by
// interval, settled by rounds of evaluation through the engine; the intervals still above
// the tolerance are then split, and the table is verified whole.
#include "design.hpp"

#include "numlib.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {
using Rows = std::vector<double>;

// Rows first .. first+count-1 of lorgen's n evenly spaced rows on [a, b], as stored.
Rows even_x(double a, double b, long long n, long long first, long long count, Store s) {
    Rows x(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i)
        x[static_cast<std::size_t>(i)] = stored(sample_x(a, b, n, first + i), s);
    return x;
}

// A table that resolves the function's shape on [a, b]: its spacing is a quarter of the
// distance to the peak plus the half width, so that no interval hides the peak. It is where
// the design starts.
Rows resolving(double a, double b, Store st) {
    Rows x{a};
    while (x.back() < b) {
        double s = 0.25 * (lor_width + std::fabs(x.back() - lor_centre));
        double next = stored(x.back() + s, st);
        x.push_back(next > b - 0.5 * s ? b : next);
    }
    return x;
}

// What every step of a design works with: the method, the tolerance, the threads it may use.
struct Job {
    const Method& m;
    double tol;
    Store s;
    int threads;
};

// What errors_of gives an interval: its largest at every 4th of the engine's points, an
// estimate for spacing the rows; a bound of its error everywhere, within 0.1% of its largest;
// or a bound that is tight only where it exceeds the tolerance (for deciding which do).
enum class Errors { estimate, tight, against_tol };

// The errors of the method on rows x in the intervals k0 .. k1-1, per interval (the last row
// counts in the last interval), infinite where an error is not finite.
Rows errors_of(const Rows& x, const Job& job, int k0 = 0, int k1 = -1,
               Errors what = Errors::estimate) {
    Rows y = stored_values(x, job.s);
    int n = static_cast<int>(x.size());
    k1 = k1 < 0 ? n - 1 : k1;
    DenseTable t = dense_prepare(x.data(), y.data(), n, job.m, job.threads);
    DenseOpts o;
    o.k0 = k0;
    o.k1 = k1 == n - 1 ? n : k1;
    o.per_interval = true;
    bool prove = what != Errors::estimate;
    o.prove = prove;
    o.target = what == Errors::against_tol ? job.tol : 0;
    o.every = prove ? 1 : 4;
    o.threads = job.threads;
    DenseErrors r = dense_errors(t, o);
    Rows e(static_cast<std::size_t>(k1 - k0), 0.0);
    for (std::size_t i = 0; i < r.interval.size(); ++i) {
        double v = prove ? r.interval_bound[i] : std::max(r.interval[i].err, 0.0);
        if (r.interval_not_finite[i] > 0 || !(v >= 0))
            v = HUGE_VAL;
        double& to = e[std::min(i, e.size() - 1)];
        to = std::max(to, v);
    }
    return e;
}

// The largest of some errors.
double largest(const Rows& e) {
    return *std::max_element(e.begin(), e.end());
}

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

// The density of rows that the rows x with errors e call for, at the middle of each interval:
// the one under which every interval's error e = C h^p would be the same (C from e), halfway
// (a geometric mean) toward x's own spacing and smoothed over neighbours inside, so that the
// rounds settle. Relative to its largest value, and at least 1e-150 of it.
Rows density(const Rows& x, const std::vector<double>& e, Tuning tu) {
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
    auto relative = [](Rows& r) {
        double most = *std::max_element(r.begin(), r.end());
        for (double& v : r)
            v = std::max(v / most, 1e-150);
    };
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
Rows spread(const Rows& x, const std::vector<double>& e, long long n, Tuning tu, Store st) {
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

// Rows and their errors_of.
struct Try {
    Rows x;
    Rows e;
};

// n rows settled from `from`: rounds of spread and evaluation, at most 40, until the largest
// error changes by less than a part in 500, or five rounds have not bettered the best by as
// much; the best rows met. Empty rows when no round gave rows that ascend strictly.
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

// Splits an end interval at a fraction 2^-j of its width from the end (j = 1, 2, ...): the
// one that leaves the smallest error in the four end intervals, since there the error falls
// as the neighbouring interval widens. False when no such row is apart from both its ends.
bool split_end(Try& t, bool front, const Job& job) {
    auto n = static_cast<int>(t.x.size()) + 1; // rows after the split
    int k0 = front ? 0 : std::max(0, n - 5), k1 = front ? std::min(4, n - 1) : n - 1;
    double from = front ? t.x.front() : t.x.back(), to = t.x[front ? 1 : t.x.size() - 2];
    auto at = front ? 1 : static_cast<std::ptrdiff_t>(t.x.size()) - 1; // the new row's place
    std::optional<double> best_v;
    double best = HUGE_VAL;
    for (int j = 1, worse = 0; j <= 60 && worse < 3; ++j) {
        double v = stored(from + (to - from) * std::ldexp(1.0, -j), job.s);
        if (!(v != from && v != to))
            break;
        Rows x = t.x;
        x.insert(x.begin() + at, v);
        double e = largest(errors_of(x, job, k0, k1, Errors::tight));
        if (best_v && !(e < best)) {
            ++worse;
            continue;
        }
        best = e;
        best_v = v;
        worse = 0;
    }
    if (!best_v)
        return false;
    t.x.insert(t.x.begin() + at, *best_v);
    t.e = errors_of(t.x, job, 0, -1, Errors::against_tol);
    return true;
}

// Splits the intervals of t whose error is above the tolerance, round after round, until none
// is: an end interval by split_end, the others at their middles. False (with the reason in
// *why) when that takes more than limit rows or a split would repeat an abscissa.
bool mend(Try& t, std::size_t limit, const Job& job, DesignEnd* why) {
    t.e = errors_of(t.x, job, 0, -1, Errors::against_tol);
    for (;;) {
        if (t.x.size() > limit) {
            *why = DesignEnd::too_many_rows;
            return false;
        }
        for (bool front : {true, false}) {
            double e = front ? t.e.front() : t.e.back();
            if (job.m.tuning.end_rows && e > job.tol && !split_end(t, front, job)) {
                *why = DesignEnd::too_close;
                return false;
            }
        }
        Rows x;
        for (std::size_t k = 0; k < t.e.size(); ++k) {
            x.push_back(t.x[k]);
            if (t.e[k] > job.tol) {
                double mid = stored(t.x[k] + 0.5 * (t.x[k + 1] - t.x[k]), job.s);
                if (!(mid > t.x[k] && mid < t.x[k + 1])) {
                    *why = DesignEnd::too_close;
                    return false;
                }
                x.push_back(mid);
            }
        }
        x.push_back(t.x.back());
        if (x.size() == t.x.size())
            return true;
        t = {x, errors_of(x, job, 0, -1, Errors::against_tol)};
    }
}

// The least n of 2, 4, 8, ... <= max_rows for which meets(n) holds, brought down by
// bisection between the last n that failed and it (the error is not strictly monotone in n:
// this procedure is what defines the count). 0 when none does, or when stop(n), asked after
// each n that failed on the way up, says that none will.
template <class Meets, class Stop> long long least_rows(Meets meets, Stop stop) {
    long long lo = 1, hi = 2;
    while (!meets(hi)) {
        if (hi >= max_rows || stop(hi))
            return 0;
        lo = hi;
        hi = std::min(2 * hi, max_rows);
    }
    while (hi - lo > 1) {
        long long mid = lo + (hi - lo) / 2;
        (meets(mid) ? hi : lo) = mid;
    }
    return hi;
}

// The method's error on table t (intervals k0 .. k1-1, k1 = -1: all) against tol: the
// largest found and the bound, proven down to tol (tight: within 0.1% of the largest as
// well); the search stops at the first error above tol.
Proven within(const DenseTable& t, int k0, int k1, double tol, int threads, bool tight = false) {
    DenseOpts o;
    o.k0 = k0;
    o.k1 = k1;
    o.stop_above = tol;
    o.threads = threads;
    o.prove = true;
    o.target = tol;
    o.tight = tight;
    DenseErrors r = dense_errors(t, o);
    Proven p{r.all, r.bound, Verdict::within};
    if (r.stopped || r.not_finite > 0)
        p.verdict = Verdict::above;
    else if (!(r.bound <= tol))
        p.verdict = Verdict::not_proven;
    return p;
}
} // namespace

Design design_table(double a, double b, double tol, const Method& m, Store s, int threads,
                    const Tell& tell) {
    Job job{m, tol, s, threads};
    Rows rows = resolving(a, b, s);
    const Try start{rows, errors_of(rows, job)};
    Try last = start;
    Design d;
    d.end = DesignEnd::too_many_rows;
    double settled = HUGE_VAL; // the largest error of the last settled rows
    std::optional<Try> found;  // the rows of the least n that met tol so far
    long long found_n = 0;
    // n rows settled from the last settled rows, then mended with at most 16 rows more.
    auto meets = [&](long long n) {
        if (tell)
            tell("the design", n, 0);
        Try s = settle(last, n, job);
        if (s.x.empty()) {
            d.end = DesignEnd::too_close;
            return false;
        }
        last = s;
        settled = largest(s.e);
        auto limit = static_cast<std::size_t>(std::min(max_rows, n + 16));
        // Each interval with an error above tol at its points takes a row more at least:
        // more of them than mend may add, and it would fail.
        auto above = std::count_if(s.e.begin(), s.e.end(), [&](double e) { return e > tol; });
        if (static_cast<std::size_t>(above) > limit - s.x.size()) {
            d.end = DesignEnd::too_many_rows;
            return false;
        }
        if (!mend(s, limit, job, &d.end))
            return false;
        if (!found || n < found_n) {
            found = std::move(s);
            found_n = n;
        }
        return true;
    };
    // Both methods' errors fall by half or more as the rows double. When from 64 rows on
    // three doublings in a row bring them down by less than a tenth, the rows have lost the
    // peak (settled from too few rows on a wide interval): the doubling goes on from the
    // table that resolves the function. When they stall again, or when the errors are not
    // finite (the method's values overflow on intervals as wide as these, say), the search
    // gives up, and says so.
    int stalled = 0;
    bool restarted = false;
    double before = HUGE_VAL;
    auto stop = [&](long long n) {
        stalled = n >= 64 && !(settled < 0.9 * before) ? stalled + 1 : 0;
        before = settled;
        if (stalled < 3)
            return false;
        if (settled < HUGE_VAL && !restarted) {
            restarted = true;
            stalled = 0;
            before = HUGE_VAL;
            last = start;
            return false;
        }
        d.end = settled < HUGE_VAL ? DesignEnd::gave_up : DesignEnd::not_finite;
        d.stalled_rows = n;
        d.stalled_error = settled;
        return true;
    };
    if (least_rows(meets, stop) == 0)
        return d;
    d.x = std::move(found->x);
    d.end = DesignEnd::reached;
    return d;
}

Proven table_error(const double* xa, const double* ya, int n, const Method& m, double tol,
                   int threads) {
    return within(dense_prepare(xa, ya, n, m, threads), 0, -1, tol, threads, true);
}

namespace {
// What the end intervals of lorgen's n evenly spaced rows do against tol, for a method whose
// pieces reach two rows to each side: each end from six rows of its own, whose first (last)
// three intervals are the table's own pieces. Within where n is too small to need it.
Verdict local_ends(double a, double b, long long n, const Job& job) {
    if (n < 12)
        return Verdict::within;
    for (bool front : {true, false}) {
        Rows x = even_x(a, b, n, front ? 0 : n - 6, 6, job.s), y = stored_values(x, job.s);
        DenseTable t = dense_prepare(x.data(), y.data(), 6, job.m, 1);
        if (Proven p = within(t, front ? 0 : 2, front ? 3 : 6, job.tol, 1);
            p.verdict != Verdict::within)
            return p.verdict;
    }
    return Verdict::within;
}

// What lorgen's n evenly spaced rows do against tol: the end intervals, where the end
// conditions put the largest errors, first (from their own rows where the method is local),
// then those around the peak; every probe stops at the first error above tol.
Verdict even_verdict(double a, double b, long long n, const Job& job) {
    if (job.m.local)
        if (Verdict v = local_ends(a, b, n, job); v != Verdict::within)
            return v;
    Rows x = even_x(a, b, n, 0, n, job.s), y = stored_values(x, job.s);
    auto rows = static_cast<int>(n);
    DenseTable t = dense_prepare(x.data(), y.data(), rows, job.m, job.threads);
    for (int k0 : {0, std::max(0, rows - 3)})
        if (Proven p = within(t, k0, std::min(k0 + 2, rows - 1), job.tol, 1);
            p.verdict != Verdict::within)
            return p.verdict;
    // The intervals around the peak next, where a table too coarse for it fails.
    if (a < lor_centre && lor_centre < b) {
        auto kc = static_cast<long long>((lor_centre - a) / (b - a) * static_cast<double>(n - 1));
        int k0 = static_cast<int>(std::max(0LL, kc - 64)), k1 = std::min(rows - 1, k0 + 128);
        if (Proven p = within(t, k0, k1, job.tol, 1); p.verdict != Verdict::within)
            return p.verdict;
    }
    return within(t, 0, -1, job.tol, job.threads).verdict;
}

// The count the method's error model predicts: the largest errors e0, e1 of lorgen's 129 and
// 257 rows give the order p (the nearest whole one, 1 to 4) of e = C h^p, and the least n
// whose h meets tol under it, found by bisection with powers by multiplication (the same on
// every platform). 0 when the errors do not fall like such a power (a wide interval whose
// few rows miss the peak, say).
long long predicted(double a, double b, const Job& job) {
    double e[2], h[2];
    long long ns[2] = {129, 257};
    for (int i = 0; i < 2; ++i) {
        Rows x(static_cast<std::size_t>(ns[i])), y(x.size());
        sample_table(a, b, ns[i], x.data(), y.data());
        DenseTable t = dense_prepare(x.data(), y.data(), static_cast<int>(ns[i]), job.m, 1);
        e[i] = dense_errors(t, {.prove = true}).all.err;
        h[i] = (b - a) / static_cast<double>(ns[i] - 1);
    }
    if (!(e[1] > 0 && e[0] > e[1]))
        return 0;
    // The order: the p whose 2^p is nearest e0/e1 in ratio, within a factor 2^0.35.
    int p = 0;
    for (int q = 1; q <= 4; ++q) {
        double r = e[0] / e[1] / std::ldexp(1.0, q);
        if (r > 0.78 && r < 1.28)
            p = q;
    }
    if (p == 0)
        return 0;
    auto model = [&](long long n) {
        return e[1] * ipow((b - a) / static_cast<double>(n - 1) / h[1], p);
    };
    long long lo = 2, hi = 2 * max_rows;
    while (hi - lo > 1) {
        long long mid = lo + (hi - lo) / 2;
        (model(mid) <= job.tol ? hi : lo) = mid;
    }
    return hi;
}

// A probe of the count: n and what its rows do.
struct Probe {
    long long n;
    Verdict v;
};
} // namespace

namespace {
// Two neighbouring counts: lo.n rows fail tol (lo.n = 1: none tried below), hi.n rows meet it
// (hi.n = 0: not even max_rows do).
struct Bracket {
    Probe lo, hi;
};

// The bracket that probe(n) gives from start: steps of 1, 2, 4, ... rows toward the other side
// of tol, then bisection.
template <class P> Bracket bracket(long long start, P probe) {
    Probe hi = probe(start), lo{1, Verdict::above};
    if (hi.v == Verdict::within) {
        for (long long d = 1; hi.n - d >= 2; d *= 2) {
            Probe q = probe(hi.n - d);
            if (q.v != Verdict::within) {
                lo = q;
                break;
            }
            hi = q;
        }
    } else {
        lo = hi;
        for (long long d = 1;; d *= 2) {
            if (lo.n == max_rows)
                return {lo, {0, Verdict::above}};
            Probe q = probe(std::min(lo.n + d, max_rows));
            if (q.v == Verdict::within) {
                hi = q;
                break;
            }
            lo = q;
        }
    }
    while (hi.n - lo.n > 1) {
        Probe q = probe(lo.n + (hi.n - lo.n) / 2);
        (q.v == Verdict::within ? hi : lo) = q;
    }
    return {lo, hi};
}
} // namespace

EvenCount even_rows(double a, double b, double tol, const Method& m, Store s, int threads,
                    const Tell& tell) {
    Job job{m, tol, s, threads};
    long long failed = 0, met = 0; // the last n that failed and that met tol, for tell
    // A probe of n rows: with ends_only, of a local method's end intervals alone.
    auto probe = [&](long long n, bool ends_only) {
        if (tell)
            tell("evenly spaced rows", failed > 0 ? failed : n,
                 failed > 0 ? (met > 0 ? met : n) : 0);
        Verdict v = ends_only && n >= 12 ? local_ends(a, b, n, job) : even_verdict(a, b, n, job);
        (v == Verdict::within ? met : failed) = n;
        return Probe{n, v};
    };
    long long start = std::clamp(predicted(a, b, job), 2LL, max_rows);
    // A local method's error is at its ends: the count from them, cheaply, then the whole table
    // checked there, and searched on from it only where it falls short.
    if (m.local) {
        Bracket e = bracket(start, [&](long long n) { return probe(n, true); });
        if (e.hi.n == 0)
            return {};
        if (probe(e.hi.n, false).v == Verdict::within)
            return {e.hi.n, e.hi.n > 2 ? e.lo.v : Verdict::within};
        start = e.hi.n;
    }
    Bracket c = bracket(start, [&](long long n) { return probe(n, false); });
    if (c.hi.n == 0)
        return {};
    return {c.hi.n, c.hi.n > 2 ? c.lo.v : Verdict::within};
}

double stored(double v, Store s) {
    return s == Store::f32 ? static_cast<double>(static_cast<float>(v)) : v;
}

void round_out(double* a, double* b, Store s) {
    double fa = stored(*a, s), fb = stored(*b, s);
    if (fa > *a)
        fa = static_cast<double>(std::nextafter(static_cast<float>(fa), -HUGE_VALF));
    if (fb < *b)
        fb = static_cast<double>(std::nextafter(static_cast<float>(fb), HUGE_VALF));
    *a = fa;
    *b = fb;
}

std::vector<double> stored_values(const std::vector<double>& x, Store s) {
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        y[i] = stored(lorentz(x[i]), s);
    return y;
}

EndRows end_rows(const std::vector<double>& x) {
    std::size_t n = x.size();
    if (n < 4)
        return {};
    return {x[1] - x[0] < 1e-3 * (x[2] - x[1]), x[n - 1] - x[n - 2] < 1e-3 * (x[n - 2] - x[n - 3])};
}

int store_bytes(Store s) {
    return s == Store::f32 ? 4 : 8;
}

const char* store_name(Store s) {
    return s == Store::f32 ? "float32" : "double";
}

namespace {
// The method's amplification of errors in its ordinates: the largest over the engine's points
// of sum_i |p(e_i)(x) - p(0)(x)| on 32 evenly spaced rows (e_i: 1 at row i, 0 elsewhere), the
// pieces' response to unit data errors with the end conditions' own terms taken out.
double amplification(const Method& m) {
    constexpr int n = 32, per = dense_per_interval;
    Rows x(n), zero(n, 0.0), pts(per), p(per), sum((n - 1) * per + 1, 0.0), base(sum.size());
    for (int i = 0; i < n; ++i)
        x[static_cast<std::size_t>(i)] = i;
    // The values of the method on ordinates y at the engine's points, into out.
    auto values = [&](const Rows& y, Rows& out) {
        DenseTable t = dense_prepare(x.data(), y.data(), n, m);
        for (int k = 0; k + 1 < n; ++k) {
            for (int j = 0; j < per; ++j)
                pts[static_cast<std::size_t>(j)] = k + j / static_cast<double>(per);
            m.values(t, k, pts.data(), per, p.data());
            std::copy(p.begin(), p.end(), out.begin() + static_cast<std::ptrdiff_t>(k) * per);
        }
        out.back() = dense_value(t, n - 2, n - 1);
    };
    values(zero, base);
    Rows one(sum.size());
    for (int i = 0; i < n; ++i) {
        Rows y = zero;
        y[static_cast<std::size_t>(i)] = 1;
        values(y, one);
        for (std::size_t j = 0; j < sum.size(); ++j)
            sum[j] += std::fabs(one[j] - base[j]);
    }
    return largest(sum);
}
} // namespace

double store_floor(double a, double b, const Method& m, Store s) {
    if (s == Store::f64)
        return 0;
    double top = a <= lor_centre && lor_centre <= b ? 1.0 : std::max(lorentz(a), lorentz(b));
    return amplification(m) * top * 0x1p-24;
}
