// summary: gplot's one-line summaries.
#include "summary.hpp"

#include "svg.hpp"

namespace {
std::string count_text(long k, const char* one, const char* many) {
    return std::to_string(k) + " " + (k == 1 ? one : many);
}

// What the dense evaluation adds to the summary: "; N of M points give NaN", and the same
// for infinite errors.
std::string dense_notes(const Peaks& d) {
    std::string s;
    long long infs = d.not_finite - d.nans;
    if (d.nans > 0)
        s += fmt("; %lld of %lld points give NaN", d.nans, d.points);
    if (infs > 0)
        s += fmt("; %lld of %lld points give an infinite error", infs, d.points);
    return s;
}

// What the file holds that is not finite: "; 2 errors are NaN, 1 is infinite".
std::string file_notes(long nans, long infs) {
    if (nans > 0 && infs > 0)
        return "; " + count_text(nans, "error is NaN", "errors are NaN") + ", " +
               count_text(infs, "is infinite", "are infinite");
    if (nans > 0)
        return "; " + count_text(nans, "error is NaN", "errors are NaN");
    if (infs > 0)
        return "; " + count_text(infs, "error is infinite", "errors are infinite");
    return "";
}

std::string dense_summary(const std::string& name, const ErrorFile& f, const Analysis& a) {
    const Largest& l = f.dense;
    const Peaks& d = l.peaks;
    std::string e = d.all.err >= 0
                        ? fmt("%.2e at x = %g (", d.all.err, d.all.x) + bound_text(l) + ")"
                        : "none finite";
    return fmt("%s: largest error %s inside the table [%g, %g] (grid: %s); %s outside",
               name.c_str(), e.c_str(), a.lo, a.hi, peak_text(f.in).c_str(),
               peak_text(f.out).c_str()) +
           file_notes(f.in.nans + f.out.nans, f.in.infs + f.out.infs) + dense_notes(d);
}

std::string file_summary(const std::string& name, const ErrorFile& f, const Analysis& a) {
    const FilePeak &in = f.in, &out = f.out;
    long nans = in.nans + out.nans, infs = in.infs + out.infs;
    long all = in.finite + out.finite + nans + infs;
    if (in.finite + out.finite == 0) {
        std::string what = infs == 0   ? "NaN (not a number)"
                           : nans == 0 ? "infinite"
                                       : fmt("not finite (%ld NaN, %ld infinite)", nans, infs);
        return fmt("%s: %ld of %ld errors are ", name.c_str(), all, all) + what +
               "; no finite error to show";
    }
    return fmt("%s: max %serror on the file's points %s inside the table [%g, %g]; %s outside",
               name.c_str(), nans + infs > 0 ? "finite " : "", peak_text(in).c_str(), a.lo, a.hi,
               peak_text(out).c_str()) +
           file_notes(nans, infs);
}
} // namespace

std::string peak_text(const FilePeak& p) {
    if (p.finite == 0)
        return p.nans + p.infs > 0 ? "none finite" : "none";
    return fmt("%.1e at x = %g", p.err, p.x);
}

std::string summary_line(const std::string& figure, const ErrorFile& f, const Analysis& a) {
    return f.m != nullptr ? dense_summary(figure, f, a) : file_summary(figure, f, a);
}
