// report_fuzz: the report page's readers of the study's outputs on arbitrary bytes: they end,
// and every row they give has its fields. Input: gplot's lines, conv.csv and lorgen's
// decision table, separated by NUL bytes.
#include "parse.hpp"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size), part[3];
    for (std::string_view& p : part) {
        std::size_t end = all.find('\0');
        p = all.substr(0, end);
        all = end == std::string_view::npos ? std::string_view() : all.substr(end + 1);
    }
    for (const MethodLargest& m : parse_compare(part[0]))
        if (m.label.empty() || m.err.empty() || m.x.empty() || m.bound.empty())
            __builtin_trap();
    for (const MethodOrders& o : parse_conv(part[1]))
        if (o.method.empty() || o.n_first.empty() || o.inner.empty() || o.ends.empty())
            __builtin_trap();
    for (const MethodRows& r : parse_decision(part[2]).rows)
        if (r.method.empty() || r.bound.empty())
            __builtin_trap();
    return 0;
}
