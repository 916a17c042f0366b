#include "core/format.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace tarvik {

namespace {

std::string pad_left(std::string s, int width) {
    if (width > 0 && static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

// Text of a non-finite value, or empty when x is finite.
std::string non_finite(double x) {
    if (std::isnan(x))
        return "NaN";
    if (std::isinf(x))
        return x > 0 ? "Inf" : "-Inf";
    return {};
}

// The text printf gives with "%.<precision>f", "%.<precision>e" or "%.<precision>g" in the C locale.
// std::to_chars never looks at the process locale, which a GUI toolkit sets from the environment:
// under a locale with a decimal comma, printf would write "0,5" into tables, logs and CSV files.
std::string c_locale_text(double x, std::chars_format form, int precision) {
    if (precision < 0)
        precision = 6; // as printf does with a negative precision
    // Enough for the longest fixed form: a sign, 309 integer digits, the point and the decimals. The
    // usual precisions fit on the stack; tables and logs format many numbers.
    const std::size_t size = static_cast<std::size_t>(precision) + 320;
    std::array<char, 400> local;
    std::string heap;
    char* buf = local.data();
    if (size > local.size()) {
        heap.resize(size);
        buf = heap.data();
    }
    const auto [end, ec] = std::to_chars(buf, buf + size, x, form, precision);
    return ec == std::errc{} ? std::string(buf, end) : std::string();
}

} // namespace

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string format_fixed(double x, int width, int precision) {
    if (auto s = non_finite(x); !s.empty())
        return pad_left(s, width);
    return pad_left(c_locale_text(x, std::chars_format::fixed, precision), width);
}

std::string format_int(double x) {
    if (auto s = non_finite(x); !s.empty())
        return s;
    if (x == std::floor(x) && std::fabs(x) < 1e15) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(x));
        return buf;
    }
    // A fractional value printed with %d falls back to the exponent form, as C-style runtimes do.
    return c_locale_text(x, std::chars_format::scientific, 6);
}

std::string format_count(std::size_t n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string format_significant(double x, int digits) {
    if (auto s = non_finite(x); !s.empty())
        return s;
    return c_locale_text(x, std::chars_format::general, digits);
}

std::string format_date_time(const std::tm& t) {
    static constexpr std::array<const char*, 12> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int month = t.tm_mon >= 0 && t.tm_mon < 12 ? t.tm_mon : 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d-%s-%04d %02d:%02d:%02d", t.tm_mday, months[month], t.tm_year + 1900,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

std::string fill(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            if (next < args.size())
                out += args[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string to_lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace tarvik
