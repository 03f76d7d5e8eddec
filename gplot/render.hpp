// render: gplot's figures, drawn from an analysis in svg/'s vocabulary.
#pragma once

#include "analysis.hpp"

#include <string>

// The pixel columns across a panel, for the dense evaluation's envelope.
inline constexpr int panel_columns = 840;

// The element that marks gplot's figures; only a file that holds it is ever removed.
std::string figure_mark();

// The figure of one error file (a.files[0]) on the table at path table: the samples over the
// exact Lorentzian; the error inside the table (densely where the method is known, from the
// rounding level up); the error over the whole grid on a cube-root axis.
std::string error_figure(const Analysis& a, const char* table);
// Both methods' files (a.files[0] and [1], methods known) on shared axes: the dense errors
// inside the table, and both files over the whole grid.
std::string compare_figure(const Analysis& a, const char* table);
