// read_key: one key press, raw, from the console itself (not from standard input).
#pragma once

// Waits for one key press on the console, with no echo and no line editing; Ctrl+C reads
// as 3 and does not interrupt. A key with a character returns its byte, 1..255 (Enter 13,
// Esc 27). A key without one (cursor, editing and function keys) returns 0, and the next
// call returns its scan code at once: Up 72, Down 80, Left 75, Right 77, Home 71, End 79,
// PgUp 73, PgDn 81, Ins 82, Del 83, F1..F10 59..68, F11 133, F12 134; an unknown key
// sequence gives 0, then 0. Returns -1 at once when there is no console to read. The
// console's mode is restored before the call returns, and also when SIGTERM, SIGHUP, SIGINT
// or SIGQUIT ends the process during the wait.
int read_key();
