// number: the number grammar, its correctly rounded conversion, and the "%lg" reads.
#include "numlib.hpp"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

namespace {
// The white space at the start of b: its length, and the LF bytes in it into *lfs.
inline std::size_t space_run(std::string_view b, int* lfs) {
    std::size_t k = 0;
    int n = 0;
    for (; k < b.size() && is_space(static_cast<unsigned char>(b[k])); ++k)
        n += b[k] == '\n';
    *lfs = n;
    return k;
}

inline bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

const char* digits(const char* p, const char* e) {
    while (p < e && is_digit(*p))
        ++p;
    return p;
}

bool* beyond(ScanNote* note) {
    return note != nullptr ? &note->beyond : nullptr;
}

// The value of a whole token into *v, noted when beyond range.
Scan token_value(const std::string& tok, double* v, ScanNote* note) {
    *v = num_value(tok.data(), tok.data() + tok.size(), beyond(note));
    if (note != nullptr && note->beyond)
        note->text = tok;
    return Scan::number;
}

// The slow path of scan_num: byte by byte through tf_getc, for a number that crosses a
// block boundary, follows pushed-back bytes or runs into a byte 26.
Scan scan_slow(TextFile& t, double* v, bool* hit_eof, ScanNote* note) {
    static thread_local std::string tok;
    tok.clear();
    int c = tf_getc(t);
    while (is_space(c)) {
        if (c == '\n' && note != nullptr)
            ++note->lfs;
        c = tf_getc(t);
    }
    if (c == '+' || c == '-') {
        tok += static_cast<char>(c);
        c = tf_getc(t);
    }
    int nd = 0;
    for (; is_digit(c); c = tf_getc(t), ++nd)
        tok += static_cast<char>(c);
    if (c == '.') {
        tok += static_cast<char>(c);
        for (c = tf_getc(t); is_digit(c); c = tf_getc(t), ++nd)
            tok += static_cast<char>(c);
    }
    if (nd == 0) {
        // Not a number: leave what was read unread.
        if (c == -1)
            *hit_eof = true;
        else
            tf_ungetc(t, c);
        for (auto i = tok.size(); i-- > 0;)
            tf_ungetc(t, static_cast<unsigned char>(tok[i]));
        return c == -1 && tok.empty() ? Scan::eof : Scan::not_number;
    }
    if (c == 'e' || c == 'E') {
        int e = c, s = 0;
        c = tf_getc(t);
        if (c == '+' || c == '-') {
            s = c;
            c = tf_getc(t);
        }
        if (is_digit(c)) {
            tok += static_cast<char>(e);
            if (s != 0)
                tok += static_cast<char>(s);
            for (; is_digit(c); c = tf_getc(t))
                tok += static_cast<char>(c);
        } else {
            // A partial exponent is not part of the number: leave "e", "e+" unread.
            if (c == -1)
                *hit_eof = true;
            else
                tf_ungetc(t, c);
            if (s != 0)
                tf_ungetc(t, s);
            tf_ungetc(t, e);
            return token_value(tok, v, note);
        }
    }
    if (c == -1)
        *hit_eof = true;
    else
        tf_ungetc(t, c);
    return token_value(tok, v, note);
}
// The number at the start of b (not white space), converted in place when it ends inside b:
// *used is its length. Returns Scan::eof (meaning: undecided) when it could continue past b.
[[gnu::always_inline]] inline Scan scan_block(std::string_view b, double* v, std::size_t* used,
                                              ScanNote* note) {
    const char* p = b.data();
    const char* e = p + b.size();
    const char* s = p + (*p == '+' || *p == '-');
    if (s == e)
        return Scan::eof;
    if (!is_digit(*s) && *s != '.')
        return Scan::not_number;
    // from_chars takes the longest number of this grammar (after the sign) by itself.
    double d = 0.0;
    auto r = std::from_chars(s, e, d, std::chars_format::general);
    const char* q = r.ptr;
    if (r.ec == std::errc::invalid_argument)
        return s + 1 < e ? Scan::not_number : Scan::eof;
    if (q == e ||
        ((*q == 'e' || *q == 'E') && (q + 1 == e || ((q[1] == '+' || q[1] == '-') && q + 2 == e))))
        return Scan::eof;
    if (r.ec == std::errc::result_out_of_range) {
        d = num_value(s, q, beyond(note));
        if (note != nullptr)
            note->text.assign(p, q);
    }
    *v = *p == '-' ? -d : d;
    *used = static_cast<std::size_t>(q - p);
    return Scan::number;
}
} // namespace

