// format: C format strings for the dialogue and the tables, with one text for
// non-finite values on every platform.
#include "numlib.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Formats fmt with its arguments onto out. Conversions: d i u x c (of an int) and s, e f g a
// (any case, with flags, width and precision; l before a floating-point conversion), %%. A
// floating-point value that is not finite is written "nan", "-nan", "inf" or "-inf" (upper case for
// E F G A), right-aligned in the field width (left with the '-' flag), as glibc prints them.
void fmt_append(std::string& out, const char* fmt, const FmtArg* args, int nargs) {
    int next = 0;
    auto arg = [&]() { return next < nargs ? args[next++] : FmtArg(0); };
    char spec[32], piece[512];
    for (const char* p = fmt; *p != '\0';) {
        if (*p != '%') {
            const char* q = std::strchr(p, '%');
            std::size_t k = q != nullptr ? static_cast<std::size_t>(q - p) : std::strlen(p);
            out.append(p, k);
            p += k;
            continue;
        }
        const char* s = p++;
        while (*p != '\0' && std::strchr("-+ #0123456789.l", *p) != nullptr)
            ++p;
        char conv = *p != '\0' ? *p++ : '%';
        std::size_t len = static_cast<std::size_t>(p - s);
        if (len >= sizeof spec)
            len = sizeof spec - 1;
        std::memcpy(spec, s, len);
        spec[len] = '\0';
        int n = 0;
        switch (conv) {
        case '%': out += '%'; continue;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            double v = arg().d;
            if (std::isfinite(v)) {
                n = std::snprintf(piece, sizeof piece, spec, v);
                break;
            }
            bool upper = std::isupper(static_cast<unsigned char>(conv)) != 0;
            const char* word = std::isnan(v) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
            std::size_t wlen = 3 + (std::signbit(v) ? 1 : 0);
            // The width, where the conversion has one: digits after the flags.
            const char* w = spec + 1;
            bool left = false;
            while (*w != '\0' && std::strchr("-+ #0", *w) != nullptr)
                left = left || *w++ == '-';
            auto width = static_cast<std::size_t>(std::atoi(w));
            std::size_t pad = width > wlen ? width - wlen : 0;
            if (!left)
                out.append(pad, ' ');
            if (std::signbit(v))
                out += '-';
            out.append(word, 3);
            if (left)
                out.append(pad, ' ');
            continue;
        }
        case 's': n = std::snprintf(piece, sizeof piece, spec, arg().s); break;
        default: n = std::snprintf(piece, sizeof piece, spec, arg().i);
        }
        if (n > 0)
            out.append(piece, static_cast<std::size_t>(n) < sizeof piece ? n : sizeof piece - 1);
    }
}

int fmt_numv(char* buf, std::size_t size, const char* fmt, const FmtArg* args, int n) {
    std::string s;
    fmt_append(s, fmt, args, n);
    if (size > 0) {
        std::size_t k = s.size() < size ? s.size() : size - 1;
        std::memcpy(buf, s.data(), k);
        buf[k] = '\0';
    }
    return static_cast<int>(s.size());
}

std::string fmt_up(double v) {
    char b[48];
    fmt_nums(b, sizeof b, "%.2e", v);
    if (!std::isfinite(v) || v < 0 || std::strtod(b, nullptr) >= v)
        return b;
    // "d.dde+XX": one more in the last digit, carried.
    int m = (b[0] - '0') * 100 + (b[2] - '0') * 10 + (b[3] - '0') + 1;
    int e = std::atoi(b + 5);
    if (m == 1000) {
        m = 100;
        ++e;
    }
    int a = e < 0 ? -e : e;
    return std::string{static_cast<char>('0' + m / 100), '.', static_cast<char>('0' + m / 10 % 10),
                       static_cast<char>('0' + m % 10),  'e', e < 0 ? '-' : '+'} +
           (a < 10 ? "0" : "") + std::to_string(a);
}
