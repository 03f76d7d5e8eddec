// keydriver: prints each value read_key returns, one a line, until it returns 'q' or -1. On
// Windows it also checks that each read left the console's input mode as it found it.
#include "read_key.hpp"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>

namespace {
DWORD console_mode() {
    HANDLE h = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD m = 0;
    if (h != INVALID_HANDLE_VALUE) {
        GetConsoleMode(h, &m);
        CloseHandle(h);
    }
    return m;
}
} // namespace
#else
namespace {
unsigned console_mode() {
    return 0; // the tests check the terminal's mode from outside
}
} // namespace
#endif

int main() {
    for (;;) {
        std::printf("ready\n");
        std::fflush(stdout);
        auto before = console_mode();
        int k = read_key();
        if (console_mode() != before)
            std::printf("mode changed\n");
        std::printf("%d\n", k);
        if (k == 'q' || k == -1)
            return 0;
    }
}
