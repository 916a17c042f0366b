// Which columns are categories and the value types each category lists (the subject records read from the
// same data table: grouping_ops_test).
#include "grouping/categories.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik::testing {
namespace {

// A column is numeric when its first cell that is not missing ("NULL", empty, "NA", "NaN") reads as a number,
// else a category listing every row's cleaned value. Each column is also read upside down: a category must
// stay a category with the same types whichever of its values comes first.
TEST(ColumnClass, FirstPresentCellDecidesWhateverTheOrder) {
    struct Case {
        std::vector<std::string> cells;
        bool numeric;
        TextList types; // sorted
    };
    const std::vector<Case> cases = {
        {{"un-stressed", "stressed"}, false, {"stressed", "un_stressed"}},
        {{"a-b", "c", "a_b"}, false, {"a_b", "c"}},
        {{"x.y", "z"}, false, {"x_y", "z"}},
        {{"\xC9\x9B", "i"}, false, {"i", "\xC9\x9B"}},
        {{"NA", "primary", "NULL"}, false, {"NA", "NULL", "primary"}},
        {{"12.5", "-3", "1.5e-3"}, true, {}},
        {{"NULL", "", "NA", "NaN", "512"}, true, {}},
        {{"NULL", "NULL"}, true, {}},
        {{}, true, {}},
    };
    for (const Case& c : cases) {
        for (const bool reversed : {false, true}) {
            TextList cells = c.cells;
            if (reversed)
                std::reverse(cells.begin(), cells.end());
            SCOPED_TRACE(::testing::PrintToString(c.cells) + (reversed ? " reversed" : ""));
            ColumnClass got = classify_column(cells);
            std::sort(got.types.begin(), got.types.end());
            EXPECT_EQ(got.numeric, c.numeric);
            EXPECT_EQ(got.types, c.types);
        }
    }
}

// Every non-word character becomes "_"; non-ASCII letters keep their spelling, so "ɛ" and "ə" stay two
// types. Types are listed in order of first appearance, not sorted.
TEST(TypeList, CleanedNamesInOrderOfFirstAppearance) {
    EXPECT_EQ(clean_type_name("3.5"), "3_5");
    EXPECT_EQ(clean_type_name("a/b:c+d"), "a_b_c_d");
    EXPECT_EQ(clean_type_name("\xC9\x9B-\xC9\x99"), "\xC9\x9B_\xC9\x99");
    EXPECT_EQ(clean_type_name("\xC9\x9B\xFF\xC9"), "\xC9\x9B__"); // stray bytes are no letters
    EXPECT_EQ(type_list({"c", "a", "c", "b"}), (TextList{"c", "a", "b"}));
    // a-b, a_b and a b (the reader has turned the blank into an underscore already, or not) -> a_b.
    EXPECT_EQ(type_list({"x", "a-b", "a_b", "a b"}), (TextList{"x", "a_b"}));
}

} // namespace
} // namespace tarvik::testing
