// design: the search for the fewest rows, over a predicate that depends only on the count.
#include "rows.hpp"

#include "limits.hpp"

#include <algorithm>
#include <cmath>

namespace {
Job job_of(const Request& r) {
    return {*r.m, r.tol, r.s, r.threads};
}

// Adds the next rung to s's ladder: its rows settled from the rung below; the stall told
// after it (the ladder back at the resolving table, or given up).
void climb(DesignSearch& s) {
    std::size_t i = s.ladder.size();
    // The count search's steps up from 2: the count doubles.
    long long n = i == 0 ? 2 : std::min(2 * s.ladder.back().n, max_rows);
    const Try& from = i == 0 ? s.start : s.ladder.back().base;
    if (s.tell)
        s.tell("the design", n, 0);
    Try t = settle(from, n, job_of(s.r));
    double err = !t.x.empty() ? largest(t.e) : i == 0 ? HUGE_VAL : s.ladder.back().err;
    // Both methods' errors fall by half or more as the rows double. When from 64 rows on
    // three rungs in a row bring them down by less than a tenth, the rows have lost the peak
    // (settled from too few rows on a wide interval): the ladder goes on from the table that
    // resolves the function. When they stall again, or when the errors are not finite (the
    // method's values overflow on intervals as wide as these, say), it gives up.
    s.stalled = n >= 64 && !(err < 0.9 * s.before) ? s.stalled + 1 : 0;
    s.before = err;
    Try base = t.x.empty() ? from : t;
    if (s.stalled >= 3 && err < HUGE_VAL && !s.restarted) {
        s.restarted = true;
        s.stalled = 0;
        s.before = HUGE_VAL;
        base = s.start;
    } else if (s.stalled >= 3) {
        s.given_up.end = err < HUGE_VAL ? DesignEnd::gave_up : DesignEnd::not_finite;
        s.given_up.stalled_rows = n;
        s.given_up.stalled_error = err;
    }
    s.ladder.push_back({n, std::move(t), std::move(base), err});
}

// The count whose rows n settles from, for lo < n < hi neighbouring rungs: the last count
// that bisecting between them reaches before n (hi at the first step).
long long parent_of(long long n, long long lo, long long hi) {
    for (long long last = hi;;) {
        long long mid = lo + (hi - lo) / 2;
        if (mid == n)
            return last;
        (n < mid ? hi : lo) = mid;
        last = mid;
    }
}

// The rung at count n, or null.
const DesignSearch::Rung* rung_at(const DesignSearch& s, long long n) {
    auto it = std::lower_bound(s.ladder.begin(), s.ladder.end(), n,
                               [](const DesignSearch::Rung& g, long long v) { return g.n < v; });
    return it != s.ladder.end() && it->n == n ? &*it : nullptr;
}

// The rows n settles to (x empty: none ascend): a rung's, or from its parent's. The ladder
// reaches past n.
const Try& settled_at(DesignSearch& s, long long n) {
    if (const DesignSearch::Rung* g = rung_at(s, n))
        return g->settled;
    if (auto it = s.between.find(n); it != s.between.end())
        return it->second;
    auto up = std::lower_bound(s.ladder.begin(), s.ladder.end(), n,
                               [](const DesignSearch::Rung& g, long long v) { return g.n < v; });
    long long p = parent_of(n, (up - 1)->n, up->n);
    // A parent that settled to nothing passes on what it settled from.
    const Try* from = &settled_at(s, p);
    for (long long q = p; from->x.empty();) {
        if (const DesignSearch::Rung* g = rung_at(s, q)) {
            from = &g->base;
            break;
        }
        q = parent_of(q, (up - 1)->n, up->n);
        from = &settled_at(s, q);
    }
    if (s.tell)
        s.tell("the design", n, 0);
    Try t = settle(*from, n, job_of(s.r));
    return s.between[n] = std::move(t);
}

// n settled rows mended: the design, or why n rows do not meet the tolerance.
Design mended(Try s, long long n, const Job& job) {
    Design d;
    if (s.x.empty()) {
        d.end = DesignEnd::too_close;
        return d;
    }
    auto limit = static_cast<std::size_t>(std::min(max_rows, n + 16));
    // Each interval with an error above tol at its points takes a row more at least: more of
    // them than mend may add, and it would fail.
    auto above = std::count_if(s.e.begin(), s.e.end(), [&](double e) { return e > job.tol; });
    if (static_cast<std::size_t>(above) > limit - s.x.size()) {
        d.end = DesignEnd::too_many_rows;
        return d;
    }
    if (mend(s, limit, job, &d.end))
        d = {std::move(s.x), DesignEnd::reached};
    return d;
}

Count count_of(const Design& d) {
    if (d.end == DesignEnd::reached)
        return Count::meets;
    bool none = d.end == DesignEnd::gave_up || d.end == DesignEnd::not_finite;
    return none ? Count::none_beyond : Count::fails;
}
} // namespace

