// save: a new file beside the target, then renamed over it; POSIX and Windows.
#include "save.hpp"

#include "shell.hpp"

#include <cerrno>
#include <cstdio>

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

// Writes bytes into a new file of a unique name in path's folder, made by this call (its
// name in *tmp, empty when none was made); 0 or the cause of the failure.
int write_beside(const std::string& path, const std::string& bytes, std::string* tmp) {
    auto cut = path.find_last_of("/\\");
    std::string dir = cut == std::string::npos ? "." : path.substr(0, cut + 1);
    char name[MAX_PATH + 1];
    if (GetTempFileNameA(dir.c_str(), "lor", 0, name) == 0)
        return EACCES;
    *tmp = name;
    std::FILE* f = std::fopen(name, "wb");
    if (f == nullptr)
        return errno != 0 ? errno : EIO;
    int err = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() ? 0 : EIO;
    if (std::fclose(f) != 0 && err == 0)
        err = EIO;
    return err;
}

int put_in_place(const std::string& tmp, const std::string& path) {
    return MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0 ? 0 : EACCES;
}
} // namespace
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool not_regular(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

int write_beside(const std::string& path, const std::string& bytes, std::string* tmp) {
    auto cut = path.find_last_of('/');
    std::string dir = cut == std::string::npos ? "" : path.substr(0, cut + 1);
    std::string base = cut == std::string::npos ? path : path.substr(cut + 1);
    std::string name = dir + "." + base + ".XXXXXX";
    int fd = ::mkostemp(name.data(), O_CLOEXEC); // O_CREAT|O_EXCL, mode 0600
    if (fd < 0)
        return errno != 0 ? errno : EIO;
    *tmp = name;
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

int put_in_place(const std::string& tmp, const std::string& path) {
    return ::rename(tmp.c_str(), path.c_str()) == 0 ? 0 : (errno != 0 ? errno : EIO);
}
} // namespace
#endif

Saved save_file(const std::string& path, const std::string& bytes) {
    if (not_regular(path))
        return {Saved::not_regular, 0};
    std::string tmp;
    errno = 0;
    int err = write_beside(path, bytes, &tmp);
    // Looked at again just before the rename, which would replace whatever stands there.
    bool refused = err == 0 && not_regular(path);
    if (err == 0 && !refused)
        err = put_in_place(tmp, path);
    if ((err != 0 || refused) && !tmp.empty())
        std::remove(tmp.c_str());
    if (refused)
        return {Saved::not_regular, 0};
    return {err == 0 ? Saved::ok : Saved::failed, err};
}

bool save_refuses(const std::string& path) {
    return not_regular(path);
}

std::string save_failure(const std::string& name, const Saved& s) {
    if (s.what == Saved::not_regular)
        return name + " is not a regular file; nothing written";
    return "cannot write " + name + ": " + cause_text(s.err);
}
