// spacing: the figure of where designed tables put their rows.
#pragma once

#include <string>
#include <vector>

// One method's rows for the figure: its name in the legend, its designed rows x (ascending,
// at least 2) and the rows of its evenly spaced table (0: more than 2^24).
struct Spacing {
    std::string label;
    const char* colour; // its rows' colour where more than one method is drawn
    std::vector<double> x;
    long long even = 0;
};
// An SVG figure of the spacing x[k+1] - x[k] of each method's designed rows against x (log
// spacing), solid, beside the even spacing of its evenly spaced table on [a, b], dashed;
// heading names the request. One method: its designed rows blue, the even spacing red.
std::string spacing_svg(const std::vector<Spacing>& s, double a, double b,
                        const std::string& heading);
