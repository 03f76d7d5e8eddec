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
