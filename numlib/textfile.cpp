// textfile: the block reader that applies the text-mode reading rules, and the line count.
#include "numlib.hpp"
#include "sys.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
constexpr std::size_t file_block = std::size_t{1} << 20;
// Standard input is read in smaller blocks; a read returns whatever is available.
constexpr std::size_t stdin_block = std::size_t{1} << 16;

std::size_t find(const char* b, int c, std::size_t from, std::size_t n) {
    const void* p = std::memchr(b + from, c, n - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - b) : n;
}

} // namespace

// The reader's routines: the only code that sees a TextFile's fields.
struct TextFileOps {
    static void reset(TextFile& t) {
        t.beg = t.end = t.rpos = t.rlen = 0;
        t.next13 = t.next26 = 0;
        t.cr_pending = t.mark = t.raw_end = t.unget_ok = t.saw13 = false;
        t.nback = 0;
    }

    static bool attach(TextFile& t, int fd, bool own, std::size_t cap) {
        t = TextFile{};
        t.buf = static_cast<char*>(std::malloc(cap));
        if (t.buf == nullptr) {
            if (own)
                sys_close(fd);
            return false;
        }
        t.fd = fd;
        t.own = own;
        t.cap = cap;
        return true;
    }

    // Up to n raw bytes from offset off (-1: the next of a pipe): from memory, by a positional
    // read, or by a sequential one.
    static long raw_read(const TextFile& t, std::int64_t off, char* to, std::size_t n) {
        if (t.mem != nullptr) {
            std::int64_t k = off < t.mem_len ? t.mem_len - off : 0;
            if (static_cast<std::uint64_t>(k) > n)
                k = static_cast<std::int64_t>(n);
            if (k > 0)
                std::memcpy(to, t.mem + off, static_cast<std::size_t>(k));
            return static_cast<long>(k);
        }
        return off >= 0 ? sys_pread(t.fd, to, n, off) : sys_read(t.fd, to, n);
    }

    static long read_at(const TextFile& t, std::int64_t off, char* to, std::size_t n) {
        return t.pos < 0 ? -1 : raw_read(t, off, to, n);
    }

    // Reads the next raw block; false at the end of the file (or of the range) or on an error.
    static bool refill(TextFile& t) {
        if (t.raw_end)
            return false;
        std::size_t want = t.cap;
        if (t.left >= 0 && static_cast<std::uint64_t>(t.left) < want)
            want = static_cast<std::size_t>(t.left);
        long k = want > 0 ? raw_read(t, t.pos, t.buf, want) : 0;
        if (k > 0 && t.left >= 0)
            t.left -= k;
        if (k > 0 && t.pos >= 0)
            t.pos += k;
        t.beg = t.end = t.rpos = t.rlen = 0;
        if (k <= 0) {
            if (k < 0 && t.error == 0)
                t.error = errno != 0 ? errno : EIO;
            t.raw_end = true;
            return false;
        }
        t.rlen = static_cast<std::size_t>(k);
        t.next13 = find(t.buf, 13, 0, t.rlen);
        t.next26 = find(t.buf, 26, 0, t.rlen);
        return true;
    }

    // Turns raw bytes buf[rpos..rlen) into delivered bytes, in place, up to the end of the
    // block or the first byte 26 (which sets the mark). Bytes without CR or 26 stay where they
    // are; only a CR makes the rest of its block move down.
    static void cook(TextFile& t) {
        char* b = t.buf;
        std::size_t r = t.rpos, w = t.rpos, n = t.rlen;
        t.beg = w;
        if (t.cr_pending) {
            t.cr_pending = false;
            if (b[r] == 26) {
                t.rpos = r + 1;
                t.end = w;
                t.mark = true;
                return;
            }
            b[w++] = b[r++];
        }
        while (r < n) {
            if (t.next13 < r)
                t.next13 = find(b, 13, r, n);
            if (t.next26 < r)
                t.next26 = find(b, 26, r, n);
            std::size_t p = t.next13 < t.next26 ? t.next13 : t.next26;
            if (p > r) {
                if (w != r)
                    std::memmove(b + w, b + r, p - r);
                w += p - r;
                r = p;
            }
            if (r == n)
                break;
            if (b[r++] == 26) {
                t.mark = true;
                break;
            }
            // A CR: dropped; the byte after it is delivered without a look for CR.
            t.saw13 = true;
            if (r == n) {
                t.cr_pending = true;
                break;
            }
            if (b[r] == 26) {
                ++r;
                t.mark = true;
                break;
            }
            b[w++] = b[r++];
        }
        t.rpos = r;
        t.end = w;
    }

    static bool more(TextFile& t) {
        for (;;) {
            if (t.beg < t.end)
                return true;
            if (t.mark) {
                t.mark = false;
                return false;
            }
            if (t.rpos == t.rlen && !refill(t)) {
                t.cr_pending = false; // a CR at the very end is dropped
                return false;
            }
            cook(t);
        }
    }

    static int get(TextFile& t) {
        t.unget_ok = false;
        if (t.nback > 0)
            return t.back[--t.nback];
        if (t.beg == t.end && !more(t))
            return -1;
        t.unget_ok = true;
        return static_cast<unsigned char>(t.buf[t.beg++]);
    }

    static void unget(TextFile& t, int c) {
        if (t.unget_ok) {
            t.unget_ok = false;
            --t.beg;
            return;
        }
        t.back[t.nback++] = static_cast<unsigned char>(c);
    }

