// lorreport: the report page of a study. In the folder where the study ran it reads the
// companions that gplot, lorconv and lorgen wrote (--data) and their figures, checks each
// against the others and against loren.out, and writes index.html, and bound.html beside it.
// Every number on the page is a companion's field; every figure is checked SVG.
#include "inputs.hpp"
#include "page.hpp"
#include "save.hpp"
#include "shell.hpp"

#include <new>
#include <string>

namespace {
constexpr const char* usage =
    "usage: lorreport\n"
    "Writes index.html and bound.html in the current folder: the report page of the study\n"
    "that ran there (lorstudy runs it). It reads loren.out, the figures errsp.svg, errq.svg,\n"
    "compare.svg, conv.svg and design.svg, and the companions the programs wrote with --data:\n"
    "errsp.dat, errq.dat and compare.dat (gplot), conv.dat (lorconv), design.dat, store64.dat\n"
    "and store32.dat (lorgen --method all). A companion missing, malformed or of another run\n"
    "or table, or a figure that is not the suite's own SVG, is named and no page is written.\n"
    "Exit status: 0; 1 when an input is refused or the page cannot be written.\n";

// Reads the inputs and writes the pages; the exit status.
int run() {
    Inputs in;
    if (std::string w = read_inputs(&in); !w.empty()) {
        tell(w + "; no page written");
        return 1;
    }
    for (const char* name : {"bound.html", "index.html"}) {
        std::string text = name[0] == 'b' ? bound_html() : page_html(in);
        if (Saved w = save_file(name, text); w.what != Saved::ok) {
            tell(save_failure(name, w));
            return 1;
        }
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (plain_args(argc, argv, "lorreport", usage))
        return 0;
    Console& c = console_start("lorreport");
    save_guard_signals();
    try {
        return console_end(c, run());
    } catch (const std::bad_alloc&) {
        tell("not enough memory for the page");
        return 1;
    }
}
