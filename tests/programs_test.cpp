// splerr, quaderr and loctest as a user runs them: the real binaries in a fresh folder,
// standard input piped, the whole console transcript and the error tables compared byte
// for byte, and a fake gplot that records when it ran and what it saw.
#include "harness.hpp"
#include "reference.hpp"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

namespace {
// The programs' fixed messages, as users' scripts see them.
const std::string msg_cannot_open = " cannot open file loren.out \n";
const std::string msg_few2 = " loren.out holds fewer than 2 samples \n";
const std::string msg_cannot_open_err = " cannot open err.out file\n";
const std::string prompt = "enter x or -10000 to go to next section\n";
const std::string squares = "1 1\n2 4\n3 9\n4 16\n";
const std::string hump = "0 0\n1 1\n2 0\n";

std::string repeat(const std::string& s, int k) {
    std::string r;
    for (int i = 0; i < k; ++i)
        r += s;
    return r;
}

std::string fmt(const char* f, double a) {
    char b[128];
    std::snprintf(b, sizeof b, f, a);
    return b;
}

using ref::error_table;

std::string spline_table(const std::vector<double>& xa, const std::vector<double>& ya) {
    return error_table(ref::Spline(xa, ya));
}

std::string squares_quad_table() {
    return error_table(ref::Quad({1, 2, 3, 4}, {1, 4, 9, 16}));
}

struct Study {
    TempDir dir;
    fs::path fakebin;
    RunResult r;
    Study(const std::string& program, std::optional<std::string> table, const std::string& input) {
        if (table)
            write_file(dir.path / "loren.out", *table);
        fakebin = make_fake_gplot(dir.path);
        r = run_in(dir.path, bin(program), input, fakebin.string());
    }
    std::string file(const char* name) const { return read_file(dir.path / name); }
    bool plotted() const { return fs::exists(dir.path / "gplot.log"); }
};

double hump_at(double x) {
    return ref::Spline({0, 1, 2}, {0, 1, 0})(x);
}

std::string splerr_lines(double x, double p) {
    return " polyc =" + fmt("%g", p) + " \n" + "floren =" + fmt("%g", ref::lorentz(x)) + " \n";
}
} // namespace

TEST(Splerr, WholeRun) {
    Study s("splerr", hump, "0.5 1.5\n3.47\n-1 -1e4\n");
    EXPECT_EQ(s.r.out, prompt + splerr_lines(0.5, 0.6875) + prompt + splerr_lines(1.5, 0.6875) +
                           prompt + splerr_lines(3.47, hump_at(3.47)) + prompt +
                           splerr_lines(-1, -1) + prompt);
    EXPECT_EQ(s.r.status, 0);
    std::string table = s.file("errsp.out");
    EXPECT_EQ(table, spline_table({0, 1, 2}, {0, 1, 0}));
    // The plot ran once, on the finished table.
    EXPECT_EQ(s.file("gplot.log"), "loren.out errsp.out\n");
    EXPECT_EQ(s.file("gplot.seen"), table);
}

TEST(Splerr, LargeTableReadInParts) {
    // Large enough to be read in parts, one a core: the error table must be the one of the
    // spline through every row, in order.
    TempDir d;
    RunResult gen = run_args(d.path, {bin("lorgen"), "600001", "-30", "30"});
    ASSERT_EQ(gen.status, 0);
    write_file(d.path / "loren.out", gen.out);
    std::vector<double> xs, ys;
    ref::read_pairs(gen.out, xs, ys);
    ASSERT_EQ(xs.size(), 600001u);
    std::string want = spline_table(xs, ys);
    fs::path fb = make_fake_gplot(d.path);
    RunResult r = run_in(d.path, bin("splerr"), "-10000", fb.string());
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(read_file(d.path / "errsp.out") == want);
}

