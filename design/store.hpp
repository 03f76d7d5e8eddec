// store: the types a designed table's values are stored in, their rounding, and what the
// rounding alone may cost a method's error (the floor no design goes below).
#pragma once

#include "method.hpp"

#include <vector>

// The type a table's values are stored in: each abscissa and ordinate is rounded to it, and
// the design and every check evaluate the rows as they read back; and the arithmetic its
// evaluator computes in: double, or with f32_float float32 throughout (the method's arrays
// shipped in float32 too).
enum class Store { f64, f32, f32_float };
// Whether the evaluator computes in float32.
inline bool single(Store s) {
    return s == Store::f32_float;
}
// v rounded to the type (to nearest).
double stored(double v, Store s);
// [a, b] rounded outward to the type, in place: a table on it covers what was asked. |a| and
// |b| at most 1e38 for f32.
void round_out(double* a, double* b, Store s);
// The ordinates of rows x as stored: the study function's values rounded to s. Allocates.
std::vector<double> stored_values(const std::vector<double>& x, Store s);
// The bytes one value takes in the type.
int store_bytes(Store s);
// The type's name as a user types it: "double", "float32".
const char* store_name(Store s);
// The arithmetic's name as a user types it: "double", "float32".
const char* arith_name(Store s);
// What rounding the ordinates to the type alone can cost the method's error on [a, b]: the
// method's amplification of its data errors (measured on 32 evenly spaced rows) times half a
// unit in the last place of the study function's largest |f| on [a, b]; in float32
// arithmetic, plus the least of the evaluator's own rounding there (Method::single_units).
// 0 for doubles, whose rounding the bound's allowance counts. Allocates; throws
// std::bad_alloc when memory is short.
double store_floor(double a, double b, const Method& m, Store s);
