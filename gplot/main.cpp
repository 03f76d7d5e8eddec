// gplot: draws a sample table and its interpolation-error file as one SVG figure, and prints
// a one-line summary of the largest errors inside and outside the table's range; or both
// methods' error files on one table, side by side.
#include "analysis.hpp"
#include "render.hpp"
#include "shell.hpp"
#include "summary.hpp"
#include "svg.hpp"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
constexpr const char* usage_text =
    "usage: gplot TABLE ERRFILE\n"
    "       gplot TABLE ERRSP ERRQ\n"
    "Draws the sample table TABLE over the exact Lorentzian and the absolute\n"
    "interpolation error in ERRFILE (pairs x, error) into STEM.svg in the current\n"
    "folder, where STEM is ERRFILE's name without folder and extension, and prints\n"
    "a summary of the largest errors inside and outside the table's range. For errsp.out\n"
    "and errq.out the error inside the table is the method's own, at 64 points an interval.\n"
    "With two error files (errsp.out and errq.out) it draws both methods on shared axes into\n"
    "compare.svg and prints the summary of each.\n"
    "Exit status: 0; 1 when a file cannot be read or the figure cannot be written; 2 for a\n"
    "wrong number of arguments.\n";

int usage(std::FILE* to, int status) {
    std::fputs(usage_text, to);
    return status;
}

// The error file's name without folder and extension ("gplot" when that is empty).
std::string stem(const std::string& path) {
    std::string s = path.substr(path.find_last_of('/') + 1);
    auto dot = s.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        s = s.substr(0, dot);
    return s.empty() ? "gplot" : s;
}

// When no figure can be drawn: removes the figure of an earlier run at name, if gplot made
// it, so that none is left beside files it does not show; returns the exit status 1.
int drop_figure(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    if (text.find(figure_mark()) != std::string::npos && std::remove(name.c_str()) == 0)
        tell(name + " removed: it showed an earlier run");
    return 1;
}

// Reads, analyses, draws the figure name (of both files when there are two) and prints the
// summary of each file; the exit status.
int plot(const char* table, std::vector<const char*> paths, const std::string& name) {
    static SampleTable tab; // kept to the end of the process
    Analysis a;
    a.files.resize(paths.size());
    for (std::size_t k = 0; k < paths.size(); ++k)
        a.files[k].path = paths[k];
    if (!load(table, tab))
        return drop_figure(name);
    for (ErrorFile& f : a.files)
        if (!read_errors(f))
            return drop_figure(name);
    bool both = paths.size() == 2;
    if (std::string wrong = analyse(tab, panel_columns, !both, thread_count(), &a);
        !wrong.empty()) {
        tell(std::string(table) + " " + wrong);
        return drop_figure(name);
    }
    std::string svg = both ? compare_figure(a, table) : error_figure(a, table);
    if (int err = save_file(name, svg); err != 0) {
        tell("cannot write " + name + ": " + cause_text(err));
        return drop_figure(name);
    }
    for (const ErrorFile& f : a.files)
        std::printf("%s\n", summary_line(name, f, a).c_str());
    return console_end(0);
}
} // namespace

int main(int argc, char** argv) {
    if (info_args(argc, argv, "gplot", usage_text))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    if (argc == 4) {
        const Method *ms = method_of_file(argv[2]), *mq = method_of_file(argv[3]);
        if (ms == nullptr || mq == nullptr || ms == mq) {
            std::fputs("gplot: to compare, give an errsp.out and an errq.out\n", stderr);
            return usage(stderr, 2);
        }
        console_start("gplot");
        return plot(argv[1], {argv[2], argv[3]}, "compare.svg");
    }
    if (argc != 3)
        return usage(stderr, 2);
    const Method* m = method_of_file(argv[2]);
    console_start("gplot", m != nullptr ? m->word : nullptr);
    return plot(argv[1], {argv[2]}, stem(argv[2]) + ".svg");
}
