// table: the loading procedure shared by the programs, parameterised by the array layout.
#include "numlib.hpp"

#include <climits>

namespace {
// True when every later read can only meet the true end of the file.
bool at_true_end(const TextFile& t) {
    return t.raw_end && t.beg == t.end && !t.mark && t.nback == 0;
}
} // namespace

Load load_table(const char* path, int first, int pad, int min_n, SampleTable& t) {
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
    double* xa = alloc_doubles(len);
    double* ya = xa != nullptr ? alloc_doubles(len) : nullptr;
    if (ya == nullptr) {
        free_doubles(xa, len);
        tf_close(f);
        return Load::no_memory;
    }
    double* x = xa + first;
    double* y = ya + first;
    bool stuck = false;
    for (std::int64_t i = 0; i < n && !at_true_end(f); ++i)
        read_pair(f, x + i, y + i, &stuck);
    bool bad = f.error;
    tf_close(f);
    if (bad) {
        free_doubles(xa, len);
        free_doubles(ya, len);
        return Load::cannot_open;
    }
    t.n = static_cast<int>(n);
    t.xa = xa;
    t.ya = ya;
    return Load::ok;
}
