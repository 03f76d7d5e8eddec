// lorlist and read_key at a real pseudo-terminal: keys typed on the terminal, the dialogue
// read back byte for byte, and the terminal's mode checked afterwards.
#include "term.hpp"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utmp.h>
#include <vector>

TEST(Lorlist, KeysAtTheTerminal) {
    struct C {
        const char* name;
        std::string keys; // the first key
        int value;        // what the answer line shows
        bool waits_again; // the second prompt waits for another key
    };
    const C cs[] = {
        {"a", "a", 'a', true},           {"Enter", "\r", 13, true},
        {"Ctrl+C", "\x03", 3, true},     {"Up", "\x1b[A", 0, false},
        {"F1", "\x1bOP", 0, false},      {"F12", "\x1b[24~", 0, false},
        {"lone Esc", "\x1b", 27, true},  {"unknown sequence", "\x1b[99~", 0, false},
        {"byte 255", "\xff", 255, true},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(c.name);
        TempDir d;
        write_file(d.path / "loren.out", two);
        Term t(d.path, bin("lorlist"));
        ASSERT_TRUE(t.wait_for(press));
        t.type(c.keys);
        ASSERT_TRUE(t.wait_for(two + press));
        if (c.waits_again) {
            std::this_thread::sleep_for(100ms);
            t.type("z");
        }
        EXPECT_EQ(t.finish(), 0);
        EXPECT_EQ(t.out, "nlines = 2 \n" + press + ans(c.value) + two + press);
        EXPECT_TRUE(t.mode_unchanged());
    }
}

TEST(Lorlist, ZeroEndsAtOnce) {
    TempDir d;
    write_file(d.path / "loren.out", two);
    Term t(d.path, bin("lorlist"));
    ASSERT_TRUE(t.wait_for(press));
    t.type("0");
    EXPECT_EQ(t.finish(), 0);
    EXPECT_EQ(t.out, "nlines = 2 \n" + press + ans('0'));
    EXPECT_TRUE(t.mode_unchanged());
}

TEST(Lorlist, Listings) {
    struct C {
        const char* name;
        std::optional<std::string> table;
        std::string head;
        std::string listing;
        int status;
    };
    const C cs[] = {
        {"lf", two, "nlines = 2 \n", two, 0},
        {"crlf and a lone cr", "1 2\r\n3\r4\r\n", "nlines = 2 \n", "1 2\n34\n", 0},
        {"byte 26",
         "1 2\n\x1a"
         "3 4\n",
         "nlines = 1 \n", "1 2\n", 0},
        {"no final line end", "1 2\n3 4", "nlines = 1 \n", "1 2\n3 4", 0},
        {"empty", "", "nlines = 0 \n", "", 0},
        // The terminal shows standard error too: the cause follows the fixed message.
        {"missing", std::nullopt,
         " cannot open file loren.out \nlorlist: cannot open loren.out: No such file or "
         "directory (make one with: lorgen > loren.out)\n",
         "", 1},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(c.name);
        TempDir d;
        if (c.table)
            write_file(d.path / "loren.out", *c.table);
        Term t(d.path, bin("lorlist"));
        ASSERT_TRUE(t.wait_for(press));
        t.type("a");
        ASSERT_TRUE(t.wait_for(ans('a') + c.listing + press));
        t.type("b");
        EXPECT_EQ(t.finish(), c.status);
        EXPECT_EQ(t.out, c.head + press + ans('a') + c.listing + press);
    }
}

TEST(Lorlist, NoTerminal) {
    TempDir d;
    write_file(d.path / "loren.out", two);
    RunResult r = run_in(d.path, bin("lorlist"), "0", "", true);
    EXPECT_EQ(r.out, "nlines = 2 \n" + press + ans(-1) + two + press);
    EXPECT_EQ(r.status, 0);
}