TEST(Splerr, ErrorTableLayout) {
    Study s("splerr", hump, "-10000\n");
    EXPECT_EQ(s.r.out, prompt);
    std::string t = s.file("errsp.out");
    std::vector<std::string> lines;
    for (std::size_t p = 0, q; (q = t.find("\r\n", p)) != std::string::npos; p = q + 2)
        lines.push_back(t.substr(p, q - p));
    ASSERT_EQ(lines.size(), 999u);
    EXPECT_EQ(t.size() % 31, 0u) << "every line is 29 characters and CR LF";
    EXPECT_EQ(lines[0].substr(0, 14), "         -1000");
    EXPECT_EQ(lines[498].substr(0, 14), "      -6.4e-05");
    EXPECT_EQ(lines[499].substr(0, 14), "             0");
    EXPECT_EQ(lines[500].substr(0, 14), "         8e-06");
    EXPECT_EQ(lines[998].substr(0, 14), "       994.012");
    for (std::size_t i = 1; i < lines.size(); ++i)
        ASSERT_LT(std::stod(lines[i - 1].substr(0, 14)), std::stod(lines[i].substr(0, 14)));
}

TEST(Splerr, SentinelSpellingsAndNeighbours) {
    for (const char* in : {"-10000", "-1e4", "-10000.0", "-1E+4", "-0.01e6"}) {
        Study s("splerr", hump, in);
        EXPECT_EQ(s.r.out, prompt) << in;
    }
    Study s("splerr", hump, "-10000.5 -9999 -10000");
    EXPECT_EQ(s.r.out, prompt + splerr_lines(-10000.5, hump_at(-10000.5)) + prompt +
                           splerr_lines(-9999, hump_at(-9999)) + prompt);
}

TEST(Splerr, InputEndsOrIsNotANumber) {
    // End of input ends the section as the sentinel would: the table and plot follow.
    Study e("splerr", hump, "0.5");
    EXPECT_EQ(e.r.out, prompt + splerr_lines(0.5, 0.6875) + prompt);
    EXPECT_EQ(e.r.status, 0);
    EXPECT_TRUE(e.plotted());
    Study n("splerr", hump, "abc 1e+x 0.5 -10000");
    EXPECT_EQ(n.r.out, prompt + " not a number: abc \n" + prompt + splerr_lines(1, 1) + prompt +
                           " not a number: e+x \n" + prompt + splerr_lines(0.5, 0.6875) + prompt);
    Study z("splerr", hump, "");
    EXPECT_EQ(z.r.out, prompt);
    EXPECT_EQ(z.file("errsp.out"), spline_table({0, 1, 2}, {0, 1, 0}));
}

TEST(Splerr, TableMissingOrTooShort) {
    struct C {
        std::optional<std::string> table;
        std::string msg;
    };
    for (const C& c : {C{std::nullopt, msg_cannot_open}, C{"1 2\n", msg_few2}, C{"", msg_few2},
                       C{"1 2\n3 4", msg_few2}}) {
        Study s("splerr", c.table, "2.5 -10000");
        EXPECT_EQ(s.r.out, prompt + c.msg + splerr_lines(2.5, 0) + prompt + repeat(c.msg, 999));
        EXPECT_EQ(s.r.status, 1); // no evaluation had a table
        EXPECT_EQ(s.file("errsp.out"), error_table([](double) { return 0.0; }));
        EXPECT_TRUE(s.plotted());
    }
}

namespace {
std::string quad_trace(double x, int j, int jb, const double* xs, const double* ys) {
    const double xa[] = {0, 1, 2, 3, 4, 5};
    std::string s = "jb n " + std::to_string(j) + " 4 \nxa[n],xa[n+1] 4,5 \nya[n],ya[n+1] 16,16 \n";
    s += "final jb " + std::to_string(jb) + " \n";
    s += "xam x xap " + fmt("%g", xa[jb + 1]) + " " + fmt("%g", x) + " " +
         fmt("%g", xa[jb + 4 <= 5 ? jb + 4 : 5]) + " \n";
    s += "poly x= " + fmt("%g", x) + " \n";
    for (int i = 0; i < 4; ++i)
        s += "i " + std::to_string(i) + " xa[i+jb] " + fmt("%g", xs[jb + i]) + " ya[i+jb] " +
             fmt("%g", ys[jb + i]) + " \n";
    s += "inside quad x=" + fmt("%g", x) + " \n";
    for (int i = 1; i <= 4; ++i)
        s += "i " + std::to_string(i) + " xi " + fmt("%g", xs[jb + i - 1]) + " yi " +
             fmt("%g", ys[jb + i - 1]) + " \n";
    return s;
}
} // namespace

