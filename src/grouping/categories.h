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

// The name under which a cell value is listed as a type: every character that is not a word character
// (core/utf8.h: the letters of any script, digits and "_") becomes "_" ("a-b" -> "a_b", "3.5" -> "3_5"),
// so that labels such as "ɛ" or "ø" keep their spelling and distinct labels do not merge into the same
// run of underscores; a stray byte of text that is not UTF-8 becomes one "_". Constraints compare row
// text cleaned the same way.
std::string clean_type_name(std::string_view value);

// A cell that holds no value: "NULL" (what the reader makes of an empty cell), an empty text, "NA" or "NaN".
bool is_missing_cell(std::string_view cell);

// Distinct cleaned values in order of first appearance ("c", "a", "c", "b" -> "c", "a", "b").
TextList type_list(const TextList& values);


// Classifies one column by its first cell that is not missing: numeric when that cell reads as a number,
// a category otherwise, so that "un-stressed", "a-b" or "x.y" at the top still make a category, and a
// measurement that failed in the first row does not turn a numeric column into one. A column without any
// value is numeric. A category gets its type list, to which every row contributes ("NULL" is an ordinary
// type there).
ColumnClass classify_column(const TextList& cells);

} // namespace tarvik
