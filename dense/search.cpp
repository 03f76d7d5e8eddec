// search: the largest error everywhere, proven. A first pass takes the error at the middle of
// every interval for the floors: what the largest error overall, in each column and on each
// side of the window is at least. A second pass bounds every interval from its ends and its
// middle and searches only those whose bound may exceed their floor: the engine's points,
// then halves where the bound says, then golden section at the best point.
#include "bound.hpp"
#include "engine.hpp"
#include "numlib.hpp"
#include "within.hpp"

#include <algorithm>
#include <cmath>

namespace {
// Whether a sub-interval (its bound all, in parts sb) may hide an error above ref (the best
// found, or the floor) by more than 0.1% and the allowance of the closer values: the search
// proves the largest error that closely. Against a tolerance, where the question is whether
// the error is within it, one whose bound exceeds it is searched to a part in a million; one
// within it needs no more unless the proof is to be tight all the same.
bool worth_splitting(const Ask& o, const SubBound& sb, double all, double ref) {
    bool tol = against(o);
    if ((!tol || o.tight) && sb.d > 1.001 * ref + sb.rq)
        return true;
    return tol && all > o.tol && sb.d > (1 + 0x1p-20) * ref + sb.rq;
}
constexpr int golden_steps = 16;         // steps that refine the best point of a search
constexpr long long node_budget = 16384; // nodes one interval's search may add

// Interval k's piece at x, as a bound's end.
Node node_at(const DenseTable& t, int k, double x) {
    return node_of(t.m->jet(t, k, x), x);
}

// What a block of intervals works with: the table, the options, the floors of the first
// pass (null in it), the column scale, and the result it adds to.
struct Pass {
    const DenseTable& t;
    const Ask& o;
    const Tally* floors;
    double scale;
    Tally r;
};

// The program's finite error e at x into the reductions and into the interval's best.
void take(Pass& ps, Peak& best, double x, double e) {
    if (!std::isfinite(e))
        return;
    if (e > best.err || (e == best.err && x < best.x))
        best = {e, x};
    take_point(ps.r, ps.o, ps.scale, x, e);
    if (e > ends_above(ps.o))
        ps.r.p.stopped = true;
}

// The least floor of the reductions that the interval [lo, hi] adds to: the largest error
// the first pass found overall, in each column it spans, on each side of the window it
// touches (-1 where none). With per_interval, none: every interval proves its own.
double floor_of(const Pass& ps, double lo, double hi) {
    const Ask& o = ps.o;
    const Tally& f = *ps.floors;
    if (o.per_interval)
        return -1;
    double v = f.p.all.err;
    if (o.columns > 0 && hi >= o.col_x0 && lo <= o.col_x1) {
        int c0 = column_of(o, ps.scale, std::max(lo, o.col_x0));
        int c1 = column_of(o, ps.scale, std::min(hi, o.col_x1));
        for (int c = c0; c <= c1; ++c)
            v = std::min(v, f.p.column[static_cast<std::size_t>(c)].err);
    }
    if (o.window) {
        if (hi >= o.win_lo && lo <= o.win_hi)
            v = std::min(v, f.p.inside.err);
        if (lo < o.win_lo || hi > o.win_hi)
            v = std::min(v, f.p.outside.err);
    }
    return v;
}

// The best point of a search and the sub-interval around it, for the golden section.
struct Best {
    Peak p;
    double lo = 0, hi = 0;
    Peak side[2];   // with a window: the best inside it and outside it
    double eb = -1; // the largest error of the closer values at the nodes (Node::eb)
};

// The point x with its error e into the reductions and into the interval's bests.
void take_best(Pass& ps, Best& b, double x, double e) {
    take(ps, b.p, x, e);
    const Ask& o = ps.o;
    if (o.window && std::isfinite(e)) {
        Peak& s = b.side[x >= o.win_lo && x <= o.win_hi ? 0 : 1];
        if (e > s.err)
            s = {e, x};
    }
}

// The node n's error into the interval's bests, and its closer value's.
void take_node(Pass& ps, Best& b, const Node& n) {
    take_best(ps, b, n.x, n.e);
    if (std::isfinite(n.eb))
        b.eb = std::max(b.eb, n.eb);
}

// What a sub-interval [lo, hi] of an interval must be proven against: the interval's best
// error (as computed, or of the closer values: in double arithmetic the same) and floor; with
// a window, the best and floor of the side it lies on (the lesser of both where it spans an
// edge), so that each side's peak is proven to 0.1% on its own.
double ref_of(const Pass& ps, const Best& b, double lo, double hi, double floor) {
    const Ask& o = ps.o;
    if (!o.window)
        return std::max(std::max(b.p.err, b.eb), floor);
    bool in = hi >= o.win_lo && lo <= o.win_hi, out = lo < o.win_lo || hi > o.win_hi;
    double side = in && out ? std::min(b.side[0].err, b.side[1].err) : b.side[in ? 0 : 1].err;
    return std::max(side, floor_of(ps, lo, hi));
}

// Golden-section steps toward the largest error in (b.lo, b.hi) of interval k; every point
// into the reductions.
void refine(Pass& ps, int k, Best& b) {
    constexpr double g = 0.6180339887498949;
    double lo = b.lo, hi = b.hi;
    auto err = [&](double x) {
        double e = std::fabs(ps.t.m->jet(ps.t, k, x).p - study_function().f(x));
        take_best(ps, b, x, e);
        return std::isfinite(e) ? e : -1.0;
    };
    const DenseTable& t = ps.t;
    double c = at(t, hi - g * (hi - lo)), d = at(t, lo + g * (hi - lo));
    double ec = err(c), ed = err(d);
    for (int i = 0; i < golden_steps && c > lo && d < hi && c < d && !ps.r.p.stopped; ++i) {
        if (ec >= ed) {
            hi = d, d = c, ed = ec;
            c = at(t, hi - g * (hi - lo));
            ec = err(c);
        } else {
            lo = c, c = d, ec = ed;
            d = at(t, lo + g * (hi - lo));
            ed = err(d);
        }
    }
}

// Halves the sub-intervals of interval k (ends in `stack`) while they are worth splitting
// against floor or the best error found;
// the interval's bound, the largest of the sub-intervals' left whole (short of it where the
// search ended above the tolerance).
double halve(Pass& ps, int k, double floor, std::vector<Node>& stack, Best& best) {
    double bound = 0;
    long long added = 0;
    while (!stack.empty() && !ps.r.p.stopped) {
        Node a = stack[stack.size() - 2], b = stack.back();
        stack.resize(stack.size() - 2);
        SubBound sb = sub_bound(a, b);
        double all = bound_of(sb);
        double mid = at(ps.t, a.x + 0.5 * (b.x - a.x));
        bool split = std::isfinite(all) &&
                     worth_splitting(ps.o, sb, all, ref_of(ps, best, a.x, b.x, floor)) &&
                     added < node_budget && mid > a.x && mid < b.x;
        if (!split) {
            bound = std::fmax(bound, all);
            ps.r.allowance = std::fmax(ps.r.allowance, 2 * sb.r);
            continue;
        }
        Node m = node_at(ps.t, k, mid);
        ++added;
        Peak before = best.p;
        take_node(ps, best, m);
        if (best.p.x != before.x || best.p.err != before.err)
            best.lo = a.x, best.hi = b.x;
        // The left half on top: the halves are taken left to right.
        stack.insert(stack.end(), {m, b, a, m});
    }
    return bound;
}

// Interval k's search from the engine's points, its ends and middle (points 0, 32 and 64)
// known and taken: its peak and bound.
double search(Pass& ps, int k, double floor, const Node (&known)[3], Best& best,
              std::vector<Node>& stack) {
    const double* xa = ps.t.xa;
    double h = xa[k + 1] - xa[k];
    constexpr int mid = dense_per_interval / 2;
    Node nodes[dense_per_interval + 1];
    for (int j = 0; j <= dense_per_interval; ++j) {
        if (j % mid == 0) {
            nodes[j] = known[j / mid];
            continue;
        }
        double x = at(ps.t, xa[k] + (h * j) / 64.0);
        nodes[j] = node_at(ps.t, k, x);
        take_node(ps, best, nodes[j]);
    }
    // The bracket of a point j: its neighbours (set once all points are known).
    for (int j = 0; j <= dense_per_interval; ++j)
        if (nodes[j].x == best.p.x) {
            best.lo = nodes[j > 0 ? j - 1 : 0].x;
            best.hi = nodes[j < dense_per_interval ? j + 1 : j].x;
        }
    stack.clear();
    for (int j = dense_per_interval; j > 0; --j)
        stack.insert(stack.end(), {nodes[j - 1], nodes[j]});
    double bound = halve(ps, k, floor, stack, best);
    if (best.lo < best.hi && !ps.r.p.stopped)
        refine(ps, k, best);
    return bound;
}

// The window's sides that [lo, hi] touches take the bound b.
void bound_sides(Tally& r, const Ask& o, double lo, double hi, double b) {
    if (!o.window)
        return;
    if (hi >= o.win_lo && lo <= o.win_hi)
        r.inside_bound = std::fmax(r.inside_bound, b);
    if (lo < o.win_lo || hi > o.win_hi)
        r.outside_bound = std::fmax(r.outside_bound, b);
}

// The engine's middle point of interval k (its point 32).
double middle(const DenseTable& t, int k) {
    return at(t, t.xa[k] + ((t.xa[k + 1] - t.xa[k]) * 32) / 64.0);
}

// The first pass over interval k: the error at its middle (and at the first row). The rows
// themselves add little: both methods pass through them.
void first_pass(Pass& ps, int k) {
    const DenseTable& t = ps.t;
    Peak best;
    double x[2] = {middle(t, k), t.xa[0]}, p[2];
    int count = k == 0 ? 2 : 1;
    t.m->values(t, k, x, count, p);
    for (int i = 0; i < count; ++i)
        take(ps, best, x[i], std::fabs(p[i] - study_function().f(x[i])));
    join_peak(ps.r.p.all, best);
}

// Interval k, whose values are not finite somewhere, at the engine's points, counted as the
// sampled pass counts them; its peak into best.
void scan_bad(Pass& ps, int k, Peak& best) {
    Tally part = blank_errors(ps.o);
    Ask o = ps.o;
    o.per_interval = true;
    scan_interval(ps.t, o, k, part);
    join_peak(best, part.p.interval[0]);
    if (ps.o.per_interval)
        ps.r.p.interval_not_finite.push_back(part.p.interval_not_finite[0]);
    part.p.interval.clear();
    part.p.interval_not_finite.clear();
    part.p.points = 0;
    join_errors(ps.r, std::move(part));
}

// Interval k (k <= n-2) into ps.r: bounded from its ends and middle, and searched where the
// bound of a half may exceed the floor or its errors found by more than 0.1% and the allowance.
void prove_interval(Pass& ps, int k, std::vector<Node>& stack) {
    const DenseTable& t = ps.t;
    Node nd[3] = {node_at(t, k, t.xa[k]), node_at(t, k, middle(t, k)), node_at(t, k, t.xa[k + 1])};
    Best best;
    for (int i = k == 0 ? 0 : 1; i < 3; ++i)
        take_node(ps, best, nd[i]);
    // A window's edge inside the interval: the points on either side of it, where a side's
    // largest error lies when the error grows toward the edge.
    if (ps.o.window)
        for (double e : {ps.o.win_lo, ps.o.win_hi})
            if (t.xa[k] < e && e <= t.xa[k + 1])
                for (double x : {at(t, std::nextafter(e, -HUGE_VAL)), at(t, e)})
                    if (x >= t.xa[k])
                        take_best(ps, best, x, node_at(t, k, x).e);
    Local l = study_function().local(nd[0].x, nd[2].x);
    SubBound h[2] = {sub_bound(nd[0], nd[1], l), sub_bound(nd[1], nd[2], l)};
    double bound = std::fmax(bound_of(h[0]), bound_of(h[1]));
    if (!std::isfinite(bound)) {
        scan_bad(ps, k, best.p);
        bound = HUGE_VAL;
    } else {
        double floor = std::max(best.p.err, floor_of(ps, t.xa[k], t.xa[k + 1]));
        bool more = false;
        for (int i = 0; i < 2; ++i)
            more = more || worth_splitting(ps.o, h[i], bound_of(h[i]),
                                           ref_of(ps, best, nd[i].x, nd[i + 1].x, floor));
        if (more)
            bound = search(ps, k, floor, nd, best, stack);
        else
            ps.r.allowance = std::fmax(ps.r.allowance, 2 * std::fmax(h[0].r, h[1].r));
        if (ps.o.per_interval)
            ps.r.p.interval_not_finite.push_back(0);
    }
    join_peak(ps.r.p.all, best.p);
    ps.r.bound = std::fmax(ps.r.bound, bound);
    bound_sides(ps.r, ps.o, t.xa[k], t.xa[k + 1], bound);
    if (ps.o.per_interval) {
        ps.r.p.interval.push_back(best.p);
        ps.r.interval_bound.push_back(bound);
    }
}

// Intervals k0 .. k1-1 (k1 <= n: n means through the last row) on the caller's thread.
Tally pass_of(const DenseTable& t, const Ask& o, const Tally* floors, int k0, int k1) {
    Pass ps{t, o, floors, column_scale(o), blank_errors(o)};
    std::vector<Node> stack;
    for (int k = k0; k < k1 && !ps.r.p.stopped; ++k) {
        if (k < t.n - 1) {
            if (floors == nullptr)
                first_pass(ps, k);
            else
                prove_interval(ps, k, stack);
            ps.r.p.points += dense_per_interval;
        } else if (floors != nullptr && o.per_interval) {
            // The last row alone: its error is the interval's before it, proven there.
            ps.r.p.interval.push_back(Peak{});
            ps.r.interval_bound.push_back(0);
            ps.r.p.interval_not_finite.push_back(0);
        }
        if (k == t.n - 1)
            ps.r.p.points += 1;
    }
    return ps.r;
}

// One pass over o's intervals in blocks, a thread each, joined in order.
Tally blocks_of(const DenseTable& t, const Ask& o, const Tally* floors) {
    return in_blocks(t, o, [&](int k0, int k1) { return pass_of(t, o, floors, k0, k1); });
}
} // namespace

Tally dense_search(const DenseTable& t, const Ask& o) {
    if (against(o) && !o.tight) { // each interval proves itself against it: no floors needed
        Tally none = blank_errors(o);
        return blocks_of(t, o, &none);
    }
    Ask first = o;
    first.per_interval = false;
    Tally floors = blocks_of(t, first, nullptr);
    if (floors.p.stopped)
        return floors;
    Tally r = blocks_of(t, o, &floors);
    if (o.window) {
        r.inside_bound = std::fmax(r.inside_bound, 0.0);
        r.outside_bound = std::fmax(r.outside_bound, 0.0);
    }
    return r;
}

PieceError piece_error(const DenseTable& t, int k, double lo, double hi) {
    Node a = node_at(t, k, lo), b = node_at(t, k, hi);
    Peak p = b.e > a.e ? Peak{b.e, hi} : Peak{a.e, lo};
    return {p, bound_of(sub_bound(a, b))};
}
