// Which columns are categories and the value types each category lists (the subject records read from the
// same data table: grouping_ops_test).
#include "grouping/categories.h"

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

// Every non-word character becomes "_"; non-ASCII letters keep their spelling, so "ɛ" and "ə" stay two
// types. Types are listed in order of first appearance, not sorted.
TEST(TypeList, CleanedNamesInOrderOfFirstAppearance) {
    EXPECT_EQ(clean_type_name("3.5"), "3_5");
    EXPECT_EQ(clean_type_name("a/b:c+d"), "a_b_c_d");
    EXPECT_EQ(clean_type_name("\xC9\x9B-\xC9\x99"), "\xC9\x9B_\xC9\x99");
    EXPECT_EQ(type_list({"c", "a", "c", "b"}), (TextList{"c", "a", "b"}));
    // a-b, a_b and a b (the reader has turned the blank into an underscore already, or not) -> a_b.
    EXPECT_EQ(type_list({"x", "a-b", "a_b", "a b"}), (TextList{"x", "a_b"}));
}

} // namespace
} // namespace tarvik::testing
