// within: the proving search asked one question, against a tolerance.
#include "within.hpp"

Proven dense_within(const DenseTable& t, int k0, int k1, double tol, int threads, bool tight) {
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

Proven table_error(const double* xa, const double* ya, int n, const Method& m, double tol,
                   int threads) {
    return dense_within(dense_prepare(xa, ya, n, m, threads), 0, -1, tol, threads, true);
}
