#include "grouping/categories.h"

#include <unordered_set>

namespace tarvik {

namespace {

bool is_ascii_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

bool is_word_byte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || is_ascii_letter(c) || (c >= '0' && c <= '9') || c == '_';
}

std::string clean_type_name(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (!is_word_byte(c))
            c = '_';
    return out;
}

bool is_numeric_sample(std::string_view sample) {
    if (sample.empty() || !(is_ascii_letter(sample.front()) || sample.front() == '_'))
        return true;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        if (sample[i] == '.')
            return true;
        if (sample[i] == '-' && i > 0 && is_word_byte(sample[i - 1]))
            return true;
    }
    return false;
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

TextList column_values(const std::vector<DataRow>& rows, const std::string& column) {
    TextList values;
    values.reserve(rows.size());
    for (const DataRow& row : rows)
        values.push_back(row.at(column));
    return values;
}

ColumnClass classify_column(const std::vector<DataRow>& rows, const std::string& column) {
    const std::string sample = rows.empty() ? std::string() : rows.front().at(column);
    if (is_numeric_sample(sample))
        return {true, {}};
    return {false, type_list(column_values(rows, column))};
}

} // namespace tarvik
