#include "grouping/categories.h"

#include "core/number.h"
#include "core/utf8.h"

#include <unordered_set>

namespace tarvik {

std::string clean_type_name(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t word = word_character_length(value, i);
        out.append(word != 0 ? value.substr(i, word) : "_");
        i += word != 0 ? word : 1;
    }
    return out;
}

bool is_missing_cell(std::string_view cell) {
    return cell.empty() || cell == "NULL" || cell == "NA" || cell == "NaN";
}

TextList type_list(const TextList& values) {
    // A column of row identifiers has as many types as rows, so membership is looked up, not searched.
    TextList types;
    std::unordered_set<std::string> seen;
    for (const std::string& value : values) {
        std::string name = clean_type_name(value);
        if (seen.insert(name).second)
            types.push_back(std::move(name));
    }
    return types;
}

ColumnClass classify_column(const TextList& cells) {
    for (const std::string& cell : cells) {
        if (is_missing_cell(cell))
            continue;
        if (is_number_text(cell))
            return {true, {}};
        return {false, type_list(cells)};
    }
    return {true, {}};
}

} // namespace tarvik