TEST(Quaderr, WholeRunWithTrace) {
    const double xs[] = {0, 1, 2, 3, 4, 5}, ys[] = {1, 1, 4, 9, 16, 16};
    Study s("quaderr", squares, "2.5 10\n-10000");
    EXPECT_EQ(s.r.out, prompt + quad_trace(2.5, 2, 1, xs, ys) + "f = 6.25 floren =0.256676 \n" +
                           prompt + quad_trace(10, 3, 2, xs, ys) +
                           "f = 5.5 floren =" + fmt("%g", ref::lorentz(10)) + " \n" + prompt);
    EXPECT_EQ(s.r.status, 0);
    std::string table = s.file("errq.out");
    EXPECT_EQ(table, squares_quad_table());
    EXPECT_EQ(s.file("gplot.log"), "loren.out errq.out\n");
    EXPECT_EQ(s.file("gplot.seen"), table);
}

TEST(Quaderr, SentinelFirstEndAndNonNumbers) {
    Study first("quaderr", squares, "-1e4");
    EXPECT_EQ(first.r.out, prompt); // the grid loads the table, without trace
    EXPECT_EQ(first.file("errq.out"), squares_quad_table());
    Study end("quaderr", squares, "");
    EXPECT_EQ(end.r.out, prompt);
    EXPECT_TRUE(end.plotted());
    Study junk("quaderr", squares, "x -10000");
    EXPECT_EQ(junk.r.out, prompt + " not a number: x \n" + prompt);
}

TEST(Quaderr, TableMissingOrTooShort) {
    for (const auto& [table, msg] :
         {std::pair<std::optional<std::string>, std::string>{std::nullopt, msg_cannot_open},
          {"5 5\n", msg_few2}}) {
        Study s("quaderr", table, "2.5 -10000");
        EXPECT_EQ(s.r.out, prompt + msg + "f = 0 floren =0.256676 \n" + prompt + repeat(msg, 999));
        EXPECT_EQ(s.r.status, 1);
        EXPECT_EQ(s.file("errq.out"), error_table([](double) { return 0.0; }));
        EXPECT_TRUE(s.plotted());
    }
}

TEST(ErrorPrograms, ErrorTableCannotBeWritten) {
    for (auto [program, errname, table] :
         {std::tuple{"splerr", "errsp.out", hump}, std::tuple{"quaderr", "errq.out", squares}}) {
        SCOPED_TRACE(program);
        TempDir d;
        write_file(d.path / "loren.out", table);
        fs::path fb = make_fake_gplot(d.path);
        // A folder of that name: the table cannot be created.
        fs::create_directory(d.path / errname);
        RunResult r = run_in(d.path, bin(program), "-10000", fb.string());
        EXPECT_EQ(r.out, prompt + msg_cannot_open_err);
        EXPECT_EQ(r.status, 1);
        // A full disk: the table cannot be written.
        fs::remove(d.path / errname);
        fs::create_symlink("/dev/full", d.path / errname);
        r = run_in(d.path, bin(program), "-10000", fb.string());
        EXPECT_EQ(r.out, prompt + " cannot write " + errname + " \n");
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(fs::exists(d.path / "gplot.log"));
        EXPECT_EQ(read_file(d.path / "loren.out"), table);
    }
}

namespace {
std::string loc_prompt(const char* lo, const char* hi) {
    return std::string("xi[1] xi[n-1] ") + lo + " " + hi + " enter x or -10000 to quit \n";
}
} // namespace

