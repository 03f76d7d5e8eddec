// numlib: the shared routines of the interpolation-error suite: the text-mode table reader,
// the number grammar, the table loader, the bracketing search, the reference Lorentzian,
// the integer power, the error grid and its table writer, and the console number read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// ---------------------------------------------------------------------------------------
// Text-mode reading layer.
//
// Every byte the suite reads from loren.out or standard input passes through this reader,
// which applies the text-mode rules on every platform:
//   1. a CR (13) is dropped and the byte after it is delivered unexamined for CR;
//   2. a byte 26, also one that follows a dropped CR, is delivered as end of file.
// End of file from a byte 26 is not sticky: the read after it goes on past that byte.
// The file is read in large blocks; the delivered bytes are made in place in the block.
// ---------------------------------------------------------------------------------------

struct TextFile {
    int fd = -1;         // open descriptor, -1 when closed
    bool own = false;    // close fd on tf_close (false for standard input)
    char* buf = nullptr; // block buffer of cap bytes
    std::size_t cap = 0;
    std::size_t beg = 0; // delivered bytes not yet taken: buf[beg .. end)
    std::size_t end = 0;
    std::size_t rpos = 0; // raw bytes not yet cooked: buf[rpos .. rlen)
    std::size_t rlen = 0;
    std::size_t next13 = 0; // cached positions of the next CR / byte 26 in the raw block
    std::size_t next26 = 0;
    bool cr_pending = false; // the block ended in a dropped CR: next raw byte is unexamined
    bool mark = false;       // a byte 26 follows the delivered bytes: deliver end of file
    bool raw_end = false;    // the underlying file is exhausted
    bool error = false;      // a read failed (I/O error, a directory)
    bool unget_ok = false;   // the last tf_getc took buf[beg - 1]
    int nback = 0;           // pushed-back delivered bytes, last pushed is read first
    unsigned char back[4] = {};
};

// Opens path for reading in binary mode with a block buffer of cap bytes (0: the default,
// 1 MiB); false when it cannot be opened.
bool tf_open(TextFile& t, const char* path, std::size_t cap = 0);
// Attaches the reader to standard input (a smaller buffer; reads return what is available).
bool tf_open_stdin(TextFile& t);
// Closes the file and releases the buffer; safe on a closed reader.
void tf_close(TextFile& t);
// Back to the first byte of the file, with all reading state cleared; false on failure.
bool tf_rewind(TextFile& t);
// Makes delivered bytes available in buf[beg .. end). Returns true when some are, false
// for end of file (a byte 26, consumed by this call, or the true end of the file).
bool tf_more(TextFile& t);
// Next delivered byte as 0..255, or -1 for end of file.
int tf_getc(TextFile& t);
// Pushes back c (not -1), the byte just read or one read before it; up to 4 deep.
void tf_ungetc(TextFile& t, int c);

// Number of LF bytes delivered from the current position to the end of file (the first
// byte 26 or the true end); then rewinds. Returns -1 when the file cannot be read
// (a directory, an I/O error). The count is 64-bit: callers check that it fits their index.
std::int64_t count_lines(TextFile& t);

// What the count sees of the file's end, for the diagnosis of a table.
struct TailNotes {
    bool unended = false; // text other than white space after the last line end
    bool after26 = false; // a byte 26 ended the count before bytes other than white space
};
// count_lines that also fills *tail; the same count, in the same single pass.
std::int64_t count_lines(TextFile& t, TailNotes* tail);

// ---------------------------------------------------------------------------------------
// Numbers.
//
// Grammar: [+-] digits [. digits] | [+-] . digits, then optionally (e|E) [+-] digits.
// At least one digit in the mantissa. The longest matching prefix is the number: "1e"
// reads 1 and leaves "e"; "1e+x" reads 1 and leaves "e+x". No inf, nan or hex.
// ---------------------------------------------------------------------------------------

// Length of the longest number at the start of [p, e), 0 if none; sets *partial when the
// match ran into e, so more bytes could have extended it.
std::size_t num_prefix(const char* p, const char* e, bool* partial);
// Value of a whole number token [p, e) (as num_prefix accepted it), correctly rounded;
// beyond the range of a double gives +-infinity, below the least subnormal a signed zero.
double num_value(const char* p, const char* e);

// Command-line arguments: a whole argument as a number of this grammar (finite or not, as
// num_value gives it), or as a decimal count >= 1.
bool number_arg(const char* s, double* v);
bool count_arg(const char* s, long long* n);

enum class Scan { number, not_number, eof };
// Skips white space, then reads one number as "%lg" does. Scan::number: *v is set.
// Scan::not_number: text that is not a number stands next; it is left unread.
// Scan::eof: end of file met before any number. *hit_eof is set when end of file was met
// at all (also right after a number): a "%lg %lg" read ends there.
Scan scan_num(TextFile& t, double* v, bool* hit_eof);

