// check: a strict reading of the figures' SVG, element by element and attribute by attribute.
#include "check.hpp"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<std::string_view, 11> elements = {
    "svg", "g", "desc", "title", "line", "polyline", "path", "rect", "circle", "text", "tspan"};
constexpr std::array<std::string_view, 30> attributes = {"xmlns",
                                                         "version",
                                                         "width",
                                                         "height",
                                                         "viewBox",
                                                         "class",
                                                         "id",
                                                         "x",
                                                         "y",
                                                         "x1",
                                                         "y1",
                                                         "x2",
                                                         "y2",
                                                         "cx",
                                                         "cy",
                                                         "r",
                                                         "points",
                                                         "d",
                                                         "fill",
                                                         "stroke",
                                                         "stroke-width",
                                                         "font-family",
                                                         "font-size",
                                                         "font-weight",
                                                         "stroke-dasharray",
                                                         "text-anchor",
                                                         "transform",
                                                         "opacity",
                                                         "data-y0",
                                                         "data-y1"};

bool name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == ':' || c == '_';
}

bool value_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view(" .,#%+-_()").find(c) != std::string_view::npos;
}

bool space(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

template <std::size_t N> bool among(const std::array<std::string_view, N>& a, std::string_view s) {
    return std::find(a.begin(), a.end(), s) != a.end();
}

// The attributes of a tag's text after its name, up to its end: "" or what is wrong.
std::string attributes_fault(std::string_view t) {
    for (std::size_t i = 0;;) {
        while (i < t.size() && space(t[i]))
            ++i;
        if (i == t.size() || t.substr(i) == "/")
            return "";
        std::size_t n = i;
        while (n < t.size() && name_char(t[n]))
            ++n;
        std::string_view name = t.substr(i, n - i);
        if (!among(attributes, name))
            return "the attribute " + std::string(name.empty() ? t.substr(i, 1) : name);
        if (n + 1 >= t.size() || t[n] != '=' || t[n + 1] != '"')
            return "an attribute without a quoted value";
        std::size_t end = t.find('"', n + 2);
        if (end == std::string_view::npos)
            return "an attribute without a quoted value";
        std::string_view v = t.substr(n + 2, end - n - 2);
        // Only a transform calls anything, and only its own functions; nothing refers out.
        if (v.find('(') != std::string_view::npos && name != "transform")
            return "a reference in " + std::string(name);
        if (name == "transform" &&
            (v.find("url") != std::string_view::npos || v.find(':') != std::string_view::npos))
            return "a reference in transform";
        // Values are numbers, colours, names and transforms: nothing that could name a place
        // (no ':' or '/'), but the namespace, which is the one of SVG.
        if (name == "xmlns" ? v != "http://www.w3.org/2000/svg"
                            : !std::all_of(v.begin(), v.end(), value_char))
            return "an unexpected value of " + std::string(name);
        i = end + 1;
    }
}
} // namespace

std::string svg_fault(std::string_view svg) {
    constexpr std::string_view decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (svg.substr(0, decl.size()) != decl)
        return "it does not begin as the suite's figures do";
    bool root = false;
    for (std::size_t at = decl.size(); (at = svg.find('<', at)) != std::string_view::npos;) {
        std::size_t end = svg.find('>', at);
        if (end == std::string_view::npos)
            return "a tag without its end";
        std::string_view tag = svg.substr(at + 1, end - at - 1);
        at = end + 1;
        bool closing = !tag.empty() && tag[0] == '/';
        std::string_view body = closing ? tag.substr(1) : tag;
        std::size_t n = 0;
        while (n < body.size() && name_char(body[n]))
            ++n;
        std::string_view name = body.substr(0, n);
        if (!among(elements, name))
            return "the element <" + std::string(name.empty() ? body.substr(0, 1) : name) + ">";
        if (!root && name != "svg")
            return "its first element is not <svg>";
        root = true;
        if (closing && n != body.size())
            return "a closing tag with more in it";
        if (std::string w = closing ? "" : attributes_fault(body.substr(n)); !w.empty())
            return w;
    }
    return root ? "" : "no <svg> element";
}

std::string html_escape(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '&': r += "&amp;"; break;
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '"': r += "&quot;"; break;
        case '\'': r += "&#39;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t')
                r += c == '\t' ? ' ' : c;
        }
    }
    return r;
}
