// format: C format strings with one text for values that are not finite on every platform.
#pragma once

#include <cstddef>
#include <string>

// Formatting by C format strings whose floating-point conversions (%g, %lg, %14.6lg, %f)
// write a value that is not finite as "nan", "-nan", "inf" or "-inf", by its sign and kind,
// padded to the field width: the same text on every platform. Besides those: %d %i %u %x
// %c of an int, %s and %%, as the C library has them. Arguments: doubles, ints, C strings.
struct FmtArg {
    double d = 0;
    int i = 0;
    const char* s = nullptr;
    FmtArg(double v) : d(v) {}
    FmtArg(int v) : i(v) {}
    FmtArg(const char* v) : s(v) {}
};
// Appends the formatted text to out.
void fmt_append(std::string& out, const char* fmt, const FmtArg* args, int n);
// Formats into buf (cut to size - 1 bytes and ended by a NUL when size > 0); returns the
// full length.
int fmt_numv(char* buf, std::size_t size, const char* fmt, const FmtArg* args, int n);
template <class... A> int fmt_nums(char* buf, std::size_t size, const char* fmt, A... a) {
    const FmtArg args[] = {FmtArg(a)..., FmtArg(0)};
    return fmt_numv(buf, size, fmt, args, static_cast<int>(sizeof...(a)));
}

// v as "%.2e" rounded up, not to nearest: the least such text whose value is at least v
// ("inf" and "nan" as fmt has them).
std::string fmt_up(double v);
