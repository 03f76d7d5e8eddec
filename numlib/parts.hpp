// parts: the parallel read of a large table, and the tally of numbers a line that every read
// of a table keeps; for the loader.
#pragma once

#include "numlib.hpp"

#include <cstdint>
#include <span>
#include <vector>

// The numbers of each line of a table as the reads meet them, for the diagnosis: the first
// line (from 1) that holds other than 2 numbers, and that a number follows. add(lfs) takes
// each number read, with the LF bytes before it.
struct LineTally {
    std::int64_t line = 1; // the line of the last number taken
    int count = 0;         // numbers on it so far
    std::int64_t odd = -1; // the first odd line, -1 while there is none
    int odd_count = 0;     // and the numbers it holds
    void add(int lfs) {
        if (lfs > 0 && odd < 0 && (count != 2 || lfs > 1)) {
            // The line just left, or else the first empty line after it.
            odd = count != 2 ? line : line + 1;
            odd_count = count != 2 ? count : 0;
        }
        if (lfs > 0) {
            line += lfs;
            count = 0;
        }
        ++count;
    }
    // add for the two numbers of a pair; the usual pair, alone on the next line, at once.
    void add_pair(int lfs_x, int lfs_y) {
        if (lfs_x == 1 && lfs_y == 0 && count == 2) {
            ++line;
            return;
        }
        add(lfs_x);
        add(lfs_y);
    }
};

// Files this large are read in parts, one a thread, where the machine has the cores:
// measured, the parts pay from about 4 MB (1 and 2 MB tables load as fast on one thread).
inline constexpr std::int64_t split_min = std::int64_t{4} << 20; // bytes

// What the raw bytes of one part of the file hold, for the count.
struct PartCount {
    std::int64_t off = 0, len = 0;
    std::int64_t lf = 0; // LF bytes
    bool has26 = false;  // a byte 26: the part cannot be settled alone
    bool text = false;   // text other than white space after its last LF (or in it, if none)
    bool failed = false; // a read failed
    char* buf = nullptr; // the part's block buffer, part_block bytes, the caller's
};
// The block buffer of a part's reader.
inline constexpr std::size_t part_block = std::size_t{1} << 20;
// The parts' buffers, allocated on the calling thread (so that a part's thread allocates
// nothing); false, none kept, when memory is short. Released by free_part_buffers.
bool part_buffers(std::vector<PartCount>& parts);
void free_part_buffers(std::vector<PartCount>& parts);

// The parts of a file of size bytes for its cuts: [0, cuts[0]), [cuts[0], cuts[1]), ...,
// [cuts[m-1], size); cuts that are not ascending or fall outside the file are dropped.
std::vector<PartCount> parts_of(std::int64_t size, std::span<const std::int64_t> cuts);
// The count of the split file (what the open reader whole reads), each part on its own thread
// through whole's descriptor, into the part's buffer: n, and the notes of its end; false when
// some part cannot be settled alone (a byte 26) or read.
bool count_parts(const TextFile& whole, std::vector<PartCount>& parts, std::int64_t* n,
                 TailNotes* tail);
// The rows of the counted parts into x[0 .. n), y[0 .. n), each part on its own thread (which
// faults in its slice of the arrays); false when some part did not prove that the one-thread
// read gives the same rows. Notes the order and the rows read.
bool read_parts(const TextFile& whole, const std::vector<PartCount>& parts, double* x, double* y,
                TableNotes& notes);
// Cuts for the parallel read of what whole reads on threads threads (at most 8 parts): just
// after the first LF at or after each of size*k/parts, k = 1..parts-1; none for one thread,
// or a file below split_min or that cannot be read.
std::vector<std::int64_t> auto_cuts(const TextFile& whole, int threads);
