// save: the one writer of every file the suite makes besides the error tables (figures,
// conv.csv, lorgen's --svg): whole or not at all, never through a link, never over what is
// not a regular file.
#pragma once

#include <string>

// What a save did: the file is in place; nothing written because the target exists and is
// not a regular file (a link, a device, a fifo, a folder), or exists where nothing may be
// replaced; or nothing in place because a step failed, with its errno value.
struct Saved {
    enum What { ok, not_regular, exists, failed } what = ok;
    int err = 0;
};

// Writes bytes to path: into a new file of a unique name beside it, created exclusively
// (O_CREAT|O_EXCL, the permissions the umask gives), then renamed over path; on Windows moved
// over it. Refuses a target that exists and is not a regular file, leaving it and what it
// points to untouched. With replace false, an existing path is left too: the new file is
// linked to path, which fails where it exists (moved without replacing on Windows). A failed
// save removes its own new file and nothing else; so does an interrupt during it, where
// save_guard_signals was called. Concurrent saves of one path each put a whole file in place;
// the last one stays (with replace false, the first). Not thread-safe; does not throw.
Saved save_file(const std::string& path, const std::string& bytes, bool replace = true);

// True when save_file(path, ..., replace) would refuse path as it stands now. For a check
// before the work that makes the bytes.
bool save_refuses(const std::string& path, bool replace = true);

// Whether the paths a and b name one file: the same path once made absolute and plain, or one
// file reached by two names (a link, another spelling). For refusing two outputs of one run, or
// an output over an input, with one path. Does not throw.
bool one_file(const std::string& a, const std::string& b);

// Call first in main of a program that saves: an interrupt (SIGINT, SIGTERM, SIGHUP on POSIX,
// where not ignored; the console's Ctrl-C, break and close on Windows) during a save removes
// its new file, then ends the process as it would have. Installs a process-wide handler.
void save_guard_signals();

// The line that tells a failed save of the target named name (as the user gave it):
// "NAME is not a regular file; nothing written", "NAME exists; nothing written" or
// "cannot write NAME: CAUSE".
std::string save_failure(const std::string& name, const Saved& s);
