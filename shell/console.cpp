// console: the dialogue pieces the programs share: the number read, the interactive section,
// the error-table and plot phases, the loader's messages, the table's diagnostics, and the
// standard streams.
#include "shell.hpp"

#include "proc.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
bool stdout_closed = false;
const char* prog = "lorentz-interp";
bool notes_done = false;

// Text of the table shown in a diagnostic: control bytes and bytes beyond ASCII as '?'.
std::string shown(const std::string& s) {
    std::string r;
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        r += u < 32 || u >= 127 ? '?' : c;
    }
    return r;
}

void note(const char* path, std::int64_t line, const std::string& msg) {
    std::fprintf(stderr, "%s: %s:%lld: %s\n", prog, path, static_cast<long long>(line),
                 msg.c_str());
}

// "all 3 rows read as 0", "1 row of 3 reads as 0", "2 rows of 4 read as 0".
std::string rows_text(std::int64_t k, std::int64_t n) {
    if (k == n && k > 1)
        return "all " + std::to_string(n) + " rows read as 0";
    std::string r = std::to_string(k) + (k == 1 ? " row of " : " rows of ") + std::to_string(n);
    return r + (k == 1 ? " reads as 0" : " read as 0");
}

// The message of one problem of a table that the load described in t.
std::string problem_text(const TableProblem& p, const TableNotes& t) {
    std::int64_t unread = t.lines - t.rows_read;
    switch (p.kind) {
    case Problem::not_number: {
        std::string msg = "\"";
        msg.append(shown(p.text)).append("\" is not a number; ");
        return msg.append(rows_text(unread, t.lines));
    }
    case Problem::missing_rows:
        return std::to_string(t.lines) + " line ends but " + std::to_string(t.rows_read) +
               (t.rows_read == 1 ? " pair; " : " pairs; ") + rows_text(unread, t.lines);
    case Problem::no_line_end: return "the last line has no line end and is not read";
    case Problem::x_repeats:
        return "x repeats the abscissa before it (equal abscissae make the spline divide by "
               "zero)";
    case Problem::x_steps_back:
        return "x steps back from the abscissa before it (the search assumes ascending x)";
    case Problem::after_26: break;
    }
    return "a byte 26 ends the table here; the text after it is not read";
}
} // namespace

int out_printv(std::FILE* f, const char* fmt, const FmtArg* args, int n) {
    std::string s;
    fmt_append(s, fmt, args, n);
    return std::fwrite(s.data(), 1, s.size(), f) == s.size() ? static_cast<int>(s.size()) : -1;
}

void report_notes(const char* path, const TableNotes& t, unsigned kinds) {
    if (!t.parsed || notes_done)
        return;
    notes_done = true;
    std::fflush(stdout); // the dialogue so far comes first where both streams meet
    for (const TableProblem& p : table_problems(path, t, kinds))
        note(path, p.line, problem_text(p, t));
}

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

bool report_load(Load s, const SampleTable& t) {
    switch (s) {
    case Load::ok: report_notes(table_name, t.notes); return true;
    case Load::cannot_open: std::fputs(msg_cannot_open, stdout); return false;
    case Load::too_few:
        std::fputs(msg_few2, stdout);
        report_notes(table_name, t.notes);
        return false;
    case Load::no_memory: break;
    }
    die_no_memory();
}

void die_no_memory() {
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
    // The suite's own gplot, beside this program, is found when nothing earlier on PATH is.
    sys_path_add_exe_dir();
    // The plot is a convenience: a failure is told, but the error table is the result.
    int rc = sys_command_status(std::system(cmd.c_str()));
    if (rc != 0)
        std::fprintf(stderr, "%s: the plot step failed (status %d); %s is complete\n", prog, rc,
                     errname);
    return 0;
}

TextFile& console_start(const char* name) {
    static TextFile in;
    prog = name;
    stdout_closed = (sys_guard_std() & 2) != 0;
    if (!tf_open_stdin(in))
        die_no_memory();
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
