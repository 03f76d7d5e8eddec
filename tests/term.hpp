// term: a program running on a pseudo-terminal of its own, for the tests of lorlist and
// read_key: keys typed on the terminal, its output read back, its mode checked.
#pragma once

#include "harness.hpp"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utmp.h>
#include <vector>

using namespace std::chrono_literals;

// A program running on its own pseudo-terminal, as its controlling terminal.
struct Term {
    int master = -1, slave = -1;
    pid_t pid = -1;
    termios before{};
    std::string out;

    // program runs with the arguments args (wine: the Windows program to run), on a
    // terminal of `columns` columns where that is not 0.
    Term(const fs::path& dir, const std::string& program, const std::vector<std::string>& args = {},
         unsigned short columns = 0) {
        winsize size{24, columns, 0, 0};
        EXPECT_EQ(openpty(&master, &slave, nullptr, nullptr, columns > 0 ? &size : nullptr), 0);
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

    // Waits for the program to end, up to `seconds`; returns its status (128 + signal if
    // killed), -1 on timeout. Drains the rest of the output.
    int finish(int seconds = 10) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
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

// lorlist's table and texts.
inline const std::string two = "1 2\n3 4\n";
inline const std::string press = "Press any key\n";

// The answer line for the key k.
inline std::string ans(int k) {
    char b[32];
    int n = std::snprintf(b, sizeof b, "ans %c %d \n", k, k);
    return std::string(b, static_cast<std::size_t>(n));
}
