// Which columns are categories, and the value types each category lists.
#include "grouping/categories.h"
#include "grouping_tables.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

struct SampleCase {
    const char* name;
    const char* sample;
    bool numeric;
};
void PrintTo(const SampleCase& c, std::ostream* os) {
    *os << c.name;
}

class FirstRowSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(FirstRowSample, DecidesNumericOrCategory) {
    EXPECT_EQ(is_numeric_sample(GetParam().sample), GetParam().numeric) << GetParam().sample;
}

INSTANTIATE_TEST_SUITE_P(
    GroupingRule, FirstRowSample,
    ::testing::Values(SampleCase{"Decimal", "12.5", true}, SampleCase{"Negative", "-3", true},
                      SampleCase{"Whole", "7", true}, SampleCase{"Word", "ae", false},
                      SampleCase{"MissingCellMark", "NULL", false}, SampleCase{"FullStop", "x.y", true},
                      SampleCase{"TrailingFullStop", "ae.", true}, SampleCase{"HyphenAfterWord", "a-b", true},
                      SampleCase{"HyphenAfterDigit", "a1-", true},
                      SampleCase{"HyphenAfterUnderscore", "_-x", true},
                      // A hyphen after a non-word character is not the end of a word.
                      SampleCase{"HyphenAfterBlank", "a -b", false}, SampleCase{"LoneUnderscore", "_", false},
                      SampleCase{"UnderscoreWord", "a_b", false}, SampleCase{"LetterDigits", "A12", false},
                      SampleCase{"InnerBlank", "a b", false}, SampleCase{"Empty", "", true},
                      // Only an ASCII letter or underscore may start a category value.
                      SampleCase{"NonAsciiStart", "\xC9\x9B", true}, // "ɛ"
                      SampleCase{"NonAsciiInside", "e\xC9\x9B", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct CleanCase {
    const char* name;
    const char* value;
    const char* cleaned;
};
void PrintTo(const CleanCase& c, std::ostream* os) {
    *os << c.name;
}

class TypeName : public ::testing::TestWithParam<CleanCase> {};

TEST_P(TypeName, ReplacesEveryNonWordCharacterByUnderscore) {
    EXPECT_EQ(clean_type_name(GetParam().value), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(
    GroupingCleaning, TypeName,
    ::testing::Values(CleanCase{"Hyphen", "a-b", "a_b"}, CleanCase{"FullStop", "3.5", "3_5"},
                      CleanCase{"Blank", "a b", "a_b"}, CleanCase{"Several", "a/b:c+d", "a_b_c_d"},
                      CleanCase{"AlreadyClean", "stress_1", "stress_1"}, CleanCase{"Missing", "NULL", "NULL"},
                      CleanCase{"Empty", "", ""}, CleanCase{"OnlyPunctuation", "?!", "__"},
                      // Non-ASCII letters keep their spelling, so "ɛ" and "ə" stay two types.
                      CleanCase{"NonAscii", "\xC9\x9B-\xC9\x99", "\xC9\x9B_\xC9\x99"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypeList, KeepsFirstAppearanceOrderNotSorted) {
    EXPECT_EQ(type_list({"c", "a", "c", "b"}), (TextList{"c", "a", "b"}));
}

TEST(TypeList, ValuesThatCleanAlikeAreOneType) {
    // a-b, a_b and a b (the reader has turned the blank into an underscore already, or not) -> a_b.
    EXPECT_EQ(type_list({"x", "a-b", "a_b", "a b"}), (TextList{"x", "a_b"}));
}

TEST(TypeList, DegenerateLists) {
    EXPECT_EQ(type_list({}), TextList{});
    EXPECT_EQ(type_list({"same", "same", "same"}), TextList{"same"});
}

const TextList kHeader = {"Speaker", "Vowel", "F1", "Stress", "Note"};

TEST(ClassifyColumn, OnlyTheFirstRowDecides) {
    const auto rows =
        make_rows(kHeader, {{"m01", "ae", "700", "1", "x-y"}, {"m02", "3.5", "abc", "primary", "ok"}});
    EXPECT_FALSE(classify_column(rows, "Speaker").numeric);
    // A later row that looks numeric still becomes a type of the category.
    EXPECT_EQ(classify_column(rows, "Vowel").types, (TextList{"ae", "3_5"}));
    // A later row that looks like a word does not turn a numeric column into a category.
    const ColumnClass f1 = classify_column(rows, "F1");
    EXPECT_TRUE(f1.numeric);
    EXPECT_TRUE(f1.types.empty());
    EXPECT_TRUE(classify_column(rows, "Stress").numeric);
    EXPECT_TRUE(classify_column(rows, "Note").numeric);
}

TEST(ClassifyColumn, MissingCellsAreOrdinaryTypes) {
    const auto rows = make_rows(
        kHeader,
        {{"NULL", "ae", "1", "1", "a"}, {"m01", "NULL", "2", "2", "b"}, {"m01", "ae", "3", "3", "a"}});
    EXPECT_EQ(classify_column(rows, "Speaker").types, (TextList{"NULL", "m01"}));
    EXPECT_EQ(classify_column(rows, "Vowel").types, (TextList{"ae", "NULL"}));
}

TEST(ClassifyColumn, NoRowsMeansNoCategory) {
    const ColumnClass c = classify_column({}, "Vowel");
    EXPECT_TRUE(c.numeric);
    EXPECT_TRUE(c.types.empty());
}

TEST(ClassifyColumn, AColumnMissingFromARowIsAnError) {
    auto rows = make_rows(kHeader, {{"m01", "ae", "1", "1", "a"}, {"m02", "iy", "2", "2", "b"}});
    EXPECT_THROW(classify_column(rows, "Group"), std::out_of_range);
    rows[1] = make_rows({"Speaker"}, {{"m02"}})[0];
    EXPECT_THROW(classify_column(rows, "Vowel"), std::out_of_range);
}

} // namespace
} // namespace tarvik::testing
