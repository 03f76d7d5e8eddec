// quad: the choice of four points and the quadratic through them.
#include "quad.hpp"

#include "numlib.hpp"

QuadPiece quad_piece(const double xi[], const double yi[]) {
    double x1 = xi[0], x2 = xi[1], x3 = xi[2], x4 = xi[3];
    double y1 = yi[0], y2 = yi[1], y3 = yi[2], y4 = yi[3];
    double s23 = (y3 - y2) / (x3 - x2);
    double s12 = (y2 - y1) / (x2 - x1);
    double s34 = (y4 - y3) / (x4 - x3);
    double c = (s34 - s12) / (((x3 + x4) - x1) - x2);
    double a = (y2 + y3) * 0.5 - (x3 - x2) * (x3 - x2) * c * 0.25;
    return {c, s23, a, (x2 + x3) * 0.5};
}

double quad(const double xi[], const double yi[], double x) {
    return quad_eval(quad_piece(xi, yi), x);
}

int quad_first(int j, int n) {
    int jb = j - 1;
    if (jb > n - 2)
        jb = n - 2;
    if (jb < 0)
        jb = 0;
    return jb;
}

double quad_pick(double x, const double xa[], const double ya[], int n) {
    return quad_at(locate(x, xa, n), x, xa, ya, n);
}

double quad_at(int j, double x, const double xa[], const double ya[], int n) {
    int jb = quad_first(j, n);
    return quad(xa + jb, ya + jb, x);
}

void set_ghosts(double xa[], double ya[], int n) {
    xa[0] = xa[1] - (xa[2] - xa[1]);
    ya[0] = ya[1];
    xa[n + 1] = (xa[n] - xa[n - 1]) + xa[n];
    ya[n + 1] = ya[n];
}
