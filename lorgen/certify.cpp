// certify: the certificates of an exported table for Sollya and Gappa. Every number in them is
// written in hexadecimal, which both read exactly; the pieces are the method's steps
// (Method::prover) in each tool's words.
#include "bound.hpp"
#include "function.hpp"
#include "header.hpp"
#include "method.hpp"
#include "shell.hpp"
#include "svg.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>

namespace {
// A name in the steps: a number, an earlier step (%name) or the input (X).
enum class Kind { number, step, input };

// The steps, one "%name = expression" a line, as `lhs op expression;` lines, every name
// written as `as` gives it (the step's own name too, as a step).
std::string rendered(const char* steps, const char* op,
                     const std::function<std::string(const std::string&, Kind)>& as) {
    std::string out, s = steps;
    for (std::size_t at = 0, eol; (eol = s.find('\n', at)) != std::string::npos; at = eol + 1) {
        std::string line = s.substr(at, eol - at), text;
        for (std::size_t i = 0; i < line.size();) {
            bool step = line[i] == '%';
            std::size_t j = i + (step ? 1 : 0);
            if (!std::isalpha(static_cast<unsigned char>(line[j]))) {
                text += line[i++];
                continue;
            }
            std::size_t e = j;
            while (e < line.size() && (std::isalnum(static_cast<unsigned char>(line[e])) != 0))
                ++e;
            std::string name = line.substr(j, e - j);
            text += as(name, step ? Kind::step : name == "X" ? Kind::input : Kind::number);
            i = e;
        }
        std::size_t split = text.find(" = ");
        out += text.substr(0, split) + " " + op + " " + text.substr(split + 3) + ";\n";
    }
    return out;
}

// The table prepared as its header computes it.
DenseTable prepared(const Export& e, std::vector<double>* y) {
    *y = stored_values(e.x, e.store);
    return dense_prepare(e.x.data(), y->data(), static_cast<int>(e.x.size()), e.m, 1,
                         single(e.store));
}

// The allowance the bound counts for piece k's computed value: the largest at the ends and at
// the engine's points between (where the input type holds them).
double piece_allowance(const DenseTable& t, int k) {
    double lo = t.xa[k], hi = t.xa[k + 1], a = 0;
    for (int j = 0; j <= dense_per_interval; ++j) {
        double x = j == dense_per_interval
                       ? hi
                       : at(t, lo + ((hi - lo) * j) / static_cast<double>(dense_per_interval));
        if (x >= lo && x <= hi)
            a = std::fmax(a, t.m->jet(t, k, x).ap);
    }
    return a;
}

// "the clamped cubic spline, 195 rows on [0, 7], double rows, double arithmetic"
std::string what_table(const Export& e) {
    return fmt("%s, %zu rows on [%s, %s], %s rows, %s arithmetic", e.m.title, e.x.size(),
               shortest(e.x.front()).c_str(), shortest(e.x.back()).c_str(), store_name(e.store),
               arith_name(e.store));
}

// The function in exact arithmetic with the programs' doubles for its peak and width.
std::string exact_function(const std::function<std::string(const std::string&)>& name) {
    std::string s = study_function().exact;
    for (const char* w : {"peak", "width"})
        for (std::size_t at = 0; (at = s.find(w, at)) != std::string::npos; at += name(w).size())
            s.replace(at, std::strlen(w), name(w));
    return s;
}
} // namespace

