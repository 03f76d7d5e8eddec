// parse: the study's outputs, read back for the report page.
#include "parse.hpp"

#include <charconv>
#include <cstdio>

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return out;
}

namespace {
// The text of s between after and the first until after it, moving s past until; false when
// either is missing.
bool take(std::string_view& s, std::string_view after, std::string_view until, std::string* out) {
    std::size_t a = s.find(after);
    if (a == std::string_view::npos)
        return false;
    s.remove_prefix(a + after.size());
    std::size_t u = s.find(until);
    if (u == std::string_view::npos || u == 0)
        return false;
    out->assign(s.substr(0, u));
    s.remove_prefix(u + until.size());
    return true;
}

// s split at every sep.
std::vector<std::string_view> fields(std::string_view s, char sep) {
    std::vector<std::string_view> f;
    for (std::size_t at = 0;;) {
        std::size_t e = s.find(sep, at);
        f.push_back(s.substr(at, e == std::string_view::npos ? std::string_view::npos : e - at));
        if (e == std::string_view::npos)
            return f;
        at = e + 1;
    }
}

// s split at runs of blanks.
std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> w;
    std::size_t at = 0;
    while (at < s.size()) {
        std::size_t b = s.find_first_not_of(' ', at);
        if (b == std::string_view::npos)
            break;
        std::size_t e = s.find(' ', b);
        w.push_back(s.substr(b, e == std::string_view::npos ? std::string_view::npos : e - b));
        at = e == std::string_view::npos ? s.size() : e;
    }
    return w;
}

// An order of conv.csv as "%.2f", "-" where the field is empty or not a number.
std::string order_text(std::string_view f) {
    double v = 0;
    auto r = std::from_chars(f.data(), f.data() + f.size(), v);
    if (f.empty() || r.ec != std::errc() || r.ptr != f.data() + f.size())
        return "-";
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    return b;
}
} // namespace

std::vector<MethodLargest> parse_compare(std::string_view text) {
    std::vector<MethodLargest> out;
    for (std::string_view line : lines_of(text)) {
        MethodLargest m;
        if (line.substr(0, 13) != "compare.svg, ")
            continue;
        std::string_view s = line.substr(11);
        if (take(s, ", ", ": largest error ", &m.label) && take(s, "", " at x = ", &m.err) &&
            take(s, "", " (", &m.x) && take(s, "", ")", &m.bound))
            out.push_back(m);
    }
    return out;
}

std::vector<MethodOrders> parse_conv(std::string_view csv) {
    std::vector<MethodOrders> out;
    std::vector<std::string_view> ls = lines_of(csv);
    for (std::size_t i = 1; i < ls.size(); ++i) {
        std::vector<std::string_view> f = fields(ls[i], ',');
        if (f.size() != 10 || f[0].empty() || f[1].empty())
            continue;
        if (out.empty() || out.back().method != f[0])
            out.push_back({std::string(f[0]), std::string(f[1]), "", "-", "-"});
        MethodOrders& m = out.back();
        m.n_last = f[1];
        m.inner = order_text(f[7]);
        m.ends = order_text(f[8]);
    }
    return out;
}

Decision parse_decision(std::string_view text) {
    Decision d;
    std::vector<std::string_view> ls = lines_of(text);
    if (ls.size() < 2 || ls[0].empty() || ls[0].back() != ':')
        return d;
    d.heading = ls[0].substr(0, ls[0].size() - 1);
    for (std::size_t i = 2; i < ls.size(); ++i) {
        std::vector<std::string_view> w = words(ls[i]);
        // "> 16777216" is one cell: more rows than a table may have.
        std::vector<std::string> c;
        for (std::size_t k = 0; k < w.size(); ++k) {
            if (w[k] == ">" && k + 1 < w.size())
                c.push_back("more than " + std::string(w[++k]));
            else
                c.emplace_back(w[k]);
        }
        if (c.size() >= 6)
            d.rows.push_back({c[0], c[1], c[2], c[3], c[4], c[5]});
    }
    return d;
}
