// harness: runs the real programs as a user does: in a fresh folder, standard input piped.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct RunResult {
    std::string out; // everything the program wrote on standard output
    std::string err; // and on standard error
    int status = -1; // exit status, or 128 + signal number
};

// A fresh, empty temporary folder, removed when the object goes.
struct TempDir {
    fs::path path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

// How a program is started: its standard streams, session and time limit.
struct RunOpts {
    std::string path_first;  // put at the front of PATH when not empty
    std::string path;        // when not empty: PATH, in place of the inherited one
    bool new_session = true; // no controlling terminal
    bool stdin_closed = false;
    enum Out { pipe, closed, broken } out = pipe; // broken: a pipe nobody reads
    int timeout_s = 120;                          // then killed: status 128 + SIGKILL
    long memory_mb = 0;           // when > 0: the program's address space, as ulimit -v (MiB)
    std::vector<std::string> env; // "NAME=VALUE" set for the program
    // When > 0: this signal is sent once, as soon as a name that begins with interrupt_at
    // appears in dir (the program's signals start at their defaults).
    int interrupt = 0;
    std::string interrupt_at;
};

// Path of a built program.
std::string bin(const std::string& name);
// Path of a test helper program (keydriver).
std::string test_bin(const std::string& name);

// Runs program in dir with input on standard input; path_first, if not empty, is put at
// the front of PATH. new_session: run without a controlling terminal.
RunResult run_in(const fs::path& dir, const std::string& program, const std::string& input,
                 const std::string& path_first = "", bool new_session = true);
// The general form: argv[0] is the program's path.
RunResult run_opts(const fs::path& dir, const std::vector<std::string>& argv,
                   const std::string& input, const RunOpts& o);

// The same with arguments: argv[0] is the program's path.
RunResult run_args(const fs::path& dir, const std::vector<std::string>& argv,
                   const std::string& input = "", const std::string& path_first = "",
                   bool new_session = true);

// A C99 program for lorgen's header name.h: it prints how many of the header's test vectors
// name_eval misses, their count, the largest error through name_eval at 2000 points an
// interval, and a hash of the bits of those values:
// "0 of 197 missed, largest 9.1822889e-07, hash 1f0c...".
std::string c_driver(const std::string& name);

std::string read_file(const fs::path& p);
void write_file(const fs::path& p, const std::string& bytes);

// A fake gplot in dir/fakebin: records its arguments, and a copy of the error table as it
// stood when it ran, into dir/gplot.log and dir/gplot.seen.
fs::path make_fake_gplot(const fs::path& dir);
