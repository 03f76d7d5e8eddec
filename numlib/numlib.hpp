// numlib: the numerical core of the interpolation-error suite, its entry header: the
// text-mode table reader, the number grammar, the table loader, the bracketing search, the
// reference Lorentzian, the integer power and the error grid. The suite's additions live in
// topic headers included at the end: the diagnosis, the error table's format, the output
// formatting, the memory helpers and the jobs. numlib prints nothing, never ends the process,
// runs no command and keeps no process-wide state: what is told to the user is the
// programs' own. Nothing in it throws unless its contract says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The reader's state; only the reader's own routines (textfile.cpp, and the few inline
// ones below) see inside it.
class TextFile {
    friend struct TextFileOps;
    friend std::string_view tf_peek(const TextFile& t);
    friend void tf_skip(TextFile& t, std::size_t k);
    friend bool tf_pushed(const TextFile& t);
    friend bool tf_done(const TextFile& t);
    int fd = -1;               // open descriptor, -1 when closed or reading memory
    bool own = false;          // close fd on tf_close (false for standard input, ranges)
    const char* mem = nullptr; // the bytes read, for a reader of memory
    std::int64_t mem_len = 0;
    std::int64_t pos = -1; // the offset of the next raw read; -1: sequential (a pipe)
    bool own_buf = true;   // free buf on tf_close (false for a caller's buffer)
    char* buf = nullptr;   // block buffer of cap bytes
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
    int error = 0;           // the cause (errno) of a failed read (I/O error, a directory)
    bool saw13 = false;      // a CR was dropped since the reader was opened or rewound
    bool unget_ok = false;   // the last tf_getc took buf[beg - 1]
    int nback = 0;           // pushed-back delivered bytes, last pushed is read first
    unsigned char back[4] = {};
    std::int64_t start = 0;  // a range reader: the range's first byte and its length, and
    std::int64_t limit = -1; // the bytes of it not yet read (-1: the whole file)
    std::int64_t left = -1;
};

// Opens path for reading in binary mode with a block buffer of cap bytes (0: the default,
// 1 MiB); false when it cannot be opened or the buffer cannot be had. The file is opened once
// and read by positional reads: a file put in its place meanwhile is not read.
bool tf_open(TextFile& t, const char* path, std::size_t cap = 0);
// Reads bytes [0, len) of memory at data (which must outlive the reader) under the same rules,
// as the bytes of a file; false when the buffer cannot be had.
bool tf_open_memory(TextFile& t, const char* data, std::int64_t len, std::size_t cap = 0);
// Reads only the raw bytes [off, off + len) of what the open reader whole reads (the same open
// file, or the same memory), as if they were the whole file, through whole's descriptor by
// positional reads (whole must stay open; neither reader moves the other), into the caller's
// buffer buf of cap bytes (which must outlive it). Allocates nothing; false when whole reads a
// pipe.
bool tf_open_range(TextFile& t, const TextFile& whole, std::int64_t off, std::int64_t len,
                   char* buf, std::size_t cap);
// Up to n raw bytes of what whole reads, from offset off, into buf, as they are (no reading
// rule applied); the count, 0 past the end, -1 on an error or for a pipe.
long tf_read_at(const TextFile& whole, std::int64_t off, char* buf, std::size_t n);
// Attaches the reader to standard input (a smaller buffer; reads return what is available).
bool tf_open_stdin(TextFile& t);
// The size in bytes of the file the reader was opened on; -1 when it has none (a pipe).
std::int64_t tf_size(const TextFile& t);
// Closes the file and releases the buffer; safe on a closed reader.
void tf_close(TextFile& t);
// Makes delivered bytes available in the block (tf_peek). Returns true when some are, false
// for end of file (a byte 26, consumed by this call, or the true end of the file).
bool tf_more(TextFile& t);
// Next delivered byte as 0..255, or -1 for end of file.
int tf_getc(TextFile& t);
// Pushes back c (not -1), the byte just read or one read before it; up to 4 deep.
void tf_ungetc(TextFile& t, int c);

// Takes every delivered byte that is available next (pushed-back bytes first), making more
// available when none is; empty for end of file, as tf_more. The view lasts until the next
// call on t. Draining a file: for (auto b = tf_block(t); !b.empty(); b = tf_block(t)).
std::string_view tf_block(TextFile& t);
// The delivered bytes waiting in the block, not taken; empty while bytes are pushed back
// (tf_pushed), which come first. tf_skip(t, k) takes the first k <= size of them.
inline std::string_view tf_peek(const TextFile& t) {
    return t.nback > 0 ? std::string_view() : std::string_view(t.buf + t.beg, t.end - t.beg);
}
inline void tf_skip(TextFile& t, std::size_t k) {
    t.unget_ok = false;
    t.beg += k;
}
inline bool tf_pushed(const TextFile& t) {
    return t.nback > 0;
}
// True when every later read can only meet the true end of the file: nothing is buffered,
// pushed back or held behind a byte 26, and the file itself is exhausted.
inline bool tf_done(const TextFile& t) {
    return t.raw_end && t.beg == t.end && !t.mark && t.nback == 0;
}
// The cause (an errno value, never 0) when a read of the file failed (an I/O error, a
// directory), else 0.
int tf_failed(const TextFile& t);

