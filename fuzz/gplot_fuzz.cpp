// gplot_fuzz: gplot's whole path from bytes to figure, with no file: a table and one or two
// error files, read from memory under the reading rules, analysed (each method densely), drawn
// and summarised. Input: a flags byte (bits 0-1 the first file's name: errsp.out, errq.out or
// another; bit 2 both methods side by side; bit 3 two threads), two bytes of the table's
// length, the table, then the error file(s) (split in two halves for the comparison).
#include "analysis.hpp"
#include "render.hpp"
#include "summary.hpp"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    unsigned flags = data[0];
    std::size_t len = data[1] | (std::size_t{data[2]} << 8);
    if (len > size - 3)
        len = size - 3;
    const char* bytes = reinterpret_cast<const char*>(data + 3);
    std::string_view rest(bytes + len, size - 3 - len);
    static const char* const names[4] = {"errsp.out", "errq.out", "e.dat", "dir/errsp.out"};
    bool both = (flags & 4) != 0;
    int threads = (flags & 8) != 0 ? 2 : 1;
    SampleTable t;
    if (load_table_memory(bytes, static_cast<std::int64_t>(len), {0, 0}, 2, t, threads) != Load::ok)
        return 0;
    Analysis a;
    a.files.resize(both ? 2 : 1);
    for (std::size_t k = 0; k < a.files.size(); ++k) {
        ErrorFile& f = a.files[k];
        f.path = both ? (k == 0 ? "errsp.out" : "errq.out") : names[flags & 3];
        f.m = method_of_file(f.path);
        std::string_view part = !both    ? rest
                                : k == 0 ? rest.substr(0, rest.size() / 2)
                                         : rest.substr(rest.size() / 2);
        if (read_error_text(part, 4096, f.x, f.e) != ReadErrors::ok) {
            free_table(t);
            return 0;
        }
    }
    if (analyse(t, panel_columns, !both, threads, &a).empty()) {
        std::string svg = both ? compare_figure(a, "t.out") : error_figure(a, "t.out");
        // A figure stays bounded whatever the input: a few hundred bytes a row at most.
        if (svg.size() > 200000 + 400 * (t.n + a.files[0].x.size()))
            __builtin_trap();
        for (const ErrorFile& f : a.files)
            summary_line("e.svg", f, a);
    }
    free_table(t);
    return 0;
}
