// options: the study programs' option tables: each option's name, what it takes, where its
// value goes and the words it allows; one check of a command line against a table, and the
// usage's lines from it.
#pragma once

#include <span>
#include <string>
#include <vector>

struct Option {
    const char* name;               // as typed: "--tol"
    const char* value;              // the value as the usage names it: "E", "FILE"; or, for an
                                    // option of words, the noun its message uses: "method"
    std::vector<std::string> words; // the words it allows (none: any text)
    const char** target;            // where its value goes; null until given
    bool required = false;          // shown without brackets in the usage
    bool with_next = false;         // goes with the next option: one bracket in the usage
    bool flag = false;              // takes no value: its target is set to its name
};

// Reads the options at the front of argv[1..argc-1] into their targets, each at most once and
// with its value (a word of its list where it has one); what follows the first argument that
// is no option of the table are the program's other arguments (`rest`, "A and B" in a
// message), from *first on. Any argument there that begins with "--" is an unknown option, or
// a known one out of place. Returns what is wrong in one line, or "" when nothing is.
std::string parse_options(std::span<const Option> table, int argc, char** argv, int* first,
                          const char* rest);
// The options of a table as the usage shows them: "--tol E --method a|b [--svg FILE]".
std::string option_list(std::span<const Option> table);
// text as lines of at most 88 columns, broken at spaces, each ending in a line end.
std::string paragraph(const std::string& text);
// The usage's first lines: "usage: PROGRAM FORM" for the first form, the others under it,
// each wrapped before 92 columns under its own start.
std::string usage_lines(const char* program, const std::vector<std::string>& forms);
