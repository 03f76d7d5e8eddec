// table: the loading procedure shared by the programs, parameterised by the array layout,
// and the diagnosis of what a load found wrong.
#include "numlib.hpp"

#include "parts.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {
// The n reads of the loading procedure into x[0..n-1], y[0..n-1], noting what goes wrong.
// Reads that can only meet the true end of the file are skipped: they could store nothing.
// (Reads after text that is not a number are not: past a byte 26 such text can become part
// of a number.)
void read_rows(TextFile& f, double* x, double* y, std::int64_t n, TableNotes& notes) {
    bool stuck = false, prev = false;
    std::int64_t values = 0, rows = 0;
    LineTally lines;
    ScanNote sn[2];
    for (std::int64_t i = 0; i < n && !tf_done(f); ++i) {
        int got = read_pair(f, x + i, y + i, &stuck, sn);
        if (got == 2)
            lines.add_pair(sn[0].lfs, sn[1].lfs);
        else if (got == 1)
            lines.add(sn[0].lfs);
        if (got > 0 && notes.beyond_after < 0 && (sn[0].beyond || (got == 2 && sn[1].beyond))) {
            notes.beyond_after = values + (sn[0].beyond ? 0 : 1);
            notes.beyond_value = sn[0].beyond ? x[i] : y[i];
        }
        values += got;
        if (got == 2) {
            ++rows;
            if (prev && !(x[i] > x[i - 1]) && notes.order_row < 0) {
                notes.order_row = i;
                notes.order_repeat = x[i] == x[i - 1];
            }
        }
        prev = got == 2;
        if (stuck && notes.stuck_after < 0)
            notes.stuck_after = values;
    }
    notes.rows_read = rows;
    notes.odd_line = lines.odd;
    notes.odd_count = lines.odd_count;
}

// The arrays of n + pad doubles for a load, or false (nothing allocated) when memory is short.
bool alloc_table(std::int64_t n, int pad, double** xa, double** ya) {
    auto len = static_cast<std::size_t>(n + pad);
    *xa = alloc_doubles(len);
    *ya = *xa != nullptr ? alloc_doubles(len) : nullptr;
    if (*ya != nullptr)
        return true;
    free_doubles(*xa);
    return false;
}

// The one-thread read of n rows of an opened, counted file into the layout's entries, the
// arrays' pages faulted in beside it; false when the file cannot be read.
bool read_sequential(TextFile& f, std::int64_t n, std::size_t len, double* xa, double* ya,
                     TableNotes& notes, int threads) {
    std::thread faults = prefault_pair(xa, ya, len, threads);
    read_rows(f, xa, ya, n, notes);
    if (faults.joinable())
        faults.join();
    return !tf_failed(f);
}

// The parts of a file of size bytes that the cuts make, with their buffers; none (one
// thread) for fewer than two, or when memory for them is short.
std::vector<PartCount> plan_parts(std::int64_t size, std::span<const std::int64_t> cuts) {
    std::vector<PartCount> parts;
    try {
        if (!cuts.empty() && size > 0)
            parts = parts_of(size, cuts);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (parts.size() < 2 || !part_buffers(parts))
        parts.clear();
    return parts;
}

// The line count of the open file f, by its parts where they settle it, else on one thread
// (the parts then released and cleared); -1 when it cannot be read.
std::int64_t count_table(TextFile& f, std::vector<PartCount>& parts, TailNotes* tail) {
    std::int64_t n = -1;
    if (!parts.empty() && count_parts(f, parts, &n, tail))
        return n;
    free_part_buffers(parts);
    parts.clear();
    return count_lines(f, tail);
}

// The n rows of f into the layout's entries of xa and ya (n + pad each): by its parts where
// they prove the one-thread read, else on one thread from fresh zeros; false when f cannot
// be read. Releases the parts' buffers.
bool read_table(TextFile& f, std::vector<PartCount>& parts, std::int64_t n, Layout layout,
                double* xa, double* ya, TableNotes& notes, int threads) {
    auto len = static_cast<std::size_t>(n + layout.pad);
    double* x = xa + layout.first;
    double* y = ya + layout.first;
    bool ok = !parts.empty() && read_parts(f, parts, x, y, notes);
    free_part_buffers(parts);
    if (ok)
        return true;
    if (!parts.empty()) {
        // The parts could not settle the file: read it whole, from fresh zeros.
        std::memset(xa, 0, len * sizeof(double));
        std::memset(ya, 0, len * sizeof(double));
        TailNotes tail = notes.tail;
        notes = TableNotes{};
        notes.parsed = true;
        notes.lines = n;
        notes.tail = tail;
    }
    return read_sequential(f, n, len, x, y, notes, threads);
}

// The loading procedure on the open reader f, read in the parts its cuts make (none: one
// thread), every part through f's one descriptor.
Load load(TextFile& f, Layout layout, int min_n, SampleTable& t, std::span<const std::int64_t> cuts,
          int threads) {
    TableNotes notes;
    std::vector<PartCount> parts = plan_parts(tf_size(f), cuts);
    std::int64_t n = count_table(f, parts, &notes.tail);
    if (n < 0) {
        free_part_buffers(parts);
        t.error = tf_failed(f) != 0 ? tf_failed(f) : EIO;
        return Load::cannot_open;
    }
    notes.parsed = true;
    notes.lines = n;
    if (n < min_n) {
        // min_n is at most 2: at most one row, read for its diagnosis only.
        free_part_buffers(parts);
        double x[2] = {}, y[2] = {};
        read_rows(f, x, y, n < 2 ? n : 2, notes);
        t.n = static_cast<int>(n);
        t.notes = notes;
        return Load::too_few;
    }
    double *xa = nullptr, *ya = nullptr;
    if (n > INT_MAX - layout.pad || !alloc_table(n, layout.pad, &xa, &ya)) {
        free_part_buffers(parts);
        return Load::no_memory;
    }
    if (!read_table(f, parts, n, layout, xa, ya, notes, threads)) {
        t.error = tf_failed(f);
        free_doubles(xa);
        free_doubles(ya);
        return Load::cannot_open;
    }
    t.n = static_cast<int>(n);
    t.xa = xa;
    t.ya = ya;
    t.notes = notes;
    return Load::ok;
}

// load on the open reader f, then closes it.
Load load_closing(TextFile& f, Layout layout, int min_n, SampleTable& t,
                  std::span<const std::int64_t> cuts, int threads) {
    Load s = load(f, layout, min_n, t, cuts, threads);
    tf_close(f);
    return s;
}

// Opens path for a load: false, with the cause in t.error, when it cannot be opened.
bool open_table(TextFile& f, const char* path, SampleTable& t) {
    errno = 0;
    if (tf_open(f, path))
        return true;
    t.error = errno != 0 ? errno : ENOENT;
    return false;
}
} // namespace