// The suite's one white-space rule: blank, and the bytes 9 to 13 (TAB LF VT FF CR).
inline bool is_space(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Takes the run of non-white-space bytes that stands next (up to white space or end of
// file, both consumed) and returns it; with max, stops after max bytes of it.
std::string take_word(TextFile& t, std::size_t max = static_cast<std::size_t>(-1));

// One "%lg %lg" read: returns the number of values stored (0, 1 or 2) and sets *stuck when
// the read stopped at text that is not a number, which stays unread for the next read.
int read_pair(TextFile& t, double* x, double* y, bool* stuck);

// ---------------------------------------------------------------------------------------
// The sample table.
// ---------------------------------------------------------------------------------------

inline constexpr const char* table_name = "loren.out";

// What a load found wrong with the table, for the diagnostics on standard error. Rows are
// counted from 0; a row is "read" when both of its numbers were.
struct TableNotes {
    bool parsed = false;           // the file was opened and read
    std::int64_t lines = 0;        // its line ends
    std::int64_t rows_read = 0;    // rows that got both numbers
    std::int64_t stuck_after = -1; // numbers read before text that is not a number; -1: none
    std::int64_t order_row = -1;   // first row whose x does not exceed the row before; -1: none
    bool order_repeat = false;     // ... by being equal to it
    TailNotes tail;
};

// xa and ya each hold n + pad doubles, zero-filled; the file's pairs fill [first, first+n).
// extra: further zero-filled arrays of n + pad doubles that the caller asked the loader for.
struct SampleTable {
    int n = 0;
    double* xa = nullptr;
    double* ya = nullptr;
    double* extra[2] = {};
    TableNotes notes; // filled by every load that opened the file
};

enum class Load { ok, cannot_open, too_few, no_memory };

// Called by the loader as the rows become final: rows 0..rows-1 (entries first..first+rows-1)
// hold their final values, rows grows from call to call and the last call has rows = n.
// It may read xa and ya and own the extra arrays; it runs on the loader's helper thread for
// large tables (beside the parse), else on the caller's; all calls end before the load does.
using RowsReady = void (*)(const SampleTable& t, std::int64_t rows, void* ctx);

// Loads path with the layout (first, pad): count the lines, allocate both arrays (then the
// nextra <= 2 extra arrays) once, read n pairs in entry order with "%lg %lg" semantics,
// close. Pairs that no read fills stay 0.0. Load::too_few (n < min_n): nothing allocated,
// t.n holds the count. Load::no_memory also when n + pad does not fit an int. A file that
// cannot be read counts as one that cannot be opened. For large tables the memory of the
// arrays is made ready, and ready(...) is run, on a second thread while the file is parsed.
Load load_table(const char* path, int first, int pad, int min_n, SampleTable& t, int nextra = 0,
                RowsReady ready = nullptr, void* ctx = nullptr);

// Zero-filled array of n doubles, backed by huge pages where the platform offers them;
// nullptr when memory is short. Release with free_doubles(p, n).
double* alloc_doubles(std::size_t n);
void free_doubles(double* p, std::size_t n);
// Makes the pages of an array from alloc_doubles resident without changing what it holds
// (safe while another thread writes it); a no-op where the platform cannot.
void prefault_doubles(double* p, std::size_t n);

// The console messages of the loader's outcomes.
inline constexpr const char* msg_cannot_open = " cannot open file loren.out \n";
inline constexpr const char* msg_few2 = " loren.out holds fewer than 2 samples \n";
inline constexpr const char* msg_no_memory = " not enough memory for loren.out \n";

// ---------------------------------------------------------------------------------------
// Bracketing search.
// ---------------------------------------------------------------------------------------

// Largest j in -1..n-1 with xa[j] < x: x equal to xa[k] gives k-1, x <= xa[0] gives -1,
// x > xa[n-1] gives n-1, NaN gives -1, n <= 0 gives -1. xa ascending (not checked);
// reads xa[0..n-1] only; O(log n).
int locate(double x, const double xa[], int n);

// ---------------------------------------------------------------------------------------
// Reference function and power.
// ---------------------------------------------------------------------------------------

inline constexpr double lor_centre = 3.47;
inline constexpr double lor_width = 0.57;

// 1 / (t*t + 1) with t = (x - 3.47) / 0.57; exactly 1 at 3.47, 0 at +-inf, NaN for NaN.
double lorentz(double x);
// ((((-L)*L)*2.0)*t) / 0.57, left to right; -0.0 at 3.47.
double lorentz_deriv(double x);
// x*x*...*x with n-1 multiplications, left to right; x itself for n <= 1.
double ipow(double x, int n);

// Abscissa i of the n equally spaced samples on [a, b] that lorgen writes: a + i*h with
// h = (b - a)/(n - 1), and exactly b for the last one (a when n = 1).
double sample_x(double a, double b, long long n, long long i);

// ---------------------------------------------------------------------------------------
// Error grid and error table.
// ---------------------------------------------------------------------------------------

inline constexpr int grid_size = 999;
// The grid abscissae in ascending order, k = 0..998: -((i*0.02+0.0)^3) for i = 500..2,
// then +((i*0.02+0.0)^3) for i = 0..499, cubes by ipow.
double grid_x(int k);

enum class Write { ok, cannot_open, cannot_write };
// Writes the error table of f to path: for every grid abscissa x in order, f(x), then
// lorentz(x), then one line "%14.6lg %14.6lg" of x and |f(x) - lorentz(x)| ending in CR LF.
// Every write and the close are checked.
Write write_error_table(const char* path, double (*f)(double));

inline constexpr const char* msg_cannot_open_err = " cannot open err.out file\n";

// The phases after the interactive section: writes the error table of f to errname, then
// runs "gplot loren.out <errname>" through the command interpreter. Prints the fixed
// message of a failure and returns the exit status: 0, or 1 when the table could not be
// created or written (the plot step is then skipped).
int finish_run(const char* errname, double (*f)(double));

// ---------------------------------------------------------------------------------------
// Output.
// ---------------------------------------------------------------------------------------

// fprintf and snprintf whose floating-point conversions (%g, %lg, %14.6lg, %f, ...) write a
// value that is not finite as "nan", "-nan", "inf" or "-inf", by its sign and kind, padded
// to the field width: the same text on every platform. Besides those: %d %i %u %x %c of an
// int, %s and %%, as printf has them. The arguments are doubles, ints and C strings.
// out_printf returns the count written, -1 when the write fails; fmt_nums the full length.
struct FmtArg {
    double d = 0;
    int i = 0;
    const char* s = nullptr;
    FmtArg(double v) : d(v) {}
    FmtArg(int v) : i(v) {}
    FmtArg(const char* v) : s(v) {}
};
int out_printv(std::FILE* f, const char* fmt, const FmtArg* args, int n);
int fmt_numv(char* buf, std::size_t size, const char* fmt, const FmtArg* args, int n);
template <class... A> int out_printf(std::FILE* f, const char* fmt, A... a) {
    const FmtArg args[] = {FmtArg(a)..., FmtArg(0)};
    return out_printv(f, fmt, args, static_cast<int>(sizeof...(a)));
}
template <class... A> int fmt_nums(char* buf, std::size_t size, const char* fmt, A... a) {
    const FmtArg args[] = {FmtArg(a)..., FmtArg(0)};
    return fmt_numv(buf, size, fmt, args, static_cast<int>(sizeof...(a)));
}

// ---------------------------------------------------------------------------------------
// Console input.
// ---------------------------------------------------------------------------------------

// The value that ends an interactive section, compared for exact equality.
inline constexpr double sentinel = -10000.0;

enum class Input { number, not_number, end };
// Flushes standard output, then reads one number from in. Input::not_number: the run of
// non-white-space text there is discarded and " not a number: <text> \n" printed.
// Input::end: standard input has ended.
Input read_x(TextFile& in, double* x);

// The interactive section of splerr and quaderr: prompt, read, and show(x) for every number
// until the sentinel or the end of standard input.
void run_section(TextFile& in, void (*show)(double));

// Call first in main: standard input, output and error that are closed are opened on the
// null device, so no file the program opens can take their place and receive the dialogue.
// Returns the reader of standard input; the process ends with the no-memory message when
// its buffer cannot be had.
// name is the program's name for its diagnostics on standard error.
TextFile& console_start(const char* name);
// Call last in main with the program's exit status: flushes standard output and returns 1
// (after " cannot write standard output \n" on standard error) when the dialogue could not
// be written, else status.
int console_end(int status);

// The suite's version, as the build sets it ("1.0").
const char* suite_version();
// Answers a sole argument "--help" (usage on standard output) or "--version" ("NAME
// (lorentz-interp) VERSION"); returns true when it did, and main then returns 0. Any other
// arguments are left alone.
bool info_args(int argc, char** argv, const char* name, const char* usage);

// Line (from 1) at which the "%lg %lg" reads of path meet what follows its first k numbers,
// and in *text (when not null) up to 40 bytes of the word there; -1 when the file cannot be
// read. A second pass over the file, for diagnostics only.
std::int64_t line_of_value(const char* path, std::int64_t k, std::string* text = nullptr);
// Writes to standard error one line "PROGRAM: PATH:LINE: message" for each problem in
// notes: text that is not a number, fewer pairs than line ends, a last line without a line
// end, abscissae not strictly ascending, text after a byte 26. Only the first call of the
// process that has a parsed table prints; later calls print nothing. PROGRAM is the name
// given to console_start.
void report_notes(const char* path, const TableNotes& notes);

// Prints the loader's message for s: the open failure, fewer than 2 samples, or (and then
// the process ends with status 1) no memory; then report_notes for loren.out. Returns true
// for Load::ok.
bool report_load(Load s, const SampleTable& t);
