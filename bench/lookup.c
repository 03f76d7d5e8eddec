/* lookup: the cost of one lookup in the exported tables, against a plain evenly spaced linear
 * float32 table and the Lorentzian's formula itself. bench/lookup.sh writes forms.h: one
 * FORM(NAME, TYPE) a table (its header included before), in the order the table prints them.
 * Every form runs on the same 2^20 random x of [0, 7] and on the same x sorted, 5 rounds, the
 * forms taking turns in each round; a form's figure is its median round, in ns a lookup. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "headers.h"

#define LOOKUPS (1 << 20)
#define ROUNDS 5

/* The plain linear table: evenly spaced float32 ordinates, the interval from x, sized so that
 * h^2/8 max|f''| <= 1e-6 (max|f''| = 2/0.57^2): a sizing, not a proof. */
#define LIN_N 6142
static float lin_y[LIN_N];
static const float lin_a = 0.0f, lin_s = (float)(LIN_N - 1) / 7.0f;
static float lin_eval(float x)
{
    float c = (x - lin_a) * lin_s, t;
    int k = !(c >= 1.0f) ? 0 : c >= LIN_N - 2 ? LIN_N - 2 : (int)c;
    t = c - (float)k;
    return lin_y[k] + t * (lin_y[k + 1] - lin_y[k]);
}

/* The formula, in double and in float. */
static double formula(double x)
{
    double t = (x - 3.47) / 0.57;
    return 1.0 / (t * t + 1.0);
}
static float formula_f(float x)
{
    float t = (x - 3.47f) / 0.57f;
    return 1.0f / (t * t + 1.0f);
}

static double xd[LOOKUPS], sd[LOOKUPS];
static float xf[LOOKUPS], sf[LOOKUPS];
static volatile double sink;

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e9 + (double)t.tv_nsec;
}

/* One round of a form over x: ns a lookup. */
#define RUN(FN, TYPE, X)                                                                      \
    do {                                                                                       \
        double t0 = now(), s = 0;                                                              \
        int i;                                                                                 \
        for (i = 0; i < LOOKUPS; ++i)                                                          \
            s += (double)FN((X)[i]);                                                           \
        sink = s;                                                                              \
        ns = (now() - t0) / LOOKUPS;                                                           \
    } while (0)

static int cmp(const void *a, const void *b)
{
    double p = *(const double *)a, q = *(const double *)b;
    return p < q ? -1 : p > q;
}
static int cmpf(const void *a, const void *b)
{
    float p = *(const float *)a, q = *(const float *)b;
    return p < q ? -1 : p > q;
}

struct Form {
    const char *name;
    double ns[2][ROUNDS];
};
#define FORM(NAME, TYPE) {#NAME, {{0}}},
static struct Form forms[] = {
#include "forms.h"
    {"linear_f32", {{0}}}, {"formula", {{0}}}, {"formula_f32", {{0}}}};
#undef FORM
#define COUNT (int)(sizeof forms / sizeof forms[0])

static double median(double *v)
{
    qsort(v, ROUNDS, sizeof *v, cmp);
    return v[ROUNDS / 2];
}

int main(void)
{
    unsigned long long g = 88172645463325252ULL;
    int i, r, f, sorted;
    for (i = 0; i < LIN_N; ++i)
        lin_y[i] = (float)formula((double)i * 7.0 / (LIN_N - 1));
    for (i = 0; i < LOOKUPS; ++i) {
        g ^= g << 13, g ^= g >> 7, g ^= g << 17;
        xf[i] = (float)((double)(g >> 11) * 0x1p-53 * 7.0);
        xd[i] = xf[i];
    }
    memcpy(sd, xd, sizeof xd);
    memcpy(sf, xf, sizeof xf);
    qsort(sd, LOOKUPS, sizeof *sd, cmp);
    qsort(sf, LOOKUPS, sizeof *sf, cmpf);
    for (r = 0; r < ROUNDS; ++r)
        for (sorted = 0; sorted < 2; ++sorted) {
            const double *in_d = sorted ? sd : xd;
            const float *in_f = sorted ? sf : xf;
            double ns;
            f = 0;
#define FORM(NAME, TYPE)                                                                       \
    if (sizeof(TYPE) == sizeof(float))                                                         \
        RUN(NAME##_eval, TYPE, in_f);                                                          \
    else                                                                                       \
        RUN(NAME##_eval, TYPE, in_d);                                                          \
    forms[f++].ns[sorted][r] = ns;
#include "forms.h"
#undef FORM
            RUN(lin_eval, float, in_f);
            forms[f++].ns[sorted][r] = ns;
            RUN(formula, double, in_d);
            forms[f++].ns[sorted][r] = ns;
            RUN(formula_f, float, in_f);
            forms[f++].ns[sorted][r] = ns;
        }
    for (f = 0; f < COUNT; ++f)
        printf("%-20s %6.2f %6.2f\n", forms[f].name, median(forms[f].ns[0]), median(forms[f].ns[1]));
    return 0;
}
