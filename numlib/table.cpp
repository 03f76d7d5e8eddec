// table: the loading procedure shared by the programs, parameterised by the array layout.
#include "numlib.hpp"

#include <atomic>
#include <chrono>
#include <climits>
#include <string>
#include <thread>

namespace {
// Tables smaller than this are loaded without the helper thread.
constexpr std::size_t prefault_min = std::size_t{1} << 19;  // doubles per array
constexpr std::size_t prefault_step = std::size_t{1} << 18; // 2 MiB of doubles

// True when every later read can only meet the true end of the file.
bool at_true_end(const TextFile& t) {
    return t.raw_end && t.beg == t.end && !t.mark && t.nback == 0;
}

// Faults in the arrays ahead of the parser: xa and ya step by step in the order the reads
// fill them, then the extra arrays. The kernel's zeroing of fresh pages then runs on the
// other core, beside the parsing.
void prefault_all(double* const* arrays, int count, std::size_t len) {
    for (std::size_t at = 0; at < len; at += prefault_step) {
        std::size_t k = len - at < prefault_step ? len - at : prefault_step;
        prefault_doubles(arrays[0] + at, k);
        prefault_doubles(arrays[1] + at, k);
    }
    for (int i = 2; i < count; ++i)
        prefault_doubles(arrays[i], len);
}

// What the helper thread works on, and how far the parse has come.
struct Helper {
    double* const* arrays;
    int count;
    std::size_t len;
    const SampleTable* view;
    RowsReady ready;
    void* ctx;
    std::int64_t n;
    std::atomic<std::int64_t> rows{0}; // rows final so far, published by the parser
};

constexpr std::int64_t publish_every = 1 << 16; // rows

// The helper: faults the arrays in, then follows the parse with ready() until all n rows
// are final.
void help(Helper* h) {
    prefault_all(h->arrays, h->count, h->len);
    if (h->ready == nullptr)
        return;
    std::int64_t seen = 0;
    while (seen < h->n) {
        std::int64_t r = h->rows.load(std::memory_order_acquire);
        if (r > seen) {
            h->ready(*h->view, r, h->ctx);
            seen = r;
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
}

// The n reads of the loading procedure into x[0..n-1], y[0..n-1], noting what goes wrong;
// publishes its progress to h when there is one. Reads that can only meet the true end of
// the file are skipped: they could store nothing. (Reads after text that is not a number
// are not: past a byte 26 such text can become part of a number.)
void read_rows(TextFile& f, double* x, double* y, std::int64_t n, TableNotes& notes, Helper* h) {
    if (x == nullptr || y == nullptr)
        return;
    bool stuck = false, prev = false;
    std::int64_t values = 0, rows = 0;
    for (std::int64_t i = 0; i < n && !at_true_end(f); ++i) {
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
        if (h != nullptr && (i + 1) % publish_every == 0)
            h->rows.store(i + 1, std::memory_order_release);
    }
    notes.rows_read = rows;
}

void free_all(double* const* arrays, int count, std::size_t len) {
    for (int i = 0; i < count; ++i)
        free_doubles(arrays[i], len);
}
} // namespace

Load load_table(const char* path, int first, int pad, int min_n, SampleTable& t, int nextra,
                RowsReady ready, void* ctx) {
    TextFile f;
    if (!tf_open(f, path))
        return Load::cannot_open;
    TableNotes notes;
    std::int64_t n = count_lines(f, &notes.tail);
    if (n < 0) {
        tf_close(f);
        return Load::cannot_open;
    }
    notes.parsed = true;
    notes.lines = n;
    if (n < min_n) {
        // min_n is 1 or 2: at most one row, read for its diagnosis only.
        double x[2] = {}, y[2] = {};
        read_rows(f, x, y, n < 2 ? n : 2, notes, nullptr);
        tf_close(f);
        t.n = static_cast<int>(n);
        t.notes = notes;
        return Load::too_few;
    }
    if (n > INT_MAX - pad) {
        tf_close(f);
        return Load::no_memory;
    }
    auto len = static_cast<std::size_t>(n + pad);
    double* arrays[4] = {};
    int count = 2 + nextra;
    for (int i = 0; i < count; ++i) {
        arrays[i] = alloc_doubles(len);
        if (arrays[i] == nullptr) {
            free_all(arrays, i, len);
            tf_close(f);
            return Load::no_memory;
        }
    }
    SampleTable view{static_cast<int>(n), arrays[0], arrays[1], {arrays[2], arrays[3]}, {}};
    Helper h{arrays, count, len, &view, ready, ctx, n};
    std::thread helper;
    if (len >= prefault_min) {
        try {
            helper = std::thread(help, &h);
        } catch (...) {
            // No thread: the pages are faulted in as they are first written.
        }
    }
    double* x = arrays[0] + first;
    double* y = arrays[1] + first;
    read_rows(f, x, y, n, notes, &h);
    h.rows.store(n, std::memory_order_release);
    if (helper.joinable())
        helper.join();
    else if (ready != nullptr)
        ready(view, n, ctx);
    bool bad = f.error;
    tf_close(f);
    if (bad) {
        free_all(arrays, count, len);
        return Load::cannot_open;
    }
    t.n = static_cast<int>(n);
    t.xa = arrays[0];
    t.ya = arrays[1];
    t.extra[0] = arrays[2];
    t.extra[1] = arrays[3];
    t.notes = notes;
    return Load::ok;
}

std::int64_t line_of_value(const char* path, std::int64_t k, std::string* text) {
    TextFile f;
    if (!tf_open(f, path))
        return -1;
    std::int64_t line = 1, count = 0;
    for (;;) {
        int c = tf_getc(f);
        if (c == -1) {
            if (at_true_end(f) || f.error)
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