TEST(Loctest, Dialogues) {
    const std::string five = "1 1\n2 4\n3 9\n4 16\n5 25\n";
    const std::string p = loc_prompt("1", "5");
    struct C {
        const char* name;
        std::optional<std::string> table;
        const char* input;
        std::string out;
        int status;
    };
    const C cs[] = {
        {"inside, then the sentinel", five, "3.5 -10000",
         p + " after locate i = 2 \n 3.000000 3.500000 4.000000 \n" + p +
             " after locate i = -1 \n -10000.000000 1.000000 \n",
         0},
        {"ends and entries", five, "1 5 3 6 -1e4",
         p + " after locate i = -1 \n 1.000000 1.000000 \n" + p +
             " after locate i = 3 \n 4.000000 5.000000 5.000000 \n" + p +
             " after locate i = 1 \n 2.000000 3.000000 3.000000 \n" + p +
             " after locate i = 4 \n 5.000000 6.000000 \n" + p +
             " after locate i = -1 \n -10000.000000 1.000000 \n",
         0},
        {"near the sentinel", five, "-10000.5\n",
         p + " after locate i = -1 \n -10000.500000 1.000000 \n" + p, 0},
        {"not a number", five, "zz 2.5 -10000",
         p + " not a number: zz \n" + p + " after locate i = 1 \n 2.000000 2.500000 3.000000 \n" +
             p + " after locate i = -1 \n -10000.000000 1.000000 \n",
         0},
        {"single entry", "7 1\n", "3 9 -10000",
         loc_prompt("7", "7") + " after locate i = -1 \n 3.000000 7.000000 \n" +
             loc_prompt("7", "7") + " after locate i = 0 \n 7.000000 9.000000 \n" +
             loc_prompt("7", "7") + " after locate i = -1 \n -10000.000000 7.000000 \n",
         0},
        {"missing table", std::nullopt, "1", msg_cannot_open, 1},
        {"empty table", "", "1", " loren.out holds no samples \n", 1},
        {"end of input", five, "", p, 0},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(c.name);
        TempDir d;
        if (c.table)
            write_file(d.path / "loren.out", *c.table);
        RunResult r = run_in(d.path, bin("loctest"), c.input);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.status, c.status);
    }
}

