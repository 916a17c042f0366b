// Reading the data file as text: characters, lines, cleaning, splitting, header names, the table.
#include "import/data_file.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
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
using Count = Ex<std::size_t>;
using Pieces = Ex<Views>;

template <class F, class Out> void expect_each(F f, std::initializer_list<Ex<Out>> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(f(c.in), c.out) << "input " << ::testing::PrintToString(c.in);
}

// ---- characters and lines ---------------------------------------------------------------------------

TEST(CharacterCount, WellFormedSequencesAreOneCharacterStrayBytesOneEach) {
    expect_each(character_count,
                {Count{"abc", 3}, Count{"", 0},
                 // e acute, euro sign, emoji
                 Count{"\xC3\xA9", 1}, Count{"\xE2\x82\xAC", 1}, Count{"\xF0\x9F\x98\x80", 1},
                 // an invalid byte, a lone continuation byte, truncated sequences: each byte alone
                 Count{"\xFF", 1}, Count{"\x80", 1}, Count{"\xE2\x82", 2}, Count{"a\xC3", 2},
                 // overlong, a surrogate, past the last code point
                 Count{"\xC0\x80", 2}, Count{"\xE0\x80\x80", 3}, Count{"\xED\xA0\x80", 3},
                 Count{"\xF4\x90\x80\x80", 4},
                 // o umlaut and sharp s, written in octal
                 Count{"G\303\266\303\237e\377", 5}});
    EXPECT_EQ(character_length("ab", 2), 0u); // the end of the text has no character
    EXPECT_EQ(character_length("a\xC3\xA9", 1), 2u);
}

TEST(FileLines, LineFeedEndsALineAndTakesItsCarriageReturn) {
    expect_each(split_file_lines,
                {Pieces{"", {}}, Pieces{"a", {"a"}}, Pieces{"a\nb\n", {"a", "b"}}, Pieces{"a\nb", {"a", "b"}},
                 Pieces{"a\n\n\nb\n", {"a", "", "", "b"}}, Pieces{"\n", {""}},
                 Pieces{"a\r\nb\r\n", {"a", "b"}}, Pieces{"a\r\n\r\nb", {"a", "", "b"}},
                 Pieces{"a\r\r\n", {"a\r"}},   // only one CR goes
                 Pieces{"a\rb\r", {"a\rb\r"}}, // CRs alone end no line
                 Pieces{"a\nb\r", {"a", "b\r"}}});
}

TEST(FileContent, NulMarksABinaryFileAndAByteOrderMarkGoesOnlyAtTheStart) {
    EXPECT_TRUE(looks_binary(std::string("ab\0c", 4)));
    EXPECT_FALSE(looks_binary("Speaker\tVowel\n\xFF\xFE"));
    EXPECT_FALSE(looks_binary(""));
    EXPECT_EQ(without_byte_order_mark("\xEF\xBB\xBFSpeaker"), "Speaker");
    EXPECT_EQ(without_byte_order_mark("Speaker\xEF\xBB\xBF"), "Speaker\xEF\xBB\xBF");
    EXPECT_EQ(without_byte_order_mark("\xEF\xBB"), "\xEF\xBB");
}

// ---- header line ------------------------------------------------------------------------------------

TEST(HeaderCleaning, PunctuationAndSpacesBecomeUnderscoreOneTrailingBlankGoes) {
    expect_each(clean_header_line,
                {Text{"Phrase Duration", "Phrase_Duration"}, Text{"F1 (Hz)", "F1__Hz_"},
                 Text{"a\tb\t\t", "a\tb\t"}, // only the last of two trailing tabs goes
                 Text{"a\tb\r", "a\tb"},
                 Text{"a b ", "a_b_"}, // the blank has become "_" before the trailing rule looks at it
                 Text{"a\t\tb", "a\t\tb"}, Text{"", ""}, Text{"H\xC3\xB6he", "H_he"}, Text{"x\xFFy", "x_y"},
                 Text{"a-b.c", "a_b_c"}});
}

TEST(HeaderReading, NamesInFileOrderOrTheFirstIllegalPiece) {
    const std::vector<std::pair<std::string, HeaderResult>> cases = {
        {"Speaker\tPhrase Duration\tF1 (Hz)", {{"Speaker", "Phrase_Duration", "F1__Hz_"}, {}}},
        {"Speaker\t1st\tF1", {{}, "1st"}},
        {"Vowel\tend", {{}, "end"}},
        {"a\t2nd\tfor", {{}, "2nd"}},
        {"a\tb\t\t", {{}, ""}}, // two trailing tabs give an empty name
        {"a\tb\t", {{"a", "b"}, {}}},
        {"  a", {{}, "__a"}},
        {"", {{}, {}}},
        {"A\tB\tA", {{"A", "B", "A"}, {}}}, // duplicates are kept
    };
    for (const auto& [line, expected] : cases) {
        const HeaderResult r = read_header(line);
        EXPECT_EQ(r.names, expected.names) << line;
        EXPECT_EQ(r.illegal, expected.illegal) << line;
    }
}

TEST(HeaderName, LetterThenWordCharactersAtMost63AndNoReservedWord) {
    for (const char* name : {"Speaker", "F1__Hz_", "Phrase_Duration", "a", "End", "endx", "x_1"})
        EXPECT_TRUE(is_valid_header_name(name)) << name;
    for (const char* name : {"", "1st", "_x", "a-b", "a.b", "a b", "H\xC3\xB6he"})
        EXPECT_FALSE(is_valid_header_name(name)) << name;
    EXPECT_TRUE(is_valid_header_name(std::string(kMaxHeaderNameLength, 'a')));
    EXPECT_FALSE(is_valid_header_name(std::string(kMaxHeaderNameLength + 1, 'a')));
    for (const std::string word :
         {"break", "case", "catch", "continue", "else", "elseif", "end", "for", "function", "global", "if",
          "otherwise", "persistent", "return", "switch", "try", "while"}) {
        EXPECT_FALSE(is_valid_header_name(word)) << word;
        EXPECT_TRUE(is_valid_header_name(word + "s")) << word;
    }
}

