// args: the study programs' shared argument checks and the limits behind them; each check
// returns what is wrong in one line (the program adds its name), or "" when nothing is.
#pragma once

#include "limits.hpp"

#include <string>

// The count named name ("N") from the argument s into *n, lo <= *n (<= hi when hi > 0); the
// message names the upper bound when there is one, else the lower.
std::string count_fault(const char* name, const char* s, long long lo, long long hi, long long* n);
// A and B from the arguments a_text and b_text.
std::string interval_args(const char* a_text, const char* b_text, double* a, double* b);
// The interval [a, b] for a table of more than one row: a < b, b - a finite.
std::string interval_fault(double a, double b);
// The tolerance E from the argument s: a number, positive, finite, at least error_floor.
std::string tolerance_arg(const char* s, double* tol);
