// console: the dialogue pieces the programs share: the number read, the interactive section,
// the error-table and plot phases, the loader's messages, and the standard streams.
#include "numlib.hpp"
#include "sys.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
bool stdout_closed = false;
} // namespace

Input read_x(TextFile& in, double* x) {
    std::fflush(stdout);
    bool eof = false;
    Scan s = scan_num(in, x, &eof);
    if (s == Scan::number)
        return Input::number;
    if (s == Scan::eof)
        return Input::end;
    std::string junk = take_word(in);
    std::fputs(" not a number: ", stdout);
    std::fwrite(junk.data(), 1, junk.size(), stdout);
    std::fputs(" \n", stdout);
    return Input::not_number;
}

void run_section(TextFile& in, void (*show)(double)) {
    for (;;) {
        std::fputs("enter x or -10000 to go to next section\n", stdout);
        double x = 0.0;
        Input r = read_x(in, &x);
        if (r == Input::end)
            return;
        if (r == Input::not_number)
            continue;
        if (x == sentinel)
            return;
        show(x);
    }
}

bool report_load(Load s) {
    switch (s) {
    case Load::ok: return true;
    case Load::cannot_open: std::fputs(msg_cannot_open, stdout); return false;
    case Load::too_few: std::fputs(msg_few2, stdout); return false;
    case Load::no_memory: break;
    }
    std::fputs(msg_no_memory, stdout);
    std::exit(1);
}

int finish_run(const char* errname, double (*f)(double)) {
    switch (write_error_table(errname, f)) {
    case Write::ok: break;
    case Write::cannot_open: std::fputs(msg_cannot_open_err, stdout); return 1;
    case Write::cannot_write: std::printf(" cannot write %s \n", errname); return 1;
    }
    std::string cmd = std::string("gplot ") + table_name + " " + errname;
    std::fflush(stdout);
    // The plot is a convenience: its outcome does not change this run's result.
    [[maybe_unused]] int rc = std::system(cmd.c_str());
    return 0;
}

TextFile& console_start() {
    static TextFile in;
    stdout_closed = (sys_guard_std() & 2) != 0;
    if (!tf_open_stdin(in))
        report_load(Load::no_memory);
    return in;
}

int console_end(int status) {
    bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) || stdout_closed;
    if (!lost)
        return status;
    std::fputs(" cannot write standard output \n", stderr);
    return 1;
}

const char* suite_version() {
    return LORENTZ_INTERP_VERSION;
}

bool info_args(int argc, char** argv, const char* name, const char* usage) {
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0)
        std::fputs(usage, stdout);
    else if (std::strcmp(argv[1], "--version") == 0)
        std::printf("%s (lorentz-interp) %s\n", name, suite_version());
    else
        return false;
    std::fflush(stdout);
    return true;
}
