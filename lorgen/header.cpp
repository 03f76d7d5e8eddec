// header: the C text of an exported table. Every number is written as a hexadecimal
// floating literal, which denotes its value exactly in C99 and C++17.
#include "header.hpp"
#include "bound.hpp"
#include "function.hpp"
#include "lorgen.hpp"

#include "numlib.hpp"
#include "svg.hpp"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

std::string hex(double v, const char* suffix) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof v);
    std::string s = (bits >> 63) != 0 ? "-" : "";
    int e = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t f = bits & ((std::uint64_t{1} << 52) - 1);
    if (e == 0 && f == 0)
        return s + "0x0p+0" + suffix;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%013llx", static_cast<unsigned long long>(f));
    std::string frac = digits;
    frac.erase(frac.find_last_not_of('0') + 1);
    s += e == 0 ? "0x0" : "0x1";
    if (!frac.empty())
        s += "." + frac;
    return s + fmt("p%+d", e == 0 ? -1022 : e - 1023) + suffix;
}

namespace {
// "static const TYPE NAME[N] = {...};", four values a line.
std::string array(const char* type, const std::string& name, const std::vector<double>& v,
                  const char* suffix) {
    std::string s = fmt("static const %s %s[%zu] = {", type, name.c_str(), v.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        s += (i % 4 == 0 ? "\n    " : " ") + hex(v[i], suffix) + (i + 1 < v.size() ? "," : "");
    return s + "\n};\n";
}

// Every `mark` of text replaced by by.
std::string replaced(std::string text, char mark, const std::string& by) {
    for (std::size_t at = 0; (at = text.find(mark, at)) != std::string::npos; at += by.size())
        text.replace(at, 1, by);
    return text;
}

// Every $ of text replaced by name.
std::string named(std::string text, const std::string& name) {
    return replaced(std::move(text), '$', name);
}

// C text in the header's arithmetic: every $ replaced by name, @ by the type and ~ by the
// suffix of its constants (Method::c_eval).
std::string in_arith(const std::string& text, const std::string& name, Store s) {
    return replaced(replaced(named(text, name), '@', single(s) ? "float" : "double"), '~',
                    single(s) ? "f" : "");
}

// The test vectors' abscissae (see c_header), points of t's evaluator (at).
std::vector<double> test_points(const DenseTable& d, const std::vector<double>& x, double worst) {
    std::vector<double> t = x;
    std::size_t n = x.size();
    for (std::size_t k = 0; k + 1 < n; ++k)
        t.push_back(x[k] + 0.5 * (x[k + 1] - x[k]));
    int k = std::clamp(locate(worst, x.data(), static_cast<int>(n)), 0, static_cast<int>(n) - 2);
    auto w = static_cast<std::size_t>(k);
    for (int j = 0; j < dense_per_interval; ++j)
        t.push_back(x[w] + ((x[w + 1] - x[w]) * j) / static_cast<double>(dense_per_interval));
    double span = x.back() - x.front();
    t.push_back(x.front() - 0.125 * span);
    t.push_back(x.back() + 0.125 * span);
    for (double& v : t)
        v = at(d, v);
    return t;
}

// Up to 16 of the engine's points where a build that fuses multiply-adds (m.fused) gives
// other bits than the suite: the first such point of each of up to 4096 intervals spread
// over the table, so that NAME_check() tells that build.
std::vector<double> contraction_points(const DenseTable& t, const Method& m) {
    constexpr std::size_t most = 16;
    constexpr int scanned = 4096;
    std::vector<double> out;
    int intervals = t.n - 1, step = std::max(1, intervals / scanned);
    for (int k = 0; k < intervals && out.size() < most; k += step) {
        const double* xa = t.xa;
        for (int j = 1; j < dense_per_interval; ++j) {
            double x =
                at(t, xa[k] + ((xa[k + 1] - xa[k]) * j) / static_cast<double>(dense_per_interval));
            double plain = dense_value(t, k, x), fused = m.fused(t, k, x);
            if (std::bit_cast<std::uint64_t>(plain) != std::bit_cast<std::uint64_t>(fused)) {
                out.push_back(x);
                break;
            }
        }
    }
    return out;
}

// $_below(x), the search's result from the index: the cell of x, then a scan down while x is
// not above the row, and up while it is above the next (both short: the index holds, for each
// cell, the last row below its left edge).
constexpr const char* below_c = R"(
/* The largest i with x > $_x[i] (-1: none), as a binary search finds it, in O(1): the
 * index's cell of x, then a scan over the rows of one cell. */
static inline int $_below(@ x)
{
    @ c;
    int i;
    if (!(x > $_xs(0)))
        return -1;
    if (x > $_xs($_n - 1))
        return $_n - 1;
    c = (x - $_xs(0)) * $_scale;
    i = (int)$_index[c < $_cells - 1 ? (int)c : $_cells - 1];
    while (!(x > $_xs(i)))
        --i;
    while (x > $_xs(i + 1))
        ++i;
    return i;
}

)";

// The index in C: its cells, its scale and its entries.
std::string index_arrays(const Index& ix, const std::string& name, Store st) {
    std::string s = named("/* The index: cell c of x = (x - $_x[0]) * $_scale holds the last row "
                          "below its left\n * edge. */\n",
                          name);
    s += fmt("static const int %s_cells = %zu;\n", name.c_str(), ix.first.size());

    double scale = single(st) ? stored(ix.scale, st) : ix.scale;
    s +=
        in_arith("static const @ $_scale = ", name, st) + hex(scale, single(st) ? "f" : "") + ";\n";
    s += fmt("static const %s %s_index[%zu] = {", ix.entry_bytes == 2 ? "uint16_t" : "uint32_t",
             name.c_str(), ix.first.size());
    for (std::size_t i = 0; i < ix.first.size(); ++i)
        s += (i % 12 == 0 ? "\n    " : " ") + std::to_string(ix.first[i]) +
             (i + 1 < ix.first.size() ? "," : "");
    return s + "\n};\n";
}

// ", double second derivatives": the words for what the method ships of its own, in the
// arithmetic of s.
std::string shipped_words(const Method& m, Store s) {
    std::string w;
    for (const Shipped& a : m.ships)
        w += std::string(", ") + arith_name(s) + " " + a.words;
    return w;
}

// The comment block that opens the header.
std::string preamble(const Export& e, std::size_t tests, long long bytes) {
    std::string n = e.name, store = store_name(e.store), cmd = e.command;
    for (std::size_t at = 0; (at = cmd.find("*/", at)) != std::string::npos;)
        cmd.replace(at, 2, "* /");
    const Function& f = study_function();
    return fmt("/* %s.h: a table of %s %s with its evaluator,\n * made by lorgen.\n *\n", e.name,
               f.name, f.formula) +
           fmt(" *   method     %s\n", e.m.label) +
           fmt(" *   interval   [%.17g, %.17g], %zu rows\n", e.a, e.b, e.x.size()) +
           fmt(" *   tolerance  %s, proven %s\n", e.tol,
               single(e.store) ? "at every float x of the interval, evaluated in float"
                               : "everywhere on the interval") +
           fmt(" *   largest    %.2e at x = %.6g (bound %s)\n", e.p.largest.err, e.p.largest.x,
               fmt_up(e.p.bound).c_str()) +
           " *   storage    " + store +
           (e.grid != nullptr ? " ordinates (evenly spaced: no abscissae)"
                              : " abscissae and ordinates") +
           shipped_words(e.m, e.store) + ": " + std::to_string(bytes) + " bytes\n *   command    " +
           cmd + "\n *\n" + " * " + n +
           "_eval(x) gives the suite's value at x bit for bit, where " +
           (single(e.store) ? "float is IEEE\n * binary32 evaluated as such (FLT_EVAL_METHOD 0 "
                              "or 16, checked below) and no multiply\n"
                            : "double is IEEE\n * binary64 evaluated as such (FLT_EVAL_METHOD 0, "
                              "1 or 16, checked below) and no multiply\n") +
           " * and add are fused: compile with -ffp-contract=off (GCC, Clang) or its\n"
           " * equivalent, never with options that reorder or approximate floating point\n"
           " * (the build stops where __FAST_MATH__ says so). " +
           n + "_check() returns how many of\n * the " + std::to_string(tests) + " test vectors " +
           n +
           "_eval misses (0: every one bit for bit). Valid C99\n"
           " * and C++17; needs <float.h>, <stdint.h> and <string.h> only. Every number is\n"
           " * exact, written in hexadecimal. " +
           (e.grid != nullptr ? "The interval is computed from x, as the rows are.\n */\n"
                              : "The interval is found in O(1): an index of\n"
                                " * uniform cells, then a scan over the rows of one cell.\n */\n");
}
// The include guard's opening, the headers it needs, and the checks that stop a build whose
// arithmetic is not the one the header is exact in: a double evaluator's under
// FLT_EVAL_METHOD 0, 1 or 16, a float32 one's under 0 or 16 (1 would widen its floats).
std::string guards(const std::string& name, Store s) {
    std::string guard = name + "_H";
    for (char& c : guard)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string methods = single(s) ? "0 or 16" : "0, 1 or 16";
    return "#ifndef " + guard + "\n#define " + guard + "\n\n" +
           "#include <float.h>\n#include <stdint.h>\n#include <string.h>\n\n" +
           "#if !defined(FLT_EVAL_METHOD) || \\\n    (FLT_EVAL_METHOD != 0" +
           (single(s) ? "" : " && FLT_EVAL_METHOD != 1") + " && FLT_EVAL_METHOD != 16)\n#error \"" +
           in_arith("$.h needs @ arithmetic evaluated as @ (FLT_EVAL_METHOD ", name, s) + methods +
           ")\"\n#endif\n#ifdef __FAST_MATH__\n#error \"" + name +
           ".h gives the suite's values only with floating point as written (__FAST_MATH__ "
           "is defined)\"\n#endif\n\n";
}
} // namespace

