// gplot's analysis on small fixed tables, in memory: the largest error inside the table is
// the interpolant's own at 64 points an interval (worked out by the plain reference), the
// pixel columns' peaks hold it, the error file's maxima and its points that are not finite
// fall on the right side of the table's range, and the summary says so.
#include "analysis.hpp"
#include "reference.hpp"
#include "summary.hpp"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

TEST(Analysis, SmallTables) {
    struct C {
        const char* name;
        std::vector<double> x, y;
    };
    std::vector<C> cs = {
        {"squares", {1, 2, 3, 4}, {1, 4, 9, 16}},
        {"three points", {0, 1, 2}, {0, 1, 0}},
        {"uneven, on the peak", {2.5, 3.2, 3.4, 3.6, 4.4}, {}},
        {"a repeated abscissa", {0, 1, 1, 2, 3}, {0, 1, 2, 1, 0}},
    };
    for (C& c : cs) {
        SCOPED_TRACE(c.name);
        if (c.y.empty())
            for (double x : c.x)
                c.y.push_back(ref::lorentz(x));
        SampleTable t;
        t.n = static_cast<int>(c.x.size());
        t.xa = c.x.data();
        t.ya = c.y.data();
        ref::Worst want[2] = {ref::worst(c.x, ref::Spline(c.x, c.y)),
                              ref::worst(c.x, ref::Quad(c.x, c.y))};
        const char* files[2] = {"errsp.out", "errq.out"};
        for (int k = 0; k < 2; ++k) {
            Analysis a;
            a.files.resize(1);
            ErrorFile& f = a.files[0];
            f.path = std::string("some/folder/") + files[k];
            f.m = method_of_file(f.path);
            double mid = (c.x.front() + c.x.back()) / 2;
            f.x = {-2, mid, c.x.back(), 9, 10};
            f.e = {0.25, NAN, 0.125, 0.5, HUGE_VAL};
            ASSERT_EQ(analyse(t, 40, true, 2, &a), "");
            const ref::Worst& w = want[k];
            EXPECT_EQ(f.dense.all.err, w.err);
            EXPECT_EQ(f.dense.all.x, w.x);
            EXPECT_EQ(f.dense.nans, w.nans);
            EXPECT_EQ(f.dense.points, w.points);
            // Both methods' largest set the shared scale.
            EXPECT_EQ(a.largest, std::fmax(want[0].err, want[1].err));
            // The column that holds the largest error holds it at its x.
            ASSERT_EQ(f.dense.column.size(), 40u);
            bool held = false;
            for (const Peak& p : f.dense.column) {
                EXPECT_LE(p.err, w.err);
                held = held || (p.err == w.err && p.x == w.x);
            }
            EXPECT_TRUE(held);
            // The file: the last abscissa of the table is inside, -2, 9 and 10 outside.
            EXPECT_EQ(a.lo, c.x.front());
            EXPECT_EQ(a.hi, c.x.back());
            EXPECT_EQ(a.gx0, -2);
            EXPECT_EQ(a.gx1, 10);
            EXPECT_EQ(f.in.err, 0.125);
            EXPECT_EQ(f.out.err, 0.5);
            EXPECT_EQ(f.nan_in, std::vector<double>{mid});
            EXPECT_EQ(f.inf_all, std::vector<double>{10});
            char line[400];
            std::snprintf(line, sizeof line, "%.2e at x = %g", w.err, w.x);
            std::string want_line =
                "e.svg: largest error " + (w.err >= 0 ? std::string(line) : "none finite");
            std::snprintf(line, sizeof line,
                          " inside the table [%g, %g] (grid: 1.2e-01 at x = %g); 5.0e-01 at x = "
                          "9 outside; 1 error is NaN, 1 is infinite",
                          c.x.front(), c.x.back(), c.x.back());
            want_line += line;
            if (w.nans > 0)
                want_line += "; " + std::to_string(w.nans) + " of " + std::to_string(w.points) +
                             " points give NaN";
            EXPECT_EQ(summary_line("e.svg", f, a), want_line);
        }
    }
}
