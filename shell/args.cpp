// args: the study programs' argument checks.
#include "args.hpp"

#include "numlib.hpp"
#include "shell.hpp"

#include <cmath>
#include <cstdio>

std::string count_fault(const char* name, const char* s, long long lo, long long hi, long long* n) {
    if (count_arg(s, n) && *n >= lo && (hi <= 0 || *n <= hi))
        return "";
    std::string bound = hi > 0 ? "<= " + std::to_string(hi) : ">= " + std::to_string(lo);
    return std::string(name) + " must be a whole number " + bound + ", not \"" + shown(s) + "\"";
}

std::string interval_args(const char* a_text, const char* b_text, double* a, double* b) {
    if (!number_arg(a_text, a))
        return "A must be a number, not \"" + shown(a_text) + "\"";
    if (!number_arg(b_text, b))
        return "B must be a number, not \"" + shown(b_text) + "\"";
    return "";
}

std::string interval_fault(double a, double b) {
    if (!(a < b))
        return "A must be below B";
    if (!(b - a < HUGE_VAL))
        return "B - A must be finite";
    return "";
}

std::string tolerance_arg(const char* s, double* tol) {
    if (!number_arg(s, tol))
        return "E must be a number, not \"" + shown(s) + "\"";
    if (!(*tol > 0) || !(*tol < HUGE_VAL))
        return "E must be positive and finite";
    if (*tol < error_floor) {
        char floor[32];
        std::snprintf(floor, sizeof floor, "%g", error_floor);
        return std::string("E must be at least ") + floor +
               ": below it rounding, not the table, sets the error";
    }
    return "";
}
