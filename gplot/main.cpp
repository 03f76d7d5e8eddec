// gplot: draws a sample table and its interpolation-error file as one SVG figure, and prints
// a one-line summary of the largest errors inside and outside the table's range; or both
// methods' error files on one table, side by side.
#include "analysis.hpp"
#include "data.hpp"
#include "options.hpp"
#include "render.hpp"
#include "save.hpp"
#include "shell.hpp"
#include "summary.hpp"
#include "svg.hpp"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

const char* data_path = nullptr; // --data FILE
std::string command_line;        // as typed, for the companion

// The usage.
std::string usage_text() {
    return usage_lines("gplot", {"[--data FILE] TABLE ERRFILE", "[--data FILE] TABLE ERRSP ERRQ"}) +
           "Draws the sample table TABLE over the exact Lorentzian and the absolute\n"
           "interpolation error in ERRFILE (pairs x, error) into STEM.svg in the current\n"
           "folder, where STEM is ERRFILE's name without folder and extension, and prints\n"
           "a summary of the largest errors inside and outside the table's range. For errsp.out\n"
           "and errq.out the error inside the table is the method's own anywhere, found by a "
           "search\n"
           "that proves it, with a bound beside it.\n"
           "With two error files (errsp.out and errq.out) it draws both methods on shared axes "
           "into\n"
           "compare.svg and prints the summary of each.\n"
           "--data FILE also writes FILE, the summary's numbers as named fields (one \"key "
           "value\"\n"
           "a line), with the command, the figure's and the table's sizes and checksums.\n"
           "Exit status: 0; 1 when a file cannot be read or the figure cannot be written; 2 for a\n"
           "wrong number of arguments.\n";
}

int usage(std::FILE* to, int status) {
    std::fputs(usage_text().c_str(), to);
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

// When this run began: a figure written since is another run's.
fs::file_time_type run_start;

// When no figure can be drawn: removes the figure of an earlier run at name, if gplot made
// it (a regular file with gplot's mark) before this run began, so that none is left beside
// files it does not show; returns the exit status 1.
int drop_figure(const std::string& name) {
    std::error_code ec;
    if (fs::symlink_status(name, ec).type() != fs::file_type::regular)
        return 1;
    auto when = fs::last_write_time(name, ec);
    if (ec || when >= run_start)
        return 1;
    try {
        std::string text;
        read_whole(name.c_str(), SIZE_MAX, &text);
        if (text.find(figure_mark()) != std::string::npos && std::remove(name.c_str()) == 0)
            tell(name + " removed: it showed an earlier run");
    } catch (const std::bad_alloc&) {
        // Not even the old figure can be read: it stays.
    }
    return 1;
}

// What is wrong with --data's file: "" when it is none of the inputs and not the figure.
std::string data_clash(int argc, char** argv) {
    if (data_path == nullptr || argc < 3)
        return "";
    std::string figure = argc == 4 ? "compare.svg" : stem(argv[2]) + ".svg";
    bool clash = one_file(data_path, figure);
    for (int i = 1; i < argc; ++i)
        clash = clash || one_file(data_path, argv[i]);
    return clash ? std::string("--data ") + data_path + " names a file gplot reads or the figure"
                 : "";
}

// The companion of the figure svg written at name: what the summaries say, as fields.
std::string companion(const char* table, const Analysis& a, const std::string& name,
                      const std::string& svg) {
    Data d;
    data_put(d, "program", "gplot");
    data_put(d, "command", command_line);
    data_put_file(d, "figure", name, svg);
    data_put_path(d, "table", table);
    data_put(d, "table-rows", std::to_string(a.tab->n));
    data_put(d, "table-range", fmt("%g %g", a.lo, a.hi));
    for (const ErrorFile& f : a.files) {
        if (f.m == nullptr)
            continue;
        const Largest& l = f.dense;
        std::string m = f.m->name;
        data_put(d, m + "-file", f.path);
        data_put(d, m + "-largest", l.peaks.all.err >= 0 ? fmt("%.2e", l.peaks.all.err) : "none");
        data_put(d, m + "-at", fmt("%g", l.peaks.all.x));
        data_put(d, m + "-bound", bound_text(l));
    }
    return data_text(d);
}

// Reads, analyses, draws the figure name (of both files when there are two) and prints the
// summary of each file; the exit status. Throws std::bad_alloc when memory is short.
int plot(Console& c, const char* table, std::vector<const char*> paths, const std::string& name) {
    static SampleTable tab; // kept to the end of the process
    Analysis a;
    a.files.resize(paths.size());
    for (std::size_t k = 0; k < paths.size(); ++k)
        a.files[k].path = paths[k];
    if (!load_sample_table(c, table, tab))
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
    for (const ErrorFile& f : a.files)
        if (!f.made_here)
            tell(f.path + " was not made from " + table);
    std::string svg = both ? compare_figure(a, table) : error_figure(a, table);
    if (Saved s = save_file(name, svg); s.what != Saved::ok) {
        tell(save_failure(name, s));
        return drop_figure(name);
    }
    // Side by side, each line names its method.
    for (const ErrorFile& f : a.files)
        std::printf("%s\n", summary_line(both ? name + ", " + f.m->label : name, f, a).c_str());
    if (data_path != nullptr) {
        if (Saved s = save_file(data_path, companion(table, a, name, svg)); s.what != Saved::ok) {
            tell(save_failure(data_path, s));
            return console_end(c, 1);
        }
    }
    return console_end(c, 0);
}

// plot, and the one line that says that memory ran short.
int run(Console& c, const char* table, std::vector<const char*> paths, const std::string& name) {
    try {
        return plot(c, table, std::move(paths), name);
    } catch (const std::bad_alloc&) {
        tell("not enough memory to draw " + name);
        return drop_figure(name);
    }
}
} // namespace

int main(int argc, char** argv) {
    run_start = fs::file_time_type::clock::now();
    if (info_args(argc, argv, "gplot", usage_text().c_str()))
        return 0;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0)
        return usage(stdout, 0);
    console_name("gplot");
    save_guard_signals();
    int first = 1;
    const Option options[] = {{"--data", "FILE", {}, &data_path}};
    if (std::string w = parse_options(options, argc, argv, &first, "the files"); !w.empty()) {
        tell(w);
        return usage(stderr, 2);
    }
    command_line = command_text(argc, argv);
    argc -= first - 1;
    argv += first - 1;
    if (std::string w = data_clash(argc, argv); !w.empty()) {
        tell(w);
        return usage(stderr, 2);
    }
    if (argc == 4) {
        const Method *ms = method_of_file(argv[2]), *mq = method_of_file(argv[3]);
        if (ms == nullptr || mq == nullptr || ms == mq) {
            tell("to compare, give an errsp.out and an errq.out");
            return usage(stderr, 2);
        }
        return run(console_start("gplot"), argv[1], {argv[2], argv[3]}, "compare.svg");
    }
    if (argc != 3)
        return usage(stderr, 2);
    const Method* m = method_of_file(argv[2]);
    Console& c = console_start("gplot", m != nullptr ? m->word : nullptr);
    return run(c, argv[1], {argv[2]}, stem(argv[2]) + ".svg");
}
