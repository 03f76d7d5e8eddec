// The text-mode reader, the line count and the loader, on files with every kind of oddity.
#include "harness.hpp"
#include "numlib.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <vector>

namespace {
constexpr double inf = HUGE_VAL;

struct Loaded {
    Load status;
    int n;
    std::vector<double> xa, ya;
};

Loaded load_bytes(const std::string& bytes, int first = 0, int pad = 0, int min_n = 0) {
    TempDir d;
    write_file(d.path / "loren.out", bytes);
    SampleTable t;
    Load s = load_table((d.path / "loren.out").string().c_str(), {first, pad}, min_n, t);
    Loaded r{s, t.n, {}, {}};
    if (s == Load::ok) {
        r.xa.assign(t.xa, t.xa + t.n + pad);
        r.ya.assign(t.ya, t.ya + t.n + pad);
        free_table(t);
    }
    return r;
}

// Bitwise equality, so -0.0 and 0.0 differ and NaN equals NaN.
bool same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expect_values(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(same(got[i], want[i])) << "entry " << i << ": " << got[i] << " vs " << want[i];
}

struct Case {
    const char* name;
    std::string bytes;
    int n;
    std::vector<double> xa, ya;
};

const std::string big1 = "1" + std::string(199, '0');

const Case cases[] = {
    {"lf", "1 2\n3 4\n", 2, {1, 3}, {2, 4}},
    {"crlf", "1 2\r\n3 4\r\n", 2, {1, 3}, {2, 4}},
    {"lone cr ends lines: no count", "1 2\r3 4\r", 0, {}, {}},
    {"lone cr joins bytes", "1\r2 3\n", 1, {12}, {3}},
    {"cr cr lf reads as cr lf", "1 2\r\r\n3 4\r\r\n", 2, {1, 3}, {2, 4}},
    {"byte 26 ends the count",
     "1 2\n3 4\n\x1a"
     "5 6\n",
     2,
     {1, 3},
     {2, 4}},
    {"cr then 26 is end of file",
     "1 2\n\r\x1a"
     "3 4\n",
     1,
     {1},
     {2}},
    {"read after 26 goes on",
     "1 2\n\n\n\x1a"
     "5 6\n",
     3,
     {1, 0, 5},
     {2, 0, 6}},
    {"26 ends the pair read",
     "1 2\n\n3\x1a"
     "4\n",
     2,
     {1, 3},
     {2, 0}},
    {"blank line counts", "1 2\n\n3 4\n", 3, {1, 3, 0}, {2, 4, 0}},
    {"last line without lf", "1 2\n3 4", 1, {1}, {2}},
    {"header line", "x y\n1 2\n", 2, {0, 0}, {0, 0}},
    {"three numbers shift", "1 2 3\n4 5\n", 2, {1, 3}, {2, 4}},
    {"200 digits", big1 + " 1e-5\n", 1, {1e199}, {1e-5}},
    {"partial exponent e", "1e 2\n3 4\n", 2, {1, 0}, {0, 0}},
    {"partial exponent e+", "1e+ 2\n", 1, {1}, {0}},
    {"exponents", "1e5 2e-1\n1E+2 3\n", 2, {1e5, 100}, {0.2, 3}},
    {"empty file", "", 0, {}, {}},
    {"range ends", "1e999 -1e999\n1e-999 -1e-999\n", 2, {inf, 0.0}, {-inf, -0.0}},
    {"signs and points", "-.5 +.5\n5. -0\n", 2, {-0.5, 5}, {0.5, -0.0}},
    {"white space kinds", "1\t2\n\v3\f4\n", 2, {1, 3}, {2, 4}},
    {"no words for inf or nan", "inf nan\n", 1, {0}, {0}},
    {"no hexadecimal", "0x10 1\n", 1, {0}, {0}},
    {"a point alone is no number", ". 1\n", 1, {0}, {0}},
};

} // namespace