Index table_index(const std::vector<double>& x, long long most_cells) {
    std::size_t n = x.size();
    double range = x[n - 1] - x[0], narrowest = range;
    for (std::size_t i = 1; i < n; ++i)
        narrowest = std::min(narrowest, x[i] - x[i - 1]);
    double most = std::min(4.0 * static_cast<double>(n - 1), static_cast<double>(most_cells));
    auto cells = static_cast<std::size_t>(std::clamp(std::ceil(range / narrowest), 1.0, most));
    Index ix;
    ix.scale = static_cast<double>(cells) / range;
    ix.entry_bytes = n - 1 < 65536 ? 2 : 4;
    for (std::size_t c = 0; c < cells; ++c) {
        double edge = x[0] + static_cast<double>(c) / ix.scale;
        auto below = std::lower_bound(x.begin(), x.end(), edge) - x.begin() - 1;
        ix.first.push_back(static_cast<std::uint32_t>(
            std::clamp<std::ptrdiff_t>(below, 0, static_cast<std::ptrdiff_t>(n) - 2)));
    }
    return ix;
}

namespace {
// The test vectors' abscissae and values: test_points, the points of up to 16 rows where an
// evenly spaced grid's computed interval is not the search's (the first x of the next piece
// and the one before), and contraction_points; values as the header's evaluator gives them.
// False, with the point in *bad, where a value is not finite.
bool test_vectors(const Export& e, const DenseTable& t, std::vector<double>* tx,
                  std::vector<double>* ty, double* bad) {
    const std::vector<double>& x = e.x;
    int n = static_cast<int>(x.size());
    *tx = test_points(t, x, e.p.largest.x);
    if (e.grid != nullptr) {
        std::vector<double> edges = even_edges(*e.grid, x);
        for (std::size_t i = 0, added = 0; i < edges.size() && added < 16; ++i)
            if (edges[i] != x[i + 1]) {
                double before = just_below(*e.grid, edges[i]);
                tx->insert(tx->end(), {before, edges[i]});
                ++added;
            }
    }
    for (double v : contraction_points(t, e.m))
        tx->push_back(v);
    ty->resize(tx->size());
    for (std::size_t i = 0; i < tx->size(); ++i) {
        double v = (*tx)[i];
        (*ty)[i] = e.grid != nullptr
                       ? t.m->jet(t, even_index(*e.grid, v), v).p
                       : dense_value(t, std::clamp(locate(v, x.data(), n), 0, n - 2), v);
        if (!std::isfinite((*ty)[i])) {
            *bad = v;
            return false;
        }
    }
    return true;
}

// The evenly spaced grid's constants and its rows and interval computed from x.
std::string grid_text(const EvenGrid& g, const std::string& name) {
    Store st = g.store;
    const char* sfx = single(st) ? "f" : "";
    std::string node =
        single(st) || st == Store::f64 ? "$_a + (@)i * $_h" : "(float)($_a + (@)i * $_h)";
    return in_arith("/* The rows: row i is a + i h (b the last), as computed here; the interval "
                    "of x is\n * the cell (x - a) s, which near a row may be the neighbouring "
                    "one (the bound covers\n * each piece as far as that takes it). */\n",
                    name, st) +
           in_arith("static const @ $_a = ", name, st) + hex(g.a, sfx) + ";\n" +
           in_arith("static const @ $_b = ", name, st) + hex(g.b, sfx) + ";\n" +
           in_arith("static const @ $_h = ", name, st) + hex(g.h, sfx) + ";\n" +
           in_arith("static const @ $_s = ", name, st) + hex(g.s, sfx) + ";\n" +
           in_arith("\n/* Row i's abscissa and ordinate as @s. */\n"
                    "static inline @ $_xs(int i)\n{\n    return i == $_n - 1 ? $_b : " +
                        node +
                        ";\n}\n\n"
                        "static inline @ $_ys(int i)\n{\n    return $_y[i];\n}\n\n"
                        "/* The interval of x: 0 .. n-2. */\n"
                        "static inline int $_below(@ x)\n{\n    @ c = (x - $_a) * $_s;\n"
                        "    return !(c >= 1.0~) ? 0 : c >= $_n - 2 ? $_n - 2 : (int)c;\n}\n\n",
                    name, st);
}
} // namespace

