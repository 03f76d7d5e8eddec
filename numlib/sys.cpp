// sys: descriptor reads, for POSIX and Windows.
#include "sys.hpp"

#include <climits>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>

int sys_open_read(const char* path) {
    return _open(path, _O_RDONLY | _O_BINARY);
}
int sys_stdin() {
    _setmode(0, _O_BINARY);
    return 0;
}
long sys_read(int fd, char* buf, std::size_t n) {
    unsigned k = n > INT_MAX ? INT_MAX : static_cast<unsigned>(n);
    return _read(fd, buf, k);
}
long sys_pread(int fd, char* buf, std::size_t n, std::int64_t off) {
    // A read at an offset of its own, on the same handle: ReadFile with the offset given.
    auto h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(off) & 0xffffffffu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(off) >> 32);
    DWORD got = 0;
    DWORD want = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    if (ReadFile(h, buf, want, &got, &at))
        return static_cast<long>(got);
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}
bool sys_seek(int fd, std::int64_t off) {
    return _lseeki64(fd, off, SEEK_SET) == off;
}
std::int64_t sys_size(int fd) {
    struct _stati64 st;
    if (_fstati64(fd, &st) != 0 || (st.st_mode & _S_IFREG) == 0)
        return -1;
    return st.st_size;
}
void sys_close(int fd) {
    _close(fd);
}
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int sys_open_read(const char* path) {
    return ::open(path, O_RDONLY | O_CLOEXEC);
}
int sys_stdin() {
    return 0;
}
long sys_read(int fd, char* buf, std::size_t n) {
    for (;;) {
        ssize_t k = ::read(fd, buf, n);
        if (k >= 0 || errno != EINTR)
            return static_cast<long>(k);
    }
}
long sys_pread(int fd, char* buf, std::size_t n, std::int64_t off) {
    for (;;) {
        ssize_t k = ::pread(fd, buf, n, static_cast<off_t>(off));
        if (k >= 0 || errno != EINTR)
            return static_cast<long>(k);
    }
}
bool sys_seek(int fd, std::int64_t off) {
    return ::lseek(fd, static_cast<off_t>(off), SEEK_SET) == off;
}
std::int64_t sys_size(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}
void sys_close(int fd) {
    ::close(fd);
}
#endif
