#include "grouping/constraints.h"

#include "core/format.h"
#include "core/number.h"
#include "grouping/categories.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace tarvik {

namespace {

const char* const kIndexExceeds = "Index exceeds matrix dimensions.";

bool is_separator(char c) {
    return c == ' ' || c == ':';
}

// The next piece of `text` from `at` on, skipping leading separators; empty when nothing is left.
std::string_view next_piece(std::string_view text, std::size_t& at) {
    while (at < text.size() && is_separator(text[at]))
        ++at;
    const std::size_t begin = at;
    while (at < text.size() && !is_separator(text[at]))
        ++at;
    return text.substr(begin, at - begin);
}

const TextList& column_of(const OrderedMap<TextList>& columns, const std::string& name,
                          std::size_t rowCount) {
    const TextList& column = columns.at(name);
    if (column.size() < rowCount)
        throw std::out_of_range(kIndexExceeds);
    return column;
}

} // namespace

std::string constraint_entry(std::string_view category, std::string_view type) {
    std::string entry(category);
    entry += " : ";
    entry += type;
    return entry;
}

ConstraintParts split_constraint_entry(std::string_view entry) {
    std::size_t at = 0;
    const std::string_view category = next_piece(entry, at);
    const std::string_view type = next_piece(entry, at);
    if (category.empty() || type.empty())
        throw std::invalid_argument("The constraint '" + std::string(entry) +
                                    "' is not of the form category : type.");
    return {std::string(category), std::string(type)};
}

OrderedMap<TextList> build_constraints(const TextList& constraintList) {
    OrderedMap<TextList> constraints;
    for (const std::string& entry : constraintList) {
        ConstraintParts parts = split_constraint_entry(entry);
        constraints[parts.category].push_back(std::move(parts.type));
    }
    return constraints;
}

RowSelector::RowSelector(const OrderedMap<TextList>& columns, std::size_t rowCount)
    : columns_(columns), rowCount_(rowCount) {}

const RowSelector::Column& RowSelector::column(const std::string& category) {
    if (const auto it = read_.find(category); it != read_.end())
        return it->second;
    const TextList& text = column_of(columns_, category, rowCount_);
    Column c;
    c.valueOfRow.resize(rowCount_);
    // A category column holds few distinct texts, so each is cleaned and looked up once.
    std::unordered_map<std::string_view, std::uint32_t> valueOfText;
    for (std::size_t r = 0; r < rowCount_; ++r) {
        auto it = valueOfText.find(text[r]);
        if (it == valueOfText.end()) {
            const auto next = static_cast<std::uint32_t>(c.rowsOfValue.size());
            const auto [value, added] = c.valueIds.emplace(clean_type_name(text[r]), next);
            if (added)
                c.rowsOfValue.emplace_back();
            it = valueOfText.emplace(text[r], value->second).first;
        }
        c.valueOfRow[r] = it->second;
        c.rowsOfValue[it->second].push_back(r);
    }
    return read_.emplace(category, std::move(c)).first->second;
}

std::vector<std::size_t> RowSelector::rows(const OrderedMap<TextList>& constraints) {
    std::vector<const Column*> used;
    for (const auto& [category, types] : constraints)
        used.push_back(&column(category));
    if (used.empty()) {
        std::vector<std::size_t> all(rowCount_);
        for (std::size_t r = 0; r < rowCount_; ++r)
            all[r] = r;
        return all;
    }

    // Per category, the values the group takes; the category that takes the fewest rows goes first.
    std::vector<std::vector<bool>> takes;
    std::size_t first = 0, fewest = rowCount_ + 1;
    for (const auto& [category, types] : constraints) {
        const Column& c = *used[takes.size()];
        std::vector<bool>& taken = takes.emplace_back(c.rowsOfValue.size(), false);
        std::size_t count = 0;
        for (const std::string& type : types)
            if (const auto it = c.valueIds.find(type); it != c.valueIds.end() && !taken[it->second]) {
                taken[it->second] = true;
                count += c.rowsOfValue[it->second].size();
            }
        if (count < fewest)
            fewest = count, first = takes.size() - 1;
    }

    std::vector<std::size_t> rows;
    rows.reserve(fewest);
    std::size_t values = 0;
    for (std::size_t v = 0; v < takes[first].size(); ++v)
        if (takes[first][v]) {
            const std::vector<std::size_t>& of = used[first]->rowsOfValue[v];
            rows.insert(rows.end(), of.begin(), of.end());
            ++values;
        }
    if (values > 1)
        std::sort(rows.begin(), rows.end());
    for (std::size_t k = 0; k < used.size(); ++k) {
        if (k == first)
            continue;
        std::size_t kept = 0;
        for (const std::size_t r : rows)
            if (takes[k][used[k]->valueOfRow[r]])
                rows[kept++] = r;
        rows.resize(kept);
    }
    return rows;
}

