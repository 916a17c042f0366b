#pragma once

#include "core/handles.h"
#include "core/utf8.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The tab-delimited data file: one header line, then one vowel token per line. Everything here works on
// plain text; the load operation (load_file.h) adds the dialogs and the record.
//
// Characters. The file's bytes become UTF-8 text first (decode_data_file: a file that is not UTF-8 is read
// as Latin-1), so that labels of any script keep their spelling. A line is then read as UTF-8 in the sense
// of core/utf8.h: a well-formed sequence is one character, and a stray byte (which only text that did not
// come through decode_data_file holds) is a character of its own. Word characters are the letters of any
// script, digits and "_": an ASCII letter, digit or "_", or any well-formed non-ASCII character. Only tab,
// line feed, vertical tab, form feed, carriage return and space are whitespace. So the cleaning below keeps
// every non-ASCII character as it is, and turns ASCII punctuation (and each stray byte) into exactly one
// "_".

// The text as a message shows it: unchanged up to `maxCharacters` characters, else its first
// `maxCharacters` characters, "..." and the length in characters. A dialog cannot lay out a line of
// megabytes in any useful time, and the start says which piece is meant.
std::string excerpt(std::string_view text, std::size_t maxCharacters);

bool is_separator(char c);      // tab, line feed, vertical tab, form feed, carriage return, space

// The lines of a whole file: a line feed ends a line and a carriage return just before it goes with it;
// the end of the file ends the last line, and a final line feed does not start another one. The views
// point into `content`.
std::vector<std::string_view> split_file_lines(std::string_view content);

// True when the file holds a NUL byte, which no text data file in UTF-8 or Latin-1 does.
bool looks_binary(std::string_view content);

// True for UTF-16 text: a byte-order mark FF FE or FE FF at the start or, without one, the NUL bytes of
// text of mostly ASCII characters in UTF-16: a NUL on the same side of at least half of the pairs of
// bytes, and no pair of two NULs (no text holds the character U+0000; a binary file usually does).
bool looks_utf16(std::string_view content);

// A leading UTF-8 byte-order mark is not part of the header's first name.
std::string_view without_byte_order_mark(std::string_view content);

// The bytes of a data file as the text the reader reads: UTF-8 without a leading byte-order mark. A file
// that is not UTF-8 is read as Latin-1 (ISO 8859-1: each byte the character of its code point), and the
// result says where the first byte sequence that is not UTF-8 is. UTF-16 text and files with NUL bytes are
// no text to read.
struct DataFileText {
    enum class Kind { Text, Utf16, Binary };
    Kind kind = Kind::Text;
    std::string text;
    // Read as Latin-1: the first line (1-based as an editor counts them: the header is line 1, empty lines
    // count) that holds a byte sequence that is not UTF-8. 0 for a UTF-8 file.
    std::size_t latin1Line = 0;
};
DataFileText decode_data_file(std::string_view content);

// The header line cleaned: every character that is neither a word character nor whitespace, and every
// space, becomes "_"; then one whitespace character at the very end is dropped. Every other byte stays in
// its place, so a piece of the cleaned line is found at the same position in the line.
std::string clean_header_line(std::string_view line);

// A data line cleaned by five substitutions, each over the whole line, left to right, without
// overlapping matches, each seeing the output of the one before:
//   1. a character that is not "-", a word character, whitespace or "." becomes "_";
//   2. a run of spaces becomes one "_";
//   3. a tab at the start becomes "NULL" and a tab;
//   4. a tab at the end becomes a tab and "NULL";
//   5. a tab, at most one character that is not a letter or digit, and a tab become tab, NULL, tab (the
//      middle character is taken when it is there, so three tabs are one match). After rule 1 such a
//      character is "_", "-", "." or whitespace: a cell of one letter of any script, such as "a" or "æ",
//      stays.
std::string clean_data_line(std::string_view line);

// The pieces of a cleaned line: cut at runs of whitespace, leading whitespace skipped; a remainder made
// of whitespace only still gives one last, empty piece. "" gives no piece, "a\t" gives "a" and "".
std::vector<std::string_view> split_cells(std::string_view line);
std::size_t count_cells(std::string_view line);

// A name usable as a column name: a letter (an ASCII letter or a non-ASCII character), then word
// characters, at most 63 characters, and not a reserved word.
bool is_valid_header_name(std::string_view name);
inline constexpr std::size_t kMaxHeaderNameLength = 63;

// A name that two columns share once cleaned, and the two pieces as the header line writes them (equal
// unless the cleaning made them equal: "F1 (Hz)" and "F1_(Hz)" both become "F1__Hz_").
struct DuplicateName {
    std::string name, first, second;
};

// The header line read: the cleaned names in file order, or the first piece (in file order) that is not a
// valid name or that repeats a name before it.
struct HeaderResult {
    TextList names;
    std::optional<std::string> illegal;
    std::optional<DuplicateName> duplicate;
};
HeaderResult read_header(std::string_view firstLine);

// A data line whose cell count differs from the header's: its 1-based line number in the file (the
// header is line 1, empty lines count) and its cleaned text.
struct FieldCountMismatch {
    std::size_t fileLineNumber = 0;
    std::string cleanedLine;
};

// The data lines read from every line of the file (`fileLines`, header first, which is skipped): empty
// lines skipped, the others cleaned and kept in file order, until the first line whose cell count is not
// `numHeaders`.
struct DataLinesResult {
    TextList accepted;
    std::optional<FieldCountMismatch> mismatch;
};
// `verify(line, numHeaders)` decides whether a cleaned line has the right count; without it the pieces of
// split_cells are counted.
using CellCountCheck = std::function<bool(const std::string& line, std::size_t numHeaders)>;
DataLinesResult read_data_lines(const std::vector<std::string_view>& fileLines, std::size_t numHeaders,
                                const CellCountCheck& verify = {});

// The data table built from the header names and the accepted (cleaned) lines. Row i holds piece j of
// line i under header name j. The reader refuses a header that repeats a name (read_header); given one,
// a later column with the same name overwrites the earlier one's cells, and keeps the earlier one's place.
struct DataTable {
    TextList header;
    OrderedMap<TextList> dataColumn;
};

// `onRow(i, R)` is called after row i (1-based) of R has been filled. Throws std::invalid_argument when
// a line does not split into as many pieces as there are header names.
DataTable build_data_table(TextList header, const TextList& lines,
                           const std::function<void(std::size_t, std::size_t)>& onRow = {});

} // namespace tarvik
