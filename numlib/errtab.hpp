// errtab: the error table's format: the file splerr and quaderr write, and its reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class Write { ok, cannot_open, cannot_write };
// Writes the error table of f to path: for every grid abscissa x in order, f(x), then
// lorentz(x), then one line "%14.6lg %14.6lg" of x and |f(x) - lorentz(x)| ending in CR LF.
// f is the program's evaluator: that the file can be opened is made sure before its first
// call (opened for appending, and removed again where it was not there), and the file is
// emptied and written after its last, so that an evaluator that ends the process leaves an
// earlier file whole. Every write and the close are checked; *cause (when not null) gets the
// errno of the first failure.
Write write_error_table(const char* path, double (*f)(double), int* cause = nullptr);

// The bytes write_error_table writes for an evaluator whose value at grid abscissa k is
// p[k] (grid_size of them). Throws std::bad_alloc when memory is short.
std::string error_table_text(const double* p);

enum class ReadErrors { ok, cannot_open, bad_row, negative, too_few, too_many };
// A row of an error file that is not a pair of values: its line (from 1) and up to 60 bytes
// of it from its first word, as the file holds them.
struct ErrorRow {
    std::int64_t line = 0;
    std::string text;
    int error = 0; // cannot_open: the errno of the failed open
};
// Reads an error file, under the reading rules: one pair "x error" a line, each a number of
// the grammar or a word that "%lg" writes for a value that is not finite (nan, -nan, inf,
// -inf, infinity; any case, any sign); blank lines skipped, a last line without a line end
// read. Appends the pairs to xs, es. ReadErrors::bad_row: the first row that is not such a
// pair, or a line longer than 64 KiB, described in *bad (when not null; cannot_open: its
// errno there); negative: the first
// row whose error is below 0 (NaN is not), described; too_many: a row after max_rows of them;
// too_few: fewer than 2 pairs.
// Reads block by block, so that an endless file stops at its first bad row or at max_rows.
// Throws std::bad_alloc when memory is short.
ReadErrors read_error_table(const char* path, std::size_t max_rows, std::vector<double>& xs,
                            std::vector<double>& es, ErrorRow* bad = nullptr);
// read_error_table of the bytes of text, as a file's.
ReadErrors read_error_text(std::string_view text, std::size_t max_rows, std::vector<double>& xs,
                           std::vector<double>& es, ErrorRow* bad = nullptr);
