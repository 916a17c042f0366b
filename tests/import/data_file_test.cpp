// Reading the data file as text: lines, cleaning, header names, and how messages shorten a
// long piece.
#include "import/data_file.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Views = std::vector<std::string_view>;

// An input and what the function under test makes of it.
template <class Out> struct Ex {
    std::string in;
    Out out;
};
using Text = Ex<std::string>;
using Pieces = Ex<Views>;

template <class F, class Out> void expect_each(F f, std::initializer_list<Ex<Out>> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(f(c.in), c.out) << "input " << ::testing::PrintToString(c.in);
}

TEST(FileLines, LineFeedEndsALineAndTakesItsCarriageReturn) {
    expect_each(split_file_lines,
                {Pieces{"", {}}, Pieces{"a\nb\n", {"a", "b"}}, Pieces{"a\nb", {"a", "b"}},
                 Pieces{"a\n\n\nb\n", {"a", "", "", "b"}}, Pieces{"\n", {""}},
                 Pieces{"a\r\n\r\nb", {"a", "", "b"}}, Pieces{"a\r\r\n", {"a\r"}}, // only one CR goes
                 Pieces{"a\rb\r", {"a\rb\r"}},                                     // CRs alone end no line
                 Pieces{"a\nb\r", {"a", "b\r"}}});
}

// Cleaning the header line: punctuation and blanks become "_", then one trailing whitespace character
// goes; then the names in file order, or the first piece that is no legal name.
TEST(HeaderReading, NamesInFileOrderOrTheFirstIllegalPiece) {
    struct Case {
        std::string line;
        TextList names;
        std::optional<std::string> illegal;
    };
    // "Phrase Duration", "F1 (Hz)", "1st", "end" and two trailing tabs are loaded in the tests of the button.
    for (const Case& c : {
             Case{"a-b.c\tx\xFFy\tH\xC3\xB6he\r", {"a_b_c", "x_y", "H_he"}, {}},
             Case{"c\ta b ", {"c", "a_b_"}, {}}, // the blank has become "_" before the trailing rule
             Case{"a\tb\t", {"a", "b"}, {}},
             Case{"a\t2nd\tfor", {}, "2nd"},
             Case{"  a", {}, "__a"},
             Case{"x\t_y", {}, "_y"},
         }) {
        const HeaderResult r = read_header(c.line);
        EXPECT_EQ(r.names, c.names) << c.line;
        EXPECT_EQ(r.illegal, c.illegal) << c.line;
    }
}

TEST(DataCleaning, FiveSubstitutionsInOrder) {
    expect_each(clean_data_line,
                {// Empty cells.
                 Text{"a\t\tb", "a\tNULL\tb"}, Text{"\ta", "NULL\ta"}, Text{"a\t", "a\tNULL"},
                 Text{"\t", "NULL\tNULL"},       // rule 3 gives "NULL\t", whose end tab rule 4 fills
                 Text{"\t\ta", "NULL\tNULL\ta"}, // rule 3 gives "NULL\t\ta", rule 5 fills the pair of tabs
                 Text{"a\t\t", "a\tNULL\tNULL"}, // rule 4 gives "a\t\tNULL", rule 5 fills the pair of tabs
                 Text{"a\t\t\tb", "a\tNULL\tb"}, // the middle tab is the optional character: one cell is lost
                 Text{"\t\t\ta", "NULL\tNULL\ta"},   // "NULL\t\t\ta": the three tabs are again one match
                 Text{"a\t\t\t\tb", "a\tNULL\t\tb"}, // tabs 1 to 3 are one match; tab 4 is followed by "b"
                                                     // One punctuation character between tabs; "/" becomes
                                                     // "_" first. At the line's ends it stays.
                 Text{"a\t-\tb", "a\tNULL\tb"}, Text{"a\t.\tb", "a\tNULL\tb"}, Text{"a\t_\tb", "a\tNULL\tb"},
                 Text{"a\t/\tb", "a\tNULL\tb"}, Text{"a\t \tb", "a\tNULL\tb"}, Text{"-\ta", "-\ta"},
                 Text{"a\t.", "a\t."},
                 Text{"a\t.\t.\tb", "a\tNULL\t.\tb"}, // the first match takes the second tab
                 Text{"a\tx\tb", "a\tx\tb"}, Text{"a\t7\tb", "a\t7\tb"}, Text{"a\t--\tb", "a\t--\tb"},
                 // Text in cells.
                 Text{" 512 ", "_512_"}, Text{"New York", "New_York"}, Text{"New   York", "New_York"},
                 Text{"a/b", "a_b"}, Text{"1.5e-3", "1.5e-3"}, Text{"1e+3", "1e_3"}, Text{"1,5", "1_5"},
                 Text{"   ", "_"}, Text{"a  \t b", "a_\t_b"}, Text{"Gr\303\266\303\237e", "Gr__e"},
                 Text{"5\xFF", "5_"},
                 // A cell of one non-ASCII letter is one "_", which the empty-cell rule then fills.
                 Text{"a\t\xC3\xA9\tb", "a\tNULL\tb"}, Text{"a\vb", "a\vb"}});
}

// How messages shorten a long piece: whole characters only, and the length said in characters.
TEST(Excerpts, KeepWholeCharactersAndSayHowLongTheTextWas) {
    struct Case {
        std::string text;
        std::size_t most;
        std::string shown;
    };
    for (const Case& c :
         {Case{"abc", 5, "abc"}, Case{"abcde", 5, "abcde"}, Case{"abcdef", 5, "abcde... (6 characters)"},
          Case{"", 0, ""}, Case{"ab", 0, "... (2 characters)"},
          // e acute is two bytes and one character; stray, truncated and overlong bytes are one each
          Case{"\xc3\xa9\xc3\xa9\xc3\xa9", 2, "\xc3\xa9\xc3\xa9... (3 characters)"},
          Case{"\xff\xfe\xfd", 1, "\xff... (3 characters)"},
          Case{"\xE2\x82\xC0\x80", 1, "\xE2... (4 characters)"},
          Case{"\xF0\x9F\x98\x80!", 1, "\xF0\x9F\x98\x80... (2 characters)"}})
        EXPECT_EQ(excerpt(c.text, c.most), c.shown) << ::testing::PrintToString(c.text);
}

} // namespace
} // namespace tarvik