// Every failure and table problem, told once on standard error with its cause, while
// standard output and the files stay as they were; a fake gplot first on PATH.
TEST(Diagnostics, EveryFailureToldOnce) {
    enum Setup { none, table_folder, err_folder, err_full };
    struct C {
        const char* name;
        const char* program;
        std::vector<std::string> args;
        std::optional<std::string> table;
        Setup setup;
        const char* input;
        std::string out; // standard output, unchanged by the diagnosis
        std::string err;
        int status;
    };
    const std::string lp = loc_prompt("0", "2");
    const std::string hint = " (make one with: lorgen > loren.out)\n";
    const std::string spline_none =
        prompt + msg_cannot_open + splerr_lines(2.5, 0) + prompt + repeat(msg_cannot_open, 999);
    const std::string quad_few =
        prompt + msg_few2 + "f = 0 floren =0.256676 \n" + prompt + repeat(msg_few2, 999);
    const C cs[] = {
        {"no table",
         "splerr",
         {},
         std::nullopt,
         none,
         "2.5 -10000",
         spline_none,
         "splerr: cannot open loren.out: No such file or directory" + hint,
         1},
        {"a folder for a table",
         "quaderr",
         {},
         std::nullopt,
         table_folder,
         "2.5 -10000",
         prompt + msg_cannot_open + "f = 0 floren =0.256676 \n" + prompt +
             repeat(msg_cannot_open, 999),
         "quaderr: cannot open loren.out: Is a directory" + hint,
         1},
        {"one row",
         "quaderr",
         {},
         "5 5\n",
         none,
         "2.5 -10000",
         quad_few,
         "quaderr: loren.out holds fewer than 2 samples" + hint,
         1},
        {"no table for loctest",
         "loctest",
         {},
         std::nullopt,
         none,
         "1",
         msg_cannot_open,
         "loctest: cannot open loren.out: No such file or directory" + hint,
         1},
        {"an empty table for loctest",
         "loctest",
         {},
         "",
         none,
         "1",
         " loren.out holds no samples \n",
         "loctest: loren.out holds no samples" + hint,
         1},
        {"arguments",
         "splerr",
         {"mytable.txt", "-h"},
         hump,
         none,
         "-10000",
         prompt,
         "splerr: takes no arguments; ignoring \"mytable.txt\" \"-h\" (it reads loren.out in "
         "the current folder)\n",
         0},
        {"--help with more",
         "loctest",
         {"--help", "extra"},
         "0 1\n2 2\n",
         none,
         "-10000",
         lp + " after locate i = -1 \n -10000.000000 0.000000 \n",
         "loctest: takes no arguments; ignoring \"--help\" \"extra\" (it reads loren.out in "
         "the current folder)\n",
         0},
        {"error table a folder",
         "splerr",
         {},
         hump,
         err_folder,
         "-10000",
         prompt + msg_cannot_open_err,
         "splerr: cannot write errsp.out: Is a directory\n",
         1},
        {"error table on a full disk",
         "quaderr",
         {},
         squares,
         err_full,
         "-10000",
         prompt + " cannot write errq.out \n",
         "quaderr: cannot write errq.out: No space left on device\n",
         1},
        {"a header",
         "splerr",
         {},
         "x y\n1 2\n3 4\n",
         none,
         "-10000",
         prompt,
         "splerr: loren.out:1: \"x\" is not a number; all 3 rows read as 0\n"
         "splerr: loren.out gives no two distinct finite abscissae, so it is no table" +
             hint,
         1},
        {"a CSV table",
         "quaderr",
         {},
         "0,1\n1,0.5\n",
         none,
         "-10000",
         prompt,
         "quaderr: loren.out:1: \",1\" is not a number; all 2 rows read as 0\n"
         "quaderr: loren.out gives no two distinct finite abscissae, so it is no table; separate "
         "x and y by spaces or tabs" +
             hint,
         1},
        {"a decimal comma typed",
         "splerr",
         {},
         "0 1\n1 0.5\n",
         none,
         "0,5 -10000",
         prompt + splerr_lines(0, 1) + prompt + " not a number: ,5 \n" + prompt,
         "splerr: a comma does not separate decimals here: the decimal separator is \".\"\n",
         0},
        {"an empty line in the middle",
         "quaderr",
         {},
         "0 1\n\n1 2\n2 3\n",
         none,
         "-10000",
         prompt,
         "quaderr: loren.out:2: line 2 holds 0 numbers (a row needs 2), so every later value "
         "moves to another row\n",
         0},
        {"an empty last line",
         "quaderr",
         {},
         "0 1\n1 2\n2 3\n\n",
         none,
         "-10000",
         prompt,
         "quaderr: loren.out:4: 4 line ends but 3 pairs; 1 row of 4 reads as 0\n",
         0},
        {"three numbers on a line",
         "splerr",
         {},
         "0 1 2\n3 4\n5 6\n",
         none,
         "-10000",
         prompt,
         "splerr: loren.out:1: line 1 holds 3 numbers (a row needs 2), so every later value "
         "moves to another row\n",
         0},
        {"a number beyond range",
         "splerr",
         {},
         "0 1\n1 1e309\n2 3\n",
         none,
         "-10000",
         prompt,
         "splerr: loren.out:2: \"1e309\" is beyond the range of a double and reads as inf\n",
         0},
        {"typed beyond range",
         "splerr",
         {},
         hump,
         none,
         "-1e400 1e-400 -10000",
         prompt + splerr_lines(-HUGE_VAL, std::copysign(NAN, -1.0)) + prompt + splerr_lines(0, 0) +
             prompt,
         "splerr: \"-1e400\" is beyond the range of a double and reads as -inf\n"
         "splerr: x = -inf lies outside the table [0, 2]: the value is extrapolated\n"
         "splerr: \"1e-400\" is beyond the range of a double and reads as 0\n",
         0},
        {"lines that end in CR alone",
         "splerr",
         {},
         "1 2\r3 4\r5 6\r",
         none,
         "-10000",
         prompt + repeat(msg_few2, 999),
         "splerr: loren.out holds fewer than 2 samples" + hint +
             "splerr: loren.out: its lines end in CR alone, so it reads as one line; use LF or "
             "CR LF line ends\n",
         1},
        {"last line without a line end",
         "splerr",
         {},
         "1 2\n3 4\n5 6",
         none,
         "-10000",
         prompt,
         "splerr: loren.out:3: the last line has no line end and is not read\n",
         0},
        {"a repeated abscissa, spline",
         "splerr",
         {},
         "0 1\n1 2\n1 3\n2 4\n",
         none,
         "-10000",
         prompt,
         "splerr: loren.out:3: x repeats the abscissa before it (equal abscissae make the "
         "spline divide by zero)\n",
         0},
        {"a repeated abscissa, quadratic",
         "quaderr",
         {},
         "0 1\n1 2\n1 3\n2 4\n",
         none,
         "-10000",
         prompt,
         "quaderr: loren.out:3: x repeats the abscissa before it (equal abscissae make the "
         "quadratic divide by zero)\n",
         0},
        {"a step back",
         "loctest",
         {},
         "0 1\n2 2\n1 3\n2 4\n",
         none,
         "-10000",
         lp + " after locate i = -1 \n -10000.000000 0.000000 \n",
         "loctest: loren.out:3: x steps back from the abscissa before it (the search assumes "
         "ascending x)\n",
         0},
        {"a byte 26",
         "quaderr",
         {},
         "0 1\n1 2\n2 3\n\x1a"
         "3 4\n",
         none,
         "-10000",
         prompt,
         "quaderr: loren.out:4: a byte 26 ends the table here; the text after it is not read\n",
         0},
        {"loaded at every evaluation, told once",
         "splerr",
         {},
         "1 2\n3 4",
         none,
         "1 -10000",
         prompt + msg_few2 + splerr_lines(1, 0) + prompt + repeat(msg_few2, 999),
         "splerr: loren.out holds fewer than 2 samples" + hint +
             "splerr: loren.out:2: the last line has no line end and is not read\n",
         1},
        {"a good table", "splerr", {}, "0 1\n1 0.5\n", none, "-10000", prompt, "", 0},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(c.name);
        TempDir d;
        if (c.table)
            write_file(d.path / "loren.out", *c.table);
        const char* errname = c.program[0] == 's' ? "errsp.out" : "errq.out";
        if (c.setup == table_folder)
            fs::create_directory(d.path / "loren.out");
        if (c.setup == err_folder)
            fs::create_directory(d.path / errname);
        if (c.setup == err_full)
            fs::create_symlink("/dev/full", d.path / errname);
        std::vector<std::string> argv{bin(c.program)};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        RunResult r = run_args(d.path, argv, c.input, make_fake_gplot(d.path).string());
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status);
    }
    // The table is the one loaded without the diagnosis: the first two pairs.
    Study s("splerr", "1 2\n3 4\n5 6", "-10000");
    EXPECT_EQ(s.file("errsp.out"), spline_table({1, 3}, {2, 4}));
}

