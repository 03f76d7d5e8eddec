/* plain_splerr: the spline program written the straightforward way in plain C (a stdio call
   per character for the count, fscanf for the pairs, calloc), as the peer to time splerr
   against and to check that its error table comes out with the same bytes. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

static int n;
static double *xa, *ya, *d2;

static double lor(double x) {
    double t = (x - 3.47) / 0.57;
    return 1.0 / (t * t + 1.0);
}

static double cube(double x) { return x * x * x; }

static int bracket(double x) {
    int lo = -1, hi = n;
    while (hi - lo > 1) {
        int mid = (lo + hi) >> 1;
        if (x > xa[mid])
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

static double interp(double x) {
    if (n == 0) {
        FILE *f = fopen("loren.out", "r");
        int c, i;
        double *u;
        if (f == NULL)
            return 0.0;
        while ((c = fgetc(f)) != EOF)
            n += c == '\n';
        rewind(f);
        xa = calloc(n, sizeof *xa);
        ya = calloc(n, sizeof *ya);
        d2 = calloc(n, sizeof *d2);
        u = calloc(n, sizeof *u);
        for (i = 0; i < n; i++)
            if (fscanf(f, "%lg %lg", &xa[i], &ya[i]) != 2)
                break;
        fclose(f);
        for (i = 1; i < n - 1; i++) {
            double r = (xa[i] - xa[i - 1]) / (xa[i + 1] - xa[i - 1]);
            double p = r * d2[i - 1] + 2.0;
            d2[i] = (r + (-1.0)) / p;
            u[i] = (6.0 * ((ya[i + 1] - ya[i]) / (xa[i + 1] - xa[i]) -
                           (ya[i] - ya[i - 1]) / (xa[i] - xa[i - 1])) /
                        (xa[i + 1] - xa[i - 1]) -
                    r * u[i - 1]) /
                   p;
        }
        for (i = n - 2; i >= 0; i--)
            d2[i] = d2[i] * d2[i + 1] + u[i];
        free(u);
    }
    {
        int j = bracket(x);
        double h, a, b;
        if (j < 0)
            j = 0;
        if (j > n - 2)
            j = n - 2;
        h = xa[j + 1] - xa[j];
        if (h == 0.0)
            return (ya[j] + ya[j + 1]) * 0.5;
        a = -(x - xa[j + 1]) / h;
        b = (x - xa[j]) / h;
        return (h * h * a * (a * a + (-1.0)) / 6.0 * d2[j] + (b * ya[j + 1] + a * ya[j])) +
               h * h * b * (b * b + (-1.0)) / 6.0 * d2[j + 1];
    }
}

static void line(FILE *f, double x) {
    fprintf(f, "%14.6g %14.6g\r\n", x, fabs(interp(x) - lor(x)));
}

int main(void) {
    double x = 0.0;
    int i;
    FILE *f;
    for (;;) {
        printf("enter x or -10000 to go to next section\n");
        fflush(stdout);
        if (scanf("%lf", &x) != 1 || x == -10000.0)
            break;
        printf(" polyc =%g \n", interp(x));
        printf("floren =%g \n", lor(x));
    }
    f = fopen("errsp.out", "wb");
    if (f == NULL)
        return 1;
    for (i = 500; i > 1; i--)
        line(f, -cube(i * 0.02 + 0.0));
    for (i = 0; i < 500; i++)
        line(f, cube(i * 0.02 + 0.0));
    fclose(f);
    fflush(stdout);
    return system("gplot loren.out errsp.out") < 0;
}
