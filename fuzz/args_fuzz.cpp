// args_fuzz: arbitrary command lines for lorgen and lorconv, their arguments the input's
// NUL-separated parts (16 at most): every check ends, and what it accepts is what its
// contract promises: a sample count, an interval with a finite width, a tolerance at the
// error floor or above, a header's name its .h may carry, two counts in order.
#include "conv_args.hpp"
#include "limits.hpp"
#include "request.hpp"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {
void need(bool ok) {
    if (!ok)
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts{"prog"};
    std::string cur;
    for (std::size_t i = 0; i < size && parts.size() < 17; ++i) {
        if (data[i] == 0) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += static_cast<char>(data[i]);
        }
    }
    if (parts.size() < 17)
        parts.push_back(cur);
    std::vector<char*> argv;
    for (std::string& p : parts)
        argv.push_back(p.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(parts.size());

    // lorgen N A B, where N is small enough that the spacing check stays quick.
    if (argc < 2 || parts[1].size() <= 7) {
        long long n = 29;
        double a = default_a, b = default_b;
        if (sample_fault(argc, argv.data(), &n, &a, &b).empty())
            need(n >= 1 && (n < 2 || (a < b && std::isfinite(b - a))));
    }
    // lorgen --tol E --method M ...
    Given g;
    int first = 1;
    DesignArgs d;
    if (parse_options(design_options(g), argc, argv.data(), &first, "A and B").empty() &&
        design_request(g, argc, argv.data(), first, &d).empty()) {
        need(d.tol >= error_floor && std::isfinite(d.tol) && d.form != nullptr);
        need(d.a < d.b && std::isfinite(d.b - d.a) && d.fa <= d.a && d.fb >= d.b);
        need((d.form->suffix != nullptr) == (d.name != nullptr));
        need(d.name == nullptr || name_fault(d.name).empty());
    }
    // lorconv N0 N1 A B
    ConvArgs c{8, 4096, default_a, default_b};
    if (conv_args_fault(argc, argv.data(), &c).empty())
        need(4 <= c.n0 && c.n0 <= c.n1 && c.n1 <= max_rows && c.a < c.b &&
             std::isfinite(c.b - c.a));
    return 0;
}
