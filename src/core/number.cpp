#include "core/number.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace tarvik {

namespace {

bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The power of ten of the first significant digit of a number text ("0.005" and "5e-3" give -3, "120" gives
// 2). Only its sign matters for a value out of range, so the exponent saturates instead of overflowing.
long long decimal_exponent(std::string_view t) {
    constexpr long long kLimit = 1'000'000'000'000LL;
    std::size_t i = t.front() == '-' ? 1 : 0;
    long long digits = 0;       // mantissa digits read so far, before and after the point
    long long intDigits = 0;    // of which before the point
    long long significant = -1; // the place of the first digit that is not 0
    for (bool point = false; i < t.size() && (digit(t[i]) || (t[i] == '.' && !point)); ++i) {
        if (t[i] == '.') {
            point = true;
            continue;
        }
        if (significant < 0 && t[i] != '0')
            significant = std::min(digits, kLimit);
        digits = std::min(digits + 1, kLimit);
        intDigits += point ? 0 : 1;
    }
    if (significant < 0)
        return 0;
    long long exponent = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        const bool minus = ++i < t.size() && t[i] == '-';
        for (i += minus ? 1 : 0; i < t.size(); ++i)
            exponent = std::min(kLimit, exponent * 10 + (t[i] - '0'));
        exponent = minus ? -exponent : exponent;
    }
    return std::min(intDigits, kLimit) - 1 - significant + exponent;
}

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
        value = decimal_exponent(text) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -value : value;
    }
    return value;
}

} // namespace tarvik
