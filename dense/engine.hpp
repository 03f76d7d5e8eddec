// engine: the reductions the sampled pass and the proving search share; for dense/ alone.
#pragma once

#include "dense.hpp"
#include "numlib.hpp"

#include <vector>

// Columns per unit of x of o's columns (0: none), and the column of x in [col_x0, col_x1].
double column_scale(const DenseOpts& o);
int column_of(const DenseOpts& o, double scale, double x);
// An empty result with o's columns.
DenseErrors blank_errors(const DenseOpts& o);
// The finite error e at x into o's columns and window sides.
void take_point(DenseErrors& r, const DenseOpts& o, double scale, double x, double e);
// b's peak into a's where it is greater: on a tie the first x stays.
void join_peak(Peak& a, const Peak& b);
// An error e at x that is not finite into the counts.
void count_bad(DenseErrors& r, const DenseOpts& o, double x, double e);
// The points of interval k into r, as the sampled pass takes them (per interval when asked).
void scan_interval(const DenseTable& t, const DenseOpts& o, int k, DenseErrors& r);
// Joins the result of the intervals after a's to a: what one pass over both gives.
void join_errors(DenseErrors& a, DenseErrors&& b);
// dense_errors with o.prove on a table whose abscissae strictly ascend.
DenseErrors dense_search(const DenseTable& t, const DenseOpts& o);

// pass(k0, k1) over o's intervals in blocks, one a thread, joined in order: the result of one
// pass over all of them, for any threads (a block after one that stopped early was never
// reached by one pass). Throws what pass throws, std::bad_alloc when memory is short.
template <class P> DenseErrors in_blocks(const DenseTable& t, const DenseOpts& o, P pass) {
    int k0 = o.k0, k1 = o.k1 < 0 ? t.n : o.k1;
    int blocks = std::min(o.threads, (k1 - k0) / 256);
    if (blocks < 2)
        return pass(k0, k1);
    std::vector<DenseErrors> part(static_cast<std::size_t>(blocks));
    run_jobs(part.size(), blocks, [&](std::size_t b) {
        auto from = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * b / part.size());
        auto to = k0 + static_cast<int>(static_cast<long long>(k1 - k0) * (b + 1) / part.size());
        part[b] = pass(from, to);
    });
    DenseErrors r = std::move(part[0]);
    for (std::size_t b = 1; b < part.size() && !r.stopped; ++b)
        join_errors(r, std::move(part[b]));
    return r;
}
