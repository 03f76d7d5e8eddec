// inputs: what lorreport reads, each input opened as a regular file without blocking and read
// up to a stated limit, every companion by the one reader, every figure checked against its
// companion's checksum and the suite's SVG, every table checksum against loren.out.
#pragma once

#include "data.hpp"

#include <string>

// The figures, in the page's order, each with its companion.
inline constexpr int figure_count = 5;
// The companions without figures: the decision tables in doubles and in float32 at the
// storage tolerance.
struct Inputs {
    Data fig[figure_count]; // errsp.dat, errq.dat, compare.dat, conv.dat, design.dat
    std::string svg[figure_count];
    Data store64, store32;
    std::string table; // "loren.out, 29 rows on [0, 7]"
};
struct FigureFiles {
    const char* svg;
    const char* data;
    const char* program; // the program whose companion it is
};
inline constexpr FigureFiles figure_files[figure_count] = {{"errsp.svg", "errsp.dat", "gplot"},
                                                           {"errq.svg", "errq.dat", "gplot"},
                                                           {"compare.svg", "compare.dat", "gplot"},
                                                           {"conv.svg", "conv.dat", "lorconv"},
                                                           {"design.svg", "design.dat", "lorgen"}};
// The most bytes of a figure lorreport reads.
inline constexpr std::size_t figure_most = std::size_t{16} << 20;

// Reads and checks every input in the current folder into *in: "" or what is wrong, one line
// naming the file and the cause. Throws std::bad_alloc when memory is short.
std::string read_inputs(Inputs* in);
