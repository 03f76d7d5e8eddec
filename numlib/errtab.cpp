// errtab: the error grid, and the error-table format: the writer splerr and quaderr use, and
// the reader gplot uses.
#include "numlib.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr double grid_step = 0.02;
constexpr double grid_origin = 0.0;
constexpr int neg_points = 499; // i = 500 down to 2
// One value of an error file: a number of the suite's grammar, or a word that "%lg" writes
// for a value that is not finite (nan, -nan, inf, -inf, infinity; any case, any sign).
bool err_value(const std::string& w, double* v) {
    bool partial = false;
    const char* p = w.data();
    const char* e = p + w.size();
    if (!w.empty() && num_prefix(p, e, &partial) == w.size()) {
        *v = num_value(p, e);
        return true;
    }
    std::string l;
    for (char c : w)
        l += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool neg = !l.empty() && l[0] == '-';
    if (!l.empty() && (l[0] == '-' || l[0] == '+'))
        l.erase(0, 1);
    if (l == "nan")
        *v = neg ? -std::nan("") : std::nan("");
    else if (l == "inf" || l == "infinity")
        *v = neg ? -HUGE_VAL : HUGE_VAL;
    else
        return false;
    return true;
}

// The words of a row, split at white space.
std::vector<std::string> words_of(const std::string& row) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < row.size()) {
        while (i < row.size() && is_space(static_cast<unsigned char>(row[i])))
            ++i;
        std::size_t j = i;
        while (j < row.size() && !is_space(static_cast<unsigned char>(row[j])))
            ++j;
        if (j > i)
            words.push_back(row.substr(i, j - i));
        i = j;
    }
    return words;
}
} // namespace

double grid_x(int k) {
    if (k < neg_points) {
        double t = (500 - k) * grid_step + grid_origin;
        return -ipow(t, 3);
    }
    double t = (k - neg_points) * grid_step + grid_origin;
    return ipow(t, 3);
}

Write write_error_table(const char* path, double (*f)(double), int* cause) {
    int err = 0;
    // The first failure's cause, kept past the calls that follow it.
    auto failed = [&err]() {
        if (err == 0)
            err = errno != 0 ? errno : EIO;
    };
    // Binary mode: the CR LF line ends are the file's format on every platform.
    errno = 0;
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        failed();
        if (cause != nullptr)
            *cause = err;
        return Write::cannot_open;
    }
    char line[96];
    for (int k = 0; k < grid_size; ++k) {
        double x = grid_x(k);
        double p = f(x);
        double fl = lorentz(x);
        double e = std::fabs(p - fl);
        int len = fmt_nums(line, sizeof line, "%14.6lg %14.6lg\r\n", x, e);
        errno = 0;
        if (err == 0 && std::fwrite(line, 1, static_cast<std::size_t>(len), out) !=
                            static_cast<std::size_t>(len))
            failed();
    }
    errno = 0;
    if (std::fflush(out) != 0)
        failed();
    errno = 0;
    if (std::fclose(out) != 0)
        failed();
    if (cause != nullptr)
        *cause = err;
    return err == 0 ? Write::ok : Write::cannot_write;
}

ReadErrors read_error_table(const char* path, std::vector<double>& xs, std::vector<double>& es,
                            ErrorRow* bad) {
    TextFile f;
    if (!tf_open(f, path))
        return ReadErrors::cannot_open;
    std::string text;
    for (auto b = tf_block(f); !b.empty(); b = tf_block(f))
        text.append(b);
    bool failed = tf_failed(f) != 0;
    tf_close(f);
    if (failed)
        return ReadErrors::cannot_open;
    std::int64_t line = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t eol = text.find('\n', at);
        if (eol == std::string::npos)
            eol = text.size();
        std::string row = text.substr(at, eol - at);
        at = eol + 1;
        ++line;
        std::vector<std::string> words = words_of(row);
        if (words.empty())
            continue;
        double x = 0, e = 0;
        if (words.size() != 2 || !err_value(words[0], &x) || !err_value(words[1], &e)) {
            if (bad != nullptr) {
                bad->line = line;
                bad->text = row.substr(row.find_first_not_of(" \t\v\f\r"), 60);
            }
            return ReadErrors::bad_row;
        }
        xs.push_back(x);
        es.push_back(e);
    }
    return xs.size() < 2 ? ReadErrors::too_few : ReadErrors::ok;
}
