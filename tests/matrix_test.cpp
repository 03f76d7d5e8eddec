// The bad-input matrix: every program against broken tables, hostile standard input and
// unusable standard output. Each case must end in bounded time with its documented message
// and exit status, and must leave loren.out as it was.
#include "harness.hpp"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>

namespace {
// The programs' fixed messages, as users' scripts see them.
const std::string msg_cannot_open = " cannot open file loren.out \n";
const std::string msg_few2 = " loren.out holds fewer than 2 samples \n";
const std::string sample = "0 0.02627407850684953\n1 0.050561797752808987\n2 0.13068202154821436\n"
                           "3 0.5952727786301493\n4 0.53631326226093558\n5 0.12184931815013613\n";

// Random bytes; without the byte 26 unless asked, so that the whole file counts.
std::string garbage(std::size_t n, unsigned seed, bool with26 = false) {
    std::mt19937 g(seed);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(g());
        if (c == 26 && !with26)
            c = 0;
    }
    return s;
}

std::string long_numbers() {
    std::string s;
    for (int i = 1; i <= 3; ++i)
        s += std::to_string(i) + "." + std::string(10000, '3') + " 0." + std::string(9999, '0') +
             "1\n";
    return s;
}

// splerr and quaderr read a table without line ends again at each of their 1000 evaluations,
// as they must; a line of two and a half reader blocks crosses every block boundary case.
constexpr std::size_t big_line = std::size_t{5} << 19;

// A table that loads but gives no two distinct finite abscissae is no table: no_table.
enum class Kind { cannot_open, none, few, loads, no_table };

struct TableCase {
    const char* name;
    std::optional<std::string> bytes; // nullopt: no file; "/": a folder
    Kind kind;
    int lines; // what the line count gives
};

const TableCase tables[] = {
    {"missing", std::nullopt, Kind::cannot_open, 0},
    {"a folder", "/", Kind::cannot_open, 0},
    {"empty", "", Kind::none, 0},
    {"only blank lines", "\n\n\n", Kind::no_table, 3},
    {"one line", "1 2\n", Kind::few, 1},
    {"binary garbage", garbage(4096, 1) + "\n\n", Kind::no_table, -1},
    {"garbage after a byte 26", "1 2\n3 4\n\x1a" + garbage(4096, 3, true), Kind::loads, 2},
    {"long line without a line end", std::string(big_line, '7'), Kind::none, 0},
    {"numbers of 10000 digits", long_numbers(), Kind::loads, 3},
    {"beyond the range", "1e-999 1\n1 1e999\n2 -1e999\n3 -1e-999\n", Kind::loads, 4},
    {"equal abscissae", "1 1\n1 2\n1 3\n", Kind::no_table, 3},
};

void place_table(const fs::path& dir, const TableCase& c) {
    if (!c.bytes)
        return;
    if (*c.bytes == "/")
        fs::create_directory(dir / "loren.out");
    else
        write_file(dir / "loren.out", *c.bytes);
}

std::size_t count(const std::string& s, const std::string& what) {
    std::size_t k = 0;
    for (std::size_t p = 0; (p = s.find(what, p)) != std::string::npos; p += what.size())
        ++k;
    return k;
}

std::size_t lf_before_26(const std::string& s) {
    std::size_t k = 0;
    for (char c : s) {
        if (c == 26)
            break;
        k += c == '\n';
    }
    return k;
}

// Runs program on the case's table with input; checks the table is untouched after.
RunResult run_case(const TableCase& c, const std::string& program, const std::string& input,
                   RunOpts o = {}, bool table_expected = true) {
    TempDir d;
    place_table(d.path, c);
    o.path_first = make_fake_gplot(d.path).string();
    RunResult r = run_opts(d.path, {bin(program)}, input, o);
    if (c.bytes && *c.bytes != "/") {
        EXPECT_TRUE(read_file(d.path / "loren.out") == *c.bytes) << "loren.out changed";
    }
    if (table_expected && (program == "splerr" || program == "quaderr")) {
        std::string t = read_file(d.path / (program == "splerr" ? "errsp.out" : "errq.out"));
        EXPECT_EQ(count(t, "\r\n"), 999u);
        EXPECT_TRUE(fs::exists(d.path / "gplot.log"));
    }
    return r;
}
} // namespace

