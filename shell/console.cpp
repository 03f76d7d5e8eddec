// console: the dialogue pieces the programs share: the number read, the interactive section,
// the error-table and plot phases, the loader's messages, the table's diagnostics, and the
// standard streams.
#include "shell.hpp"

#include "proc.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {
// The program's name in its diagnostics, set once at the start.
const char* prog = "lorentz-interp";

// The environment variable by which splerr and quaderr tell the gplot they run that the
// table it is given has been diagnosed already.
constexpr const char* told_var = "LORENTZ_TABLE_TOLD";

// "1 row of 3 reads as 0", "2 rows of 4 read as 0", "all 3 rows read as 0".
std::string rows_text(std::int64_t k, std::int64_t n) {
    if (k == n && k > 1)
        return "all " + std::to_string(n) + " rows read as 0";
    std::string r = std::to_string(k) + (k == 1 ? " row of " : " rows of ") + std::to_string(n);
    return r + (k == 1 ? " reads as 0" : " read as 0");
}

// The message of one problem of a table that the load described in t; method: the
// interpolant as the messages speak of it, or null.
std::string problem_text(const TableProblem& p, const TableNotes& t, const char* method) {
    std::int64_t unread = t.lines - t.rows_read;
    switch (p.kind) {
    case Problem::not_number: {
        std::string msg = "\"";
        msg.append(shown(p.text)).append("\" is not a number; ");
        return msg.append(rows_text(unread, t.lines));
    }
    case Problem::odd_line:
        return "line " + std::to_string(p.line) + " holds " + std::to_string(p.count) +
               (p.count == 1 ? " number" : " numbers") +
               " (a row needs 2), so every later value moves to another row";
    case Problem::missing_rows:
        return std::to_string(t.lines) + " line ends but " + std::to_string(t.rows_read) +
               (t.rows_read == 1 ? " pair; " : " pairs; ") + rows_text(unread, t.lines);
    case Problem::beyond_range: return beyond_text(p.text, p.value);
    case Problem::no_line_end: return "the last line has no line end and is not read";
    case Problem::cr_only:
        return "its lines end in CR alone, so it reads as one line; use LF or CR LF line ends";
    case Problem::x_repeats:
        if (method == nullptr)
            return "x repeats the abscissa before it (the search assumes strictly ascending x)";
        return std::string("x repeats the abscissa before it (equal abscissae make ") + method +
               " divide by zero)";
    case Problem::x_steps_back:
        return "x steps back from the abscissa before it (the search assumes ascending x)";
    case Problem::after_26: break;
    }
    return "a byte 26 ends the table here; the text after it is not read";
}

// Whether the first line of the file at path (its first 4 KiB at most) holds a comma.
bool comma_in_first_line(const char* path) {
    std::string b;
    read_whole(path, 4096, &b);
    return b.substr(0, b.find('\n')).find(',') != std::string::npos;
}

// Whether the process that started this one has told the problems of the table at path.
bool told_by_caller(const char* path) {
    const char* v = std::getenv(told_var);
    return v != nullptr && std::strcmp(v, path) == 0;
}
} // namespace

std::string shown(const std::string& s) {
    std::string r;
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        r += u < 32 || u >= 127 ? '?' : c;
    }
    return r;
}