// ---- data lines -------------------------------------------------------------------------------------

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

TEST(Splitting, RunsOfWhitespaceSeparateAWhitespaceRemainderIsOneEmptyPiece) {
    for (const Pieces& c :
         {Pieces{"", {}}, Pieces{"a", {"a"}}, Pieces{"a\tb", {"a", "b"}}, Pieces{"a\t", {"a", ""}},
          Pieces{"\ta", {"a"}}, Pieces{"\t", {""}}, Pieces{"a \t\tb", {"a", "b"}}, Pieces{"a\t\t", {"a", ""}},
          Pieces{"a\vb\fc\rd e\nf", {"a", "b", "c", "d", "e", "f"}}, Pieces{"  a  ", {"a", ""}}}) {
        EXPECT_EQ(split_cells(c.in), c.out) << ::testing::PrintToString(c.in);
        EXPECT_EQ(count_cells(c.in), c.out.size()) << ::testing::PrintToString(c.in);
    }
}

TEST(DataLines, EmptyLinesSkippedButCountedInTheLineNumber) {
    const DataLinesResult r = read_data_lines({"h1\th2", "a\tb", "", "c\td", "", "e"}, 2);
    EXPECT_EQ(r.accepted, (TextList{"a\tb", "c\td"}));
    ASSERT_TRUE(r.mismatch);
    EXPECT_EQ(r.mismatch->fileLineNumber, 6u); // the header is line 1
    EXPECT_EQ(r.mismatch->cleanedLine, "e");

    const DataLinesResult headerOnly = read_data_lines({"a\tb"}, 2);
    EXPECT_TRUE(headerOnly.accepted.empty());
    EXPECT_FALSE(headerOnly.mismatch);
}

TEST(DataLines, LineOfBlanksIsOneCell) {
    const DataLinesResult one = read_data_lines({"Only", "   ", "x"}, 1);
    EXPECT_FALSE(one.mismatch);
    EXPECT_EQ(one.accepted, (TextList{"_", "x"}));

    const DataLinesResult two = read_data_lines({"a\tb", "   "}, 2);
    ASSERT_TRUE(two.mismatch);
    EXPECT_EQ(two.mismatch->fileLineNumber, 2u);
    EXPECT_EQ(two.mismatch->cleanedLine, "_");
}

TEST(DataLines, CountCheckIsAskedForEveryNonEmptyLine) {
    std::vector<std::string> asked;
    const auto r = read_data_lines({"h", "x", "", "y"}, 1, [&](const std::string& line, std::size_t n) {
        asked.push_back(line);
        return n == 1;
    });
    EXPECT_EQ(asked, (std::vector<std::string>{"x", "y"}));
    EXPECT_FALSE(r.mismatch);
}

// ---- the table --------------------------------------------------------------------------------------

TEST(DataTable, RowsAndColumnsHoldTheSameCells) {
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    const DataTable t = build_data_table({"Subject", "F1"}, {"m01\t663", "m02\tNULL"},
                                         [&](std::size_t i, std::size_t r) { progress.emplace_back(i, r); });
    EXPECT_EQ(t.header, (TextList{"Subject", "F1"}));
    EXPECT_EQ(t.dataLine, (TextList{"m01\t663", "m02\tNULL"}));
    ASSERT_EQ(t.dataRow.size(), 2u);
    EXPECT_EQ(t.dataRow[1].keys(), (TextList{"Subject", "F1"}));
    EXPECT_EQ(t.dataRow[1].at("F1"), "NULL");
    EXPECT_EQ(t.dataColumn.keys(), (TextList{"Subject", "F1"}));
    EXPECT_EQ(t.dataColumn.at("Subject"), (TextList{"m01", "m02"}));
    for (std::size_t i = 0; i < 2; ++i)
        for (const auto& h : t.header)
            EXPECT_EQ(t.dataColumn.at(h)[i], t.dataRow[i].at(h));
    EXPECT_EQ(progress, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {2, 2}}));
}

TEST(DataTable, LaterDuplicateNameOverwritesTheEarlierCells) {
    const DataTable t = build_data_table({"A", "B", "A"}, {"1\t2\t3", "4\t5\t6"});
    EXPECT_EQ(t.header, (TextList{"A", "B", "A"}));
    EXPECT_EQ(t.dataColumn.keys(), (TextList{"A", "B"}));
    EXPECT_EQ(t.dataColumn.at("A"), (TextList{"3", "6"}));
    EXPECT_EQ(t.dataColumn.at("B"), (TextList{"2", "5"}));
    EXPECT_EQ(t.dataRow[0].keys(), (TextList{"A", "B"}));
    EXPECT_EQ(t.dataRow[0].at("A"), "3");
}

TEST(DataTable, NoLinesGiveEmptyColumnsAndAWrongCellCountIsRefused) {
    const DataTable t = build_data_table({"A", "B"}, {});
    EXPECT_TRUE(t.dataRow.empty());
    EXPECT_EQ(t.dataColumn.keys(), (TextList{"A", "B"}));
    EXPECT_TRUE(t.dataColumn.at("A").empty());
    EXPECT_THROW(build_data_table({"A", "B"}, {"1\t2", "3"}), std::invalid_argument);
    EXPECT_THROW(build_data_table({}, {"1"}), std::invalid_argument);
}

} // namespace
} // namespace tarvik
