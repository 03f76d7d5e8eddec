// baseline: the bare minimum a loader must do, for the end-to-end benchmark to compare with:
// read the file in 1 MiB blocks and convert every number with std::from_chars into arrays of
// a known size, zero-filled by calloc. No reading rules, no checks beyond the grammar.
// usage: baseline FILE ROWS
#include "numlib.hpp"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    long n = std::atol(argv[2]);
    double* xa = alloc_doubles(static_cast<std::size_t>(n));
    double* ya = alloc_doubles(static_cast<std::size_t>(n));
    int fd = open(argv[1], O_RDONLY);
    if (fd < 0 || xa == nullptr || ya == nullptr)
        return 1;
    constexpr std::size_t block = std::size_t{1} << 20;
    static char buf[block + 1];
    std::size_t have = 0;
    long k = 0; // values converted
    for (;;) {
        ssize_t r = read(fd, buf + have, block - have);
        if (r <= 0)
            break;
        have += static_cast<std::size_t>(r);
        const char* p = buf;
        const char* e = buf + have;
        // Convert every number that ends inside the block; carry the rest over.
        for (;;) {
            while (p < e && (*p == ' ' || *p == '\n'))
                ++p;
            const char* q = p;
            while (q < e && *q != ' ' && *q != '\n')
                ++q;
            if (q == e)
                break;
            double v;
            std::from_chars(p, q, v);
            (k % 2 == 0 ? xa : ya)[k / 2] = v;
            ++k;
            p = q;
        }
        have = static_cast<std::size_t>(e - p);
        std::memmove(buf, p, have);
    }
    close(fd);
    std::printf("%ld %g %g\n", k / 2, xa[n - 1], ya[n - 1]);
    return 0;
}
