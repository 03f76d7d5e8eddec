// memory: zero-filled arrays of doubles, and their pages made resident ahead of first use.
#include "memory.hpp"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {
constexpr std::size_t step = std::size_t{1} << 18; // doubles: 2 MiB
// Below this many doubles an array is faulted in by its first writes.
constexpr std::size_t min_prefault = std::size_t{1} << 19;

#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
// The pages of p[0 .. n) made resident: whole pages only, the first rounded up.
void populate(double* p, std::size_t n) {
    constexpr std::size_t page = 4096;
    char* c = reinterpret_cast<char*>(p);
    std::size_t head = (page - reinterpret_cast<std::uintptr_t>(c) % page) % page;
    std::size_t bytes = n * sizeof(double);
    if (bytes > head && (bytes - head) / page > 0)
        ::madvise(c + head, (bytes - head) / page * page, MADV_POPULATE_WRITE);
}

void populate_pair(double* a, double* b, std::size_t n) {
    for (std::size_t at = 0; at < n; at += step) {
        std::size_t k = n - at < step ? n - at : step;
        populate(a + at, k);
        populate(b + at, k);
    }
}
#endif
} // namespace

double* alloc_doubles(std::size_t n) {
    return static_cast<double*>(std::calloc(n == 0 ? 1 : n, sizeof(double)));
}

void free_doubles(double* p) {
    std::free(p);
}

std::thread prefault_pair(double* a, double* b, std::size_t n, int threads) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    if (n >= min_prefault && threads > 1) {
        try {
            return std::thread(populate_pair, a, b, n);
        } catch (...) {
            // No thread: the pages are faulted in by the first writes.
        }
    }
#else
    (void)a;
    (void)b;
    (void)n;
    (void)threads;
#endif
    return {};
}
