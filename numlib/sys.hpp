// sys: the few operating-system calls numlib needs, behind one small interface, so that
// the rest of the library is portable C++.
#pragma once

#include <cstddef>

// Opens path for reading as bytes; -1 when it cannot be opened.
int sys_open_read(const char* path);
// The descriptor of standard input.
int sys_stdin();
// Reads up to n bytes; returns the count (less than n only when no more is available yet
// or at the end), 0 at the end of the file, -1 on an error. Retries interrupted reads.
long sys_read(int fd, char* buf, std::size_t n);
// Back to the first byte; false on failure.
bool sys_rewind(int fd);
void sys_close(int fd);

// Appends the folder that holds the running program's executable to the end of PATH (to the
// system's default search path when PATH is unset), so that commands beside the program
// are found after everything the user put on PATH. Nothing when the folder is unknown.
void sys_path_add_exe_dir();
// The exit code of a command from std::system's result: its exit status, 128 + the number
// of the signal that ended it, or -1 when the command interpreter could not be started.
int sys_command_status(int rc);

// Opens the null device on each of descriptors 0, 1 and 2 that is closed; returns a bit mask
// of those that were (bit 1: standard output).
int sys_guard_std();