std::string sollya_text(const Export& e) {
    std::vector<double> y;
    DenseTable t = prepared(e, &y);
    const Function& f = study_function();
    std::string s =
        std::string("/* ") + e.name + ".sollya: Sollya's check of the bound of " + e.name +
        ".h, made by lorgen: " + what_table(e) +
        ".\n * On every interval the piece is exact over the numbers the header ships (or its "
        "evaluator\n * computes from them), and supnorm encloses its largest error against " +
        f.name + " in exact\n * arithmetic, with the programs' doubles for " + shortest(f.peak) +
        " and " + shortest(f.width) +
        ". The largest enclosure is compared with the\n * bound the suite proved for the "
        "table's computed values. Run: sollya " +
        e.name + ".sollya */\n";
    s += "verbosity = 0!;\nprec = 2200!;\ndisplay = decimal!;\n";
    s += "q_peak = " + hex(f.peak) + ";\nq_width = " + hex(f.width) + ";\n";
    s += "q_f = " + exact_function([](const std::string& w) { return "q_" + w; }) + ";\n";
    s += "q_bound = " + hex(e.p.bound) + ";\nq_allowance = " + hex(e.p.allowance) + ";\n";
    s += "q_lo = 0;\nq_hi = 0;\n";
    auto as = [](const std::string& n, Kind k) { return k == Kind::input ? "x" : "q_" + n; };
    for (int k = 0; k + 1 < t.n; ++k) {
        s += fmt("/* interval %d */\n", k);
        for (const Named& v : e.m.prover.numbers(t, k))
            s += std::string("q_") + v.name + " = " + hex(v.v) + ";\n";
        s += rendered(e.m.prover.steps, "=", as);
        s += "q_r = supnorm(q_v, q_f, [" + hex(t.xa[k]) + "; " + hex(t.xa[k + 1]) +
             "], absolute, 2^-20);\nq_lo = max(q_lo, inf(q_r));\nq_hi = max(q_hi, sup(q_r));\n";
    }
    return s + "if (q_hi <= q_bound) then print(\"sollya: holds: the exact pieces' largest error "
               "lies in [\" @ round(q_lo, 24, RD) @ \", \" @ round(q_hi, 24, RU) @ \"], within "
               "the bound \" @ round(q_bound, 24, RU) @ \" (allowance \" @ round(q_allowance, 24, "
               "RU) @ \")\")\nelse "
               "print(\"sollya: FAILS: the exact pieces' largest error reaches \" @ round(q_hi, "
               "24, RU) @ \", above the bound \" @ round(q_bound, 24, RU));\nquit;\n";
}

namespace {
// Interval k's statement for Gappa: the input x rounded to the evaluator's type, the numbers,
// the evaluator's steps rounded (v) and exact (V), and the goal |v - V| <= the allowance,
// with the range split where x is tiny (near 0 its rounding has no relative bound).
std::string gappa_statement(const DenseTable& t, int k, bool sg) {
    auto rounded = [](const std::string& n, Kind) { return n; };
    auto exact = [](const std::string& n, Kind kind) {
        std::string u = n;
        if (kind == Kind::step)
            u[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(u[0])));
        return u;
    };
    double lo = t.xa[k], hi = t.xa[k + 1], tiny = sg ? 0x1p-100 : 0x1p-1000;
    std::string s =
        std::string("@rnd = float<") + (sg ? "ieee_32" : "ieee_64") + ", ne>;\nX = rnd(r);\n";
    for (const Named& v : t.m->prover.numbers(t, k))
        s += std::string(v.name) + " = " + hex(v.v) + ";\n";
    s += rendered(t.m->prover.steps, "rnd=", rounded) + rendered(t.m->prover.steps, "=", exact);
    s += "allowance = " + hex(piece_allowance(t, k)) + ";\n";
    s += "{ r in [" + hex(lo) + ", " + hex(hi) + "] -> |v - V| - allowance <= 0 }\n";
    std::string at;
    for (double c : {-tiny, tiny})
        if (lo < c && c < hi)
            at += (at.empty() ? "" : ", ") + hex(c);
    return at.empty() ? s : s + "$ r in (" + at + ");\n";
}
} // namespace

std::string gappa_text(const Export& e) {
    std::vector<double> y;
    DenseTable t = prepared(e, &y);
    bool sg = single(e.store);
    std::string s =
        std::string("#!/bin/sh\n# ") + e.name + ".gappa: Gappa's proof that the evaluator of " +
        e.name + ".h rounds within the suite's\n# allowance, made by lorgen: " + what_table(e) +
        ".\n# For every interval a statement: v is the value as the header computes it (every "
        "operation\n# rounded to " +
        (sg ? "float32" : "double") +
        "), V the exact piece over the same numbers, and the goal |v - V| <= the\n# allowance "
        "the bound counts for it there. An interval whose range reaches within " +
        (sg ? "2^-100" : "2^-1000") +
        " of 0\n# is split there: x's rounding has no relative bound near 0. Run: sh " + e.name +
        ".gappa\nfailed=\nprove() {\n    gappa >/dev/null 2>&1 || failed=\"$failed $1\"\n}\n";
    int split = 0;
    for (int k = 0; k + 1 < t.n; ++k) {
        std::string g = gappa_statement(t, k, sg);
        split += g.find("\n$ r in (") != std::string::npos ? 1 : 0;
        s += fmt("prove %d <<'END'\n", k) + g + "END\n";
    }
    std::string n = std::to_string(t.n - 1);
    return s + "if [ -z \"$failed\" ]; then\n    echo \"gappa: holds: on each of the " + n +
           " intervals (" + std::to_string(split) +
           " split) the evaluator's rounding is within its allowance\"\nelse\n    echo "
           "\"gappa: FAILS: not proven within the allowance on the intervals$failed\"\n    exit "
           "1\nfi\n";
}
