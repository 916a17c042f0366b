// Reading the data file as text: characters, lines, cleaning, splitting, header names, the table.
#include "import/data_file.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

using Views = std::vector<std::string_view>;

struct TextCase {
    const char* name;
    std::string in;
    std::string out;
};
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}
std::string case_name(const ::testing::TestParamInfo<TextCase>& info) {
    return info.param.name;
}

// ---- characters ------------------------------------------------------------------------------------

struct CountCase {
    const char* name;
    std::string text;
    std::size_t characters;
};
void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.name;
}

class CharacterCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(CharacterCount, WellFormedSequencesAreOneCharacterStrayBytesOneEach) {
    EXPECT_EQ(character_count(GetParam().text), GetParam().characters);
}

INSTANTIATE_TEST_SUITE_P(Utf8, CharacterCount,
                         ::testing::Values(CountCase{"Ascii", "abc", 3}, CountCase{"Empty", "", 0},
                                           CountCase{"TwoByteLetter", "\xC3\xA9", 1},          // e acute
                                           CountCase{"ThreeByteSign", "\xE2\x82\xAC", 1},      // euro sign
                                           CountCase{"FourByteSymbol", "\xF0\x9F\x98\x80", 1}, // emoji
                                           CountCase{"LoneInvalidByte", "\xFF", 1},
                                           CountCase{"LoneContinuation", "\x80", 1},
                                           CountCase{"TruncatedSequence", "\xE2\x82", 2}, // each byte alone
                                           CountCase{"TruncatedAtEnd", "a\xC3", 2},
                                           CountCase{"Overlong", "\xC0\x80", 2},
                                           CountCase{"OverlongThreeByte", "\xE0\x80\x80", 3},
                                           CountCase{"Surrogate", "\xED\xA0\x80", 3},
                                           CountCase{"PastLastCodePoint", "\xF4\x90\x80\x80", 4},
                                           CountCase{"Mixed",
                                                     "G\xC3\xB6\xC3\x9F"
                                                     "e\xFF",
                                                     5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CharacterLength, EndOfTextHasNoCharacter) {
    EXPECT_EQ(character_length("ab", 2), 0u);
    EXPECT_EQ(character_length("a\xC3\xA9", 1), 2u);
}

// ---- lines of a file --------------------------------------------------------------------------------

struct LinesCase {
    const char* name;
    std::string content;
    Views lines;
};
void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << c.name;
}

class FileLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(FileLines, LineFeedEndsALineAndTakesItsCarriageReturn) {
    EXPECT_EQ(split_file_lines(GetParam().content), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Terminators, FileLines,
    ::testing::Values(LinesCase{"EmptyFile", "", {}}, LinesCase{"NoTerminator", "a", {"a"}},
                      LinesCase{"FinalTerminatorAddsNoLine", "a\nb\n", {"a", "b"}},
                      LinesCase{"LastLineUnterminated", "a\nb", {"a", "b"}},
                      LinesCase{"EmptyLinesKept", "a\n\n\nb\n", {"a", "", "", "b"}},
                      LinesCase{"OnlyATerminator", "\n", {""}}, LinesCase{"Crlf", "a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"CrlfEmptyLine", "a\r\n\r\nb", {"a", "", "b"}},
                      LinesCase{"OnlyOneCarriageReturnGoes", "a\r\r\n", {"a\r"}},
                      LinesCase{"CarriageReturnsAloneEndNoLine", "a\rb\r", {"a\rb\r"}},
                      LinesCase{"CarriageReturnAtEndOfFileStays", "a\nb\r", {"a", "b\r"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileContent, NulByteMarksABinaryFile) {
    EXPECT_TRUE(looks_binary(std::string("ab\0c", 4)));
    EXPECT_FALSE(looks_binary("Speaker\tVowel\n\xFF\xFE"));
    EXPECT_FALSE(looks_binary(""));
}

TEST(FileContent, ByteOrderMarkIsDroppedOnlyAtTheStart) {
    EXPECT_EQ(without_byte_order_mark("\xEF\xBB\xBFSpeaker"), "Speaker");
    EXPECT_EQ(without_byte_order_mark("Speaker\xEF\xBB\xBF"), "Speaker\xEF\xBB\xBF");
    EXPECT_EQ(without_byte_order_mark("\xEF\xBB"), "\xEF\xBB");
}

// ---- header line ------------------------------------------------------------------------------------

class HeaderCleaning : public ::testing::TestWithParam<TextCase> {};

TEST_P(HeaderCleaning, PunctuationAndSpacesBecomeUnderscoreOneTrailingBlankGoes) {
    EXPECT_EQ(clean_header_line(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Substitutions, HeaderCleaning,
    ::testing::Values(TextCase{"BlankInName", "Phrase Duration", "Phrase_Duration"},
                      // F, 1, blank, (, H, z, ) -> blank and both brackets become "_".
                      TextCase{"Brackets", "F1 (Hz)", "F1__Hz_"},
                      // Only the last of two trailing tabs goes, which leaves an empty last piece.
                      TextCase{"TwoTrailingTabs", "a\tb\t\t", "a\tb\t"},
                      TextCase{"TrailingCarriageReturn", "a\tb\r", "a\tb"},
                      // The blank has become "_" before the trailing-whitespace rule looks at it.
                      TextCase{"TrailingBlankStays", "a b ", "a_b_"},
                      TextCase{"TabsKept", "a\t\tb", "a\t\tb"}, TextCase{"Empty", "", ""},
                      TextCase{"NonAsciiLetterIsOneUnderscore", "H\xC3\xB6he", "H_he"},
                      TextCase{"InvalidByteIsOneUnderscore", "x\xFFy", "x_y"},
                      TextCase{"DashAndDot", "a-b.c", "a_b_c"}),
    case_name);

struct HeaderCase {
    const char* name;
    std::string line;
    TextList names;
    std::optional<std::string> illegal;
};
void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << c.name;
}

class HeaderReading : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderReading, NamesInFileOrderOrTheFirstIllegalPiece) {
    const HeaderResult r = read_header(GetParam().line);
    EXPECT_EQ(r.names, GetParam().names);
    EXPECT_EQ(r.illegal, GetParam().illegal);
}

INSTANTIATE_TEST_SUITE_P(Lines, HeaderReading,
                         ::testing::Values(HeaderCase{"Cleaned",
                                                      "Speaker\tPhrase Duration\tF1 (Hz)",
                                                      {"Speaker", "Phrase_Duration", "F1__Hz_"},
                                                      {}},
                                           HeaderCase{"LeadingDigit", "Speaker\t1st\tF1", {}, "1st"},
                                           HeaderCase{"ReservedWord", "Vowel\tend", {}, "end"},
                                           HeaderCase{"FirstIllegalWins", "a\t2nd\tfor", {}, "2nd"},
                                           HeaderCase{"TwoTrailingTabsGiveAnEmptyName", "a\tb\t\t", {}, ""},
                                           HeaderCase{"OneTrailingTabIsHarmless", "a\tb\t", {"a", "b"}, {}},
                                           HeaderCase{"LeadingBlanksBecomeUnderscores", "  a", {}, "__a"},
                                           HeaderCase{"EmptyLineHasNoNames", "", {}, {}},
                                           HeaderCase{"DuplicatesAreKept", "A\tB\tA", {"A", "B", "A"}, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderName, ValidIdentifiers) {
    for (const char* name : {"Speaker", "F1__Hz_", "Phrase_Duration", "a", "End", "endx", "x_1"})
        EXPECT_TRUE(is_valid_header_name(name)) << name;
    EXPECT_TRUE(is_valid_header_name(std::string(kMaxHeaderNameLength, 'a')));
}

TEST(HeaderName, InvalidIdentifiers) {
    for (const char* name : {"", "1st", "_x", "a-b", "a.b", "a b", "H\xC3\xB6he"})
        EXPECT_FALSE(is_valid_header_name(name)) << name;
    EXPECT_FALSE(is_valid_header_name(std::string(kMaxHeaderNameLength + 1, 'a')));
}

TEST(HeaderName, EveryReservedWordIsRefused) {
    const TextList reserved = {"break",      "case",   "catch",    "continue", "else", "elseif",
                               "end",        "for",    "function", "global",   "if",   "otherwise",
                               "persistent", "return", "switch",   "try",      "while"};
    ASSERT_EQ(reserved.size(), 17u);
    for (const auto& word : reserved) {
        EXPECT_FALSE(is_valid_header_name(word)) << word;
        EXPECT_TRUE(is_valid_header_name(word + "s")) << word;
    }
}

// ---- data lines -------------------------------------------------------------------------------------

class DataCleaning : public ::testing::TestWithParam<TextCase> {};

TEST_P(DataCleaning, FiveSubstitutionsInOrder) {
    EXPECT_EQ(clean_data_line(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    EmptyCells, DataCleaning,
    ::testing::Values(TextCase{"InnerEmptyCell", "a\t\tb", "a\tNULL\tb"},
                      TextCase{"LeadingEmptyCell", "\ta", "NULL\ta"},
                      TextCase{"TrailingEmptyCell", "a\t", "a\tNULL"},
                      // Rule 3 gives "NULL\t", whose end tab rule 4 then fills.
                      TextCase{"OnlyATab", "\t", "NULL\tNULL"},
                      // Rule 3 gives "NULL\t\ta", rule 5 fills the pair of tabs.
                      TextCase{"TwoEmptyAtStart", "\t\ta", "NULL\tNULL\ta"},
                      // Rule 4 gives "a\t\tNULL", rule 5 fills the pair of tabs.
                      TextCase{"TwoEmptyAtEnd", "a\t\t", "a\tNULL\tNULL"},
                      // The middle tab is the optional character: three tabs are one match, one cell is lost.
                      TextCase{"TwoEmptyInside", "a\t\t\tb", "a\tNULL\tb"},
                      // "NULL\t\t\ta": the three tabs are again one match.
                      TextCase{"ThreeEmptyAtStart", "\t\t\ta", "NULL\tNULL\ta"},
                      // Tabs 1 to 3 are one match; tab 4 is followed by "b" and stays, so three empty cells
                      // shrink to one NULL and a double separator.
                      TextCase{"FourTabsInside", "a\t\t\t\tb", "a\tNULL\t\tb"}),
    case_name);

INSTANTIATE_TEST_SUITE_P(
    Punctuation, DataCleaning,
    ::testing::Values(TextCase{"DashBetweenTabs", "a\t-\tb", "a\tNULL\tb"},
                      TextCase{"DotBetweenTabs", "a\t.\tb", "a\tNULL\tb"},
                      TextCase{"UnderscoreBetweenTabs", "a\t_\tb", "a\tNULL\tb"},
                      // "/" becomes "_" first, then the "_" cell is empty.
                      TextCase{"SlashBetweenTabs", "a\t/\tb", "a\tNULL\tb"},
                      TextCase{"BlankBetweenTabs", "a\t \tb", "a\tNULL\tb"},
                      TextCase{"DashAtStartStays", "-\ta", "-\ta"}, TextCase{"DotAtEndStays", "a\t.", "a\t."},
                      // The first match takes the second tab, so the second dot stays a cell.
                      TextCase{"TwoDotCellsInARow", "a\t.\t.\tb", "a\tNULL\t.\tb"},
                      TextCase{"LetterCellStays", "a\tx\tb", "a\tx\tb"},
                      TextCase{"DigitCellStays", "a\t7\tb", "a\t7\tb"},
                      TextCase{"TwoCharacterCellStays", "a\t--\tb", "a\t--\tb"}),
    case_name);

INSTANTIATE_TEST_SUITE_P(
    Text, DataCleaning,
    ::testing::Values(TextCase{"BlanksAroundNumber", " 512 ", "_512_"},
                      TextCase{"BlankInsideCell", "New York", "New_York"},
                      TextCase{"RunOfBlanksIsOneUnderscore", "New   York", "New_York"},
                      TextCase{"Slash", "a/b", "a_b"}, TextCase{"MinusExponentStays", "1.5e-3", "1.5e-3"},
                      TextCase{"PlusBecomesUnderscore", "1e+3", "1e_3"},
                      TextCase{"DecimalComma", "1,5", "1_5"}, TextCase{"OnlyBlanks", "   ", "_"},
                      TextCase{"BlanksBesideTabs", "a  \t b", "a_\t_b"},
                      // o-umlaut and sharp s are one character each.
                      TextCase{"NonAsciiLetters",
                               "Gr\xC3\xB6\xC3\x9F"
                               "e",
                               "Gr__e"},
                      TextCase{"InvalidByte", "5\xFF", "5_"},
                      // A cell of one non-ASCII letter is one "_", which the empty-cell rule then fills.
                      TextCase{"NonAsciiLetterAloneIsEmpty", "a\t\xC3\xA9\tb", "a\tNULL\tb"},
                      TextCase{"OtherWhitespaceKept", "a\vb", "a\vb"}),
    case_name);

// ---- splitting --------------------------------------------------------------------------------------

struct SplitCase {
    const char* name;
    std::string line;
    Views pieces;
};
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class Splitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Splitting, RunsOfWhitespaceSeparateAWhitespaceRemainderIsOneEmptyPiece) {
    EXPECT_EQ(split_cells(GetParam().line), GetParam().pieces);
    EXPECT_EQ(count_cells(GetParam().line), GetParam().pieces.size());
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, Splitting,
    ::testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"One", "a", {"a"}},
                      SplitCase{"Two", "a\tb", {"a", "b"}}, SplitCase{"TrailingTab", "a\t", {"a", ""}},
                      SplitCase{"LeadingTabSkipped", "\ta", {"a"}}, SplitCase{"OnlyATab", "\t", {""}},
                      SplitCase{"RunIsOneSeparator", "a \t\tb", {"a", "b"}},
                      SplitCase{"TrailingRun", "a\t\t", {"a", ""}},
                      SplitCase{"EveryWhitespace", "a\vb\fc\rd e\nf", {"a", "b", "c", "d", "e", "f"}},
                      SplitCase{"Surrounded", "  a  ", {"a", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- data lines of a file ---------------------------------------------------------------------------

TEST(DataLines, EmptyLinesSkippedButCountedInTheLineNumber) {
    const Views file = {"h1\th2", "a\tb", "", "c\td", "", "e"};
    const DataLinesResult r = read_data_lines(file, 2);
    EXPECT_EQ(r.accepted, (TextList{"a\tb", "c\td"}));
    ASSERT_TRUE(r.mismatch);
    // Header is line 1, so "e" is file line 6.
    EXPECT_EQ(r.mismatch->fileLineNumber, 6u);
    EXPECT_EQ(r.mismatch->cleanedLine, "e");
}

TEST(DataLines, LineOfBlanksIsOneCell) {
    const Views file = {"Only", "   ", "x"};
    const DataLinesResult one = read_data_lines(file, 1);
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

TEST(DataLines, HeaderOnlyGivesNoLines) {
    const DataLinesResult r = read_data_lines({"a\tb"}, 2);
    EXPECT_TRUE(r.accepted.empty());
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

TEST(DataTable, NoLinesGivesEmptyColumnsForEveryName) {
    const DataTable t = build_data_table({"A", "B"}, {});
    EXPECT_TRUE(t.dataRow.empty());
    EXPECT_EQ(t.dataColumn.keys(), (TextList{"A", "B"}));
    EXPECT_TRUE(t.dataColumn.at("A").empty());
}

TEST(DataTable, LineWithTheWrongCellCountIsRefused) {
    EXPECT_THROW(build_data_table({"A", "B"}, {"1\t2", "3"}), std::invalid_argument);
    EXPECT_THROW(build_data_table({}, {"1"}), std::invalid_argument);
}

} // namespace
} // namespace tarvik
