// table: the loading procedure shared by the programs, parameterised by the array layout,
// and the diagnosis of what a load found wrong.
#include "numlib.hpp"

#include "sys.hpp"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
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
    for (std::int64_t i = 0; i < n && !tf_done(f); ++i) {
        int got = read_pair(f, x + i, y + i, &stuck);
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
}
} // namespace

namespace {
// Files this large are read in parts, one a thread, where the machine has the cores.
constexpr std::int64_t split_min = std::int64_t{8} << 20; // bytes
constexpr unsigned max_parts = 8;

// What the raw bytes of one part of the file hold, for the count.
struct PartCount {
    std::int64_t off = 0, len = 0;
    std::int64_t lf = 0; // LF bytes
    bool has26 = false;  // a byte 26: the part cannot be settled alone
    bool text = false;   // text other than white space after its last LF (or in it, if none)
    bool failed = false; // a read failed
};

// Counts the LFs of the raw bytes [c.off, c.off + c.len) of path. Every LF before the first
// byte 26 is delivered by the reading rules, and a dropped CR is white space, so where the
// part holds no byte 26 this is what the count of its delivered bytes gives.
void count_part(const char* path, PartCount& c) {
    int fd = sys_open_read(path);
    c.failed = fd < 0 || !sys_seek(fd, c.off);
    constexpr std::size_t block = std::size_t{1} << 20;
    std::unique_ptr<char[]> buf(c.failed ? nullptr : new (std::nothrow) char[block]);
    c.failed = c.failed || buf == nullptr;
    for (std::int64_t left = c.len; !c.failed && left > 0 && !c.has26;) {
        std::size_t want =
            left < static_cast<std::int64_t>(block) ? static_cast<std::size_t>(left) : block;
        long k = sys_read(fd, buf.get(), want);
        if (k <= 0) {
            c.failed = true;
            break;
        }
        left -= k;
        const char* p = buf.get();
        const char* e = p + k;
        if (const void* z = std::memchr(p, 26, static_cast<std::size_t>(k)); z != nullptr) {
            c.has26 = true;
            e = static_cast<const char*>(z);
        }
        const char* last = nullptr;
        for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, '\n', e - q)));) {
            ++c.lf;
            last = q++;
        }
        c.text = last != nullptr ? has_text(last + 1, e) : c.text || has_text(p, e);
    }
    if (fd >= 0)
        sys_close(fd);
}

// What one part's reads found, for the join.
struct PartRead {
    bool ok = false;         // every line end of the part gave a pair, and nothing else
    std::int64_t order = -1; // first row of the part whose x does not exceed the row before
    bool repeat = false;
};

// Reads the rows of part c into x[0 .. c.lf), y[0 .. c.lf): exactly c.lf pairs, then (but
// for the last part) nothing other than white space. Anything else leaves ok false.
void read_part(const char* path, const PartCount& c, bool last, double* x, double* y, PartRead& r) {
    TextFile f;
    if (!tf_open_range(f, path, c.off, c.len))
        return;
    bool stuck = false;
    for (std::int64_t i = 0; i < c.lf; ++i) {
        if (read_pair(f, x + i, y + i, &stuck) != 2) {
            tf_close(f);
            return;
        }
        if (i > 0 && !(x[i] > x[i - 1]) && r.order < 0) {
            r.order = i;
            r.repeat = x[i] == x[i - 1];
        }
    }
    double v = 0.0;
    bool eof = false;
    r.ok = (last || scan_num(f, &v, &eof) == Scan::eof) && !tf_failed(f);
    tf_close(f);
}

// Runs job(k) for k = 0 .. n-1, each on a thread of its own where one can be had (job 0 on
// the caller's), and returns when all have ended.
template <class Job> void run_parts(std::size_t n, Job job) {
    std::vector<std::thread> threads;
    std::vector<std::size_t> inline_jobs;
    for (std::size_t k = 1; k < n; ++k) {
        try {
            threads.emplace_back(job, k);
        } catch (...) {
            inline_jobs.push_back(k);
        }
    }
    job(0);
    for (std::size_t k : inline_jobs)
        job(k);
    for (auto& th : threads)
        th.join();
}

