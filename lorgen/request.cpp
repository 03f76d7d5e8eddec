// request: lorgen's command lines checked: the sample table's N, A and B, and the tolerance
// design's options and interval.
#include "request.hpp"

#include "args.hpp"
#include "shell.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

std::vector<Option> design_options(Given& g) {
    std::vector<std::string> ms, fs;
    for (const Method* m : methods())
        ms.emplace_back(m->name);
    ms.emplace_back("all");
    for (const Form& f : forms())
        if (f.word != nullptr)
            fs.emplace_back(f.word);
    return {
        {.name = "--tol", .value = "E", .words = {}, .target = &g.tol, .required = true},
        {.name = "--method", .value = "method", .words = ms, .target = &g.method, .required = true},
        {.name = "--store", .value = "store", .words = {"double", "float32"}, .target = &g.store},
        {.name = "--arith",
         .value = "arithmetic",
         .words = {"double", "float32"},
         .target = &g.arith},
        {.name = "--spacing",
         .value = "spacing",
         .words = {"designed", "even"},
         .target = &g.spacing},
        {.name = "--svg", .value = "FILE", .words = {}, .target = &g.svg},
        {.name = "--format",
         .value = "format",
         .words = fs,
         .target = &g.format,
         .with_next = true},
        {.name = "--name", .value = "NAME", .words = {}, .target = &g.name},
        {.name = "--data", .value = "FILE", .words = {}, .target = &g.data},
        {.name = "--certify", .value = "", .words = {}, .target = &g.certify, .flag = true},
        {.name = "--force", .value = "", .words = {}, .target = &g.force, .flag = true}};
}

namespace {
// Whether n samples on [a, b] (a < b, b - a finite) keep their abscissae apart, or "". A
// spacing of 4 units in the last place of the largest |x| or more proves it at once (each
// sample is rounded twice, by half a unit each time); a closer one is checked sample by
// sample up to check_most of them, and beyond that refused without the check, which would
// take too long.
std::string spacing_fault(long long n, double a, double b) {
    constexpr long long check_most = 100000000;
    double top = std::fmax(std::fabs(a), std::fabs(b));
    double h = (b - a) / static_cast<double>(n - 1);
    if (h >= 4 * (std::nextafter(top, HUGE_VAL) - top))
        return "";
    char m[200];
    if (n > check_most) {
        std::snprintf(m, sizeof m, "%lld samples on [%.17g, %.17g] are too close to check", n, a,
                      b);
        return std::string(m) +
               ": the spacing is within 4 units of the last place of doubles there";
    }
    // Rows that doubles cannot tell apart would repeat an abscissa.
    for (long long i = 1; i < n; ++i) {
        if (!(sample_x(a, b, n, i) > sample_x(a, b, n, i - 1))) {
            std::snprintf(m, sizeof m, "%lld samples on [%.17g, %.17g] would repeat abscissae", n,
                          a, b);
            return std::string(m) + ": the spacing is below what doubles tell apart there";
        }
    }
    return "";
}

} // namespace

std::string sample_fault(int argc, char** argv, long long* n, double* a, double* b) {
    Given g;
    int first = 1;
    if (std::string w = parse_options(design_options(g), argc, argv, &first, "A and B"); !w.empty())
        return w;
    if (argc == 3 || argc > 4)
        return "give N alone, or N with both A and B";
    if (std::string w = argc >= 2 ? count_fault("N", argv[1], 1, 0, n) : ""; !w.empty())
        return w;
    if (std::string w = argc == 4 ? interval_args(argv[2], argv[3], a, b) : ""; !w.empty())
        return w;
    if (*n < 2)
        return "";
    if (std::string w = interval_fault(*a, *b); !w.empty())
        return w;
    return spacing_fault(*n, *a, *b);
}

std::string design_request(const Given& g, int argc, char** argv, int i, DesignArgs* d) {
    if (g.tol == nullptr || g.method == nullptr)
        return "a design needs both --tol E and --method " + method_names("|", "|") + "|all";
    d->tol_text = g.tol;
    if (std::string w = tolerance_arg(g.tol, &d->tol); !w.empty())
        return w;
    d->method = method_named(g.method);
    d->svg = g.svg;
    bool f32 = g.store != nullptr && std::strcmp(g.store, "float32") == 0;
    bool single = g.arith != nullptr && std::strcmp(g.arith, "float32") == 0;
    if (single && !f32)
        return "--arith float32 needs --store float32: a float32 evaluator reads float32 rows";
    d->store = single ? Store::f32_float : f32 ? Store::f32 : Store::f64;
    d->form = g.format != nullptr ? form_named(g.format) : &forms()[0];
    d->name = g.name;
    d->force = g.force != nullptr;
    if (std::string w = g.name != nullptr ? name_fault(g.name) : ""; !w.empty())
        return w;
    if ((d->form->suffix != nullptr) != (g.name != nullptr))
        return "--format c and --name NAME go together";
    if (d->form->suffix != nullptr && d->method == nullptr)
        return "--format c needs one method, not all";
    d->even = g.spacing != nullptr && std::strcmp(g.spacing, "even") == 0;
    if (d->even && d->method == nullptr)
        return "--spacing even needs one method, not all: the decision table shows both spacings";
    d->certify = g.certify != nullptr;
    if (d->certify && d->method == nullptr)
        return "--certify needs one method, not all";
    if (d->certify && d->form->suffix == nullptr)
        return "--certify goes with --format c --name NAME: it certifies the header's table";
    if (d->certify && d->even)
        return "--certify takes a designed table: an evenly spaced header computes its "
               "intervals from x, which its certificates would not cover";
    d->data = g.data;
    if (d->data != nullptr && d->method != nullptr)
        return "--data goes with --method all, the decision table";
    if (argc - i != 0 && argc - i != 2)
        return "after the options, give both A and B, or neither";
    d->a = default_a;
    d->b = default_b;
    if (std::string w = argc - i == 2 ? interval_args(argv[i], argv[i + 1], &d->a, &d->b) : "";
        !w.empty())
        return w;
    if (std::string w = interval_fault(d->a, d->b); !w.empty())
        return w;
    if (d->store != Store::f64 && !(std::fmax(std::fabs(d->a), std::fabs(d->b)) <= 1e38))
        return "with --store float32, A and B must lie within [-1e38, 1e38]";
    d->fa = d->a;
    d->fb = d->b;
    round_out(&d->fa, &d->fb, d->store);
    return "";
}