std::string c_header(const Export& e, std::string* text) {
    const std::vector<double>& x = e.x;
    int n = static_cast<int>(x.size());
    std::vector<double> y = stored_values(x, e.store);
    DenseTable t = dense_prepare(x.data(), y.data(), n, e.m, 1, single(e.store));
    std::vector<double> tx, ty;
    if (double bad = 0; !test_vectors(e, t, &tx, &ty, &bad))
        return fmt("no header: the value at x = %.17g is not finite", bad);
    std::string name = e.name;
    Footprint fp = footprint(e.m, x, e.store, e.even, e.grid != nullptr);
    std::string s = preamble(e, tx.size(), fp.bytes) + guards(name, e.store);
    s += fmt("static const int %s_n = %d;\n", e.name, n);
    const char* row = e.store != Store::f64 ? "float" : "double";
    const char* arith = single(e.store) ? "float" : "double";
    const char* suffix = single(e.store) ? "f" : "";
    if (e.grid == nullptr)
        s += array(row, name + "_x", x, e.store != Store::f64 ? "f" : "");
    s += array(row, name + "_y", y, e.store != Store::f64 ? "f" : "");
    for (const Shipped& a : e.m.ships)
        s += std::string("/* ") + a.comment + " */\n" +
             array(arith, name + "_" + a.name, t.own[static_cast<std::size_t>(a.array)], suffix);
    if (e.grid != nullptr)
        s += grid_text(*e.grid, name);
    else
        s += index_arrays(fp.index, name, e.store) +
             in_arith("\n/* Row i's abscissa and ordinate as @s. */\n"
                      "static inline @ $_xs(int i)\n{\n    return $_x[i];\n}\n\n"
                      "static inline @ $_ys(int i)\n{\n    return $_y[i];\n}\n",
                      name, e.store) +
             in_arith(below_c, name, e.store);
    s += in_arith(e.m.c_eval, name, e.store);
    s += std::string(
             "\n/* Test vectors: the rows, the intervals' middles, 64 points of the interval "
             "of\n * the largest error, a point outside each end, ") +
         (e.grid != nullptr ? "the points either side of where\n * the computed interval of up "
                              "to 16 rows is not the search's, "
                            : "") +
         "and up to 16 points where a build\n"
         " * that fuses multiplies into adds gives other bits; the values the suite gives. */\n" +
         fmt("static const int %s_test_n = %zu;\n", e.name, tx.size()) +
         array(arith, name + "_test_x", tx, suffix) + array(arith, name + "_test_y", ty, suffix);
    s += in_arith("\n/* How many test vectors $_eval misses, bit for bit. */\n"
                  "static inline int $_check(void)\n{\n    int i, miss = 0;\n"
                  "    for (i = 0; i < $_test_n; ++i) {\n        @ v = $_eval($_test_x[i]);\n"
                  "        if (memcmp(&v, &$_test_y[i], sizeof v) != 0)\n            ++miss;\n"
                  "    }\n    return miss;\n}\n\n#endif\n",
                  name, e.store);
    *text = std::move(s);
    return "";
}
