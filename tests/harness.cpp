// harness: temporary folders and whole-file reads and writes for the tests, on every platform.
#include "harness.hpp"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        path = fs::temp_directory_path() / ("lortest-" + std::to_string(rd()));
        if (fs::create_directory(path))
            return;
    }
    throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

std::string bin(const std::string& name) {
    return std::string(BIN_DIR) + "/" + name;
}

std::string test_bin(const std::string& name) {
    return std::string(TESTS_DIR) + "/" + name;
}

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary);
    f << bytes;
}

std::string c_driver(const std::string& name) {
    std::string text = R"(#include "$.h"
#include <stdio.h>
#include <string.h>
static double lorentz(double x) { double t = (x - 3.47) / 0.57; return 1.0 / (t * t + 1.0); }
/* The evaluator's arithmetic: x is given in it. */
typedef __typeof__($_test_x[0] * 1) real;
/* The plain binary search the index stands in for. */
static int below(double x)
{
    int lo = -1, hi = $_n;
    while (hi - lo > 1) {
        int mid = (lo + hi) >> 1;
        if (x > $_xs(mid))
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}
int main(void)
{
    double worst = 0;
    unsigned long long hash = 14695981039346656037ULL, bits;
    int k, j, wrong = 0;
    for (k = 0; k + 1 < $_n; ++k)
        for (j = 0; j < 2000; ++j) {
            double x = (real)($_xs(k) + ((double)$_xs(k + 1) - $_xs(k)) * j / 2000.0);
            double v = $_eval(x), e = v - lorentz(x);
            worst = e > worst ? e : -e > worst ? -e : worst;
            memcpy(&bits, &v, sizeof v);
            hash = (hash ^ bits) * 1099511628211ULL;
            wrong += $_below((real)x) != below(x);
        }
    printf("%d of %d missed, largest %.17g, hash %016llx, %d wrong intervals\n", $_check(),
           $_test_n, worst, hash, wrong);
    return 0;
}
)";
    for (std::size_t at = 0; (at = text.find('$', at)) != std::string::npos;)
        text.replace(at, 1, name);
    return text;
}
