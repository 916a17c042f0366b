#pragma once

#include "core/handles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvik {

// The pure side of vowel groups: constraint entries and structures, the rows a group selects, the
// group list's labels. No record, no controls.

// The entry a constraint shows in the group's list: "Stress : primary".
std::string constraint_entry(std::string_view category, std::string_view type);

struct ConstraintParts {
    std::string category;
    std::string type;
};

// Splits an entry at blanks and colons (runs of them are one separator, leading ones are skipped): the
// first piece is the category, the second the type. Throws std::invalid_argument when either is missing.
ConstraintParts split_constraint_entry(std::string_view entry);

// The constraint structure of a group: one entry per category in order of first occurrence, each with
// its types in list order. Types of one category are alternatives; all categories must hold.
OrderedMap<TextList> build_constraints(const TextList& constraintList);

// The 0-based rows of groups among the first rowCount rows of one table: those whose value in each
// category a group names, cleaned the way type names are cleaned ("a-b" -> "a_b"), is one of the types
// listed for that category. Rows keep their order. A column is read once, when the first group names
// it: each row's cleaned value, and the rows of each value. A group's rows then cost the rows of its
// types, not a pass over the table, so that selecting the tokens of many groups stays cheap.
class RowSelector {
  public:
    // `columns` must outlive the selector.
    RowSelector(const OrderedMap<TextList>& columns, std::size_t rowCount);

    // The rows of a group with these constraints (every row when there are none). Throws
    // std::out_of_range when a category is not a column or a column is shorter than rowCount; every
    // column is checked before any row is dropped.
    std::vector<std::size_t> rows(const OrderedMap<TextList>& constraints);

  private:
    struct Column {
        std::unordered_map<std::string, std::uint32_t> valueIds; // by cleaned value
        std::vector<std::uint32_t> valueOfRow;
        std::vector<std::vector<std::size_t>> rowsOfValue; // ascending
    };
    const Column& column(const std::string& category);

    const OrderedMap<TextList>& columns_;
    std::size_t rowCount_;
    std::unordered_map<std::string, Column> read_;
};

// The rows of one group: a selector of its own (a pass over the columns it names). Select the rows of
// many groups with one RowSelector.
std::vector<std::size_t> select_rows(const OrderedMap<TextList>& constraints, const OrderedMap<TextList>& columns,
                                     std::size_t rowCount);

// The number a normalized cell stands for: a number as is, a text read as a number (NaN when it does
// not read as one), an empty cell NaN.
double cell_number(const Cell& cell);

// One matrix row per selected row, one matrix column per given column (the numbers of the cells, or of
// the texts). Throws std::out_of_range when a selected row lies past the end of a column.
Matrix gather_cells(const std::vector<std::size_t>& rows,
                    const std::vector<const std::vector<Cell>*>& columns);
Matrix gather_texts(const std::vector<std::size_t>& rows, const std::vector<const TextList*>& columns);

// The label of group `index` (1-based) in the group list: "3 back".
std::string group_label(std::size_t index, std::string_view name);
TextList group_labels(const GroupList& groups);

// 1-based indices of the groups whose constraint structure has no category.
std::vector<std::size_t> groups_without_constraints(const GroupList& groups);

// An index list written as a matrix literal: one index bare ("2"), several in brackets ("[1 3]").
std::string index_list_literal(const std::vector<std::size_t>& indices);

// True when `selection` (a list box's Value) names at least one entry and every entry of it lies in
// 1..count.
bool selection_within(const std::vector<double>& selection, std::size_t count);

// The list without the entries that `selection` (1-based) names.
TextList remove_selected(const TextList& list, const std::vector<double>& selection);

// The columns a group's tokens are taken from: F2, F1 and, unless the data has no durations, duration;
// normalized and as read, and the number of rows. Throws std::out_of_range when a role is not mapped or
// its column is missing.
struct TokenColumns {
    std::size_t rowCount = 0;
    std::vector<const std::vector<Cell>*> normalized;
    std::vector<const TextList*> original;
};
TokenColumns token_columns(const Handles& handles);

// The tokens a group's constraints select, normalized (`data`) and as read (`dataOriginal`).
struct GroupTokens {
    Matrix data, dataOriginal;
};
GroupTokens group_tokens(const OrderedMap<TextList>& constraints, const OrderedMap<TextList>& dataColumn,
                         const TokenColumns& columns);

} // namespace tarvik