DesignSearch::DesignSearch(const Request& req, Tell t) : r(req), tell(std::move(t)) {
    start.x = resolving(r.a, r.b, r.s);
    start.e = errors_of(start.x, job_of(r));
}

Count DesignSearch::meets(long long n) {
    if (auto it = probed.find(n); it != probed.end())
        return count_of(it->second);
    bool given = given_up.end != DesignEnd::reached;
    while (!given && (ladder.empty() || ladder.back().n < n)) {
        climb(*this);
        given = given_up.end != DesignEnd::reached;
    }
    Design d;
    if (given && n > ladder.back().n) {
        d = given_up;
    } else {
        d = mended(settled_at(*this, n), n, job_of(r));
        // Where the method's error follows its asymptotic model, rows placed after it may
        // need fewer rows than those settled: the fewer of the two.
        if (r.m->asymptotic > 0)
            if (Design a = mended(placed(r.a, r.b, n, job_of(r)), n, job_of(r));
                a.end == DesignEnd::reached &&
                (d.end != DesignEnd::reached || a.x.size() < d.x.size()))
                d = std::move(a);
        if (d.end != DesignEnd::reached && given && n == ladder.back().n)
            d = given_up;
    }
    probed[n] = d;
    return count_of(d);
}

Design DesignSearch::design(long long n) const {
    return probed.at(n);
}

namespace {
// When the ladder gave up (its rows lost the function's shape, on an interval as wide as
// [-1e20, 1e20], say): its rung of least error, else the resolving table, mended until within
// tol; a table, with rows to spare, where mending reaches it within max_rows. Else failed.
Design mended_fallback(const DesignSearch& s, const Design& failed) {
    const Try* best = &s.start;
    double least = HUGE_VAL;
    for (const DesignSearch::Rung& g : s.ladder)
        if (!g.settled.x.empty() && g.err < least) {
            least = g.err;
            best = &g.settled;
        }
    if (s.tell)
        s.tell("mending the design", static_cast<long long>(best->x.size()), 0);
    Try t = *best;
    DesignEnd why = DesignEnd::reached;
    if (mend(t, static_cast<std::size_t>(max_rows), job_of(s.r), &why))
        return {std::move(t.x), DesignEnd::reached};
    return failed;
}
} // namespace

Design design_table(const Request& r, const Tell& tell) {
    DesignSearch s(r, tell);
    CountBracket c = count_search(
        2, max_rows, [&](long long n) { return s.meets(n); }, 2);
    Design d = s.design(c.hi > 0 ? c.hi : c.lo);
    return d.end == DesignEnd::gave_up ? mended_fallback(s, d) : d;
}

EndRows end_rows(const std::vector<double>& x) {
    std::size_t n = x.size();
    if (n < 4)
        return {};
    return {x[1] - x[0] < 1e-3 * (x[2] - x[1]), x[n - 1] - x[n - 2] < 1e-3 * (x[n - 2] - x[n - 3])};
}
