// micro: the building blocks timed on tables of 10^3 to 10^7 rows: the line count and the
// loader in bytes per second, the spline coefficients per row, and one evaluation, one
// search and one quadratic per call.
#include "numlib.hpp"
#include "poly/quad.hpp"
#include "spline.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

// A table file of the given rows in the temporary folder, made once per run.
const std::string& table_file(long rows) {
    static std::map<long, std::string> made;
    auto it = made.find(rows);
    if (it != made.end())
        return it->second;
    std::string path = (fs::temp_directory_path() / ("micro-" + std::to_string(rows) + ".out"));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    for (long i = 0; i < rows; ++i) {
        double x = -1000.0 + 2000.0 * static_cast<double>(i) / static_cast<double>(rows - 1);
        std::fprintf(f, "%.17g %.17g\n", x, lorentz(x));
    }
    std::fclose(f);
    return made[rows] = path;
}

struct Table {
    std::vector<double> xa, ya, d2;
};

Table table(long rows) {
    Table t{std::vector<double>(static_cast<std::size_t>(rows)),
            std::vector<double>(static_cast<std::size_t>(rows)),
            std::vector<double>(static_cast<std::size_t>(rows), 0.0)};
    for (long i = 0; i < rows; ++i) {
        t.xa[i] = -1000.0 + 2000.0 * static_cast<double>(i) / static_cast<double>(rows - 1);
        t.ya[i] = lorentz(t.xa[i]);
    }
    return t;
}

void BM_count_lines(benchmark::State& st) {
    const std::string& path = table_file(st.range(0));
    for (auto _ : st) {
        TextFile f;
        tf_open(f, path.c_str());
        benchmark::DoNotOptimize(count_lines(f));
        tf_close(f);
    }
    st.SetBytesProcessed(st.iterations() * static_cast<long>(fs::file_size(path)));
}

void BM_load_table(benchmark::State& st) {
    const std::string& path = table_file(st.range(0));
    for (auto _ : st) {
        SampleTable t;
        load_table(path.c_str(), {0, 0}, 2, t, 2);
        benchmark::DoNotOptimize(t.xa[t.n - 1]);
        free_table(t);
    }
    st.SetBytesProcessed(st.iterations() * static_cast<long>(fs::file_size(path)));
}

void BM_spline_coeffs(benchmark::State& st) {
    Table t = table(st.range(0));
    int n = static_cast<int>(st.range(0));
    for (auto _ : st) {
        std::fill(t.d2.begin(), t.d2.end(), 0.0);
        spline_coeffs(t.xa.data(), t.ya.data(), t.d2.data(), n);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

// Random abscissae across the table's range, so every call searches afresh.
std::vector<double> probes() {
    std::mt19937_64 g(1);
    std::uniform_real_distribution<double> u(-1000.0, 1000.0);
    std::vector<double> x(4096);
    for (double& v : x)
        v = u(g);
    return x;
}

void BM_spline_eval(benchmark::State& st) {
    Table t = table(st.range(0));
    int n = static_cast<int>(st.range(0));
    spline_coeffs(t.xa.data(), t.ya.data(), t.d2.data(), n);
    std::vector<double> x = probes();
    std::size_t k = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(
            spline_eval(t.xa.data(), t.ya.data(), t.d2.data(), n, x[k++ & 4095]));
    st.SetItemsProcessed(st.iterations());
}

void BM_locate(benchmark::State& st) {
    Table t = table(st.range(0));
    int n = static_cast<int>(st.range(0));
    std::vector<double> x = probes();
    std::size_t k = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(locate(x[k++ & 4095], t.xa.data(), n));
    st.SetItemsProcessed(st.iterations());
}

void BM_quad_pick(benchmark::State& st) {
    long rows = st.range(0);
    std::vector<double> xa(static_cast<std::size_t>(rows + 2)), ya(xa.size());
    Table t = table(rows);
    std::copy(t.xa.begin(), t.xa.end(), xa.begin() + 1);
    std::copy(t.ya.begin(), t.ya.end(), ya.begin() + 1);
    int n = static_cast<int>(rows);
    set_ghosts(xa.data(), ya.data(), n);
    std::vector<double> x = probes();
    std::size_t k = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(quad_pick(x[k++ & 4095], xa.data(), ya.data(), n));
    st.SetItemsProcessed(st.iterations());
}
} // namespace

BENCHMARK(BM_count_lines)
    ->RangeMultiplier(100)
    ->Range(1000, 10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_load_table)
    ->RangeMultiplier(100)
    ->Range(1000, 10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_spline_coeffs)->RangeMultiplier(100)->Range(1000, 10000000);
BENCHMARK(BM_spline_eval)->RangeMultiplier(100)->Range(1000, 10000000);
BENCHMARK(BM_locate)->RangeMultiplier(100)->Range(1000, 10000000);
BENCHMARK(BM_quad_pick)->RangeMultiplier(100)->Range(1000, 10000000);
