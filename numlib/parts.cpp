// parts: the parallel read of a large table: the file cut just after line ends into parts,
// each counted and then read on a thread of its own, and the join that proves the parts read
// as the one-thread read does.
#include "parts.hpp"

#include <cstdlib>
#include <cstring>

namespace {
constexpr unsigned max_parts = 8;

// True when the byte before off is an LF: the reads before off and after it then meet no
// token and no CR rule across it. (A CR or a byte 26 there reads as no byte at all.)
bool after_lf(const TextFile& whole, std::int64_t off) {
    char b = 0;
    return tf_read_at(whole, off - 1, &b, 1) == 1 && b == '\n';
}

// Counts the line ends of the part as the count of the whole file would meet them: the part
// read alone, from just after an LF, delivers the same bytes. A part that does not start the
// file must start just after an LF, or it fails.
void count_part(const TextFile& whole, PartCount& c) {
    TextFile f;
    c.failed = (c.off > 0 && !after_lf(whole, c.off)) ||
               !tf_open_range(f, whole, c.off, c.len, c.buf, part_block);
    if (c.failed)
        return;
    TailNotes tail;
    c.lf = count_lines(f, &tail);
    c.failed = c.lf < 0;
    c.has26 = tail.ended26;
    c.text = tail.unended;
    tf_close(f);
}

// What one part's reads found, for the join.
struct PartRead {
    bool ok = false;         // every line of the part gave a pair, and nothing else
    std::int64_t order = -1; // first row of the part whose x does not exceed the row before
    bool repeat = false;
};

// Reads the rows of part c into x[0 .. c.lf), y[0 .. c.lf): exactly c.lf pairs, then (but
// for the last part) nothing other than white space. Anything else leaves ok false.
void read_part(const TextFile& whole, const PartCount& c, bool last, double* x, double* y,
               PartRead& r) {
    TextFile f;
    if (!tf_open_range(f, whole, c.off, c.len, c.buf, part_block))
        return;
    bool stuck = false;
    LineTally lines;
    ScanNote sn[2];
    for (std::int64_t i = 0; i < c.lf; ++i) {
        // A pair short of a line, a line without one, or a value beyond range: the one-thread
        // read says where.
        if (read_pair(f, x + i, y + i, &stuck, sn) != 2 || sn[0].beyond || sn[1].beyond) {
            tf_close(f);
            return;
        }
        lines.add_pair(sn[0].lfs, sn[1].lfs);
        if (lines.odd >= 0) {
            tf_close(f);
            return;
        }
        if (i > 0 && !(x[i] > x[i - 1]) && r.order < 0) {
            r.order = i;
            r.repeat = x[i] == x[i - 1];
        }
    }
    double v = 0.0;
    bool eof = false;
    r.ok = (last || scan_num(f, &v, &eof) == Scan::eof) && !tf_failed(f);
    tf_close(f);
}

} // namespace

std::vector<PartCount> parts_of(std::int64_t size, std::span<const std::int64_t> cuts) {
    std::vector<PartCount> parts;
    std::int64_t at = 0;
    for (std::int64_t c : cuts) {
        if (c <= at || c >= size)
            continue;
        parts.push_back({at, c - at});
        at = c;
    }
    parts.push_back({at, size - at});
    return parts;
}

bool count_parts(const TextFile& whole, std::vector<PartCount>& parts, std::int64_t* n,
                 TailNotes* tail) {
    run_jobs(parts.size(), static_cast<int>(parts.size()),
             [&](std::size_t k) { count_part(whole, parts[k]); });
    *n = 0;
    bool text = false;
    for (const PartCount& c : parts) {
        if (c.has26 || c.failed)
            return false;
        *n += c.lf;
        text = c.lf > 0 ? c.text : text || c.text;
    }
    if (*n == 0)
        return false; // no line end at all: the one-thread count tells CRs alone apart
    tail->unended = text;
    tail->after26 = false;
    return true;
}

bool read_parts(const TextFile& whole, const std::vector<PartCount>& parts, double* x, double* y,
                TableNotes& notes) {
    std::vector<std::int64_t> row(parts.size() + 1, 0);
    for (std::size_t k = 0; k < parts.size(); ++k)
        row[k + 1] = row[k] + parts[k].lf;
    std::vector<PartRead> reads(parts.size());
    run_jobs(parts.size(), static_cast<int>(parts.size()), [&](std::size_t k) {
        read_part(whole, parts[k], k + 1 == parts.size(), x + row[k], y + row[k], reads[k]);
    });
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (!reads[k].ok)
            return false;
        // The first row of a part follows the last row of the part before it.
        std::int64_t j = row[k];
        if (notes.order_row < 0 && k > 0 && parts[k].lf > 0 && j > 0 && !(x[j] > x[j - 1])) {
            notes.order_row = j;
            notes.order_repeat = x[j] == x[j - 1];
        }
        if (notes.order_row < 0 && reads[k].order >= 0) {
            notes.order_row = row[k] + reads[k].order;
            notes.order_repeat = reads[k].repeat;
        }
    }
    notes.rows_read = row.back();
    return true;
}

std::vector<std::int64_t> auto_cuts(const TextFile& whole, int threads) {
    std::size_t parts = threads < 2 ? 1
                        : static_cast<unsigned>(threads) > max_parts
                            ? max_parts
                            : static_cast<std::size_t>(threads);
    std::vector<std::int64_t> cuts;
    if (parts < 2)
        return cuts;
    std::int64_t size = tf_size(whole);
    if (size < split_min)
        return cuts;
    char buf[4096];
    for (std::size_t k = 1; k < parts; ++k) {
        std::int64_t at = size / static_cast<std::int64_t>(parts) * static_cast<std::int64_t>(k);
        // The next LF within 1 MiB of there, else no cut.
        for (std::int64_t end = at + (std::int64_t{1} << 20); at < end;) {
            long got = tf_read_at(whole, at, buf, sizeof buf);
            if (got <= 0)
                break;
            if (const void* lf = std::memchr(buf, '\n', static_cast<std::size_t>(got))) {
                cuts.push_back(at + (static_cast<const char*>(lf) - buf) + 1);
                break;
            }
            at += got;
        }
    }
    return cuts;
}

bool part_buffers(std::vector<PartCount>& parts) {
    for (PartCount& c : parts) {
        c.buf = static_cast<char*>(std::malloc(part_block));
        if (c.buf == nullptr) {
            free_part_buffers(parts);
            return false;
        }
    }
    return true;
}

void free_part_buffers(std::vector<PartCount>& parts) {
    for (PartCount& c : parts) {
        std::free(c.buf);
        c.buf = nullptr;
    }
}
