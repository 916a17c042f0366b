#include "core/number.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace tarvik {

namespace {

bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

} // namespace

bool is_number_text(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-')
        ++i;
    std::size_t intDigits = 0, fracDigits = 0;
    while (i < t.size() && digit(t[i]))
        ++i, ++intDigits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && digit(t[i]))
            ++i, ++fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && t[i] == '-')
            ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && digit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == t.size();
}

double to_number(std::string_view text) {
    if (!is_number_text(text))
        return std::numeric_limits<double>::quiet_NaN();
    // from_chars ignores the process locale (a GUI may set one with a decimal comma).
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large gives an infinity, too small a zero, keeping the sign.
        const bool negative = text.front() == '-';
        const auto e = text.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -value : value;
    }
    return value;
}

} // namespace tarvik
