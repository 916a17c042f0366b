#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik {

// Text as UTF-8: a well-formed sequence is one character, and every byte that is not part of one is a
// character of its own (a stray byte).

// The number of bytes of the character that starts at `pos` (1 for ASCII and for a byte that does not
// start a well-formed UTF-8 sequence; 0 at the end of the text).
std::size_t character_length(std::string_view text, std::size_t pos);

// The number of characters of the text in the sense above.
std::size_t character_count(std::string_view text);

// Word characters are the letters of any script, digits and "_": an ASCII letter, digit or "_", or any
// well-formed non-ASCII character (a stray byte is none). The number of bytes of the word character
// that starts at `pos`, or 0 when the character there is no word character.
std::size_t word_character_length(std::string_view text, std::size_t pos);

// The position of the first byte that is not part of a well-formed character, or npos for UTF-8 text.
std::size_t first_byte_not_utf8(std::string_view text);

// Latin-1 (ISO 8859-1) text as UTF-8: each byte is the character of its own code point.
std::string latin1_to_utf8(std::string_view text);

} // namespace tarvik