std::string shortest(double v) {
    char b[40];
    auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

int read_whole(const char* path, std::size_t most, std::string* out) {
    errno = 0;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return errno != 0 ? errno : EIO;
    char b[65536];
    std::size_t n = 0;
    while (out->size() < most &&
           (n = std::fread(b, 1, std::min(sizeof b, most - out->size()), f)) > 0)
        out->append(b, n);
    int err = std::ferror(f) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(f);
    return err;
}

std::string beyond_text(const std::string& text, double value) {
    std::string r = "\"";
    r.append(shown(text)).append("\" is beyond the range of a double and reads as ");
    const FmtArg v(value);
    fmt_append(r, "%g", &v, 1);
    return r;
}

void console_name(const char* name) {
    prog = name;
}

void tell(const std::string& msg) {
    std::fflush(stdout); // the dialogue so far comes first where both streams meet
    std::fprintf(stderr, "%s: %s\n", prog, msg.c_str());
}

std::string cause_text(int err) {
    return std::strerror(err != 0 ? err : EIO);
}

int out_printv(std::FILE* f, const char* fmt, const FmtArg* args, int n) {
    std::string s;
    fmt_append(s, fmt, args, n);
    return std::fwrite(s.data(), 1, s.size(), f) == s.size() ? static_cast<int>(s.size()) : -1;
}

void report_notes(Console& c, const char* path, const TableNotes& t) {
    if (!t.parsed || c.notes_done || told_by_caller(path))
        return;
    c.notes_done = true;
    for (const TableProblem& p : table_problems(path, t)) {
        if (p.line == 0)
            tell(std::string(path) + ": " + problem_text(p, t, c.method));
        else
            tell(std::string(path) + ":" + std::to_string(p.line) + ": " +
                 problem_text(p, t, c.method));
    }
}

bool report_unusable(Console& c, const char* path, Load s, int error, int min_n) {
    if (c.unusable_told || told_by_caller(path))
        return false;
    c.unusable_told = true;
    std::string hint = " (make one with: lorgen > " + std::string(path) + ")";
    if (s == Load::cannot_open)
        tell("cannot open " + std::string(path) + ": " + cause_text(error) + hint);
    else if (min_n <= 1)
        tell(std::string(path) + " holds no samples" + hint);
    else
        tell(std::string(path) + " holds fewer than " + std::to_string(min_n) + " samples" + hint);
    return true;
}

Input read_x(Console& c, double* x) {
    std::fflush(stdout);
    bool eof = false;
    ScanNote note;
    Scan s = scan_num(c.in, x, &eof, &note);
    if (s == Scan::number) {
        if (note.beyond)
            tell(beyond_text(note.text, *x));
        return Input::number;
    }
    if (s == Scan::eof)
        return Input::end;
    std::string junk = take_word(c.in);
    if (!junk.empty() && junk[0] == ',' && !c.comma_told) {
        c.comma_told = true;
        tell("a comma does not separate decimals here: the decimal separator is \".\"");
    }
    std::fputs(" not a number: ", stdout);
    std::fwrite(junk.data(), 1, junk.size(), stdout);
    std::fputs(" \n", stdout);
    return Input::not_number;
}

void run_section(Console& c, void (*show)(double)) {
    for (;;) {
        std::fputs("enter x or -10000 to go to next section\n", stdout);
        double x = 0.0;
        Input r = read_x(c, &x);
        if (r == Input::end)
            return;
        if (r == Input::not_number)
            continue;
        if (x == sentinel)
            return;
        show(x);
    }
}

bool report_load(Console& c, Load s, const SampleTable& t, int min_n, int first) {
    switch (s) {
    case Load::ok:
        for (int i = first; i < first + t.n; ++i)
            if (std::isfinite(t.xa[i])) {
                c.table_lo = std::isnan(c.table_lo) ? t.xa[i] : std::fmin(c.table_lo, t.xa[i]);
                c.table_hi = std::isnan(c.table_hi) ? t.xa[i] : std::fmax(c.table_hi, t.xa[i]);
            }
        report_notes(c, table_name, t.notes);
        // Rows that give no two distinct abscissae are no table, whatever they read as.
        c.had_table = c.table_lo < c.table_hi;
        if (!c.had_table && !told_by_caller(table_name))
            tell(std::string(table_name) +
                 " gives no two distinct finite abscissae, so it is no "
                 "table" +
                 (comma_in_first_line(table_name) ? "; separate x and y by spaces or tabs" : "") +
                 " (make one with: lorgen > " + table_name + ")");
        return true;
    case Load::cannot_open:
        std::fputs(msg_cannot_open, stdout);
        report_unusable(c, table_name, s, t.error, min_n);
        return false;
    case Load::too_few:
        std::fputs(min_n <= 1 ? msg_no_samples : msg_few2, stdout);
        report_unusable(c, table_name, s, t.error, min_n);
        report_notes(c, table_name, t.notes);
        return false;
    case Load::no_memory: break;
    }
    die_no_memory();
}

void note_outside(Console& c, double x) {
    if (c.outside_told || !(c.table_lo < c.table_hi) || !(x < c.table_lo || x > c.table_hi))
        return;
    c.outside_told = true;
    tell("x = " + shortest(x) + " lies outside the table [" + shortest(c.table_lo) + ", " +
         shortest(c.table_hi) + "]: the value is extrapolated");
}

void die_no_memory() {
    std::fputs(msg_no_memory, stdout);
    std::exit(1);
}

int finish_run(Console& c, const char* errname, double (*f)(double)) {
    int cause = 0;
    switch (write_error_table(errname, f, &cause)) {
    case Write::ok: break;
    case Write::cannot_open:
        std::fputs(msg_cannot_open_err, stdout);
        tell("cannot write " + std::string(errname) + ": " + cause_text(cause));
        return 1;
    case Write::cannot_write:
        std::printf(" cannot write %s \n", errname);
        tell("cannot write " + std::string(errname) + ": " + cause_text(cause));
        return 1;
    }
    // Without a table at any evaluation the error table holds no result.
    int status = c.had_table ? 0 : 1;
    std::string cmd = std::string("gplot ") + table_name + " " + errname;
    std::fflush(stdout);
    // The suite's own gplot, beside this program, is found when nothing earlier on PATH is;
    // it leaves the table's problems to this program, which has told them.
    sys_path_add_exe_dir();
    sys_set_env(told_var, table_name);
    // The plot is a convenience: a failure is told, but the error table is the result.
    int rc = sys_command_status(std::system(cmd.c_str()));
    if (rc != 0 && status == 0)
        tell("the plot step failed (status " + std::to_string(rc) + "); " + errname +
             " is complete");
    else if (rc != 0)
        tell("the plot step failed (status " + std::to_string(rc) + ")");
    return status;
}

Console& console_start(const char* name, const char* what) {
    static Console c;
    prog = name;
    c.method = what;
    c.stdout_closed = (sys_guard_std() & 2) != 0;
    if (!tf_open_stdin(c.in))
        die_no_memory();
    return c;
}

int console_end(const Console& c, int status) {
    bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) || c.stdout_closed;
    if (!lost)
        return status;
    std::fputs(" cannot write standard output \n", stderr);
    return 1;
}

int thread_count() {
    sys_threads_share_heap();
    long long n = 0;
    if (const char* v = std::getenv("OMP_NUM_THREADS"); v != nullptr && count_arg(v, &n))
        return n > 1024 ? 1024 : static_cast<int>(n);
    unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
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

bool plain_args(int argc, char** argv, const char* name, const char* usage) {
    if (info_args(argc, argv, name, usage))
        return true;
    if (argc > 1) {
        std::string msg = std::string(name) + ": takes no arguments; ignoring";
        for (int i = 1; i < argc; ++i)
            msg += " \"" + shown(argv[i]) + "\"";
        msg += " (it reads loren.out in the current folder)\n";
        std::fputs(msg.c_str(), stderr);
    }
    return false;
}
