// progress: one line on standard error that says what a long job is doing, rewritten in
// place, from 2 s on and only when standard error is a terminal; cleared at the end.
#pragma once

#include <chrono>
#include <mutex>
#include <string>

struct Progress {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::milliseconds after{2000}; // nothing shows before this has passed
    bool terminal = false;                 // standard error is a terminal
    std::size_t shown = 0;                 // the length of the line on it (0: none)
    std::mutex lock;                       // say and clear may come from any thread
};
// Starts the clock and looks at standard error; nothing shows before 2 s have passed.
void progress_begin(Progress& p);
// text in place of the line shown, when 2 s have passed on a terminal; cut to a column short
// of the terminal's width.
void progress_say(Progress& p, const std::string& text);
// Clears the line, if one was shown.
void progress_end(Progress& p);
// n with a comma between groups of three digits: "1,048,576".
std::string grouped(long long n);
