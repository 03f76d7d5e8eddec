// conv_args: lorconv's command line checked.
#pragma once

#include <string>

// lorconv [N0 N1 [A B]]: N0 and N1 into *n0 and *n1 (4 <= N0 <= N1 <= 2^24), A and B into *a
// and *b (A < B, B - A finite), each left as it is where not given; no options. What is wrong
// in one line (the program adds its name), or "" when nothing is.
std::string conv_args_fault(int argc, char** argv, long long* n0, long long* n1, double* a,
                            double* b);
