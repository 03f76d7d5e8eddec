// diagnosis: what is wrong with a table, line by line, from what its load recorded; the
// programs' diagnostics tell it.
#pragma once

#include "numlib.hpp"
#include <cstdint>
#include <string>
#include <vector>

// The kinds of problem a table can have, in the order a diagnosis lists them.
enum class Problem {
    not_number,   // text that is not a number stops the reads (at its line, with the text)
    odd_line,     // a line holds other than 2 numbers, and values follow it (at that line,
                  // with the count)
    missing_rows, // fewer pairs than line ends, without such text or an empty line that
                  // explains it (at the last line)
    beyond_range, // a number beyond the range of a double (at its line, with the text and
                  // the value it reads as)
    no_line_end,  // text after the last line end is not read (at the line after it)
    cr_only,      // the lines end in CR alone, so the file reads as one line (no line: 0)
    x_repeats,    // an abscissa equals the one before it (at its line)
    x_steps_back, // an abscissa is below the one before it (at its line)
    after_26,     // a byte 26 ends the table before more text (at the line after it)
};

// One problem of a table, at a line counted from 1 (0: the file as a whole); text: up to 40
// bytes of the word that is not a number, or the number beyond range, as the file holds
// them; count: the numbers of an odd line; value: what a number beyond range reads as.
struct TableProblem {
    Problem kind = Problem::not_number;
    std::int64_t line = 0;
    std::string text;
    int count = 0;
    double value = 0;
};
// The problems that a load of path recorded in notes, in the order of Problem; at most one
// of each kind, and only the first of x_repeats and x_steps_back. Reads the file again for the
// lines of values (not_number and the order); a line that cannot be found then is -1. Nothing when
// the load did not parse the file.
std::vector<TableProblem> table_problems(const char* path, const TableNotes& notes);

// Line (from 1) at which the "%lg %lg" reads of path meet what follows its first k numbers,
// and in *text (when not null) up to 40 bytes of the word there; -1 when the file cannot be
// read. A second pass over the file, for diagnostics only.
std::int64_t line_of_value(const char* path, std::int64_t k, std::string* text = nullptr);
