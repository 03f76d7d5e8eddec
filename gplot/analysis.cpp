// analysis: the table, the error files, and the methods densely.
#include "analysis.hpp"

#include "args.hpp"
#include "shell.hpp"
#include "svg.hpp"

#include <cmath>

void take_error(FilePeak& p, double x, double e) {
    if (std::isnan(e)) {
        ++p.nans;
    } else if (std::isinf(e)) {
        ++p.infs;
    } else {
        ++p.finite;
        if (e > p.err) {
            p.err = e;
            p.x = x;
        }
    }
}

bool load_sample_table(Console& c, const char* path, SampleTable& t) {
    Load s = load_table(path, {0, 0}, 2, t, thread_count());
    switch (s) {
    case Load::ok: report_notes(c, path, t.notes); return true;
    case Load::cannot_open: report_unusable(c, path, s, t.error, 2); break;
    case Load::too_few:
        report_unusable(c, path, s, t.error, 2);
        report_notes(c, path, t.notes);
        break;
    case Load::no_memory: tell("not enough memory for " + std::string(path)); break;
    }
    return false;
}

bool read_errors(ErrorFile& f) {
    ErrorRow bad;
    f.m = method_of_file(f.path);
    std::size_t most = f.m != nullptr ? max_error_rows : static_cast<std::size_t>(max_rows);
    // A method's file is read whole when it is small, as its program's is (999 lines of about
    // 30 bytes), so that its bytes are at hand to compare with what that program writes; a
    // larger one cannot be the program's and is read block by block.
    constexpr std::size_t whole = std::size_t{1} << 20;
    ReadErrors r;
    if (f.m != nullptr && read_whole(f.path.c_str(), whole + 1, &f.bytes) == 0 &&
        f.bytes.size() <= whole) {
        r = read_error_text(f.bytes, most, f.x, f.e, &bad);
    } else {
        f.bytes.clear();
        r = read_error_table(f.path.c_str(), most, f.x, f.e, &bad);
    }
    std::string at = f.path + ":" + std::to_string(bad.line) + ": ";
    switch (r) {
    case ReadErrors::ok: return true;
    case ReadErrors::cannot_open:
        tell("cannot open " + f.path + ": " + cause_text(bad.error));
        break;
    case ReadErrors::bad_row: tell(at + "cannot read \"" + shown(bad.text) + "\""); break;
    case ReadErrors::negative: tell(at + "an error below 0, \"" + shown(bad.text) + "\""); break;
    case ReadErrors::too_few: tell(f.path + " holds fewer than 2 pairs"); break;
    case ReadErrors::too_many:
        tell(f.path + " holds more than " + std::to_string(most) + " rows" +
             (f.m != nullptr ? std::string(" (") + f.m->error_file + " holds " +
                                   std::to_string(grid_size) + ")"
                             : ""));
        break;
    }
    return false;
}

double table_rounding_level(const SampleTable& t) {
    double m = 0;
    for (int i = 0; i < t.n; ++i)
        if (std::isfinite(t.ya[i]))
            m = std::fmax(m, std::fabs(t.ya[i]));
    return rounding_level(m);
}

namespace {
// The range of the table's finite abscissae, and of its finite ordinates with 0 and 1.
void table_range(const SampleTable& t, Analysis* a) {
    for (int i = 0; i < t.n; ++i) {
        if (!std::isfinite(t.xa[i]))
            continue;
        a->lo = std::fmin(a->lo, t.xa[i]);
        a->hi = std::fmax(a->hi, t.xa[i]);
        if (std::isfinite(t.ya[i])) {
            a->ymin = std::fmin(a->ymin, t.ya[i]);
            a->ymax = std::fmax(a->ymax, t.ya[i]);
        }
    }
}

// The file's maxima inside [lo, hi] and outside, where its errors are not finite, and the
// range of its finite abscissae into a's.
void file_stats(ErrorFile& f, Analysis* a) {
    for (std::size_t i = 0; i < f.x.size(); ++i) {
        double x = f.x[i], e = f.e[i];
        bool within = x >= a->lo && x <= a->hi;
        take_error(within ? f.in : f.out, x, e);
        if (!std::isfinite(e)) {
            (std::isnan(e) ? f.nan_all : f.inf_all).push_back(x);
            if (within)
                (std::isnan(e) ? f.nan_in : f.inf_in).push_back(x);
        }
        if (std::isfinite(x)) {
            a->gx0 = std::fmin(a->gx0, x);
            a->gx1 = std::fmax(a->gx1, x);
        }
    }
}

// The method of d on its table densely, with the peaks of `columns` columns across [lo, hi].
Largest dense_of(const DenseTable& d, int columns, const Analysis& a, int threads) {
    return dense_largest(d, {.span = {0, -1, threads}, .columns = {columns, a.lo, a.hi}});
}

// Whether bytes are those that the method of d's program writes for its table: the same
// grid, values and lines.
bool made_from(const DenseTable& d, const std::string& bytes) {
    std::vector<double> p(grid_size);
    for (int k = 0; k < grid_size; ++k) {
        double x = grid_x(k);
        p[static_cast<std::size_t>(k)] = dense_value(d, locate(x, d.xa, d.n), x);
    }
    return bytes == error_table_text(p.data());
}
} // namespace

double curve_x(const Analysis& a, int i) {
    return a.lo + (a.hi - a.lo) * i / (curve_points - 1);
}

std::string analyse(const SampleTable& t, int columns, bool all_methods, int threads, Analysis* a) {
    a->tab = &t;
    table_range(t, a);
    if (!(a->lo < a->hi))
        return "has no range of finite abscissae";
    a->rounding = table_rounding_level(t);
    bool dense = false;
    for (ErrorFile& f : a->files) {
        file_stats(f, a);
        if (f.m != nullptr) {
            dense = true;
            DenseTable d = dense_prepare(t.xa, t.ya, t.n, *f.m, threads);
            f.dense = dense_of(d, columns, *a, threads);
            f.made_here = made_from(d, f.bytes);
            for (int i = 0; i < curve_points; ++i) {
                double x = curve_x(*a, i);
                f.curve.push_back(dense_value(d, locate(x, t.xa, t.n), x));
            }
            a->largest = std::fmax(a->largest, f.dense.peaks.all.err);
        }
    }
    if (!(a->gx0 < a->gx1)) {
        a->gx0 = a->lo;
        a->gx1 = a->hi;
    }
    if (!all_methods || !dense)
        return "";
    for (const Method* m : methods()) {
        bool shown = false;
        for (const ErrorFile& f : a->files)
            shown = shown || f.m == m;
        if (!shown && m->error_file != nullptr)
            a->largest = std::fmax(
                a->largest, dense_of(dense_prepare(t.xa, t.ya, t.n, *m, threads), 0, *a, threads)
                                .peaks.all.err);
    }
    return "";
}