TEST(Loader, TableOfFiles) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded r = load_bytes(c.bytes);
        ASSERT_EQ(r.status, Load::ok);
        EXPECT_EQ(r.n, c.n);
        expect_values(r.xa, c.xa);
        expect_values(r.ya, c.ya);
    }
}

TEST(Loader, PaddedLayoutFillsOneToN) {
    Loaded r = load_bytes("1 2\n3 4\n", 1, 2, 2);
    ASSERT_EQ(r.status, Load::ok);
    EXPECT_EQ(r.n, 2);
    expect_values(r.xa, {0, 1, 3, 0});
    expect_values(r.ya, {0, 2, 4, 0});
}

TEST(Loader, Outcomes) {
    EXPECT_EQ(load_bytes("1 2\n", 0, 0, 2).status, Load::too_few);
    EXPECT_EQ(load_bytes("", 0, 0, 1).status, Load::too_few);
    SampleTable t;
    EXPECT_EQ(load_table("/nonexistent/loren.out", {}, 0, t), Load::cannot_open);
    TempDir d;
    // A folder opens on some systems but cannot be read: it counts as not opened.
    EXPECT_EQ(load_table(d.path.string().c_str(), {}, 0, t), Load::cannot_open);
}

// The load with the parts cut at every byte (and at every pair of bytes, for the short files)
// gives what the one-thread load gives: status, count, every entry's bits and the notes.
TEST(Loader, SplitsAnywhereGiveTheOneThreadRead) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const Case& c : cases)
        files.emplace_back(c.name, c.bytes);
    const std::pair<const char*, const char*> more[] = {
        {"well formed", "1 2\n3 4\n5 6\n7 8\n"},
        {"crlf, unended", "1 2\r\n3 4\r\n5 6\r\n7"},
        {"order breaks at a line end", "1 2\n3 4\n3 5\n2 6\n"},
        {"cr cr lf", "1 2\r\r\n3 4\r\r\n"},
        {"two on a line, none on the next", "1 2 3 4\n\n5 6\n"},
        {"cuts inside numbers", "2\n12\n1e"},
        {"tabs and a long number", "1\t2\n0.000000000000000000000000001 3e-2\n-4 5\n"},
    };
    for (const auto& [name, bytes] : more)
        files.emplace_back(name, bytes);
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        TempDir d;
        std::string path = (d.path / "loren.out").string();
        write_file(path, bytes);
        auto load = [&](std::vector<std::int64_t> cuts) {
            SampleTable t;
            Load s = load_table_split(path.c_str(), {1, 2}, 0, t, cuts);
            Loaded r{s, t.n, {}, {}};
            if (s == Load::ok) {
                r.xa.assign(t.xa, t.xa + t.n + 2);
                r.ya.assign(t.ya, t.ya + t.n + 2);
            }
            std::ostringstream o;
            const TableNotes& m = t.notes;
            o << m.lines << " " << m.rows_read << " " << m.stuck_after << " " << m.order_row << " "
              << m.order_repeat << " " << m.tail.unended << " " << m.tail.after26;
            free_table(t);
            return std::make_pair(r, o.str());
        };
        auto [want, want_notes] = load({});
        auto n = static_cast<std::int64_t>(bytes.size());
        for (std::int64_t a = 1; a < n; ++a)
            for (std::int64_t b = n < 24 ? a : n; b <= n; ++b) {
                std::vector<std::int64_t> cuts{a};
                if (b > a && b < n)
                    cuts.push_back(b);
                SCOPED_TRACE("cuts at " + std::to_string(a) + ", " + std::to_string(b));
                auto [got, got_notes] = load(cuts);
                ASSERT_EQ(got.status, want.status);
                ASSERT_EQ(got.n, want.n);
                expect_values(got.xa, want.xa);
                expect_values(got.ya, want.ya);
                ASSERT_EQ(got_notes, want_notes);
            }
    }
}

// The rules, byte by byte, as a plain model: the delivered bytes, -1 for each end of file.
std::vector<int> delivered(const std::string& raw) {
    std::vector<int> out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        int c = static_cast<unsigned char>(raw[i]);
        if (c == 13) {
            if (++i == raw.size())
                break;
            c = static_cast<unsigned char>(raw[i]);
        }
        out.push_back(c == 26 ? -1 : c);
    }
    out.push_back(-1);
    return out;
}

