// stdin_fuzz: arbitrary bytes as standard input of an interactive section. Every read is a
// number (never a NaN) or a reported non-number, and each one makes progress.
#include "fuzz_common.hpp"
#include "shell.hpp"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The " not a number" lines are not wanted on the fuzzer's console.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* path = input_file(data, size);
    Console c;
    TextFile& in = c.in;
    if (!tf_open(in, path, size > 0 ? 1 + data[0] % 9 : 1))
        __builtin_trap();
    // Every read that does not end the input takes at least one byte; each byte 26 gives one
    // end of input, after which the reads go on.
    std::size_t limit = 2 * size + 4, calls = 0, ends = 0;
    for (;;) {
        double x = 0.0;
        Input r = read_x(c, &x);
        if (++calls > limit)
            __builtin_trap();
        if (r == Input::number && std::isnan(x))
            __builtin_trap();
        if (r == Input::end && ++ends > size)
            break;
        if (r == Input::end && tf_done(in))
            break;
    }
    tf_close(in);
    return 0;
}