    static std::string_view block(TextFile& t) {
        t.unget_ok = false;
        if (t.nback > 0) {
            // Pushed-back bytes, in the order they are read, moved to the end of back[].
            int k = t.nback;
            t.nback = 0;
            for (int i = 0; i < k / 2; ++i) {
                unsigned char c = t.back[i];
                t.back[i] = t.back[k - 1 - i];
                t.back[k - 1 - i] = c;
            }
            return {reinterpret_cast<const char*>(t.back), static_cast<std::size_t>(k)};
        }
        if (!more(t))
            return {};
        std::string_view v(t.buf + t.beg, t.end - t.beg);
        t.beg = t.end;
        return v;
    }

    static int failed(const TextFile& t) { return t.error; }

    static std::int64_t size(const TextFile& t) {
        return t.mem != nullptr ? t.mem_len : t.fd >= 0 ? sys_size(t.fd) : -1;
    }

    // A file by positional reads from its start, or standard input (positional: false).
    static bool open_fd(TextFile& t, int fd, bool own, std::size_t cap, bool positional) {
        if (fd < 0 || !attach(t, fd, own, cap))
            return false;
        t.pos = positional ? 0 : -1;
        return true;
    }

    static bool open_memory(TextFile& t, const char* data, std::int64_t len, std::size_t cap) {
        if (!attach(t, -1, false, cap))
            return false;
        t.mem = data;
        t.mem_len = len;
        t.pos = 0;
        return true;
    }

    static void shut(TextFile& t) {
        if (t.own && t.fd >= 0)
            sys_close(t.fd);
        if (t.own_buf)
            std::free(t.buf);
        t = TextFile{};
    }

    static bool restart(TextFile& t) {
        reset(t);
        t.error = 0;
        t.left = t.limit;
        if (t.pos >= 0) {
            t.pos = t.start;
            return true;
        }
        return sys_seek(t.fd, t.start);
    }

    static bool open_range(TextFile& t, const TextFile& whole, std::int64_t off, std::int64_t len,
                           char* buf, std::size_t cap) {
        if (whole.pos < 0 || buf == nullptr || cap == 0)
            return false;
        t = TextFile{};
        t.fd = whole.fd;
        t.mem = whole.mem;
        t.mem_len = whole.mem_len;
        t.own = false;
        t.own_buf = false;
        t.buf = buf;
        t.cap = cap;
        t.start = off;
        t.limit = len;
        t.pos = off;
        return restart(t);
    }

    // After the count stopped at a byte 26: whether any later byte is other than white space
    // (further bytes 26 included as white space, as a padded end of file).
    static bool text_after(TextFile& t) {
        for (;;) {
            while (more(t)) {
                if (has_text(t.buf + t.beg, t.buf + t.end))
                    return true;
                t.beg = t.end;
            }
            if (t.raw_end && t.rpos == t.rlen && !t.mark)
                return false;
        }
    }

    static std::int64_t count(TextFile& t, TailNotes* tail) {
        std::int64_t c = 0;
        bool text = false; // text since the last line end
        while (t.nback > 0) {
            int b = get(t);
            c += b == '\n';
            text = b != '\n' && (text || !is_space(b));
        }
        while (more(t)) {
            const char* p = t.buf + t.beg;
            const char* e = t.buf + t.end;
            const char* last = nullptr;
            while ((p = static_cast<const char*>(std::memchr(p, '\n', e - p))) != nullptr) {
                ++c;
                last = p++;
            }
            if (tail != nullptr)
                text = last != nullptr ? has_text(last + 1, e) : text || has_text(t.buf + t.beg, e);
            t.beg = t.end;
        }
        if (tail != nullptr) {
            tail->unended = text;
            tail->cr_only = c == 0 && text && t.saw13;
            tail->ended26 = !(t.raw_end && t.rpos == t.rlen);
            tail->after26 = tail->ended26 && text_after(t);
        }
        if (t.error || !restart(t))
            return -1;
        return c;
    }
};

bool tf_open(TextFile& t, const char* path, std::size_t cap) {
    return TextFileOps::open_fd(t, sys_open_read(path), true, cap == 0 ? file_block : cap, true);
}
bool tf_open_memory(TextFile& t, const char* data, std::int64_t len, std::size_t cap) {
    return TextFileOps::open_memory(t, data, len, cap == 0 ? file_block : cap);
}
long tf_read_at(const TextFile& whole, std::int64_t off, char* buf, std::size_t n) {
    return TextFileOps::read_at(whole, off, buf, n);
}
bool tf_open_range(TextFile& t, const TextFile& whole, std::int64_t off, std::int64_t len,
                   char* buf, std::size_t cap) {
    return TextFileOps::open_range(t, whole, off, len, buf, cap);
}
bool tf_open_stdin(TextFile& t) {
    return TextFileOps::open_fd(t, sys_stdin(), false, stdin_block, false);
}
void tf_close(TextFile& t) {
    TextFileOps::shut(t);
}
std::int64_t tf_size(const TextFile& t) {
    return TextFileOps::size(t);
}
bool tf_more(TextFile& t) {
    return TextFileOps::more(t);
}
int tf_getc(TextFile& t) {
    return TextFileOps::get(t);
}
void tf_ungetc(TextFile& t, int c) {
    TextFileOps::unget(t, c);
}
std::string_view tf_block(TextFile& t) {
    return TextFileOps::block(t);
}
int tf_failed(const TextFile& t) {
    return TextFileOps::failed(t);
}
std::int64_t count_lines(TextFile& t) {
    return TextFileOps::count(t, nullptr);
}
std::int64_t count_lines(TextFile& t, TailNotes* tail) {
    return TextFileOps::count(t, tail);
}
