// shell: what the programs share around the numerical core: the dialogue on standard output,
// the fixed messages, the diagnostics on standard error, the error-table and plot phases,
// and the process control (the standard streams, PATH, the command interpreter's status).
#pragma once

#include "numlib.hpp"

#include <cmath>
#include <cstdio>
#include <string>

// ---------------------------------------------------------------------------------------
// Fixed messages.
// ---------------------------------------------------------------------------------------

// The loader's outcomes, on standard output.
inline constexpr const char* msg_cannot_open = " cannot open file loren.out \n";
inline constexpr const char* msg_few2 = " loren.out holds fewer than 2 samples \n";
inline constexpr const char* msg_no_samples = " loren.out holds no samples \n";
inline constexpr const char* msg_no_memory = " not enough memory for loren.out \n";
// The error table that cannot be created.
inline constexpr const char* msg_cannot_open_err = " cannot open err.out file\n";

// ---------------------------------------------------------------------------------------
// Output.
// ---------------------------------------------------------------------------------------

// fprintf with numlib's formatting (fmt_append): one text for non-finite values on every
// platform. Returns the count written, -1 when the write fails.
int out_printv(std::FILE* f, const char* fmt, const FmtArg* args, int n);
template <class... A> int out_printf(std::FILE* f, const char* fmt, A... a) {
    const FmtArg args[] = {FmtArg(a)..., FmtArg(0)};
    return out_printv(f, fmt, args, static_cast<int>(sizeof...(a)));
}

// ---------------------------------------------------------------------------------------
// The console.
// ---------------------------------------------------------------------------------------

// A program's console: its interpolant as the diagnostics speak of it, its standard input,
// what it has told once a run, and the table its evaluations had. One a process, made by
// console_start and passed to everything that reads or changes it; the exit status of
// finish_run and console_end is read from it.
struct Console {
    const char* method = nullptr; // "the spline", or null for a program without one
    TextFile in;
    bool stdout_closed = false; // standard output was closed at the start
    bool notes_done = false;    // the table's problems have been told (or were, by the caller)
    bool unusable_told = false;
    bool comma_told = false, outside_told = false;
    bool had_table = false;                // some evaluation of this run had a loaded table
    double table_lo = NAN, table_hi = NAN; // the loaded table's range of finite abscissae
};

// ---------------------------------------------------------------------------------------
// The dialogue.
// ---------------------------------------------------------------------------------------

// The value that ends an interactive section, compared for exact equality.
inline constexpr double sentinel = -10000.0;

enum class Input { number, not_number, end };
// Flushes standard output, then reads one number from c.in. Input::not_number: the run of
// non-white-space text there is discarded and " not a number: <text> \n" printed.
// Input::end: standard input has ended.
Input read_x(Console& c, double* x);

// The interactive section of splerr and quaderr: prompt, read, and show(x) for every number
// until the sentinel or the end of standard input.
void run_section(Console& c, void (*show)(double));

// The phases after the interactive section: writes the error table of f to errname, then
// runs "gplot loren.out <errname>" through the command interpreter, telling it that the
// table's problems have been told. Prints the fixed message of a failure (and tells its
// cause) and returns the exit status: 1 when the table could not be created or written (the
// plot step is then skipped) or when no evaluation of the run had a table (c.had_table),
// else 0. A failed plot step is told.
int finish_run(Console& c, const char* errname, double (*f)(double));

// ---------------------------------------------------------------------------------------
// Diagnostics.
// ---------------------------------------------------------------------------------------

// Writes "PROGRAM: msg" and a line end to standard error, after flushing standard output.
// PROGRAM is the name given to console_start or console_name, once, at the start.
void tell(const std::string& msg);
// Names the program for tell, leaving the standard streams alone (console_start names it too).
void console_name(const char* name);
// The system's text for an errno value (EIO's for 0).
std::string cause_text(int err);
// Text of a file or an argument as a diagnostic shows it: control bytes and bytes beyond
// ASCII as '?'.
std::string shown(const std::string& s);
// The shortest text that reads back as v ("0.1", "7", "1e+300").
std::string shortest(double v);
// Reads the file at path into *out, at most `most` bytes of it (so that a caller can tell a
// file longer than it wants). Returns 0, or the errno of the failure (*out then partial).
// Throws std::bad_alloc when memory is short.
int read_whole(const char* path, std::size_t most, std::string* out);
// "\"TEXT\" is beyond the range of a double and reads as VALUE" (VALUE as %g: inf, -inf,
// 0, -0).
std::string beyond_text(const std::string& text, double value);

// Tells one line "PROGRAM: PATH:LINE: message" (or "PROGRAM: PATH: message" for the file as
// a whole) for each problem that table_problems finds in notes.
// Only the first call of the run that has a parsed table tells; later calls, and every
// call when the program that started this one told the problems of path (finish_run's plot
// step), tell nothing. Each message speaks of c.method.
void report_notes(Console& c, const char* path, const TableNotes& notes);
// Tells once a process why the table at path cannot be used (s: Load::cannot_open, with
// the errno value error, or Load::too_few below min_n rows), with how to make one; nothing
// when the program that started this one told it. Returns true when it told.
bool report_unusable(Console& c, const char* path, Load s, int error, int min_n);

// Tells once a run, when a table is loaded and x lies outside its range of finite abscissae,
// that the value at x is extrapolated.
void note_outside(Console& c, double x);

// Prints the no-memory message on standard output and ends the process with status 1.
[[noreturn]] void die_no_memory();

// Prints the loader's message for s on standard output: the open failure, too few samples
// (fewer than 2, or none for min_n 1), or (and then the process ends with status 1) no
// memory; tells once why the table cannot be used, then report_notes for loren.out.
// The rows of a loaded table are its entries from first on; they set c's table. Returns true
// for Load::ok.
bool report_load(Console& c, Load s, const SampleTable& t, int min_n = 2, int first = 0);

// ---------------------------------------------------------------------------------------
// The process.
// ---------------------------------------------------------------------------------------

// Call first in main: standard input, output and error that are closed are opened on the
// null device, so no file the program opens can take their place and receive the dialogue.
// Returns the process's console, its standard input open; the process ends with the
// no-memory message when its buffer cannot be had. name is the program's name for its
// diagnostics; method, its interpolant as they speak of it ("the spline"), or null.
Console& console_start(const char* name, const char* method = nullptr);
// Call last in main with the program's exit status: flushes standard output and returns 1
// (after " cannot write standard output \n" on standard error) when the dialogue could not
// be written (or standard output was closed at the start), else status.
int console_end(const Console& c, int status);

// The number of threads the process may use: OMP_NUM_THREADS when it is set to a whole
// number >= 1, else the machine's cores (at least 1). The programs pass it to the libraries.
// Has the threads share one heap first (sys_threads_share_heap), so that a run's memory does
// not grow with their count.
int thread_count();

// The suite's version, as the build sets it ("1.0").
const char* suite_version();
// Answers a sole argument "--help" (usage on standard output) or "--version" ("NAME
// (lorentz-interp) VERSION"); returns true when it did, and main then returns 0. Any other
// arguments are left alone.
bool info_args(int argc, char** argv, const char* name, const char* usage);
// info_args for the programs that take no arguments: any other arguments are named on
// standard error as ignored, in one line.
bool plain_args(int argc, char** argv, const char* name, const char* usage);
