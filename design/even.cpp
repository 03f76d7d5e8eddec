// even: the evenly spaced count, probed where the error is largest first.
#include "even.hpp"

#include "function.hpp"
#include "limits.hpp"
#include "numlib.hpp"

#include <algorithm>
#include <cmath>
#include <map>

namespace {
using Rows = std::vector<double>;

// Rows first .. first+count-1 of lorgen's n evenly spaced rows on [a, b], as stored.
Rows even_x(const Request& r, long long n, long long first, long long count) {
    Rows x(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i)
        x[static_cast<std::size_t>(i)] = stored(sample_x(r.a, r.b, n, first + i), r.s);
    return x;
}

// What the end intervals of lorgen's n evenly spaced rows do against tol, for a method whose
// pieces reach two rows to each side: each end from six rows of its own, whose first (last)
// three intervals are the table's own pieces. Within where n is too small to need it.
Verdict local_ends(const Request& r, long long n) {
    if (n < 12)
        return Verdict::within;
    for (bool front : {true, false}) {
        Rows x = even_x(r, n, front ? 0 : n - 6, 6), y = stored_values(x, r.s);
        DenseTable t = dense_prepare(x.data(), y.data(), 6, *r.m, 1, single(r.s));
        if (Proven p = dense_within(t, front ? 0 : 2, front ? 3 : 6, r.tol, 1);
            p.verdict != Verdict::within)
            return p.verdict;
    }
    return Verdict::within;
}

// What lorgen's n evenly spaced rows do against tol: the end intervals, where the end
// conditions put the largest errors, first (from their own rows where the method is local),
// then those around the peak; every probe stops at the first error above tol.
Verdict even_verdict(const Request& r, long long n) {
    if (r.m->local)
        if (Verdict v = local_ends(r, n); v != Verdict::within)
            return v;
    Rows x = even_x(r, n, 0, n), y = stored_values(x, r.s);
    auto rows = static_cast<int>(n);
    DenseTable t = dense_prepare(x.data(), y.data(), rows, *r.m, r.threads, single(r.s));
    for (int k0 : {0, std::max(0, rows - 3)})
        if (Proven p = dense_within(t, k0, std::min(k0 + 2, rows - 1), r.tol, 1);
            p.verdict != Verdict::within)
            return p.verdict;
    // The intervals around the peak next, where a table too coarse for it fails.
    if (double c = study_function().peak; r.a < c && c < r.b) {
        auto kc = static_cast<long long>((c - r.a) / (r.b - r.a) * static_cast<double>(n - 1));
        int k0 = static_cast<int>(std::max(0LL, kc - 64)), k1 = std::min(rows - 1, k0 + 128);
        if (Proven p = dense_within(t, k0, k1, r.tol, 1); p.verdict != Verdict::within)
            return p.verdict;
    }
    return dense_within(t, 0, -1, r.tol, r.threads).verdict;
}

// The count the method's error model predicts: the largest errors e0, e1 of lorgen's 129 and
// 257 rows give the order p (the nearest whole one, 1 to 4) of e = C h^p, and the least n
// whose h meets tol under it, with powers by multiplication (the same on every platform);
// max_rows where none does. 0 when the errors do not fall like such a power (a wide interval
// whose few rows miss the peak, say).
long long predicted(const Request& r) {
    double e[2], h[2];
    long long ns[2] = {129, 257};
    for (int i = 0; i < 2; ++i) {
        Rows x = even_x({r.a, r.b, r.tol, r.m, Store::f64, 1}, ns[i], 0, ns[i]);
        Rows y = stored_values(x, Store::f64);
        DenseTable t = dense_prepare(x.data(), y.data(), static_cast<int>(ns[i]), *r.m, 1);
        e[i] = dense_largest(t, {}).peaks.all.err;
        h[i] = (r.b - r.a) / static_cast<double>(ns[i] - 1);
    }
    if (!(e[1] > 0 && e[0] > e[1]))
        return 0;
    // The order: the p whose 2^p is nearest e0/e1 in ratio, within a factor 2^0.35.
    int p = 0;
    for (int q = 1; q <= 4; ++q) {
        double ratio = e[0] / e[1] / std::ldexp(1.0, q);
        if (ratio > 0.78 && ratio < 1.28)
            p = q;
    }
    if (p == 0)
        return 0;
    // The model falls as n grows: the count search finds its least n.
    CountBracket c = count_search(3, max_rows, [&](long long n) {
        double model = e[1] * ipow((r.b - r.a) / static_cast<double>(n - 1) / h[1], p);
        return model <= r.tol ? Count::meets : Count::fails;
    });
    return c.hi > 0 ? c.hi : max_rows;
}
} // namespace

EvenCount even_rows(const Request& r, const Tell& tell) {
    long long failed = 0, met = 0;     // the last n that failed and that met tol, for tell
    std::map<long long, Verdict> seen; // what each probe did
    // A probe of n rows: with ends_only, of a local method's end intervals alone.
    auto probe = [&](long long n, bool ends_only) {
        if (tell)
            tell("evenly spaced rows", failed > 0 ? failed : n,
                 failed > 0 ? (met > 0 ? met : n) : 0);
        Verdict v = ends_only && n >= 12 ? local_ends(r, n) : even_verdict(r, n);
        (v == Verdict::within ? met : failed) = n;
        seen[n] = v;
        return v == Verdict::within ? Count::meets : Count::fails;
    };
    long long start = std::max(predicted(r), 2LL);
    // A local method's error is at its ends: the count from them, cheaply, then the whole table
    // checked there, and searched on from it only where it falls short.
    if (r.m->local) {
        CountBracket e = count_search(start, max_rows, [&](long long n) { return probe(n, true); });
        if (e.hi == 0)
            return {};
        if (probe(e.hi, false) == Count::meets)
            return {e.hi, e.hi > 2 ? seen[e.lo] : Verdict::within};
        start = e.hi;
    }
    CountBracket c = count_search(start, max_rows, [&](long long n) { return probe(n, false); });
    if (c.hi == 0)
        return {};
    return {c.hi, c.hi > 2 ? seen[c.lo] : Verdict::within};
}

double asymptotic_rows(double a, double b, const Method& m, double tol) {
    if (m.asymptotic <= 0)
        return 0;
    const Function& f = study_function();
    constexpr int panels = 1 << 16;
    // x = peak + width t with t = s / sqrt(1 - s^2), s in (-1, 1): dx = width (1 - s^2)^-1.5 ds;
    // square roots only, which every platform rounds alike.
    auto s_of = [&](double x) {
        double t = (x - f.peak) / f.width;
        return t / std::sqrt(1 + t * t);
    };
    double s0 = s_of(a), s1 = s_of(b), step = (s1 - s0) / panels, sum = 0;
    for (int i = 0; i < panels; ++i) {
        double s = s0 + (i + 0.5) * step, c = 1 - s * s, r = std::sqrt(c);
        double g = m.asymptotic * f.derivative(f.peak + f.width * (s / r), m.order_inner) / tol;
        for (int p = m.order_inner; p > 1; p /= 2) // g^(1/p), p = 2 or 4
            g = std::sqrt(g);
        sum += g * f.width / (c * r);
    }
    return 1 + sum * step;
}
