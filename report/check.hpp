// check: what lorreport lets into its page: a figure only when it is SVG as the suite draws
// it, with nothing that runs or loads; text escaped for HTML.
#pragma once

#include <string>
#include <string_view>

// "" when svg holds only the elements and attributes the suite's figures use (no script, no
// event attribute, no foreignObject, no link or outside reference, no declaration beyond the
// XML one), else what is found, in a few words.
std::string svg_fault(std::string_view svg);
// Text for HTML: &, <, >, " and ' escaped, line ends kept, other control bytes dropped.
std::string html_escape(std::string_view s);
