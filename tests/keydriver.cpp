// keydriver: prints each value read_key returns, one a line, until it returns 'q' or -1.
#include "read_key.hpp"

#include <cstdio>

int main() {
    for (;;) {
        std::printf("ready\n");
        std::fflush(stdout);
        int k = read_key();
        std::printf("%d\n", k);
        if (k == 'q' || k == -1)
            return 0;
    }
}
