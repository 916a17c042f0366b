#pragma once

#include <string_view>

namespace tarvik {

// True when the whole text reads as a decimal number: an optional minus sign, digits with an optional
// decimal point, and an optional exponent (e or E, an optional minus sign, digits). No plus signs,
// no blanks, no decimal commas.
bool is_number_text(std::string_view text);

// The number a cell holds, or NaN when its text does not read as a number. The process locale plays
// no part: "512.5" is 512.5 under a locale with a decimal comma too.
double to_number(std::string_view text);

} // namespace tarvik
