// forms: the ways lorgen puts out a designed table.
#include "header.hpp"
#include "lorgen.hpp"

#include <cstdio>
#include <cstring>

std::string table_text(const std::vector<double>& x, Store st) {
    std::string text;
    char line[64];
    std::vector<double> y = stored_values(x, st);
    for (std::size_t i = 0; i < x.size(); ++i) {
        int k = std::snprintf(line, sizeof line, "%.17g %.17g\n", x[i], y[i]);
        text.append(line, static_cast<std::size_t>(k));
    }
    return text;
}

namespace {
std::string rows_text(const DesignArgs&, const Outcome& o, std::string* text) {
    *text = o.text;
    return "";
}

std::string header_text(const DesignArgs& d, const Outcome& o, std::string* text) {
    EvenGrid g = even_grid(d.fa, d.fb, static_cast<int>(o.x.size()), d.store);
    Export e{d.name, *o.m, d.store,   o.x,         d.tol_text,           d.fa,
             d.fb,   o.p,  d.command, o.even.rows, o.grid ? &g : nullptr};
    return c_header(e, text);
}

constexpr Form all_forms[] = {
    {.word = nullptr, .suffix = nullptr, .text = rows_text},
    {.word = "c", .suffix = ".h", .text = header_text},
};
} // namespace

std::span<const Form> forms() {
    return all_forms;
}

const Form* form_named(const char* word) {
    for (const Form& f : all_forms)
        if (f.word != nullptr && std::strcmp(f.word, word) == 0)
            return &f;
    return nullptr;
}
