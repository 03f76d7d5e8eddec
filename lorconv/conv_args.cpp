// conv_args: lorconv's command line checked.
#include "conv_args.hpp"

#include "args.hpp"
#include "options.hpp"
#include "save.hpp"

std::string conv_args_fault(int argc, char** argv, ConvArgs* c) {
    int first = 1;
    const Option options[] = {{"--data", "FILE", {}, &c->data}};
    if (std::string w = parse_options(options, argc, argv, &first, "the numbers"); !w.empty())
        return w;
    for (const char* own : {"conv.csv", "conv.svg"})
        if (c->data != nullptr && one_file(c->data, own))
            return std::string("--data ") + c->data + " would replace a file the study writes";
    argc -= first - 1;
    argv += first - 1;
    long long *n0 = &c->n0, *n1 = &c->n1;
    double *a = &c->a, *b = &c->b;
    if (argc != 1 && argc != 3 && argc != 5)
        return "give N0 and N1 together, and A and B together after them";
    if (std::string w = argc >= 3 ? count_fault("N0", argv[1], 4, 0, n0) : ""; !w.empty())
        return w;
    if (std::string w = argc >= 3 ? count_fault("N1", argv[2], 1, max_rows, n1) : ""; !w.empty())
        return w;
    if (*n1 < *n0)
        return "N1 must not be below N0, and " + std::to_string(*n1) + " is below " +
               std::to_string(*n0);
    if (std::string w = argc == 5 ? interval_args(argv[3], argv[4], a, b) : ""; !w.empty())
        return w;
    return interval_fault(*a, *b);
}
