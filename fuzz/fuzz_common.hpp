// fuzz_common: what the fuzz targets share: a scratch file for the bytes of one input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

// Writes the input to a file of this process and returns its path.
inline const char* input_file(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/numlib-fuzz-" + std::to_string(getpid());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        __builtin_trap();
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path.c_str();
}
