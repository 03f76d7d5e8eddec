// sys: the file reads numlib needs, behind one small interface, so that the rest of the
// library is portable C++.
#pragma once

#include <cstddef>
#include <cstdint>

// Opens path for reading as bytes; -1 when it cannot be opened.
int sys_open_read(const char* path);
// The descriptor of standard input, set to deliver bytes unchanged.
int sys_stdin();
// Reads up to n bytes; returns the count (less than n only when no more is available yet
// or at the end), 0 at the end of the file, -1 on an error. Retries interrupted reads.
long sys_read(int fd, char* buf, std::size_t n);
// Reads up to n bytes from offset off of the file, without moving or using its position
// (several threads may read one descriptor at once); as sys_read otherwise.
long sys_pread(int fd, char* buf, std::size_t n, std::int64_t off);
// To byte off of the file, from its start; false on failure.
bool sys_seek(int fd, std::int64_t off);
// The size of the open file in bytes; -1 when it has none (a pipe, a terminal).
std::int64_t sys_size(int fd);
void sys_close(int fd);
