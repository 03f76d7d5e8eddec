// save: a new file beside the target, then renamed over it (or linked to it where nothing
// may be replaced); the name of a save under way kept where an interrupt can remove it.
// POSIX and Windows.
#include "save.hpp"

#include "shell.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {
// The new file of the save under way, for the interrupt handler: its name, and whether there
// is one. Written only by the saving thread, with pending cleared while the name changes.
char pending_name[4096];
volatile int pending = 0;

// For the tests of interrupted saves: LORENTZ_SAVE_PAUSE_MS holds a save this long between
// its new file and putting it in place.
void test_pause() {
    if (const char* v = std::getenv("LORENTZ_SAVE_PAUSE_MS"); v != nullptr)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(v)));
}
} // namespace

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {
// True when path exists and is not a regular file (a folder, a link, a device).
bool not_regular(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES &&
           (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Writes bytes into a new file of a unique name in path's folder, made by this call (its
// name in pending_name, pending set, when one was made); 0 or the cause of the failure. The
// file is open for deletion by others, so that the interrupt handler can remove it.
int write_beside(const std::string& path, const std::string& bytes) {
    auto cut = path.find_last_of("/\\");
    std::string dir = cut == std::string::npos ? "." : path.substr(0, cut + 1);
    pending = 0;
    if (GetTempFileNameA(dir.c_str(), "lor", 0, pending_name) == 0)
        return EACCES;
    pending = 1;
    HANDLE h = CreateFileA(pending_name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return EACCES;
    int err = 0;
    for (std::size_t at = 0; at < bytes.size() && err == 0;) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1 << 20)), k = 0;
        if (WriteFile(h, bytes.data() + at, chunk, &k, nullptr) == 0 || k == 0)
            err = EIO;
        at += k;
    }
    if (CloseHandle(h) == 0 && err == 0)
        err = EIO;
    return err;
}

// 0, EEXIST where replace is false and path exists, or another cause.
int put_in_place(const std::string& path, bool replace) {
    if (MoveFileExA(pending_name, path.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0)
        return 0;
    DWORD e = GetLastError();
    return e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS ? EEXIST : EACCES;
}

BOOL WINAPI on_console_event(DWORD) {
    if (pending != 0)
        DeleteFileA(pending_name);
    return FALSE; // the default handler ends the process
}
} // namespace

void save_guard_signals() {
    SetConsoleCtrlHandler(on_console_event, TRUE);
}
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Starts a save's new file from the name pattern `pattern` (which fits pending_name): the
// pattern in pending_name, to be filled in place by the call that creates the file.
bool begin_pending(const std::string& pattern) {
    if (pattern.size() >= sizeof pending_name)
        return false;
    pending = 0;
    std::memcpy(pending_name, pattern.c_str(), pattern.size() + 1);
    return true;
}

bool not_regular(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

int write_beside(const std::string& path, const std::string& bytes) {
    auto cut = path.find_last_of('/');
    std::string dir = cut == std::string::npos ? "" : path.substr(0, cut + 1);
    std::string base = cut == std::string::npos ? path : path.substr(cut + 1);
    if (!begin_pending(dir + "." + base + ".XXXXXX"))
        return ENAMETOOLONG;
    pending = 1; // from here a signal removes whatever the name comes to hold
    int fd = ::mkostemp(pending_name, O_CLOEXEC); // O_CREAT|O_EXCL, mode 0600
    if (fd < 0) {
        pending = 0;
        return errno != 0 ? errno : EIO;
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    int err = 0;
    for (std::size_t at = 0; at < bytes.size() && err == 0;) {
        ssize_t k = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (k > 0)
            at += static_cast<std::size_t>(k);
        else if (k < 0 && errno != EINTR)
            err = errno != 0 ? errno : EIO;
    }
    if (::close(fd) != 0 && err == 0)
        err = errno != 0 ? errno : EIO;
    return err;
}

// Renamed over path; where nothing may be replaced, linked to path (which fails where path
// exists), or on a file system without links renamed where path is still absent. 0, EEXIST,
// or another cause.
int put_in_place(const std::string& path, bool replace) {
    if (replace)
        return ::rename(pending_name, path.c_str()) == 0 ? 0 : (errno != 0 ? errno : EIO);
    if (::link(pending_name, path.c_str()) == 0) {
        ::unlink(pending_name);
        return 0;
    }
    if (errno == EEXIST || exists(path))
        return EEXIST;
    return ::rename(pending_name, path.c_str()) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

// Removes the save's new file, then ends the process as the signal would have.
// Async-signal-safe: unlink, signal and raise only.
void on_signal(int sig) {
    if (pending != 0)
        ::unlink(pending_name);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}
} // namespace

void save_guard_signals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction sa {};
        sa.sa_handler = on_signal;
        sigemptyset(&sa.sa_mask);
        // A signal the process ignores (nohup, a background job) stays ignored.
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            ::sigaction(sig, &sa, nullptr);
    }
}
#endif

Saved save_file(const std::string& path, const std::string& bytes, bool replace) {
    if (not_regular(path))
        return {Saved::not_regular, 0};
    if (!replace && exists(path))
        return {Saved::exists, EEXIST};
    errno = 0;
    int err = write_beside(path, bytes);
    test_pause();
    // Looked at again just before the rename, which would replace whatever stands there.
    bool refused = err == 0 && not_regular(path);
    if (err == 0 && !refused)
        err = put_in_place(path, replace);
    if (pending != 0 && (err != 0 || refused))
        std::remove(pending_name);
    pending = 0;
    if (refused)
        return {Saved::not_regular, 0};
    if (err == EEXIST && !replace)
        return {Saved::exists, err};
    return {err == 0 ? Saved::ok : Saved::failed, err};
}

bool one_file(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ea, eb, e;
    fs::path pa = fs::absolute(a, ea).lexically_normal(),
             pb = fs::absolute(b, eb).lexically_normal();
    if (!ea && !eb && pa == pb)
        return true;
    return fs::equivalent(a, b, e) && !e;
}

bool save_refuses(const std::string& path, bool replace) {
    return not_regular(path) || (!replace && exists(path));
}

std::string save_failure(const std::string& name, const Saved& s) {
    if (s.what == Saved::not_regular)
        return name + " is not a regular file; nothing written";
    if (s.what == Saved::exists)
        return name + " exists; nothing written";
    return "cannot write " + name + ": " + cause_text(s.err);
}
