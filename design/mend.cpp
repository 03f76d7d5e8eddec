// mend: the intervals of settled rows whose proven error is still above the tolerance, split
// until none is.
#include "rows.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {
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
        double e = largest(errors_of(x, job, k0, k1, PerInterval::bound));
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
    t.e = errors_of(t.x, job, 0, -1, PerInterval::against_tol);
    return true;
}

// t's rows with the middle of every interval above the tolerance added; false (too close)
// when a middle would repeat an abscissa.
bool split_middles(const Try& t, const Job& job, Rows* x) {
    for (std::size_t k = 0; k < t.e.size(); ++k) {
        x->push_back(t.x[k]);
        if (t.e[k] > job.tol) {
            double mid = stored(t.x[k] + 0.5 * (t.x[k + 1] - t.x[k]), job.s);
            if (!(mid > t.x[k] && mid < t.x[k + 1]))
                return false;
            x->push_back(mid);
        }
    }
    x->push_back(t.x.back());
    return true;
}
} // namespace

bool mend(Try& t, std::size_t limit, const Job& job, DesignEnd* why) {
    t.e = errors_of(t.x, job, 0, -1, PerInterval::against_tol);
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
        if (!split_middles(t, job, &x)) {
            *why = DesignEnd::too_close;
            return false;
        }
        if (x.size() == t.x.size())
            return true;
        t = {x, errors_of(x, job, 0, -1, PerInterval::against_tol)};
    }
}