TEST(PlotStep, OwnGplotFoundAndFailureTold) {
    // Run by its path with a PATH that has no gplot: the one beside splerr draws the figure.
    TempDir d;
    write_file(d.path / "loren.out", hump);
    RunOpts o;
    o.path = "/usr/bin:/bin";
    RunResult r = run_opts(d.path, {bin("splerr")}, "-10000", o);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(fs::exists(d.path / "errsp.svg"));
    EXPECT_EQ(r.out.rfind(prompt + "errsp.svg: ", 0), 0u) << r.out;
    // A gplot earlier on PATH wins; when it fails, the run says so and still succeeds.
    fs::create_directory(d.path / "bad");
    write_file(d.path / "bad" / "gplot", "#!/bin/sh\nexit 3\n");
    fs::permissions(d.path / "bad" / "gplot", fs::perms::owner_all);
    o.path = (d.path / "bad").string() + ":/usr/bin:/bin";
    r = run_opts(d.path, {bin("quaderr")}, "-10000", o);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, prompt);
    EXPECT_EQ(r.err, "quaderr: the plot step failed (status 3); errq.out is complete\n");
    // Without a table the error table is no result: no "is complete".
    fs::remove(d.path / "loren.out");
    r = run_opts(d.path, {bin("quaderr")}, "-10000", o);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quaderr: cannot open loren.out: No such file or directory (make one with: "
                     "lorgen > loren.out)\nquaderr: the plot step failed (status 3)\n");
}

