// sys: descriptor reads and large zero-filled arrays, for POSIX and Windows.
#include "sys.hpp"

#include "numlib.hpp"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef _WIN32
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
#else
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
int sys_command_status(int rc) {
    if (rc == -1)
        return -1;
    if (WIFEXITED(rc))
        return WEXITSTATUS(rc);
    return WIFSIGNALED(rc) ? 128 + WTERMSIG(rc) : rc;
}
#endif

namespace {
// Arrays this large come from the system's page allocator, 2 MiB-aligned and advised to use
// huge pages: fresh memory is zero, and huge pages cut the cost of first touch.
constexpr std::size_t big = std::size_t{4} << 20;
constexpr std::size_t huge_page = std::size_t{2} << 20;

[[maybe_unused]] std::size_t round_up(std::size_t bytes) {
    return (bytes + huge_page - 1) / huge_page * huge_page;
}
} // namespace

double* alloc_doubles(std::size_t n) {
    if (n > SIZE_MAX / sizeof(double))
        return nullptr;
#if defined(__linux__)
    std::size_t bytes = n * sizeof(double);
    if (bytes >= big) {
        std::size_t len = round_up(bytes);
        // Map one extra huge page so the array can start on a 2 MiB boundary.
        void* m = ::mmap(nullptr, len + huge_page, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (m == MAP_FAILED)
            return nullptr;
        char* a = static_cast<char*>(m);
        std::size_t lead =
            (huge_page - reinterpret_cast<std::uintptr_t>(a) % huge_page) % huge_page;
        char* s = a + lead;
        if (lead > 0)
            ::munmap(a, lead);
        ::munmap(s + len, huge_page - lead);
        ::madvise(s, len, MADV_HUGEPAGE);
        return reinterpret_cast<double*>(s);
    }
#endif
    return static_cast<double*>(std::calloc(n == 0 ? 1 : n, sizeof(double)));
}

void free_doubles(double* p, std::size_t n) {
    if (p == nullptr)
        return;
#if defined(__linux__)
    std::size_t bytes = n * sizeof(double);
    if (bytes >= big) {
        ::munmap(p, round_up(bytes));
        return;
    }
#else
    (void)n;
#endif
    std::free(p);
}

void prefault_doubles(double* p, std::size_t n) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    ::madvise(p, n * sizeof(double), MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)n;
#endif
}
