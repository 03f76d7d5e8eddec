// spacing: the figure of where a designed table puts its rows.
#pragma once

#include <string>
#include <vector>

// An SVG figure of the spacing x[k+1] - x[k] of the designed rows x against x (log spacing),
// beside the even spacing of the evenly spaced table of `even` rows (0: more than 2^24) on
// [a, b]; method and tol name the design in the heading.
std::string spacing_svg(const std::vector<double>& x, long long even, double a, double b,
                        const char* method, const std::string& tol);
