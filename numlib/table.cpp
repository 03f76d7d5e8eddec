// table: the loading procedure shared by the programs, parameterised by the array layout.
#include "numlib.hpp"

#include <atomic>
#include <chrono>
#include <climits>
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
    std::int64_t n = count_lines(f);
    if (n < 0) {
        tf_close(f);
        return Load::cannot_open;
    }
    if (n < min_n) {
        tf_close(f);
        t.n = static_cast<int>(n);
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
    SampleTable view{static_cast<int>(n), arrays[0], arrays[1], {arrays[2], arrays[3]}};
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
    bool stuck = false;
    for (std::int64_t i = 0; i < n && !at_true_end(f); ++i) {
        read_pair(f, x + i, y + i, &stuck);
        if ((i + 1) % publish_every == 0)
            h.rows.store(i + 1, std::memory_order_release);
    }
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
    return Load::ok;
}
