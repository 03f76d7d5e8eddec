// report_fuzz: lorreport's readers on arbitrary bytes: the companion reader and the figure
// check end; a companion read back is written to the same bytes; a figure let in has nothing
// in its tags that runs or loads; escaped text has no markup left.
#include "check.hpp"
#include "data.hpp"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Data d;
    if (data_read(text, &d).empty() && data_text(d) != text)
        __builtin_trap();
    if (svg_fault(text).empty()) {
        // Within its tags (text between them cannot run), nothing that runs or loads: no such
        // element or attribute outside the quoted values, no reference within them.
        for (std::size_t at = 0; (at = text.find('<', at)) != std::string_view::npos;) {
            std::size_t end = text.find('>', at);
            std::string names, values;
            bool quoted = false;
            for (char c : text.substr(at, end - at)) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (c == '"')
                    quoted = !quoted;
                else
                    (quoted ? values : names) += c;
            }
            for (const char* bad : {"script", "foreignobject", " on", "href", "<!", "style"})
                if (names.find(bad) != std::string::npos)
                    __builtin_trap();
            for (const char* bad : {"url(", "javascript:"})
                if (values.find(bad) != std::string::npos)
                    __builtin_trap();
            at = end;
        }
    }
    std::string e = html_escape(text);
    if (e.find('<') != std::string::npos || e.find('>') != std::string::npos)
        __builtin_trap();
    return 0;
}
