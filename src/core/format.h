#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The one place that turns numbers and times into user-visible text. Every format prints NaN as "NaN"
// and infinities as "Inf" / "-Inf", padded to the requested width like a number would be, and writes
// numbers as the C locale does, with a decimal point, whatever locale the process runs in.

// The text without blanks (spaces, tabs, line breaks) at either end.
std::string_view trimmed(std::string_view text);

// C-style "%<width>.<precision>f"; width 0 means no padding ("%f" is format_fixed(x, 0, 6)).
std::string format_fixed(double x, int width, int precision);

// "%d" of a whole number held in a double.
std::string format_int(double x);

// A count with a comma between each group of three digits, e.g. "1,590".
std::string format_count(std::size_t n);

// The display form of numbers in controls: at most `digits` significant digits ("%.5g").
std::string format_significant(double x, int digits = 5);

// "dd-mmm-yyyy HH:MM:SS" with English three-letter month names, e.g. "05-Dec-2026 11:54:46".
std::string format_date_time(const std::tm& t);

// Replaces each "%s" of `pattern` by the next argument, in order.
std::string fill(std::string_view pattern, const std::vector<std::string>& args);

// Case-insensitive comparison of ASCII text.
bool iequals(std::string_view a, std::string_view b);
std::string to_lower(std::string_view s);

} // namespace tarvik
