// request: lorgen's command lines checked, each check giving what is wrong in one line (the
// program adds its name), or "" when nothing is.
#pragma once

#include "lorgen.hpp"
#include "options.hpp"

#include <vector>

// The tolerance design's options as given, before they are checked.
struct Given {
    const char *tol = nullptr, *method = nullptr, *store = nullptr, *svg = nullptr,
               *format = nullptr, *name = nullptr, *force = nullptr, *data = nullptr,
               *arith = nullptr, *spacing = nullptr, *certify = nullptr;
};

// The design's option table, its values into g.
std::vector<Option> design_options(Given& g);

// lorgen [N [A B]]: N, A and B into *n, *a and *b (left as they are where not given): N >= 1;
// for N > 1, A < B with B - A finite and the N samples' abscissae all apart (checked sample
// by sample up to 10^8 of them). No option belongs here.
std::string sample_fault(int argc, char** argv, long long* n, double* a, double* b);

// The design's request from the options read into g and the arguments from argv[i] on (A and
// B, or none: the study's interval), into *d.
std::string design_request(const Given& g, int argc, char** argv, int i, DesignArgs* d);
