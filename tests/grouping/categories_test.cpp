// Which columns are categories, and the value types each category lists.
#include "grouping/categories.h"
#include "grouping_tables.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

// Numeric: not starting with an ASCII letter or underscore (so "ɛ" too, and an empty column), or with a
// full stop anywhere, or a hyphen right after a word character. Otherwise a category; a hyphen after a
// non-word character is not the end of a word, and non-ASCII bytes inside a value are word characters.
TEST(GroupingRule, FirstRowSampleDecidesNumericOrCategory) {
    for (const char* sample : {"12.5", "-3", "7", "", "\xC9\x9B", "x.y", "ae.", "a-b", "a1-", "_-x"})
        EXPECT_TRUE(is_numeric_sample(sample)) << '"' << sample << '"';
    for (const char* sample : {"ae", "NULL", "a -b", "_", "a_b", "A12", "a b", "e\xC9\x9B"})
        EXPECT_FALSE(is_numeric_sample(sample)) << '"' << sample << '"';
}

// Non-ASCII letters keep their spelling, so "ɛ" and "ə" stay two types.
TEST(GroupingCleaning, TypeNameReplacesEveryNonWordCharacterByUnderscore) {
    const std::pair<const char*, const char*> values[] = {{"a-b", "a_b"},
                                                          {"3.5", "3_5"},
                                                          {"a b", "a_b"},
                                                          {"a/b:c+d", "a_b_c_d"},
                                                          {"stress_1", "stress_1"},
                                                          {"NULL", "NULL"},
                                                          {"", ""},
                                                          {"?!", "__"},
                                                          {"\xC9\x9B-\xC9\x99", "\xC9\x9B_\xC9\x99"}};
    for (const auto& [value, cleaned] : values)
        EXPECT_EQ(clean_type_name(value), cleaned) << '"' << value << '"';
}

TEST(TypeList, FirstAppearanceOrderAndValuesThatCleanAlikeAreOneType) {
    EXPECT_EQ(type_list({"c", "a", "c", "b"}), (TextList{"c", "a", "b"})); // not sorted
    // a-b, a_b and a b (the reader has turned the blank into an underscore already, or not) -> a_b.
    EXPECT_EQ(type_list({"x", "a-b", "a_b", "a b"}), (TextList{"x", "a_b"}));
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
    // Without a first row there is nothing to decide on: no category.
    const ColumnClass none = classify_column({}, "Vowel");
    EXPECT_TRUE(none.numeric);
    EXPECT_TRUE(none.types.empty());
}

TEST(ClassifyColumn, MissingCellsAreOrdinaryTypes) {
    const auto rows = make_rows(
        kHeader,
        {{"NULL", "ae", "1", "1", "a"}, {"m01", "NULL", "2", "2", "b"}, {"m01", "ae", "3", "3", "a"}});
    EXPECT_EQ(classify_column(rows, "Speaker").types, (TextList{"NULL", "m01"}));
    EXPECT_EQ(classify_column(rows, "Vowel").types, (TextList{"ae", "NULL"}));
}

TEST(ClassifyColumn, AColumnMissingFromARowIsAnError) {
    auto rows = make_rows(kHeader, {{"m01", "ae", "1", "1", "a"}, {"m02", "iy", "2", "2", "b"}});
    EXPECT_THROW(classify_column(rows, "Group"), std::out_of_range);
    rows[1] = make_rows({"Speaker"}, {{"m02"}})[0];
    EXPECT_THROW(classify_column(rows, "Vowel"), std::out_of_range);
}

} // namespace
} // namespace tarvik::testing
