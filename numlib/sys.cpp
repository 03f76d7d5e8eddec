// sys: descriptor reads, for POSIX and Windows.
#include "sys.hpp"

#include <climits>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

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
bool sys_rewind(int fd) {
    return _lseeki64(fd, 0, SEEK_SET) == 0;
}
void sys_close(int fd) {
    _close(fd);
}
#else
#include <cerrno>
#include <fcntl.h>
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
bool sys_rewind(int fd) {
    return ::lseek(fd, 0, SEEK_SET) == 0;
}
void sys_close(int fd) {
    ::close(fd);
}
#endif
