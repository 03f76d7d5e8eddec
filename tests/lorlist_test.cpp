// lorlist and read_key at a real pseudo-terminal: keys typed on the terminal, the dialogue
// read back byte for byte, and the terminal's mode checked afterwards.
#include "harness.hpp"

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

namespace {
using namespace std::chrono_literals;

// A program running on its own pseudo-terminal, as its controlling terminal.
struct Term {
    int master = -1, slave = -1;
    pid_t pid = -1;
    termios before{};
    std::string out;

    // program runs with the arguments args (wine: the Windows program to run).
    Term(const fs::path& dir, const std::string& program,
         const std::vector<std::string>& args = {}) {
        EXPECT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        // No output processing, so what the program writes arrives unchanged.
        termios t;
        tcgetattr(slave, &t);
        t.c_oflag &= ~OPOST;
        tcsetattr(slave, TCSANOW, &t);
        tcgetattr(slave, &before);
        pid = fork();
        if (pid == 0) {
            close(master);
            login_tty(slave);
            if (chdir(dir.c_str()) != 0)
                _exit(127);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Term() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(master);
        close(slave);
    }

    // Takes what the program has written within ms milliseconds; false at its end.
    bool pump(int ms) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0)
            return true;
        char b[4096];
        ssize_t k = read(master, b, sizeof b);
        if (k <= 0)
            return false;
        out.append(b, static_cast<std::size_t>(k));
        return true;
    }

    // Reads until the output holds want, for up to 10 s.
    bool wait_for(const std::string& want) {
        auto end = std::chrono::steady_clock::now() + 10s;
        while (out.find(want) == std::string::npos)
            if (std::chrono::steady_clock::now() > end || !pump(20))
                return false;
        return true;
    }

    // Waits until the terminal is in raw mode, then types keys.
    void type(const std::string& keys) {
        auto end = std::chrono::steady_clock::now() + 10s;
        termios t;
        while (tcgetattr(slave, &t) == 0 && (t.c_lflag & ICANON) &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

    // Waits for the program to end; returns its status (128 + signal if killed), -1 on
    // timeout. Drains the rest of the output.
    int finish() {
        auto end = std::chrono::steady_clock::now() + 10s;
        int st = 0;
        while (waitpid(pid, &st, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end)
                return -1;
            pump(5);
        }
        pid = -1;
        std::size_t had;
        do {
            had = out.size();
        } while (pump(0) && out.size() > had);
        return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    }

    bool mode_unchanged() {
        termios t;
        tcgetattr(slave, &t);
        return t.c_iflag == before.c_iflag && t.c_oflag == before.c_oflag &&
               t.c_lflag == before.c_lflag && t.c_cflag == before.c_cflag &&
               t.c_cc[VMIN] == before.c_cc[VMIN] && t.c_cc[VTIME] == before.c_cc[VTIME];
    }
};

const std::string two = "1 2\n3 4\n";
const std::string press = "Press any key\n";

std::string ans(int k) {
    char b[32];
    int n = std::snprintf(b, sizeof b, "ans %c %d \n", k, k);
    return std::string(b, static_cast<std::size_t>(n));
}
} // namespace

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
