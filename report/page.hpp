// page: the report page's HTML from the checked inputs, and the page of the bound's
// derivation that it links to.
#pragma once

#include "inputs.hpp"

#include <string>

// index.html: the four answers, then every figure with what to see in it, then the commands.
std::string page_html(const Inputs& in);
// bound.html: the derivation of the bound, as the suite ships it (docs/bound.md), as text.
std::string bound_html();