// A table with a problem, the plot step run by its own gplot: the problem is told once.
// gplot run by hand tells it itself, worded for its error file's method.
TEST(PlotStep, TableProblemToldOnce) {
    TempDir d;
    write_file(d.path / "loren.out", "0 1\n1 0.5\n1 0.6\n2 0.2\n");
    RunOpts o;
    o.path = "/usr/bin:/bin";
    const std::string told = ": loren.out:3: x repeats the abscissa before it (equal abscissae "
                             "make the quadratic divide by zero)\n";
    RunResult r = run_opts(d.path, {bin("quaderr")}, "-10000", o);
    EXPECT_EQ(r.err, "quaderr" + told);
    EXPECT_TRUE(fs::exists(d.path / "errq.svg"));
    r = run_opts(d.path, {bin("gplot"), "loren.out", "errq.out"}, "", o);
    EXPECT_EQ(r.err, "gplot" + told);
    // No figure can be drawn: the one of the earlier run goes, as it shows another table.
    write_file(d.path / "loren.out", "x y\n1 2\n");
    r = run_opts(d.path, {bin("gplot"), "loren.out", "errq.out"}, "", o);
    EXPECT_EQ(r.err, "gplot: loren.out:1: \"x\" is not a number; all 2 rows read as 0\n"
                     "gplot: loren.out has no range of finite abscissae\n"
                     "gplot: errq.svg removed: it showed an earlier run\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(d.path / "errq.svg"));
    // A file gplot did not make is never removed.
    write_file(d.path / "errq.svg", "<svg/>\n");
    r = run_opts(d.path, {bin("gplot"), "loren.out", "errq.out"}, "", o);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read_file(d.path / "errq.svg"), "<svg/>\n");
}

// A table replaced (by rename) again and again while loctest loads it in parts: every load
// reads one whole file, the old or the new, never a mix of the two.
TEST(Loctest, TableReplacedDuringTheLoadIsReadWhole) {
    TempDir d;
    for (const char* ab : {"0 7", "100 107"}) {
        std::string a = ab;
        RunResult g = run_args(
            d.path, {bin("lorgen"), "200000", a.substr(0, a.find(' ')), a.substr(a.find(' ') + 1)});
        ASSERT_EQ(g.status, 0);
        write_file(d.path / (a[0] == '0' ? "a.out" : "b.out"), g.out);
    }
    fs::copy_file(d.path / "a.out", d.path / "loren.out");
    ::setenv("OMP_NUM_THREADS", "4", 1); // parts even on one core
    std::atomic<bool> done{false};
    std::thread swap([&] {
        for (int k = 0; !done; ++k) {
            fs::path tmp = d.path / "swap.tmp";
            fs::create_hard_link(d.path / (k % 2 == 0 ? "b.out" : "a.out"), tmp);
            fs::rename(tmp, d.path / "loren.out");
        }
    });
    int whole[2] = {0, 0};
    for (int run = 0; run < 60; ++run) {
        RunResult r = run_in(d.path, bin("loctest"), "-10000");
        std::string first = r.out.substr(0, r.out.find('\n'));
        bool a = first == "xi[1] xi[n-1] 0 7 enter x or -10000 to quit ";
        bool b = first == "xi[1] xi[n-1] 100 107 enter x or -10000 to quit ";
        EXPECT_TRUE((a || b) && r.err.empty() && r.status == 0) << first << "\n" << r.err;
        ++whole[a ? 0 : 1];
    }
    done = true;
    swap.join();
    ::unsetenv("OMP_NUM_THREADS");
}
