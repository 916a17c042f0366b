#pragma once

#include "core/handles.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// How one column of the data table is used: a numeric column, or a category with its value types.
struct ColumnClass {
    bool numeric = false;
    TextList types; // categories only: cleaned values in order of first appearance down the rows
};

// True for the characters that type names keep: ASCII letters, digits, the underscore, and every byte
// of a non-ASCII character (so that labels such as "ɛ" or "ø" keep their spelling and distinct labels do
// not merge into the same run of underscores).
bool is_word_byte(char c);

// The name under which a cell value is listed as a type: every character that is not a word character
// becomes "_" ("a-b" -> "a_b", "3.5" -> "3_5"). Constraints compare row text cleaned the same way.
std::string clean_type_name(std::string_view value);

// The rule that decides a column from the value in its first data row: numeric when the value does not
// begin with an ASCII letter or underscore, or contains a full stop, or a hyphen right after a word
// character. An empty value (a column without rows) counts as numeric.
bool is_numeric_sample(std::string_view sample);

// Distinct cleaned values in order of first appearance ("c", "a", "c", "b" -> "c", "a", "b").
TextList type_list(const TextList& values);

// The values of one column going down the rows; throws std::out_of_range when a row lacks the column.
TextList column_values(const std::vector<DataRow>& rows, const std::string& column);

// Classifies one column: only the first row decides; a category also gets its type list, to which every
// row contributes ("NULL" is an ordinary type here).
ColumnClass classify_column(const std::vector<DataRow>& rows, const std::string& column);

} // namespace tarvik