TEST(Matrix, TablesForTheErrorPrograms) {
    for (const char* program : {"splerr", "quaderr"}) {
        for (const TableCase& c : tables) {
            SCOPED_TRACE(std::string(program) + ": " + c.name);
            RunResult r = run_case(c, program, "2.5 -10000");
            // A run that never had a table has no result.
            EXPECT_EQ(r.status, c.kind == Kind::loads ? 0 : 1);
            std::size_t msgs = count(r.out, msg_cannot_open) + count(r.out, msg_few2);
            if (c.kind == Kind::cannot_open)
                EXPECT_EQ(count(r.out, msg_cannot_open), 1000u);
            else if (c.kind == Kind::loads || c.kind == Kind::no_table)
                EXPECT_EQ(msgs, 0u);
            else
                EXPECT_EQ(count(r.out, msg_few2), 1000u);
        }
    }
}

TEST(Matrix, TablesForLoctest) {
    for (const TableCase& c : tables) {
        SCOPED_TRACE(c.name);
        RunResult r = run_case(c, "loctest", "2.5 -10000");
        switch (c.kind) {
        case Kind::cannot_open:
            EXPECT_EQ(r.out, msg_cannot_open);
            EXPECT_EQ(r.status, 1);
            break;
        case Kind::none:
            EXPECT_EQ(r.out, " loren.out holds no samples \n");
            EXPECT_EQ(r.status, 1);
            break;
        case Kind::few:
        case Kind::no_table:
        case Kind::loads: EXPECT_EQ(count(r.out, " after locate i = "), 2u); EXPECT_EQ(r.status, 0);
        }
    }
}

TEST(Matrix, TablesForLorlist) {
    for (const TableCase& c : tables) {
        SCOPED_TRACE(c.name);
        RunResult r = run_case(c, "lorlist", "");
        if (c.kind == Kind::cannot_open) {
            EXPECT_EQ(r.out.rfind(msg_cannot_open, 0), 0u);
            EXPECT_EQ(r.status, 1);
        } else {
            std::size_t lines =
                c.lines >= 0 ? static_cast<std::size_t>(c.lines) : lf_before_26(*c.bytes);
            EXPECT_EQ(r.out.rfind("nlines = " + std::to_string(lines) + " \n", 0), 0u);
            EXPECT_EQ(r.status, 0);
        }
    }
}

TEST(Matrix, StandardInput) {
    const TableCase good{"sample", sample, Kind::loads, 6};
    std::string endless;
    for (int i = 0; i < 200000; ++i)
        endless += "abc ";
    struct C {
        const char* name;
        std::string input;
        bool closed;
    };
    const C cs[] = {
        {"closed", "", true},
        {"empty", "", false},
        {"garbage", garbage(65536, 2), false},
        {"a long run of non-numbers", endless, false},
        {"one word of 10 MB", std::string(10u << 20, 'x'), false},
    };
    for (const char* program : {"splerr", "quaderr", "loctest"}) {
        for (const C& c : cs) {
            SCOPED_TRACE(std::string(program) + ": " + c.name);
            RunOpts o;
            o.stdin_closed = c.closed;
            RunResult r = run_case(good, program, c.input, o);
            EXPECT_EQ(r.status, 0);
            if (c.input.empty()) {
                EXPECT_EQ(r.out.substr(0, 5),
                          std::string(program) == "loctest" ? "xi[1]" : "enter");
            }
            if (c.name == std::string("a long run of non-numbers")) {
                EXPECT_EQ(count(r.out, " not a number: abc \n"), 200000u);
            }
        }
    }
}

TEST(Matrix, StandardOutput) {
    const TableCase good{"sample", sample, Kind::loads, 6};
    for (const char* program : {"splerr", "quaderr", "loctest", "lorlist"}) {
        SCOPED_TRACE(program);
        RunOpts closed;
        closed.out = RunOpts::closed;
        // The dialogue is lost: the run fails, and the error table is not polluted by it.
        EXPECT_EQ(run_case(good, program, "2.5 -10000", closed).status, 1);
        RunOpts broken;
        broken.out = RunOpts::broken;
        EXPECT_EQ(run_case(good, program, "2.5 -10000", broken, false).status, 128 + SIGPIPE);
    }
}
