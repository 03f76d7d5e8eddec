// proc: the process control the programs need, behind one small interface per platform.
#pragma once

#include <string>

// Appends the folder that holds the running program's executable to the end of PATH (to the
// system's default search path when PATH is unset), so that commands beside the program
// are found after everything the user put on PATH. Nothing when the folder is unknown.
void sys_path_add_exe_dir();
// The exit code of a command from std::system's result: its exit status, 128 + the number
// of the signal that ended it, or -1 when the command interpreter could not be started.
int sys_command_status(int rc);
// Sets the environment variable name to value, for this process and the commands it runs.
void sys_set_env(const char* name, const char* value);
// Opens the null device on each of descriptors 0, 1 and 2 that is closed; returns a bit mask
// of those that were (bit 1: standard output).
int sys_guard_std();
// Has every thread allocate from one heap: a thread then reserves no address space of its
// own that outlives it (glibc gives each a 64 MiB arena), so that a run's memory does not grow
// with its threads. Nothing where the allocator does not do so. Idempotent.
void sys_threads_share_heap();
// Reads the file at path whole into *out when it is a regular file of at most `most` bytes,
// opened without blocking and without following a last link on POSIX (a FIFO, a device or a
// link is not waited on, nor read). *err: the errno of a failure. Throws std::bad_alloc.
enum class ReadIn { ok, not_regular, too_long, failed };
ReadIn sys_read_regular(const char* path, std::size_t most, std::string* out, int* err);
// Whether standard error is a terminal (a console on Windows), where a line may be rewritten.
bool sys_stderr_is_terminal();
// The width of the terminal (the console's window) standard error is on, in columns; 0 when
// it is not one or does not say.
int sys_stderr_columns();
