// progress: the line that says what a long job is doing, on a terminal only.
#include "progress.hpp"

#include "proc.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void progress_begin(Progress& p) {
    p.start = std::chrono::steady_clock::now();
    // For the test of the line on a narrow terminal: LORENTZ_PROGRESS_AFTER_MS shows it
    // sooner, so that a job that a fast machine ends in 2 s still shows it.
    if (const char* v = std::getenv("LORENTZ_PROGRESS_AFTER_MS"); v != nullptr)
        p.after = std::chrono::milliseconds(std::atoi(v));
    p.terminal = sys_stderr_is_terminal();
    p.shown = 0;
}

void progress_say(Progress& p, const std::string& text) {
    std::lock_guard<std::mutex> hold(p.lock);
    if (!p.terminal || std::chrono::steady_clock::now() - p.start < p.after)
        return;
    // Cut to a column short of the terminal's width: a line that wrapped could not be
    // rewritten in place.
    int cols = sys_stderr_columns();
    std::size_t most = cols > 1 ? static_cast<std::size_t>(cols - 1) : std::string::npos;
    std::string line = text.substr(0, most);
    // Spaces over what is left of a longer line before it, within the width too.
    std::size_t old = std::min(p.shown, most);
    std::string pad(old > line.size() ? old - line.size() : 0, ' ');
    std::fprintf(stderr, "\r%s%s\r%s", line.c_str(), pad.c_str(), line.c_str());
    std::fflush(stderr);
    p.shown = line.size();
}

void progress_end(Progress& p) {
    std::lock_guard<std::mutex> hold(p.lock);
    if (p.shown == 0)
        return;
    std::fprintf(stderr, "\r%s\r", std::string(p.shown, ' ').c_str());
    std::fflush(stderr);
    p.shown = 0;
}

std::string grouped(long long n) {
    std::string d = std::to_string(n < 0 ? -n : n), s;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (i > 0 && (d.size() - i) % 3 == 0)
            s += ',';
        s += d[i];
    }
    return n < 0 ? "-" + s : s;
}
