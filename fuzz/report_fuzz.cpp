// report_fuzz: lorreport's readers on arbitrary bytes: the companion reader and the figure
// check end; a companion read back is written to the same bytes; a figure let in has no tag
// but the suite's own; escaped text has no markup left.
#include "check.hpp"
#include "data.hpp"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Data d;
    if (data_read(text, &d).empty() && data_text(d) != text)
        __builtin_trap();
    if (svg_fault(text).empty()) {
        for (std::string_view bad : {"<script", "<foreignObject", "onload=", "href=", "<!"})
            if (text.find(bad) != std::string_view::npos)
                __builtin_trap();
    }
    std::string e = html_escape(text);
    if (e.find('<') != std::string::npos || e.find('>') != std::string::npos)
        __builtin_trap();
    return 0;
}