// The parts of path for its cuts: [0, cuts[0]), [cuts[0], cuts[1]), ..., [cuts[m-1], size).
std::vector<PartCount> parts_of(std::int64_t size, std::span<const std::int64_t> cuts) {
    std::vector<PartCount> parts;
    std::int64_t at = 0;
    for (std::int64_t c : cuts) {
        if (c <= at || c >= size)
            continue;
        parts.push_back({at, c - at});
        at = c;
    }
    parts.push_back({at, size - at});
    return parts;
}

// The count of the split file: n, and the notes of its end; false when some part cannot be
// settled alone (a byte 26) or read.
bool count_parts(const char* path, std::vector<PartCount>& parts, std::int64_t* n,
                 TailNotes* tail) {
    run_parts(parts.size(), [&](std::size_t k) { count_part(path, parts[k]); });
    *n = 0;
    bool text = false;
    for (const PartCount& c : parts) {
        if (c.has26 || c.failed)
            return false;
        *n += c.lf;
        text = c.lf > 0 ? c.text : text || c.text;
    }
    tail->unended = text;
    tail->after26 = false;
    return true;
}

// The rows of the split file into x[0 .. n), y[0 .. n), each part on its own thread; false
// when some part did not prove that the sequential read gives the same rows. Notes the order.
bool read_parts(const char* path, const std::vector<PartCount>& parts, double* x, double* y,
                TableNotes& notes) {
    std::vector<std::int64_t> row(parts.size() + 1, 0);
    for (std::size_t k = 0; k < parts.size(); ++k)
        row[k + 1] = row[k] + parts[k].lf;
    std::vector<PartRead> reads(parts.size());
    run_parts(parts.size(), [&](std::size_t k) {
        read_part(path, parts[k], k + 1 == parts.size(), x + row[k], y + row[k], reads[k]);
    });
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (!reads[k].ok)
            return false;
        // The first row of a part follows the last row of the part before it.
        std::int64_t j = row[k];
        if (notes.order_row < 0 && k > 0 && parts[k].lf > 0 && j > 0 && !(x[j] > x[j - 1])) {
            notes.order_row = j;
            notes.order_repeat = x[j] == x[j - 1];
        }
        if (notes.order_row < 0 && reads[k].order >= 0) {
            notes.order_row = row[k] + reads[k].order;
            notes.order_repeat = reads[k].repeat;
        }
    }
    notes.rows_read = row.back();
    return true;
}

// Cuts for the parallel read of a file of size bytes: just after the first LF at or after
// each of size*k/parts, k = 1..parts-1; none where the file is small or the machine has
// one core.
std::vector<std::int64_t> auto_cuts(const char* path, std::int64_t size) {
    unsigned cores = std::thread::hardware_concurrency();
    std::size_t parts = cores < 2 ? 1 : cores > max_parts ? max_parts : cores;
    std::vector<std::int64_t> cuts;
    if (size < split_min || parts < 2)
        return cuts;
    int fd = sys_open_read(path);
    if (fd < 0)
        return cuts;
    char buf[4096];
    for (std::size_t k = 1; k < parts; ++k) {
        std::int64_t at = size / static_cast<std::int64_t>(parts) * static_cast<std::int64_t>(k);
        // The next LF within 1 MiB of there, else no cut.
        for (std::int64_t end = at + (std::int64_t{1} << 20); at < end && sys_seek(fd, at);) {
            long got = sys_read(fd, buf, sizeof buf);
            if (got <= 0)
                break;
            if (const void* lf = std::memchr(buf, '\n', static_cast<std::size_t>(got))) {
                cuts.push_back(at + (static_cast<const char*>(lf) - buf) + 1);
                break;
            }
            at += got;
        }
    }
    sys_close(fd);
    return cuts;
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
                     TableNotes& notes) {
    std::thread faults = prefault_pair(xa, ya, len);
    read_rows(f, xa, ya, n, notes);
    if (faults.joinable())
        faults.join();
    return !tf_failed(f);
}

