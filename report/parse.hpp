// parse: what the report page reads from the study's outputs: gplot's side-by-side lines,
// lorconv's conv.csv and lorgen's decision table. Each number is kept as the text the program
// printed; rows that do not have the expected shape are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One method's largest error on the sample table, from gplot's line
// "compare.svg, LABEL: largest error ERR at x = X (BOUND) inside the table ...".
struct MethodLargest {
    std::string label, err, x, bound;
};
std::vector<MethodLargest> parse_compare(std::string_view text);

// One method's convergence in conv.csv: its first and last n, and the orders observed
// between its last two tables, inside and at the ends, as "%.2f" ("-": none).
struct MethodOrders {
    std::string method, n_first, n_last, inner, ends;
};
std::vector<MethodOrders> parse_conv(std::string_view csv);

// lorgen's decision table: its heading line ("Rows that keep each method within 1e-8 on
// [0, 7], proven by the bound:") and a row a method.
struct MethodRows {
    std::string method, even, designed, bytes, largest, bound;
};
struct Decision {
    std::string heading;
    std::vector<MethodRows> rows;
};
Decision parse_decision(std::string_view text);

// The lines of text, without their line ends (LF or CR LF).
std::vector<std::string_view> lines_of(std::string_view text);
