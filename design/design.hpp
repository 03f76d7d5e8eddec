// design: tables of the Lorentzian made for a tolerance: few rows, placed where the method's
// error is, whose interpolant is proven within the tolerance everywhere.
#pragma once

#include "count.hpp"
#include "store.hpp"
#include "within.hpp"

#include <cmath>
#include <functional>
#include <map>
#include <vector>

// What a long search is doing, for a progress line: what (a phrase) and the rows it is at,
// or between (lo, hi; hi 0: at lo). Called on the caller's thread.
using Tell = std::function<void(const char* what, long long lo, long long hi)>;

// What is asked: a table on [a, b] (a < b, b - a finite; with s = f32, float32 values) whose
// method m stays within tol > 0, its values stored in s; the work on up to `threads` threads
// (the result is the same for any).
struct Request {
    double a, b, tol;
    const Method* m;
    Store s;
    int threads;
};

enum class DesignEnd {
    reached,       // the table keeps the method within the tolerance
    too_many_rows, // more than max_rows would be needed
    too_close,     // rows closer than the store can tell apart would be needed
    not_finite,    // the method's values are not finite however many rows are added
    gave_up,       // the search stopped: the error stalled as the rows doubled, twice
};

struct Design {
    std::vector<double> x; // the abscissae: x[0] = a, x.back() = b, strictly ascending
    DesignEnd end = DesignEnd::reached;
    long long stalled_rows = 0; // gave_up, not_finite: the rows where the search stopped,
    double stalled_error = 0;   // ... and the largest error it had reached
};

// Rows with an error of each interval.
struct Try {
    std::vector<double> x, e;
};

// The table of fewest rows that count_search finds for r, by the predicate meets(n): n rows
// spread after the error model (every interval about the same error bound) and settled, then
// the intervals whose bound is still above tol split. meets(n) depends only on n and the
// request. The rows n settles from are those of another count, fixed by n: the ladder's
// rungs 2, 4, 8, ..., 2^24 (the search's steps up from 2) settle each from the one
// below (from the table that resolves the function after three rungs in a row from 64 rows
// on have not brought the error down by a tenth; the second time, the ladder gives up); a
// count between two rungs from the count that bisecting between them reaches just before it
// (the upper rung first), so that each count the search probes settles from a near one.
// What it computes is kept: each count costs once. Allocates; throws std::bad_alloc when
// memory is short.
struct DesignSearch {
    explicit DesignSearch(const Request& r, Tell tell = {});
    // What n >= 2 rows do: meet tol (design(n) has them), fail, or fail with the ladder
    // given up at or below n.
    Count meets(long long n);
    // The result of meets(n), which must have been asked.
    Design design(long long n) const;

    // A rung of the ladder: its rows as settled (x empty: no round gave rows that ascend),
    // the largest error they reached (carried from below where none), and the rows the rung
    // above settles from.
    struct Rung {
        long long n;
        Try settled, base;
        double err;
    };
    Request r;
    Tell tell;
    Try start; // the table that resolves the function
    std::vector<Rung> ladder;
    double before = HUGE_VAL;         // the error of the rung below, for the stall
    int stalled = 0;                  // rungs in a row from 64 rows on that did not gain a tenth
    bool restarted = false;           // the ladder went back to the resolving table once
    Design given_up;                  // gave_up or not_finite where the ladder gave up
    std::map<long long, Try> between; // the rows settled at counts between rungs
    std::map<long long, Design> probed;
};

// The design of fewest rows for r: count_search from 2, doubling, over DesignSearch::meets; on
// failure, the reason of the last count that failed.
Design design_table(const Request& r, const Tell& tell = {});

// Where a design put a row a hair's breadth from an end (the end interval under a thousandth
// of its neighbour), confining the end condition's error there: at the front, at the back.
// Neither with fewer than 4 rows.
struct EndRows {
    bool front = false, back = false;
};
EndRows end_rows(const std::vector<double>& x);
