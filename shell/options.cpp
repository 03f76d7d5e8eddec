// options: one check of a command line against an option table, and the usage from it.
#include "options.hpp"

#include "shell.hpp"

#include <cstring>

namespace {
const Option* option_named(std::span<const Option> table, const char* s) {
    for (const Option& o : table)
        if (std::strcmp(o.name, s) == 0)
            return &o;
    return nullptr;
}

// "a, b or c".
std::string joined(const std::vector<std::string>& w) {
    std::string s;
    for (std::size_t i = 0; i < w.size(); ++i)
        s += (i == 0 ? "" : i + 1 == w.size() ? " or " : ", ") + w[i];
    return s;
}

// What is wrong with value v of option o, or "".
std::string value_fault(const Option& o, const char* v) {
    if (o.words.empty())
        return "";
    for (const std::string& w : o.words)
        if (w == v)
            return "";
    return std::string("the ") + o.value + " is " + joined(o.words) + ", not \"" + shown(v) + "\"";
}
} // namespace

std::string parse_options(std::span<const Option> table, int argc, char** argv, int* first,
                          const char* rest) {
    int i = 1;
    for (const Option* o; i < argc && (o = option_named(table, argv[i])) != nullptr; i += 2) {
        if (*o->target != nullptr)
            return std::string(o->name) + " is given twice";
        if (o->flag) {
            *o->target = o->name;
            --i; // no value follows
            continue;
        }
        if (i + 1 >= argc)
            return std::string(o->name) + " needs a value";
        if (std::string w = value_fault(*o, argv[i + 1]); !w.empty())
            return w;
        *o->target = argv[i + 1];
    }
    *first = i;
    // A number never begins with "--".
    for (; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) != 0)
            continue;
        if (option_named(table, argv[i]) == nullptr)
            return "unknown option " + shown(argv[i]);
        return std::string("options come before ") + rest;
    }
    return "";
}

std::string option_list(std::span<const Option> table) {
    std::string s;
    bool open = false; // inside a bracket that the previous option began
    for (const Option& o : table) {
        std::string v = o.words.empty() ? o.value : "";
        for (std::size_t k = 0; k < o.words.size(); ++k)
            v += (k == 0 ? "" : "|") + o.words[k];
        s += s.empty() ? "" : " ";
        if (!o.required && !open)
            s += "[";
        s += std::string(o.name) + (o.flag ? "" : " " + v);
        open = !o.required && o.with_next;
        if (!o.required && !open)
            s += "]";
    }
    return s;
}

std::string paragraph(const std::string& text) {
    constexpr std::size_t width = 88;
    std::string s, line;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(' ', at);
        end = end == std::string::npos ? text.size() : end;
        std::string word = text.substr(at, end - at);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            s += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    return s + line + "\n";
}

std::string usage_lines(const char* program, const std::vector<std::string>& forms) {
    constexpr std::size_t width = 92;
    std::string s;
    for (std::size_t f = 0; f < forms.size(); ++f) {
        std::string line = (f == 0 ? "usage: " : "       ") + std::string(program);
        std::size_t indent = line.size() + 1;
        // Words of the form, a bracket's words kept together.
        const std::string& form = forms[f];
        std::size_t at = 0;
        while (at < form.size()) {
            std::size_t end = at;
            long depth = 0;
            for (; end < form.size() && (depth > 0 || form[end] != ' '); ++end)
                depth += form[end] == '[' ? 1 : form[end] == ']' ? -1 : 0;
            std::string word = form.substr(at, end - at);
            if (line.size() + 1 + word.size() >= width) {
                s += line + "\n";
                line = std::string(indent - 1, ' ');
            }
            line += " " + word;
            at = end + 1;
        }
        s += line + "\n";
    }
    return s;
}