Load load_table(const char* path, Layout layout, int min_n, SampleTable& t, int threads) {
    TextFile f;
    if (!open_table(f, path, t))
        return Load::cannot_open;
    return load_closing(f, layout, min_n, t, auto_cuts(f, threads), threads);
}

Load load_table_memory(const char* data, std::int64_t len, Layout layout, int min_n, SampleTable& t,
                       int threads) {
    TextFile f;
    if (!tf_open_memory(f, data, len))
        return Load::no_memory;
    return load_closing(f, layout, min_n, t, auto_cuts(f, threads), threads);
}

Load load_table_split(const char* path, Layout layout, int min_n, SampleTable& t,
                      std::span<const std::int64_t> cuts) {
    TextFile f;
    if (!open_table(f, path, t))
        return Load::cannot_open;
    return load_closing(f, layout, min_n, t, cuts, static_cast<int>(cuts.size()) + 1);
}

void free_table(SampleTable& t) {
    free_doubles(t.xa);
    free_doubles(t.ya);
    t = SampleTable{};
}

namespace {
TableProblem problem(Problem kind, std::int64_t line) {
    TableProblem p;
    p.kind = kind;
    p.line = line;
    return p;
}
} // namespace

std::vector<TableProblem> table_problems(const char* path, const TableNotes& t) {
    std::vector<TableProblem> r;
    if (!t.parsed)
        return r;
    if (t.stuck_after >= 0) {
        TableProblem p = problem(Problem::not_number, 0);
        p.line = line_of_value(path, t.stuck_after, &p.text);
        r.push_back(p);
    }
    if (t.odd_line >= 0) {
        r.push_back(problem(Problem::odd_line, t.odd_line));
        r.back().count = t.odd_count;
    }
    // An empty line in the middle is what the missing rows come from: it says so itself.
    bool explained = t.stuck_after >= 0 || (t.odd_line >= 0 && t.odd_count == 0);
    if (!explained && t.lines > t.rows_read)
        r.push_back(problem(Problem::missing_rows, t.lines));
    if (t.beyond_after >= 0) {
        TableProblem p = problem(Problem::beyond_range, 0);
        p.line = line_of_value(path, t.beyond_after, &p.text);
        bool partial = false;
        p.text.resize(num_prefix(p.text.data(), p.text.data() + p.text.size(), &partial));
        p.value = t.beyond_value;
        r.push_back(p);
    }
    if (t.tail.cr_only)
        r.push_back(problem(Problem::cr_only, 0));
    else if (t.tail.unended)
        r.push_back(problem(Problem::no_line_end, t.lines + 1));
    if (t.order_row >= 0) {
        Problem k = t.order_repeat ? Problem::x_repeats : Problem::x_steps_back;
        r.push_back(problem(k, line_of_value(path, 2 * t.order_row)));
    }
    if (t.tail.after26)
        r.push_back(problem(Problem::after_26, t.lines + 1));
    return r;
}

std::int64_t line_of_value(const char* path, std::int64_t k, std::string* text) {
    TextFile f;
    if (!tf_open(f, path))
        return -1;
    std::int64_t line = 1, count = 0;
    for (;;) {
        int c = tf_getc(f);
        if (c == -1) {
            if (tf_done(f) || tf_failed(f))
                break;
            continue; // a byte 26: the reads go on after it
        }
        if (is_space(c)) {
            line += c == '\n';
            continue;
        }
        tf_ungetc(f, c);
        bool eof = false;
        double v = 0.0;
        if (count == k || scan_num(f, &v, &eof) != Scan::number) {
            if (text != nullptr)
                *text = take_word(f, 40); // the text there, cut for the diagnostic
            break;
        }
        ++count;
    }
    tf_close(f);
    return line;
}