// Number of LF bytes delivered from the current position to the end of file (the first
// byte 26 or the true end); then rewinds. Returns -1 when the file cannot be read
// (a directory, an I/O error). The count is 64-bit: callers check that it fits their index.
std::int64_t count_lines(TextFile& t);

// What the count sees of the file's end, for the diagnosis of a table.
struct TailNotes {
    bool unended = false; // text other than white space after the last line end
    bool after26 = false; // a byte 26 ended the count before bytes other than white space
    bool cr_only = false; // no line end, but CRs (dropped): lines that end in CR alone
    bool ended26 = false; // a byte 26 ended the count before the end of the file
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
// beyond the range of a double gives +-infinity, below the least subnormal a signed zero,
// and then sets *beyond (when not null).
double num_value(const char* p, const char* e, bool* beyond = nullptr);

// Command-line arguments: a whole argument as a number of this grammar (finite or not, as
// num_value gives it), or as a decimal count >= 1.
bool number_arg(const char* s, double* v);
bool count_arg(const char* s, long long* n);

enum class Scan { number, not_number, eof };
// What a read met on its way, for the diagnosis of a table: the LF bytes in the white
// space before the number (or before what stopped the read), and whether the number was
// beyond the range of a double (read as an infinity or a signed zero), with its text then.
struct ScanNote {
    int lfs = 0;
    bool beyond = false;
    std::string text; // set only with beyond
};
// Skips white space, then reads one number as "%lg" does. Scan::number: *v is set.
// Scan::not_number: text that is not a number stands next; it is left unread.
// Scan::eof: end of file met before any number. *hit_eof is set when end of file was met
// at all (also right after a number): a "%lg %lg" read ends there. *note, when not null,
// is set to what the read met.
Scan scan_num(TextFile& t, double* v, bool* hit_eof, ScanNote* note = nullptr);

// The suite's one white-space rule: blank, and the bytes 9 to 13 (TAB LF VT FF CR).
inline bool is_space(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// True when [p, e) holds a byte other than white space.
inline bool has_text(const char* p, const char* e) {
    for (; p < e; ++p)
        if (!is_space(static_cast<unsigned char>(*p)))
            return true;
    return false;
}

// Takes the run of non-white-space bytes that stands next (up to white space or end of
// file, both consumed) and returns it; with max, stops after max bytes of it.
std::string take_word(TextFile& t, std::size_t max = static_cast<std::size_t>(-1));

// One "%lg %lg" read: returns the number of values stored (0, 1 or 2) and sets *stuck when
// the read stopped at text that is not a number, which stays unread for the next read.
// notes, when not null, is two ScanNotes: notes[k] is set to what the read of the k-th value
// stored met.
int read_pair(TextFile& t, double* x, double* y, bool* stuck, ScanNote* notes = nullptr);

// ---------------------------------------------------------------------------------------
// The sample table.
// ---------------------------------------------------------------------------------------

inline constexpr const char* table_name = "loren.out";

// What a load found wrong with the table, for its diagnosis. Rows are counted from 0; a row
// is "read" when both of its numbers were.
struct TableNotes {
    bool parsed = false;            // the file was opened and read
    std::int64_t lines = 0;         // its line ends
    std::int64_t rows_read = 0;     // rows that got both numbers
    std::int64_t stuck_after = -1;  // numbers read before text that is not a number; -1: none
    std::int64_t order_row = -1;    // first row whose x does not exceed the row before; -1: none
    bool order_repeat = false;      // ... by being equal to it
    std::int64_t odd_line = -1;     // first line (from 1) that holds other than 2 numbers while
    int odd_count = 0;              // a number follows it, and how many it holds; -1: none
    std::int64_t beyond_after = -1; // numbers read before the first one beyond the range of a
    double beyond_value = 0;        // double, and what it reads as; -1: none
    TailNotes tail;
};

// Where the file's pairs go: entries first .. first+n-1 of arrays of n + pad doubles.
struct Layout {
    int first = 0;
    int pad = 0;
};

// A loaded table: xa and ya each hold n + pad doubles, zero-filled where no read stored.
struct SampleTable {
    int n = 0;
    double* xa = nullptr;
    double* ya = nullptr;
    int error = 0;    // the cause (errno) when the file cannot be opened or read
    TableNotes notes; // filled by every load that opened the file
};

enum class Load { ok, cannot_open, too_few, no_memory };

// Loads path with the layout: count the lines, allocate both arrays once (zero-filled),
// read n pairs in entry order with "%lg %lg" semantics, close. Load::too_few (n < min_n):
// nothing allocated, t.n and t.notes hold the count and what its first rows showed.
// Load::no_memory also when n + pad does not fit an int. A file that cannot be read counts
// as one that cannot be opened. Only Load::ok leaves arrays, released by free_table.
// The file is opened once: every read goes through that descriptor, so a file put in its
// place during the load is not read. With threads > 1, a large file is counted and read in
// parts, one a thread, each cut just after a line end (their buffers allocated on the
// caller's thread; a part's thread allocates nothing), and a helper thread makes the arrays'
// pages resident; where a part cannot prove that the one-thread read gives the same (a byte
// 26, a line end that does not end a pair, text that is not a number), or memory for the
// parts is short, the file is read on one thread. The result is the same whatever threads
// is. Does not throw.
Load load_table(const char* path, Layout layout, int min_n, SampleTable& t, int threads = 1);
// load_table of the bytes [data, data + len) as the file's, read where they are.
Load load_table_memory(const char* data, std::int64_t len, Layout layout, int min_n, SampleTable& t,
                       int threads = 1);
// load_table with the parts cut at the raw byte offsets cuts (ascending; those outside the
// file are dropped), at whatever place they fall; no cuts: one thread. The result is
// load_table's on one thread, whatever the cuts. For tests.
Load load_table_split(const char* path, Layout layout, int min_n, SampleTable& t,
                      std::span<const std::int64_t> cuts);
// Releases the arrays of a loaded table and empties it; safe on an empty one.
void free_table(SampleTable& t);

// ---------------------------------------------------------------------------------------
// Bracketing search.
// ---------------------------------------------------------------------------------------

// Largest j in -1..n-1 with xa[j] < x: x equal to xa[k] gives k-1, x <= xa[0] gives -1,
// x > xa[n-1] gives n-1, NaN gives -1, n <= 0 gives -1. xa ascending (not checked);
// reads xa[0..n-1] only; O(log n).
int locate(double x, const double xa[], int n);
// locate(x, xa, n), found by a walk from hint (any int; clamped to -1..n-1): the same result
// where xa does not step down and holds no NaN (not checked), in O(1) when hint is off by
// one or two, else in O(|result - hint|). Elsewhere the result is unspecified. Inline, for
// the engine's loop.
inline int locate_near(double x, const double xa[], int n, int hint) {
    int j = hint > n - 1 ? n - 1 : hint;
    j = j < -1 ? -1 : j;
    while (j >= 0 && !(xa[j] < x))
        --j;
    while (j + 1 < n && xa[j + 1] < x)
        ++j;
    return j;
}

// ---------------------------------------------------------------------------------------
// Reference function and power.
// ---------------------------------------------------------------------------------------

inline constexpr double lor_centre = 3.47;
inline constexpr double lor_width = 0.57;

// 1 / (t*t + 1) with t = (x - 3.47) / 0.57; exactly 1 at 3.47, 0 at +-inf, NaN for NaN.
inline double lorentz(double x) {
    double t = (x - lor_centre) / lor_width;
    return 1.0 / (t * t + 1.0);
}
// ((((-L)*L)*2.0)*t) / 0.57, left to right; -0.0 at 3.47.
double lorentz_deriv(double x);
// x*x*...*x with n-1 multiplications, left to right; x itself for n <= 1.
double ipow(double x, int n);

// Abscissa i of the n equally spaced samples on [a, b] that lorgen writes: a + i*h with
// h = (b - a)/(n - 1), and exactly b for the last one (a when n = 1).
double sample_x(double a, double b, long long n, long long i);
// That whole table into xa[0..n-1] and ya[0..n-1]: sample_x and lorentz of it.
void sample_table(double a, double b, long long n, double* xa, double* ya);

// ---------------------------------------------------------------------------------------
// Error grid and error table.
// ---------------------------------------------------------------------------------------

inline constexpr int grid_size = 999;
// The grid abscissae in ascending order, k = 0..998: -((i*0.02+0.0)^3) for i = 500..2,
// then +((i*0.02+0.0)^3) for i = 0..499, cubes by ipow.
double grid_x(int k);

// ---------------------------------------------------------------------------------------
// The suite's additions, by topic.
// ---------------------------------------------------------------------------------------

#include "diagnosis.hpp"
#include "errtab.hpp"
#include "format.hpp"
#include "jobs.hpp"
#include "memory.hpp"
