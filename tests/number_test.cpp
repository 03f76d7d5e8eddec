// The number grammar and its conversion, against strtod and exact expected bits.
#include "harness.hpp"
#include "numlib.hpp"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {
bool same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Prefix {
    const char* text;
    std::size_t len; // longest number at the start
    bool partial;    // the match ran into the end of the text
};

const Prefix prefixes[] = {
    {"1 ", 1, false},   {"1e ", 1, false},  {"1e+x", 1, false},  {"1e-5 ", 4, false},
    {"-.5 ", 3, false}, {"+5. ", 3, false}, {". ", 0, false},    {"- ", 0, false},
    {"e5 ", 0, false},  {"12", 2, true},    {"1e", 1, true},     {"1e+", 1, true},
    {"1e5", 3, true},   {"-", 0, true},     {"1.5x", 3, false},  {"0x10", 1, false},
    {"inf", 0, false},  {"1E3 ", 3, false}, {"1.2.3", 3, false}, {"", 0, true},
};
} // namespace

TEST(Number, LongestPrefix) {
    for (const Prefix& c : prefixes) {
        SCOPED_TRACE(c.text);
        bool partial = false;
        const char* e = c.text + std::strlen(c.text);
        EXPECT_EQ(num_prefix(c.text, e, &partial), c.len);
        EXPECT_EQ(partial, c.partial);
    }
}

TEST(Number, ValuesAtTheEdgesOfTheRange) {
    struct V {
        const char* text;
        double want;
    };
    const V vs[] = {
        {"-0", -0.0},
        {"0", 0.0},
        {"1e999", HUGE_VAL},
        {"-1e999", -HUGE_VAL},
        {"1e-999", 0.0},
        {"-1e-999", -0.0},
        {"4.9406564584124654e-324", 0x1p-1074},
        {"2.4703282292062328e-324", 0x1p-1074}, // just above half the least subnormal
        {"2.4703282292062327e-324", 0.0},
        {"1.7976931348623157e308", 0x1.fffffffffffffp1023},
        {"1.7976931348623159e308", HUGE_VAL},
        {"0.1", 0x1.999999999999ap-4},
        {"+.5", 0.5},
    };
    for (const V& v : vs) {
        SCOPED_TRACE(v.text);
        EXPECT_TRUE(same(num_value(v.text, v.text + std::strlen(v.text)), v.want));
    }
}

TEST(Number, AgreesWithStrtodOnRandomDecimals) {
    std::mt19937_64 g(99);
    for (int i = 0; i < 20000; ++i) {
        std::string s = (g() & 1) ? "-" : "";
        int nd = 1 + static_cast<int>(g() % 30);
        int point = static_cast<int>(g() % (nd + 1));
        for (int k = 0; k < nd; ++k) {
            if (k == point)
                s += '.';
            s += static_cast<char>('0' + g() % 10);
        }
        if (g() & 1) {
            s += 'e';
            s += std::to_string(static_cast<int>(g() % 700) - 350);
        }
        SCOPED_TRACE(s);
        bool partial;
        ASSERT_EQ(num_prefix(s.data(), s.data() + s.size() + 0, &partial), s.size());
        ASSERT_TRUE(
            same(num_value(s.data(), s.data() + s.size()), std::strtod(s.c_str(), nullptr)));
    }
}

TEST(Number, ScanOverAFile) {
    // A number of 10 000 digits, a partial exponent, text that stays unread.
    TempDir d;
    std::string longnum = "1" + std::string(9999, '0');
    write_file(d.path / "f", " 3.25\n" + longnum + " 7e+x\n");
    TextFile t;
    ASSERT_TRUE(tf_open(t, (d.path / "f").string().c_str(), 16));
    double v = 0;
    bool eof = false;
    EXPECT_EQ(scan_num(t, &v, &eof), Scan::number);
    EXPECT_EQ(v, 3.25);
    EXPECT_EQ(scan_num(t, &v, &eof), Scan::number);
    EXPECT_EQ(v, HUGE_VAL);
    EXPECT_EQ(scan_num(t, &v, &eof), Scan::number);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(scan_num(t, &v, &eof), Scan::not_number);
    EXPECT_EQ(tf_getc(t), 'e');
    EXPECT_EQ(tf_getc(t), '+');
    EXPECT_EQ(tf_getc(t), 'x');
    EXPECT_FALSE(eof);
    EXPECT_EQ(scan_num(t, &v, &eof), Scan::eof);
    EXPECT_TRUE(eof);
    tf_close(t);
}

TEST(Format, NonFiniteValuesHaveOneText) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    struct C {
        const char* fmt;
        double v;
        const char* want;
    };
    const C cs[] = {
        {"%14.6lg|", -nan, "          -nan|"},
        {"%14.6lg|", nan, "           nan|"},
        {"%f|", inf, "inf|"},
        {"%f|", -inf, "-inf|"},
        {"%-6g|", nan, "nan   |"},
        {"%G|", -inf, "-INF|"},
        {"%14.6lg|", 994.011992, "       994.012|"},
        {"%f|", -10000.0, "-10000.000000|"},
    };
    char buf[64];
    for (const C& c : cs) {
        SCOPED_TRACE(c.fmt);
        EXPECT_EQ(fmt_nums(buf, sizeof buf, c.fmt, c.v), static_cast<int>(std::strlen(c.want)));
        EXPECT_STREQ(buf, c.want);
    }
    EXPECT_EQ(fmt_nums(buf, sizeof buf, "jb n %d %d %s %c%%", -1, 4, "x", 'z'), 14);
    EXPECT_STREQ(buf, "jb n -1 4 x z%");
}