struct Read {
    std::int64_t n;
    std::vector<double> v;
    std::vector<int> got;
};

// Count, then read pairs until the count is reached, through a reader of the given block.
Read read_with_block(const fs::path& p, std::size_t cap) {
    TextFile t;
    EXPECT_TRUE(tf_open(t, p.string().c_str(), cap));
    Read r{count_lines(t), {}, {}};
    for (std::int64_t i = 0; i < r.n; ++i) {
        double x = 0, y = 0;
        bool stuck;
        r.got.push_back(read_pair(t, &x, &y, &stuck));
        r.v.push_back(x);
        r.v.push_back(y);
    }
    tf_close(t);
    return r;
}

TEST(Reader, SmallBlocksAgreeWithLargeOnRandomFiles) {
    std::mt19937 g(12345);
    const std::string alphabet = "0123456789012345678.e-+ \n\n\r\x1a"
                                 "Ex\t";
    for (int iter = 0; iter < 300; ++iter) {
        std::string raw;
        auto len = g() % 400;
        for (unsigned i = 0; i < len; ++i)
            raw += alphabet[g() % alphabet.size()];
        TempDir d;
        write_file(d.path / "loren.out", raw);
        std::vector<int> model = delivered(raw);
        std::int64_t lf = 0;
        for (int c : model) {
            if (c == -1)
                break;
            lf += c == '\n';
        }
        Read big = read_with_block(d.path / "loren.out", 0);
        ASSERT_EQ(big.n, lf) << "file " << iter;
        for (std::size_t cap : {1, 2, 3, 7, 64}) {
            Read small = read_with_block(d.path / "loren.out", cap);
            ASSERT_EQ(small.n, lf);
            ASSERT_EQ(small.got, big.got) << "file " << iter << " block " << cap;
            for (std::size_t i = 0; i < big.v.size(); ++i)
                ASSERT_TRUE(same(small.v[i], big.v[i])) << "file " << iter << " block " << cap;
        }
    }
}

TEST(Reader, GetcFollowsTheRules) {
    const std::string raws[] = {"a\rb\r\r\nc\x1a"
                                "d\r\x1a"
                                "e\r",
                                "\r", "\x1a\x1a", "x\r\n\r"};
    for (const std::string& raw : raws) {
        TempDir d;
        write_file(d.path / "f", raw);
        for (std::size_t cap : {0, 1, 2}) {
            TextFile t;
            ASSERT_TRUE(tf_open(t, (d.path / "f").string().c_str(), cap));
            std::vector<int> want = delivered(raw);
            std::vector<int> got;
            for (std::size_t i = 0; i < want.size(); ++i)
                got.push_back(tf_getc(t));
            EXPECT_EQ(tf_getc(t), -1);
            tf_close(t);
            EXPECT_EQ(got, want) << "block " << cap;
        }
    }
}

TEST(Reader, LargeFileAcrossBlocksReadsBackExactly) {
    // 200 000 lines, CR LF and LF mixed, so numbers and CRs straddle the 1 MiB blocks.
    std::mt19937_64 g(7);
    std::uniform_real_distribution<double> u(-1e6, 1e6);
    std::string text;
    std::vector<double> want;
    char line[80];
    for (int i = 0; i < 200000; ++i) {
        double x = u(g), y = u(g) * 1e-12;
        want.push_back(x);
        want.push_back(y);
        std::snprintf(line, sizeof line, "%.17g %.17g%s", x, y, i % 3 ? "\n" : "\r\n");
        text += line;
    }
    Loaded r = load_bytes(text);
    ASSERT_EQ(r.n, 200000);
    for (int i = 0; i < 200000; ++i) {
        ASSERT_TRUE(same(r.xa[i], want[2 * i])) << i;
        ASSERT_TRUE(same(r.ya[i], want[2 * i + 1])) << i;
    }
}
