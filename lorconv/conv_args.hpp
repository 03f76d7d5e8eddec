// conv_args: lorconv's command line checked.
#pragma once

#include <string>

// What lorconv is asked: N0 and N1 (4 <= N0 <= N1 <= 2^24), A and B (A < B, B - A finite),
// each left as it is where not given; --data FILE (null: none; not conv.csv nor conv.svg).
struct ConvArgs {
    long long n0, n1;
    double a, b;
    const char* data = nullptr;
};
// lorconv [--data FILE] [N0 N1 [A B]] into *c. What is wrong in one line (the program adds
// its name), or "" when nothing is.
std::string conv_args_fault(int argc, char** argv, ConvArgs* c);
