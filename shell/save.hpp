// save: the one writer of every file the suite makes besides the error tables (figures,
// conv.csv, lorgen's --svg): whole or not at all, never through a link, never over what is
// not a regular file.
#pragma once

#include <string>

// What a save did: the file is in place; nothing written because the target exists and is
// not a regular file (a link, a device, a fifo, a folder); or nothing in place because a step
// failed, with its errno value.
struct Saved {
    enum What { ok, not_regular, failed } what = ok;
    int err = 0;
};

// Writes bytes to path: into a new file of a unique name beside it, created exclusively
// (O_CREAT|O_EXCL, the permissions the umask gives), then renamed over path; on Windows moved
// over it. Refuses a target that exists and is not a regular file, leaving it and what it
// points to untouched. A failed save removes its own new file and nothing else. Concurrent
// saves of one path each put a whole file in place; the last one stays. Does not throw.
Saved save_file(const std::string& path, const std::string& bytes);

// True when save_file(path, ...) would refuse path as it stands now: it exists and is not a
// regular file. For a check before the work that makes the bytes.
bool save_refuses(const std::string& path);

// The line that tells a failed save of the target named name (as the user gave it):
// "NAME is not a regular file; nothing written" or "cannot write NAME: CAUSE".
std::string save_failure(const std::string& name, const Saved& s);