std::size_t num_prefix(const char* p, const char* e, bool* partial) {
    *partial = false;
    const char* s = p;
    if (s < e && (*s == '+' || *s == '-'))
        ++s;
    const char* d = digits(s, e);
    auto nd = d - s;
    s = d;
    if (s < e && *s == '.') {
        d = digits(s + 1, e);
        nd += d - (s + 1);
        s = d;
    }
    if (s == e) {
        *partial = true;
        return nd > 0 ? static_cast<std::size_t>(s - p) : 0;
    }
    if (nd == 0)
        return 0;
    auto len = static_cast<std::size_t>(s - p);
    if (*s == 'e' || *s == 'E') {
        const char* q = s + 1;
        if (q < e && (*q == '+' || *q == '-'))
            ++q;
        if (q == e) {
            *partial = true;
            return len;
        }
        if (is_digit(*q)) {
            q = digits(q, e);
            *partial = q == e;
            len = static_cast<std::size_t>(q - p);
        }
    }
    return len;
}

double num_value(const char* p, const char* e, bool* beyond) {
    bool neg = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    double v = 0.0;
    auto r = std::from_chars(p, e, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Overflow or underflow: strtod gives the infinity or the signed zero.
        std::string s(p, e);
        v = std::strtod(s.c_str(), nullptr);
        if (beyond != nullptr)
            *beyond = true;
    }
    return neg ? -v : v;
}

Scan scan_num(TextFile& t, double* v, bool* hit_eof, ScanNote* note) {
    if (note != nullptr) {
        note->lfs = 0;
        note->beyond = false;
    }
    // Fast path: the number lies wholly inside the delivered bytes of the block. Pushed-back
    // bytes come first, so they take the slow path.
    std::string_view b;
    while (!tf_pushed(t)) {
        b = tf_peek(t);
        int lfs = 0;
        std::size_t k = space_run(b, &lfs);
        if (note != nullptr)
            note->lfs += lfs;
        tf_skip(t, k);
        b.remove_prefix(k);
        if (!b.empty())
            break;
        if (!tf_more(t)) {
            *hit_eof = true;
            return Scan::eof;
        }
    }
    if (!b.empty()) {
        std::size_t used = 0;
        Scan r = scan_block(b, v, &used, note);
        if (r != Scan::eof) {
            tf_skip(t, used);
            return r;
        }
    }
    return scan_slow(t, v, hit_eof, note);
}

int read_pair(TextFile& t, double* x, double* y, bool* stuck, ScanNote* notes) {
    bool eof = false;
    *stuck = false;
    ScanNote* nx = notes;
    ScanNote* ny = notes != nullptr ? notes + 1 : nullptr;
    // Fast path: both numbers wholly inside the delivered bytes of the block. Anything else
    // (a number at the block's end, text that is not a number) goes the general way, from
    // the first number not yet taken.
    if (std::string_view b = tf_peek(t); !b.empty()) {
        if (notes != nullptr)
            notes[0].beyond = notes[1].beyond = false;
        int lx = 0, ly = 0;
        std::size_t ux = 0, uy = 0;
        std::string_view bx = b;
        bx.remove_prefix(space_run(bx, &lx));
        if (!bx.empty() && scan_block(bx, x, &ux, nx) == Scan::number) {
            std::string_view by = bx;
            by.remove_prefix(ux);
            by.remove_prefix(space_run(by, &ly));
            if (nx != nullptr)
                nx->lfs = lx;
            if (!by.empty() && scan_block(by, y, &uy, ny) == Scan::number) {
                tf_skip(t, b.size() - by.size() + uy);
                if (ny != nullptr)
                    ny->lfs = ly;
                return 2;
            }
            tf_skip(t, b.size() - bx.size() + ux);
            Scan s = scan_num(t, y, &eof, ny);
            *stuck = s == Scan::not_number;
            return s == Scan::number ? 2 : 1;
        }
    }
    Scan s = scan_num(t, x, &eof, notes);
    if (s != Scan::number) {
        *stuck = s == Scan::not_number;
        return 0;
    }
    if (eof)
        return 1;
    s = scan_num(t, y, &eof, ny);
    *stuck = s == Scan::not_number;
    return s == Scan::number ? 2 : 1;
}

std::string take_word(TextFile& t, std::size_t max) {
    std::string w;
    int c;
    while (w.size() < max && (c = tf_getc(t)) != -1 && !is_space(c))
        w += static_cast<char>(c);
    return w;
}

bool number_arg(const char* s, double* v) {
    bool partial = false;
    std::size_t len = std::strlen(s);
    if (len == 0 || num_prefix(s, s + len, &partial) != len)
        return false;
    *v = num_value(s, s + len);
    return true;
}

bool count_arg(const char* s, long long* n) {
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (errno != 0 || end == s || *end != '\0' || v < 1)
        return false;
    *n = v;
    return true;
}
