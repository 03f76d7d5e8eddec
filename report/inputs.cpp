// inputs: the report's one way in.
#include "inputs.hpp"

#include "check.hpp"
#include "proc.hpp"
#include "shell.hpp"

namespace {
// The regular file name whole, at most `most` bytes, into *out: "" or why not.
std::string read_file(const char* name, std::size_t most, std::string* out) {
    int err = 0;
    switch (sys_read_regular(name, most, out, &err)) {
    case ReadIn::ok: return "";
    case ReadIn::not_regular: return std::string(name) + " is not a regular file";
    case ReadIn::too_long:
        return std::string(name) + " is longer than " + std::to_string(most) + " bytes";
    case ReadIn::failed: break;
    }
    return std::string("cannot read ") + name + ": " + cause_text(err);
}

// The fields each program's companion must have; METHOD stands for each of its methods.
std::string lacks(const Data& d, const char* program, const char* name) {
    std::string p = program, keys, each, methods = data_value(d, "methods");
    if (p == "gplot") {
        keys = "figure figure-checksum table table-bytes table-checksum table-rows table-range";
        each = "METHOD-largest METHOD-at METHOD-bound";
        methods = std::string(name) == "errq.dat"    ? "quadratic"
                  : std::string(name) == "errsp.dat" ? "spline"
                                                     : "spline quadratic";
    } else if (p == "lorconv") {
        keys = "figure figure-checksum interval n-first n-last methods";
        each = "METHOD-inner METHOD-ends METHOD-inner-theory METHOD-ends-theory";
    } else {
        keys = "tolerance interval store methods fewest";
    }
    for (const std::string& m : data_words(methods)) {
        std::string e = each;
        if (p == "lorgen" && data_get(d, m + "-none") == nullptr)
            e = "METHOD-designed METHOD-bytes METHOD-designed-work METHOD-largest METHOD-bound "
                "METHOD-even METHOD-even-bytes METHOD-even-work METHOD-even-largest "
                "METHOD-even-bound";
        for (std::size_t i; (i = e.find("METHOD")) != std::string::npos;)
            e.replace(i, 6, m);
        keys += " " + e;
    }
    std::string k = data_lacks(d, keys);
    return k.empty() ? "" : std::string(name) + " lacks the field " + k;
}

// The companion name of `program` into *d: "" or what is wrong.
std::string read_data(const char* name, const char* program, Data* d) {
    std::string text;
    if (std::string w = read_file(name, data_most, &text); !w.empty())
        return w;
    if (std::string w = data_read(text, d); !w.empty())
        return std::string(name) + " is not a companion the suite wrote: " + w;
    if (data_value(*d, "program") != program)
        return std::string(name) + " is not " + program + "'s companion";
    return lacks(*d, program, name);
}

// Whether d's field key is there and is v.
bool field_is(const Data& d, const char* key, const std::string& v) {
    const std::string* f = data_get(d, key);
    return f != nullptr && *f == v;
}

// The figure f and its companion into *d and *svg: "" or what is wrong.
std::string read_figure(const FigureFiles& f, Data* d, std::string* svg) {
    if (std::string w = read_data(f.data, f.program, d); !w.empty())
        return w;
    if (std::string w = read_file(f.svg, figure_most, svg); !w.empty())
        return w;
    if (!field_is(*d, "figure", f.svg) || !field_is(*d, "figure-checksum", checksum_text(*svg)))
        return std::string(f.svg) + " is not the figure of " + f.data + ": another run made it";
    if (std::string w = svg_fault(*svg); !w.empty())
        return std::string(f.svg) + " is refused: " + w;
    return "";
}

// The companions made from a table name it: it must be loren.out as it is now.
std::string table_check(const Inputs& in) {
    Data now;
    bool read = data_put_path(now, "table", table_name);
    for (int k = 0; k < figure_count; ++k) {
        const Data& d = in.fig[k];
        if (data_get(d, "table") == nullptr)
            continue;
        if (!read)
            return std::string("cannot read ") + table_name + ", which " + figure_files[k].data +
                   " was made from";
        if (!field_is(d, "table", table_name) ||
            !field_is(d, "table-bytes", data_value(now, "table-bytes")) ||
            !field_is(d, "table-checksum", data_value(now, "table-checksum")))
            return std::string(figure_files[k].data) + " was made from another " + table_name +
                   " than the one here";
    }
    return "";
}
} // namespace

std::string read_inputs(Inputs* in) {
    for (int k = 0; k < figure_count; ++k)
        if (std::string w = read_figure(figure_files[k], &in->fig[k], &in->svg[k]); !w.empty())
            return w;
    if (std::string w = read_data("store64.dat", "lorgen", &in->store64); !w.empty())
        return w;
    if (std::string w = read_data("store32.dat", "lorgen", &in->store32); !w.empty())
        return w;
    if (std::string w = table_check(*in); !w.empty())
        return w;
    const Data& c = in->fig[2];
    std::string range = data_value(c, "table-range");
    if (std::size_t sp = range.find(' '); sp != std::string::npos)
        range.replace(sp, 1, ", ");
    in->table =
        std::string(table_name) + ", " + data_value(c, "table-rows") + " rows on [" + range + "]";
    return "";
}
