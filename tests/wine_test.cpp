// The Windows programs under wine against the Linux ones: the error programs on the same
// tables and inputs, lorlist and read_key on wine's console in a pseudo-terminal. Skipped
// unless WINDOWS_BIN names the folder of the Windows programs.
#include "harness.hpp"
#include "term.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

// The Windows programs under wine against the Linux ones, on the same tables and inputs:
// standard output equal once the CRs are dropped, the error tables and the figures byte for
// byte. Each platform's plot step finds its own gplot beside the program.
TEST(Wine, SameBytesAsLinux) {
    const char* wb = std::getenv("WINDOWS_BIN");
    if (wb == nullptr || *wb == '\0' || std::system("command -v wine >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "WINDOWS_BIN is not set";
    std::string lorgen29;
    {
        TempDir d;
        lorgen29 = run_args(d.path, {bin("lorgen")}).out;
    }
    const std::pair<const char*, std::string> tables[] = {
        {"lorgen", lorgen29},
        {"squares, CR LF", "1 1\r\n2 4\r\n3 9\r\n4 16\r\n"},
        {"a repeated abscissa", "0 1\n1 2\n1 3\n2 4\n3 5\n"},
        {"a header", "x y\n1 2\n3 4\n"},
    };
    const std::string input = "2.5 3.47 abc -1 1e300 1e999 -1e999 -10000\n";
    auto drop_cr = [](std::string s) {
        std::erase(s, '\r');
        return s;
    };
    for (const auto& [name, table] : tables) {
        for (const char* program : {"splerr", "quaderr", "loctest"}) {
            SCOPED_TRACE(std::string(program) + " on " + name);
            TempDir lin, win;
            write_file(lin.path / "loren.out", table);
            write_file(win.path / "loren.out", table);
            RunOpts o;
            o.path = "/usr/bin:/bin"; // no gplot but the one beside each program
            RunResult l = run_opts(lin.path, {bin(program)}, input, o);
            RunResult w = run_opts(
                win.path, {"/usr/bin/wine", std::string(wb) + "/" + program + ".exe"}, input, o);
            EXPECT_EQ(w.status, l.status);
            EXPECT_EQ(drop_cr(w.out), l.out);
            EXPECT_NE(w.out.find("\r\n"), std::string::npos) << "console lines end in CR LF";
            // A table read as all zeros has no range to draw: no figure on either platform.
            if (std::string(program) != "loctest" && std::string(name) != "a header") {
                EXPECT_TRUE(fs::exists(win.path / (program[0] == 's' ? "errsp.svg" : "errq.svg")));
            }
            for (const char* f : {"errsp.out", "errq.out", "errsp.svg", "errq.svg"}) {
                EXPECT_EQ(fs::exists(win.path / f), fs::exists(lin.path / f)) << f;
                EXPECT_TRUE(read_file(win.path / f) == read_file(lin.path / f)) << f;
            }
        }
    }
}

// A table designed for a tolerance by each method, and the decision table of all: the same
// rows, message and figure on both platforms (the design uses no maths-library function
// beyond the square root).
TEST(Wine, SameDesignAsLinux) {
    const char* wb = std::getenv("WINDOWS_BIN");
    if (wb == nullptr || *wb == '\0' || std::system("command -v wine >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "WINDOWS_BIN is not set";
    for (const char* method : {"spline", "quadratic", "not-a-knot", "clamped", "all"}) {
        SCOPED_TRACE(method);
        TempDir lin, win;
        const std::vector<std::string> args = {"--tol", "1e-6",  "--method",
                                               method,  "--svg", "d.svg"};
        std::vector<std::string> l_cmd = {bin("lorgen")},
                                 w_cmd = {"/usr/bin/wine", std::string(wb) + "/lorgen.exe"};
        l_cmd.insert(l_cmd.end(), args.begin(), args.end());
        w_cmd.insert(w_cmd.end(), args.begin(), args.end());
        RunResult l = run_args(lin.path, l_cmd), w = run_args(win.path, w_cmd);
        ASSERT_EQ(l.status, 0);
        EXPECT_EQ(w.status, 0);
        std::erase(w.out, '\r');
        std::erase(w.err, '\r');
        EXPECT_EQ(w.out, l.out);
        EXPECT_EQ(w.err, l.err);
        EXPECT_TRUE(read_file(win.path / "d.svg") == read_file(lin.path / "d.svg"));
    }
}

// The exported header: lorgen.exe writes the same bytes as lorgen, and the header compiled by
// MinGW-w64 and run under wine gives the same values, bit for bit, as compiled on Linux: in
// double, in float32 storage and in float32 arithmetic.
TEST(Wine, SameHeaderSameBits) {
    const char* wb = std::getenv("WINDOWS_BIN");
    if (wb == nullptr || *wb == '\0' || std::system("command -v wine >/dev/null 2>&1") != 0 ||
        std::system("command -v x86_64-w64-mingw32-gcc >/dev/null && command -v cc >/dev/null") !=
            0)
        GTEST_SKIP() << "WINDOWS_BIN is not set, or a C compiler is missing";
    for (auto [method, store, arith] :
         {std::tuple{"clamped", "float32", "double"}, std::tuple{"spline", "double", "double"},
          std::tuple{"quadratic", "float32", "float32"}}) {
        SCOPED_TRACE(method);
        TempDir lin, win;
        const std::vector<std::string> args = {"--tol",    "1e-6", "--method", method,
                                               "--store",  store,  "--arith",  arith,
                                               "--format", "c",    "--name",   "lor"};
        std::vector<std::string> l_cmd = {bin("lorgen")},
                                 w_cmd = {"/usr/bin/wine", std::string(wb) + "/lorgen.exe"};
        l_cmd.insert(l_cmd.end(), args.begin(), args.end());
        w_cmd.insert(w_cmd.end(), args.begin(), args.end());
        ASSERT_EQ(run_args(lin.path, l_cmd).status, 0);
        ASSERT_EQ(run_args(win.path, w_cmd).status, 0);
        ASSERT_TRUE(read_file(win.path / "lor.h") == read_file(lin.path / "lor.h"));
        write_file(lin.path / "drv.c", c_driver("lor"));
        write_file(win.path / "drv.c", c_driver("lor"));
        const char* flags = " -std=c99 -O2 -ffp-contract=off -Wall -Wextra -Werror drv.c -o ";
        RunResult lc = run_args(lin.path, {"/bin/sh", "-c", std::string("cc") + flags + "drv"});
        RunResult wc = run_args(
            win.path, {"/bin/sh", "-c", std::string("x86_64-w64-mingw32-gcc") + flags + "drv.exe"});
        ASSERT_EQ(lc.status, 0) << lc.err;
        ASSERT_EQ(wc.status, 0) << wc.err;
        RunResult l = run_args(lin.path, {(lin.path / "drv").string()});
        RunResult w = run_args(win.path, {"/usr/bin/wine", (win.path / "drv.exe").string()});
        std::erase(w.out, '\r');
        EXPECT_EQ(l.out.rfind("0 of ", 0), 0u) << l.out;
        EXPECT_EQ(w.out, l.out);
    }
}

namespace {
// What a console under wine shows, as text: wine's terminal renders a blank as "erase, one
// to the right" and hides the cursor around each character; CRs dropped.
std::string screen_text(const std::string& s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r')
            continue;
        if (s[i] != '\x1b' || i + 1 >= s.size() || s[i + 1] != '[') {
            r += s[i];
            continue;
        }
        std::size_t j = i + 2;
        while (j < s.size() && !std::isalpha(static_cast<unsigned char>(s[j])))
            ++j;
        if (j < s.size() && s[j] == 'C')
            r.append(static_cast<std::size_t>(std::max(1, std::atoi(s.c_str() + i + 2))), ' ');
        i = j;
    }
    return r;
}

// Reads until the screen shows want, for up to 10 s.
bool wait_screen(Term& t, const std::string& want) {
    auto end = std::chrono::steady_clock::now() + 10s;
    while (screen_text(t.out).find(want) == std::string::npos)
        if (std::chrono::steady_clock::now() > end || !t.pump(20))
            return false;
    return true;
}

// The folder of the Windows programs, or empty (the tests are then skipped).
std::string windows_bin() {
    const char* w = std::getenv("WINDOWS_BIN");
    return w != nullptr && *w != '\0' && std::system("command -v wine >/dev/null 2>&1") == 0 ? w
                                                                                             : "";
}
} // namespace

// Under wine, in a pseudo-terminal: the console API read gives the same keys as on Linux.
// Ctrl+C is not tried: wine's console ends the process on it, whatever the mode.
TEST(Wine, LorlistAndReadKeyOnTheConsole) {
    std::string wb = windows_bin();
    if (wb.empty())
        GTEST_SKIP() << "WINDOWS_BIN is not set";
    struct C {
        const char* name;
        std::string keys;
        std::string answer;      // the answer line as the console shows it
        bool listed, waits;      // the listing follows; the second prompt waits for a key
        std::vector<int> values; // read_key's values for the keys
    };
    const C cs[] = {
        {"a", "a", "ans a 97 ", true, true, {'a'}},
        {"0", "0", "ans 0 48 ", false, false, {'0'}},
        {"Up", "\x1b[A", "ans  0 ", true, false, {0, 72}},
        {"F1", "\x1bOP", "ans  0 ", true, false, {0, 59}},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(c.name);
        TempDir d;
        write_file(d.path / "loren.out", two);
        Term t(d.path, "/usr/bin/wine", {wb + "/lorlist.exe"});
        ASSERT_TRUE(wait_screen(t, press)) << t.out;
        std::this_thread::sleep_for(300ms);
        t.type(c.keys);
        if (c.waits) {
            EXPECT_TRUE(wait_screen(t, two + press));
            std::this_thread::sleep_for(300ms);
            t.type("z");
        }
        EXPECT_EQ(t.finish(), 0);
        std::string want = "nlines = 2 \n" + press + c.answer + "\n";
        if (c.listed)
            want += two + press;
        EXPECT_EQ(screen_text(t.out), want);

        Term k(d.path, "/usr/bin/wine", {wb + "/../tests/keydriver.exe"});
        ASSERT_TRUE(wait_screen(k, "ready\n"));
        std::this_thread::sleep_for(300ms);
        k.type(c.keys);
        std::string kw = "ready\n";
        for (int v : c.values)
            kw += std::to_string(v) + "\nready\n";
        EXPECT_TRUE(wait_screen(k, kw)) << screen_text(k.out);
        k.type("q");
        EXPECT_EQ(k.finish(), 0);
        // keydriver reports "mode changed" when read_key did not restore the console's mode.
        EXPECT_EQ(screen_text(k.out), kw + "113\n");
    }
}