double cell_number(const Cell& cell) {
    if (const double* number = std::get_if<double>(&cell))
        return *number;
    if (const std::string* text = std::get_if<std::string>(&cell))
        return to_number(*text);
    return std::numeric_limits<double>::quiet_NaN();
}

Matrix gather_cells(const std::vector<std::size_t>& rows,
                    const std::vector<const std::vector<Cell>*>& columns) {
    Matrix m(rows.size(), columns.size());
    for (std::size_t j = 0; j < columns.size(); ++j)
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] >= columns[j]->size())
                throw std::out_of_range(kIndexExceeds);
            m(i, j) = cell_number((*columns[j])[rows[i]]);
        }
    return m;
}

Matrix gather_texts(const std::vector<std::size_t>& rows, const std::vector<const TextList*>& columns) {
    Matrix m(rows.size(), columns.size());
    for (std::size_t j = 0; j < columns.size(); ++j)
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] >= columns[j]->size())
                throw std::out_of_range(kIndexExceeds);
            m(i, j) = to_number((*columns[j])[rows[i]]);
        }
    return m;
}

std::string group_label(std::size_t index, std::string_view name) {
    return format_int(static_cast<double>(index)) + " " + std::string(name);
}

TextList group_labels(const GroupList& groups) {
    TextList labels;
    labels.reserve(groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i)
        labels.push_back(group_label(i + 1, groups[i]->name));
    return labels;
}

std::vector<std::size_t> groups_without_constraints(const GroupList& groups) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < groups.size(); ++i)
        if (groups[i]->constraints.empty())
            out.push_back(i + 1);
    return out;
}

std::string index_list_literal(const std::vector<std::size_t>& indices) {
    if (indices.size() == 1)
        return format_int(static_cast<double>(indices.front()));
    std::string out = "[";
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i > 0)
            out += ' ';
        out += format_int(static_cast<double>(indices[i]));
    }
    return out + "]";
}

bool selection_within(const std::vector<double>& selection, std::size_t count) {
    if (selection.empty())
        return false;
    for (const double v : selection)
        if (!(v >= 1 && v <= static_cast<double>(count)) || v != std::floor(v))
            return false;
    return true;
}

TextList remove_selected(const TextList& list, const std::vector<double>& selection) {
    std::vector<bool> drop(list.size(), false);
    for (const double v : selection)
        if (v >= 1 && v <= static_cast<double>(list.size()) && v == std::floor(v))
            drop[static_cast<std::size_t>(v) - 1] = true;
    TextList out;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (!drop[i])
            out.push_back(list[i]);
    return out;
}

std::vector<std::size_t> select_rows(const OrderedMap<TextList>& constraints, const OrderedMap<TextList>& columns,
                                     std::size_t rowCount) {
    return RowSelector(columns, rowCount).rows(constraints);
}

TokenColumns token_columns(const Handles& handles) {
    const HeaderNames& roles = handles.HeaderName;
    const auto role = [](const std::optional<std::string>& name, const char* what) -> const std::string& {
        if (!name)
            throw std::out_of_range(std::string("Reference to non-existent field '") + what + "'.");
        return *name;
    };
    std::vector<std::string> names = {role(roles.F2, "F2"), role(roles.F1, "F1")};
    if (handles.onlyAllow2D == 0)
        names.push_back(role(roles.Duration, "Duration"));
    TokenColumns out;
    out.rowCount = handles.dataNormalizedColumn.at(names[1]).size();
    for (const std::string& name : names) {
        out.normalized.push_back(&handles.dataNormalizedColumn.at(name));
        out.original.push_back(&handles.dataColumn.at(name));
    }
    return out;
}

GroupTokens group_tokens(const OrderedMap<TextList>& constraints, const OrderedMap<TextList>& dataColumn,
                         const TokenColumns& columns) {
    const std::vector<std::size_t> rows = select_rows(constraints, dataColumn, columns.rowCount);
    return {gather_cells(rows, columns.normalized), gather_texts(rows, columns.original)};
}

} // namespace tarvik
