// table: the loading procedure shared by the programs, parameterised by the array layout.
#include "numlib.hpp"

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

void free_all(double* const* arrays, int count, std::size_t len) {
    for (int i = 0; i < count; ++i)
        free_doubles(arrays[i], len);
}
} // namespace

Load load_table(const char* path, int first, int pad, int min_n, SampleTable& t, int nextra) {
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
    std::thread helper;
    if (len >= prefault_min) {
        try {
            helper = std::thread(prefault_all, arrays, count, len);
        } catch (...) {
            // No thread: the pages are faulted in as they are first written.
        }
    }
    double* x = arrays[0] + first;
    double* y = arrays[1] + first;
    bool stuck = false;
    for (std::int64_t i = 0; i < n && !at_true_end(f); ++i)
        read_pair(f, x + i, y + i, &stuck);
    if (helper.joinable())
        helper.join();
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
