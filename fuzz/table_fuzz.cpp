// table_fuzz: arbitrary bytes as loren.out. The count is the number of LF bytes before the
// first byte 26, no value read is a NaN, readers with tiny blocks get the same values, and
// the loader gives the same table and notes whatever the cuts of its parallel read.
#include "fuzz_common.hpp"
#include "numlib.hpp"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {
struct Result {
    std::int64_t n;
    std::vector<double> v;
};

Result read_all(const char* path, std::size_t cap) {
    TextFile t;
    if (!tf_open(t, path, cap))
        __builtin_trap();
    Result r{count_lines(t), {}};
    for (std::int64_t i = 0; i < r.n; ++i) {
        double x = 0.0, y = 0.0;
        bool stuck;
        read_pair(t, &x, &y, &stuck);
        r.v.push_back(x);
        r.v.push_back(y);
    }
    tf_close(t);
    return r;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = input_file(data, size);
    std::int64_t lf = 0;
    for (std::size_t i = 0; i < size && data[i] != 26; ++i)
        lf += data[i] == '\n';
    Result big = read_all(path, 0);
    if (big.n != lf)
        __builtin_trap();
    for (double v : big.v)
        if (std::isnan(v))
            __builtin_trap();
    std::size_t cap = size > 0 ? 1 + data[0] % 5 : 1;
    Result small = read_all(path, cap);
    if (small.n != big.n || small.v.size() != big.v.size() ||
        (!big.v.empty() && std::memcmp(small.v.data(), big.v.data(), 8 * big.v.size()) != 0))
        __builtin_trap();
    // The loader on the same bytes, in the padded layout, on one thread and in parts cut at
    // two places the input picks: the same status, entries and notes.
    SampleTable t, s;
    Load one = load_table_split(path, {1, 2}, 0, t, {});
    if (one == Load::ok) {
        for (int i = 0; i < t.n; ++i)
            if (std::memcmp(&t.xa[i + 1], &big.v[2 * i], 8) != 0 ||
                std::memcmp(&t.ya[i + 1], &big.v[2 * i + 1], 8) != 0)
                __builtin_trap();
    }
    std::int64_t n = static_cast<std::int64_t>(size);
    std::int64_t cuts[2] = {size > 1 ? 1 + data[size - 1] % (n - 1) : 1,
                            size > 2 ? 1 + data[size / 2] % (n - 1) : 1};
    if (cuts[1] < cuts[0])
        std::swap(cuts[0], cuts[1]);
    if (load_table_split(path, {1, 2}, 0, s, cuts) != one || s.n != t.n)
        __builtin_trap();
    if (one == Load::ok && (std::memcmp(s.xa, t.xa, 8 * (static_cast<std::size_t>(t.n) + 2)) != 0 ||
                            std::memcmp(s.ya, t.ya, 8 * (static_cast<std::size_t>(t.n) + 2)) != 0))
        __builtin_trap();
    const TableNotes &a = t.notes, &b = s.notes;
    if (a.lines != b.lines || a.rows_read != b.rows_read || a.stuck_after != b.stuck_after ||
        a.order_row != b.order_row || a.order_repeat != b.order_repeat ||
        a.tail.unended != b.tail.unended || a.tail.after26 != b.tail.after26)
        __builtin_trap();
    free_table(t);
    free_table(s);
    return 0;
}
