// proc: the standard streams, PATH and the command interpreter's status, for POSIX and
// Windows.
#include "proc.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <cerrno>

#ifdef _WIN32
#include <windows.h>

int sys_guard_std() {
    return 0;
}
void sys_path_add_exe_dir() {
    char self[MAX_PATH + 1];
    DWORD k = GetModuleFileNameA(nullptr, self, sizeof self);
    if (k == 0 || k >= sizeof self)
        return;
    std::string dir(self, k);
    auto cut = dir.find_last_of("\\/");
    if (cut == std::string::npos)
        return;
    dir.resize(cut);
    const char* old = std::getenv("PATH");
    std::string path = old != nullptr && *old != '\0' ? std::string(old) + ";" + dir : dir;
    _putenv_s("PATH", path.c_str());
}
int sys_command_status(int rc) {
    return rc;
}
void sys_set_env(const char* name, const char* value) {
    _putenv_s(name, value);
}
bool sys_stderr_is_terminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
void sys_threads_share_heap() {}
ReadIn sys_read_regular(const char* path, std::size_t most, std::string* out, int* err) {
    DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES) {
        *err = ENOENT;
        return ReadIn::failed;
    }
    if ((a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) !=
        0)
        return ReadIn::not_regular;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        *err = errno != 0 ? errno : EIO;
        return ReadIn::failed;
    }
    char b[65536];
    std::size_t n = 0;
    while (out->size() <= most && (n = std::fread(b, 1, sizeof b, f)) > 0)
        out->append(b, n);
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) {
        *err = EIO;
        return ReadIn::failed;
    }
    return out->size() > most ? ReadIn::too_long : ReadIn::ok;
}
int sys_stderr_columns() {
    CONSOLE_SCREEN_BUFFER_INFO b;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &b) == 0)
        return 0;
    return b.srWindow.Right - b.srWindow.Left + 1;
}
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

ReadIn sys_read_regular(const char* path, std::size_t most, std::string* out, int* err) {
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *err = errno;
        return errno == ELOOP ? ReadIn::not_regular : ReadIn::failed;
    }
    struct stat st {};
    ReadIn r = ReadIn::ok;
    if (::fstat(fd, &st) != 0) {
        *err = errno;
        r = ReadIn::failed;
    } else if (!S_ISREG(st.st_mode)) {
        r = ReadIn::not_regular;
    } else if (static_cast<unsigned long long>(st.st_size) > most) {
        r = ReadIn::too_long;
    }
    char b[65536];
    for (ssize_t n = 0; r == ReadIn::ok && (n = ::read(fd, b, sizeof b)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *err = errno;
            r = ReadIn::failed;
        } else if (out->append(b, static_cast<std::size_t>(n)).size() > most) {
            r = ReadIn::too_long; // it grew while read
        }
    }
    ::close(fd);
    return r;
}

void sys_threads_share_heap() {
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 1);
#endif
}

int sys_guard_std() {
    int closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closed |= 1 << fd;
        // The lowest free descriptor is this one, since those below it are open.
        ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    }
    return closed;
}
void sys_path_add_exe_dir() {
    std::string self(4096, '\0');
    ssize_t k = ::readlink("/proc/self/exe", self.data(), self.size());
    if (k <= 0 || static_cast<std::size_t>(k) >= self.size())
        return;
    self.resize(static_cast<std::size_t>(k));
    auto cut = self.find_last_of('/');
    if (cut == std::string::npos)
        return;
    std::string dir = cut == 0 ? "/" : self.substr(0, cut);
    std::string path;
    if (const char* old = std::getenv("PATH"); old != nullptr) {
        path = old;
    } else {
        std::size_t n = ::confstr(_CS_PATH, nullptr, 0);
        path.resize(n);
        if (n > 0)
            ::confstr(_CS_PATH, path.data(), n);
        path.resize(n > 0 ? n - 1 : 0);
    }
    path += path.empty() ? dir : ":" + dir;
    ::setenv("PATH", path.c_str(), 1);
}
void sys_set_env(const char* name, const char* value) {
    ::setenv(name, value, 1);
}
int sys_command_status(int rc) {
    if (rc == -1)
        return -1;
    if (WIFEXITED(rc))
        return WEXITSTATUS(rc);
    return WIFSIGNALED(rc) ? 128 + WTERMSIG(rc) : rc;
}
bool sys_stderr_is_terminal() {
    return isatty(2) == 1;
}
int sys_stderr_columns() {
    winsize w{};
    return ::ioctl(2, TIOCGWINSZ, &w) == 0 ? w.ws_col : 0;
}
#endif
