// summary: gplot's one-line summaries of an error file, on standard output.
#pragma once

#include "analysis.hpp"

#include <string>

// "3.2e-03 at x = 3.375", "none", "none finite".
std::string peak_text(const FilePeak& p);

// The summary of file f of a, for the figure named figure. Where the method is known: the
// largest error of the dense evaluation inside the table, the file's grid maximum there, the
// file's maximum outside, then what is not finite, in the file and in the dense evaluation.
// Else the finite maxima on the file's points in both regions, then how many errors are not
// finite.
std::string summary_line(const std::string& figure, const ErrorFile& f, const Analysis& a);
