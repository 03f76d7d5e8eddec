// loctest: shows where the bracketing search places typed abscissae in loren.out.
#include "shell.hpp"

#include <cstdio>

namespace {
constexpr const char* usage =
    "usage: loctest\n"
    "Loads the sample table loren.out in the current folder and, for every abscissa read\n"
    "from standard input, prints the index the bracketing search finds and the table\n"
    "abscissae around it, until -10000 (which is searched too) or the end of input.\n"
    "Exit status: 0; 1 when loren.out cannot be read or is empty, or standard output\n"
    "cannot be written.\n";
} // namespace

int main(int argc, char** argv) {
    if (plain_args(argc, argv, "loctest", usage))
        return 0;
    Console& c = console_start("loctest");
    static SampleTable t;
    if (!report_load(c, load_table(table_name, {0, 0}, 1, t, thread_count()), t, 1))
        return console_end(c, 1);
    const double* xa = t.xa;
    int n = t.n;
    double x = 0.0; // anything but the sentinel: the first pass always runs
    while (x != sentinel) {
        out_printf(stdout, "xi[1] xi[n-1] %lg %lg enter x or -10000 to quit \n", xa[0], xa[n - 1]);
        Input r = read_x(c, &x);
        if (r == Input::end)
            return console_end(c, 0);
        if (r == Input::not_number)
            continue;
        int i = locate(x, xa, n);
        std::printf(" after locate i = %d \n", i);
        if (i >= 0 && i < n - 1)
            out_printf(stdout, " %f %f %f \n", xa[i], x, xa[i + 1]);
        else if (i == -1)
            out_printf(stdout, " %f %f \n", x, xa[0]);
        else if (i == n - 1)
            out_printf(stdout, " %f %f \n", xa[n - 1], x);
    }
    return console_end(c, 0);
}
