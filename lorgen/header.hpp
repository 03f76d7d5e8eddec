// header: a designed table exported as a C header: the rows in their store, the method's
// evaluator, which gives the suite's values bit for bit, and test vectors that show it does.
#pragma once

#include "design.hpp"
#include "store.hpp"

#include <string>
#include <vector>

// What the header holds and says of itself.
struct Export {
    const char* name; // a C identifier: the file NAME.h, the prefix NAME_
    const Method& m;
    Store store;
    const std::vector<double>& x; // the rows, values of the store, strictly ascending
    const char* tol;              // the tolerance as typed
    double a, b;                  // the interval the table covers
    Proven p;                     // its largest error and bound
    std::string command;          // the command that made it
};

// The header's text into *text, or why there is none (a test value not finite), in a line.
// The test vectors: every row, every interval's middle, the engine's 64 points of the
// interval of the largest error, and a point outside each end, with the method's values as
// the suite computes them. Throws std::bad_alloc when memory is short.
std::string c_header(const Export& e, std::string* text);
