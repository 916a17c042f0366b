// Reading the data file as text: lines, cleaning, header names, and how messages shorten a
// long piece.
#include "import/data_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

// An input and the lines it splits into; a header line, its names and its first illegal piece; a data line
// and its cleaned text; a text, the most characters shown of it and what is shown.
using Lines = std::pair<std::string, std::vector<std::string_view>>;
using Header = std::tuple<std::string, TextList, std::optional<std::string>>;
using Cleaned = std::pair<std::string, std::string>;
using Excerpt = std::tuple<std::string, std::size_t, std::string>;

// CRLF line ends and carriage returns alone are loaded in the hostile-file tests.
TEST(FileLines, LineFeedEndsALineAndTakesItsCarriageReturn) {
    for (const auto& [in, lines] : {Lines{"", {}}, Lines{"a\nb\n", {"a", "b"}}, Lines{"a\nb", {"a", "b"}},
                                    Lines{"a\n\n\nb\n", {"a", "", "", "b"}}, Lines{"\n", {""}},
                                    Lines{"a\r\r\n", {"a\r"}}, // only one CR goes
                                    Lines{"a\nb\r", {"a", "b\r"}}})
        EXPECT_EQ(split_file_lines(in), lines) << ::testing::PrintToString(in);
}

// Cleaning the header line: punctuation and blanks become "_", then one trailing whitespace character
// goes; then the names in file order, or the first piece that is no legal name.
TEST(HeaderReading, NamesInFileOrderOrTheFirstIllegalPiece) {
    // "Phrase Duration", "F1 (Hz)", "1st", "end" and two trailing tabs are loaded in the tests of the button.
    for (const auto& [line, names, illegal] :
         {Header{"a-b.c\tx\xFFy\tH\xC3\xB6he\r", {"a_b_c", "x_y", "H\xC3\xB6he"}, {}},
          // A letter of any script begins a name; a name has at most 63 characters, not bytes.
          Header{"\xC3\x96l\t\xC9\x9B" + std::string(62, 'x'),
                 {"\xC3\x96l", "\xC9\x9B" + std::string(62, 'x')},
                 {}},
          Header{"a\t\xC9\x9B" + std::string(63, 'x'), {}, "\xC9\x9B" + std::string(63, 'x')},
          Header{"c\ta b ", {"c", "a_b_"}, {}}, // the blank has become "_" before the trailing rule
          Header{"a\tb\t", {"a", "b"}, {}}, Header{"a\t2nd\tfor", {}, "2nd"}, Header{"  a", {}, "__a"},
          Header{"x\t_y", {}, "_y"}}) {
        const HeaderResult r = read_header(line);
        EXPECT_EQ(r.names, names) << line;
        EXPECT_EQ(r.illegal, illegal) << line;
    }
}

// The cleaning of import_basic.txt and import_mismatch.txt (a blank-framed number, New York, a/b, 1.5e-3,
// 1e+3, an empty cell, a lone "-" and three tabs in a row) is pinned where they are loaded.
TEST(DataCleaning, FiveSubstitutionsInOrder) {
    for (const auto& [in, out] :
         {// Empty cells.
          Cleaned{"\ta", "NULL\ta"}, Cleaned{"a\t", "a\tNULL"},
          Cleaned{"\t", "NULL\tNULL"},           // rule 3 gives "NULL\t", whose end tab rule 4 fills
          Cleaned{"\t\ta", "NULL\tNULL\ta"},     // rule 3 gives "NULL\t\ta", rule 5 fills the pair of tabs
          Cleaned{"a\t\t", "a\tNULL\tNULL"},     // rule 4 gives "a\t\tNULL", rule 5 fills the pair of tabs
          Cleaned{"\t\t\ta", "NULL\tNULL\ta"},   // "NULL\t\t\ta": the three tabs are one match
          Cleaned{"a\t\t\t\tb", "a\tNULL\t\tb"}, // tabs 1 to 3 are one match; tab 4 is followed by "b"
          Cleaned{"a\t.\tb", "a\tNULL\tb"},      // one punctuation character between tabs is an empty cell,
          Cleaned{"a\t_\tb", "a\tNULL\tb"},      // "/" after it has become "_"
          Cleaned{"a\t/\tb", "a\tNULL\tb"}, Cleaned{"a\t \tb", "a\tNULL\tb"}, Cleaned{"-\ta", "-\ta"},
          Cleaned{"a\t.", "a\t."},                // but not at the line's ends
          Cleaned{"a\t.\t.\tb", "a\tNULL\t.\tb"}, // the first match takes the second tab
          Cleaned{"a\tx\tb", "a\tx\tb"}, Cleaned{"a\t7\tb", "a\t7\tb"}, Cleaned{"a\t--\tb", "a\t--\tb"},
          // Text in cells.
          Cleaned{"New   York", "New_York"}, Cleaned{"1,5", "1_5"}, Cleaned{"a  \t b", "a_\t_b"},
          Cleaned{"Gr\303\266\303\237e", "Gr\303\266\303\237e"}, Cleaned{"5\xFF", "5_"},
          Cleaned{"\xC9\x9B/\xC9\x99", "\xC9\x9B_\xC9\x99"},
          // A cell of one non-ASCII letter is a letter, not an empty cell.
          Cleaned{"a\t\xC3\xA9\tb", "a\t\xC3\xA9\tb"}, Cleaned{"a\vb", "a\vb"}})
        EXPECT_EQ(clean_data_line(in), out) << ::testing::PrintToString(in);
}

// How messages shorten a long piece: whole characters only, and the length said in characters.
TEST(Excerpts, KeepWholeCharactersAndSayHowLongTheTextWas) {
    for (const auto& [text, most, shown] :
         {Excerpt{"abc", 5, "abc"}, Excerpt{"abcde", 5, "abcde"},
          Excerpt{"abcdef", 5, "abcde... (6 characters)"}, Excerpt{"", 0, ""},
          Excerpt{"ab", 0, "... (2 characters)"},
          // e acute is two bytes and one character; stray, truncated and overlong bytes are one each
          Excerpt{"\xc3\xa9\xc3\xa9\xc3\xa9", 2, "\xc3\xa9\xc3\xa9... (3 characters)"},
          Excerpt{"\xff\xfe\xfd", 1, "\xff... (3 characters)"},
          Excerpt{"\xE2\x82\xC0\x80", 1, "\xE2... (4 characters)"},
          Excerpt{"\xF0\x9F\x98\x80!", 1, "\xF0\x9F\x98\x80... (2 characters)"}})
        EXPECT_EQ(excerpt(text, most), shown) << ::testing::PrintToString(text);
}

} // namespace
} // namespace tarvik