// The loading procedure, with the file read in the parts its cuts make (automatic: the cuts
// that suit the file and the machine).
Load load(const char* path, Layout layout, int min_n, SampleTable& t,
          std::span<const std::int64_t> cuts, bool automatic) {
    TextFile f;
    if (!tf_open(f, path))
        return Load::cannot_open;
    TableNotes notes;
    std::int64_t size = tf_size(f);
    std::vector<std::int64_t> own;
    if (automatic && size > 0) {
        own = auto_cuts(path, size);
        cuts = own;
    }
    std::vector<PartCount> parts;
    if (!cuts.empty() && size > 0)
        parts = parts_of(size, cuts);
    std::int64_t n = -1;
    if (parts.size() < 2 || !count_parts(path, parts, &n, &notes.tail)) {
        parts.clear();
        n = count_lines(f, &notes.tail);
    }
    if (n < 0) {
        tf_close(f);
        return Load::cannot_open;
    }
    notes.parsed = true;
    notes.lines = n;
    if (n < min_n) {
        // min_n is at most 2: at most one row, read for its diagnosis only.
        double x[2] = {}, y[2] = {};
        read_rows(f, x, y, n < 2 ? n : 2, notes);
        tf_close(f);
        t.n = static_cast<int>(n);
        t.notes = notes;
        return Load::too_few;
    }
    double *xa = nullptr, *ya = nullptr;
    if (n > INT_MAX - layout.pad || !alloc_table(n, layout.pad, &xa, &ya)) {
        tf_close(f);
        return Load::no_memory;
    }
    auto len = static_cast<std::size_t>(n + layout.pad);
    double* x = xa + layout.first;
    double* y = ya + layout.first;
    bool ok = !parts.empty() && read_parts(path, parts, x, y, notes);
    if (!ok) {
        if (!parts.empty()) {
            // The parts could not settle the file: read it whole, from fresh zeros.
            std::memset(xa, 0, len * sizeof(double));
            std::memset(ya, 0, len * sizeof(double));
            notes = TableNotes{true, n, 0, -1, -1, false, notes.tail};
        }
        ok = read_sequential(f, n, len, x, y, notes);
    }
    tf_close(f);
    if (!ok) {
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
} // namespace

Load load_table(const char* path, Layout layout, int min_n, SampleTable& t) {
    return load(path, layout, min_n, t, {}, true);
}

Load load_table_split(const char* path, Layout layout, int min_n, SampleTable& t,
                      std::span<const std::int64_t> cuts) {
    return load(path, layout, min_n, t, cuts, false);
}

void free_table(SampleTable& t) {
    free_doubles(t.xa);
    free_doubles(t.ya);
    t = SampleTable{};
}

std::vector<TableProblem> table_problems(const char* path, const TableNotes& t, unsigned kinds) {
    std::vector<TableProblem> r;
    if (!t.parsed)
        return r;
    auto want = [kinds](Problem p) { return (kinds & problem_bit(p)) != 0; };
    if (t.stuck_after >= 0) {
        if (want(Problem::not_number)) {
            TableProblem p{Problem::not_number, 0, {}};
            p.line = line_of_value(path, t.stuck_after, &p.text);
            r.push_back(p);
        }
    } else if (t.lines > t.rows_read && want(Problem::missing_rows)) {
        r.push_back({Problem::missing_rows, t.lines, {}});
    }
    if (t.tail.unended && want(Problem::no_line_end))
        r.push_back({Problem::no_line_end, t.lines + 1, {}});
    if (t.order_row >= 0) {
        Problem k = t.order_repeat ? Problem::x_repeats : Problem::x_steps_back;
        if (want(k))
            r.push_back({k, line_of_value(path, 2 * t.order_row), {}});
    }
    if (t.tail.after26 && want(Problem::after_26))
        r.push_back({Problem::after_26, t.lines + 1, {}});
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
