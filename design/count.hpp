// count: the one search for a count of rows that meets a tolerance, which every count of the
// design uses: the design's fewest rows, the evenly spaced count, the error model's count.
#pragma once

#include <algorithm>

// What n rows do: meet the tolerance; fail it; or fail it with no count from n up to meet it
// (the search then stops).
enum class Count { meets, fails, none_beyond };

// Two neighbouring counts the search ends on: lo rows fail (1: none was tried below hi), hi
// rows meet (0: no count of at most `most` does, or a probe said none beyond lo).
struct CountBracket {
    long long lo = 1, hi = 0;
};

// The count that probe(n) -> Count gives from start (2 <= start <= most): steps of s, 2s,
// 4s, ... rows (s = step >= 1) from start toward the other side of the tolerance (not below
// 2, not above most), then bisection between the last that failed and the first that met.
// From start = step, the steps up double the count. Where what n rows do
// does not change monotonically with n, this procedure is what defines the count. probe is
// called on the caller's thread; each n at most once.
template <class P>
CountBracket count_search(long long start, long long most, P probe, long long step = 1) {
    CountBracket c;
    if (probe(start) == Count::meets) {
        c.hi = start;
        for (long long d = step; c.hi - d >= 2; d *= 2) {
            long long n = c.hi - d;
            if (probe(n) != Count::meets) {
                c.lo = n;
                break;
            }
            c.hi = n;
        }
    } else {
        c.lo = start;
        for (long long d = step;; d *= 2) {
            if (c.lo >= most)
                return {c.lo, 0};
            long long n = std::min(c.lo + d, most);
            Count v = probe(n);
            if (v == Count::meets) {
                c.hi = n;
                break;
            }
            c.lo = n;
            if (v == Count::none_beyond)
                return {c.lo, 0};
        }
    }
    while (c.hi - c.lo > 1) {
        long long n = c.lo + (c.hi - c.lo) / 2;
        (probe(n) == Count::meets ? c.hi : c.lo) = n;
    }
    return c;
}