TEST(Lorlist, TerminatedWhileWaiting) {
    TempDir d;
    write_file(d.path / "loren.out", two);
    for (int sig : {SIGTERM, SIGHUP}) {
        Term t(d.path, bin("lorlist"));
        ASSERT_TRUE(t.wait_for(press));
        termios m;
        for (int i = 0; i < 1000 && tcgetattr(t.slave, &m) == 0 && (m.c_lflag & ICANON); ++i)
            std::this_thread::sleep_for(1ms);
        kill(t.pid, sig);
        EXPECT_EQ(t.finish(), 128 + sig);
        EXPECT_TRUE(t.mode_unchanged());
    }
}

TEST(ReadKey, ScanCodes) {
    struct C {
        const char* keys;
        std::vector<int> values;
    };
    const C cs[] = {
        {"\x1b[A", {0, 72}},    {"\x1b[B", {0, 80}},    {"\x1b[D", {0, 75}},
        {"\x1b[C", {0, 77}},    {"\x1b[H", {0, 71}},    {"\x1b[F", {0, 79}},
        {"\x1bOH", {0, 71}},    {"\x1b[1~", {0, 71}},   {"\x1b[4~", {0, 79}},
        {"\x1b[5~", {0, 73}},   {"\x1b[6~", {0, 81}},   {"\x1b[2~", {0, 82}},
        {"\x1b[3~", {0, 83}},   {"\x1bOP", {0, 59}},    {"\x1bOS", {0, 62}},
        {"\x1b[15~", {0, 63}},  {"\x1b[21~", {0, 68}},  {"\x1b[23~", {0, 133}},
        {"\x1b[24~", {0, 134}}, {"\x1b[1;5A", {0, 72}}, {"\x1b[[A", {0, 59}},
        {"\x1b[1;2P", {0, 59}}, {"\x1b[3;5~", {0, 83}}, {"\x1b[99~", {0, 0}},
        {"\x1b[Z", {0, 0}},     {"aa", {'a', 'a'}},     {"\x7f", {127}},
    };
    for (const C& c : cs) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.keys)));
        TempDir d;
        Term t(d.path, test_bin("keydriver"));
        ASSERT_TRUE(t.wait_for("ready\n"));
        t.type(c.keys);
        std::string want = "ready\n";
        for (int v : c.values)
            want += std::to_string(v) + "\nready\n";
        ASSERT_TRUE(t.wait_for(want)) << t.out;
        t.type("q");
        EXPECT_EQ(t.finish(), 0);
        EXPECT_EQ(t.out, want + "113\n");
        EXPECT_TRUE(t.mode_unchanged());
    }
}

// The progress line of a long job is cut to a column short of a narrow terminal, so that
// rewriting it in place leaves no wrapped lines behind.
TEST(Terminal, ProgressLineFitsANarrowTerminal) {
    TempDir d;
    // The line from 100 ms on, not 2 s: a fast machine ends this job in about 2 s.
    setenv("LORENTZ_PROGRESS_AFTER_MS", "100", 1);
    Term t(d.path, bin("lorgen"), {"--tol", "1e-13", "--method", "quadratic", "3", "4"}, 40);
    unsetenv("LORENTZ_PROGRESS_AFTER_MS");
    ASSERT_EQ(t.finish(600), 0); // seconds in a release build, a minute with the sanitizers
    std::size_t longest = 0;
    for (std::size_t at = 0, end; at < t.out.size(); at = end + 1) {
        end = t.out.find_first_of("\r\n", at);
        end = end == std::string::npos ? t.out.size() : end;
        // The progress lines: the table's rows and its line at the end go to the terminal too.
        std::string line = t.out.substr(at, end - at);
        if (line.compare(0, 8, "lorgen: ") == 0 && line.find(" rows keep ") == std::string::npos)
            longest = std::max(longest, end - at);
    }
    EXPECT_GT(longest, 0u) << "no progress line was shown";
    EXPECT_LE(longest, 39u);
}
