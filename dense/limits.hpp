// limits: the study's limits, which the libraries and the programs share.
#pragma once

// The interval of the study when none is given.
inline constexpr double default_a = 0.0, default_b = 7.0;
// The most rows a table of the study may have, designed or evenly spaced.
inline constexpr long long max_rows = 1LL << 24;
// Errors below this are rounding, not interpolation: a few hundred ulps of the peak value 1.
// No tolerance below it is asked for.
inline constexpr double error_floor = 1e-13;
