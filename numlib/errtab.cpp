// errtab: the error grid, and the error-table format: the writer splerr and quaderr use, and
// the reader gplot uses.
#include "numlib.hpp"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>
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

namespace {
// The line of grid abscissa x whose interpolated value is p, into line: "%14.6lg %14.6lg" of
// x and |p - lorentz(x)|, CR LF; its length.
int error_line(char* line, std::size_t size, double x, double p) {
    double fl = lorentz(x);
    double e = std::fabs(p - fl);
    return fmt_nums(line, size, "%14.6lg %14.6lg\r\n", x, e);
}
} // namespace

std::string error_table_text(const double* p) {
    std::string text;
    char line[96];
    for (int k = 0; k < grid_size; ++k)
        text.append(line, static_cast<std::size_t>(error_line(line, sizeof line, grid_x(k), p[k])));
    return text;
}

Write write_error_table(const char* path, double (*f)(double), int* cause) {
    int err = 0;
    // The first failure's cause, kept past the calls that follow it.
    auto failed = [&err]() {
        if (err == 0)
            err = errno != 0 ? errno : EIO;
    };
    auto cannot_open = [&]() {
        failed();
        if (cause != nullptr)
            *cause = err;
        return Write::cannot_open;
    };
    // Whether the table can be written is known before any evaluation, as when it is opened
    // first; but it is emptied only once every line is made, so that an evaluator that ends
    // the process (its table out of memory) leaves an earlier table whole.
    std::error_code ec;
    bool existed = std::filesystem::exists(std::filesystem::symlink_status(path, ec));
    errno = 0;
    std::FILE* probe = std::fopen(path, "ab");
    if (probe == nullptr)
        return cannot_open();
    std::fclose(probe);
    if (!existed)
        std::remove(path);
    char lines[grid_size][64];
    int lens[grid_size];
    for (int k = 0; k < grid_size; ++k) {
        double x = grid_x(k);
        lens[k] = error_line(lines[k], sizeof lines[k], x, f(x));
    }
    // Binary mode: the CR LF line ends are the file's format on every platform.
    errno = 0;
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
        return cannot_open();
    for (int k = 0; k < grid_size; ++k) {
        errno = 0;
        auto len = static_cast<std::size_t>(lens[k]);
        if (err == 0 && std::fwrite(lines[k], 1, len, out) != len)
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

namespace {
// The longest line an error file may hold; a longer one is a bad row at once.
constexpr std::size_t max_line = std::size_t{1} << 16;

// An error file's rows, taken line by line as its blocks arrive.
struct RowReader {
    std::size_t max_rows;
    std::vector<double>& xs;
    std::vector<double>& es;
    ErrorRow* bad;
    std::string pending; // the start of a line not yet ended
    std::int64_t line = 0;
    ReadErrors state = ReadErrors::ok;

    // Stops the reading at the current line with what.
    bool stop(ReadErrors what, const std::string& row) {
        state = what;
        if (bad != nullptr) {
            bad->line = line;
            auto first = row.find_first_not_of(" \t\v\f\r");
            bad->text = row.substr(first == std::string::npos ? 0 : first, 60);
        }
        return false;
    }

    // One line: blank, or a pair whose error is not negative (NaN is not negative).
    bool row(const std::string& r) {
        ++line;
        std::vector<std::string> words = words_of(r);
        if (words.empty())
            return true;
        double x = 0, e = 0;
        if (words.size() != 2 || !err_value(words[0], &x) || !err_value(words[1], &e))
            return stop(ReadErrors::bad_row, r);
        if (e < 0)
            return stop(ReadErrors::negative, r);
        if (xs.size() >= max_rows)
            return stop(ReadErrors::too_many, r);
        xs.push_back(x);
        es.push_back(e);
        return true;
    }

    // The complete lines of block, the rest kept; false when the reading stops.
    bool feed(std::string_view block) {
        for (std::size_t at = 0; at < block.size();) {
            std::size_t eol = block.find('\n', at);
            std::size_t end = eol == std::string_view::npos ? block.size() : eol;
            pending.append(block.substr(at, end - at));
            if (pending.size() > max_line) {
                ++line;
                return stop(ReadErrors::bad_row, pending);
            }
            at = end;
            if (eol == std::string_view::npos)
                break;
            ++at;
            if (!row(pending))
                return false;
            pending.clear();
        }
        return true;
    }

    // The last line, unended; what the reading came to.
    ReadErrors finish() {
        if (state == ReadErrors::ok && !pending.empty())
            row(pending);
        if (state == ReadErrors::ok && xs.size() < 2)
            state = ReadErrors::too_few;
        return state;
    }
};
} // namespace

namespace {
// The rows of what the open reader f reads, block by block; closes f.
ReadErrors read_rows_of(TextFile& f, std::size_t max_rows, std::vector<double>& xs,
                        std::vector<double>& es, ErrorRow* bad) {
    RowReader r{max_rows, xs, es, bad, {}, 0, ReadErrors::ok};
    bool more = true;
    for (auto b = tf_block(f); more && !b.empty(); b = tf_block(f))
        more = r.feed(b);
    bool failed = more && tf_failed(f) != 0;
    tf_close(f);
    return failed ? ReadErrors::cannot_open : r.finish();
}
} // namespace

ReadErrors read_error_table(const char* path, std::size_t max_rows, std::vector<double>& xs,
                            std::vector<double>& es, ErrorRow* bad) {
    TextFile f;
    errno = 0;
    if (!tf_open(f, path)) {
        if (bad != nullptr)
            bad->error = errno;
        return ReadErrors::cannot_open;
    }
    return read_rows_of(f, max_rows, xs, es, bad);
}

ReadErrors read_error_text(std::string_view text, std::size_t max_rows, std::vector<double>& xs,
                           std::vector<double>& es, ErrorRow* bad) {
    TextFile f;
    if (!tf_open_memory(f, text.data(), static_cast<std::int64_t>(text.size())))
        throw std::bad_alloc();
    return read_rows_of(f, max_rows, xs, es, bad);
}
