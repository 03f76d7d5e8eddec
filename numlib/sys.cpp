// sys: descriptor reads, for POSIX and Windows.
#include "sys.hpp"

#include <climits>

#ifdef _WIN32
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
