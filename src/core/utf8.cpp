#include "core/utf8.h"

namespace tarvik {

namespace {

bool is_continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

bool is_ascii_word(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

std::size_t character_length(std::string_view text, std::size_t pos) {
    if (pos >= text.size())
        return 0;
    const auto at = [&](std::size_t k) -> unsigned char {
        return pos + k < text.size() ? static_cast<unsigned char>(text[pos + k]) : 0;
    };
    const unsigned char b = at(0);
    if (b < 0x80)
        return 1;
    // The allowed range of the second byte excludes overlong forms, surrogates and values past U+10FFFF.
    std::size_t length = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            lo = 0xA0;
        else if (b == 0xED)
            hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F;
    } else {
        return 1;
    }
    if (pos + length > text.size())
        return 1;
    if (at(1) < lo || at(1) > hi)
        return 1;
    for (std::size_t k = 2; k < length; ++k)
        if (!is_continuation(at(k)))
            return 1;
    return length;
}

std::size_t character_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += character_length(text, i))
        ++n;
    return n;
}

std::size_t word_character_length(std::string_view text, std::size_t pos) {
    const std::size_t length = character_length(text, pos);
    if (length > 1)
        return length;
    return length == 1 && is_ascii_word(text[pos]) ? 1 : 0;
}

std::size_t first_byte_not_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = character_length(text, i);
        if (length == 1 && static_cast<unsigned char>(text[i]) >= 0x80)
            return i;
        i += length;
    }
    return std::string_view::npos;
}

std::string latin1_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

} // namespace tarvik
