#include "normalize/normalized_table.h"

#include <stdexcept>

namespace tarvik {

namespace {

void set_cell(OrderedMap<std::vector<Cell>>& table, const std::optional<std::string>& column, double row, Cell value) {
    if (!column)
        return;
    auto& cells = table[*column];
    const auto r = static_cast<std::size_t>(row);
    if (r < 1)
        return;
    if (cells.size() < r)
        cells.resize(r);
    cells[r - 1] = std::move(value);
}

const std::vector<double>& values_of(const CategoryValues& values, const char* category) {
    static const std::vector<double> none;
    const auto* found = values.find(category);
    return found ? *found : none;
}

} // namespace

const std::vector<double>& token_values(const VowelTarget& target, const std::string& category) {
    if (category == "F1")
        return target.F1;
    if (category == "F2")
        return target.F2;
    if (category == "Duration")
        return target.Duration;
    if (category == "PhraseDuration" && target.PhraseDuration)
        return *target.PhraseDuration;
    throw std::runtime_error("Reference to non-existent field '" + category + "'.");
}

OrderedMap<std::vector<Cell>> normalized_table(const OrderedMap<TextList>& dataColumn,
                                               const OrderedMap<SubjectRecord>& subjects, const HeaderNames& roles,
                                               bool twoD, const std::function<void(std::size_t)>& beforeSubject) {
    OrderedMap<std::vector<Cell>> table;
    for (const auto& [name, column] : dataColumn) {
        auto& cells = table[name];
        cells.reserve(column.size());
        for (const auto& text : column)
            cells.emplace_back(text);
    }
    std::size_t k = 0;
    for (const auto& [subject, record] : subjects) {
        if (beforeSubject)
            beforeSubject(k);
        ++k;
        for (const auto& [vowel, normalized] : record.normalizedTargets) {
            const VowelTarget* target = record.vowelTargets.find(vowel);
            if (!target)
                continue;
            const auto& f1 = values_of(normalized, "F1");
            const auto& f2 = values_of(normalized, "F2");
            const auto& duration = values_of(normalized, "Duration");
            for (std::size_t t = 0; t < target->RowLocation.size(); ++t) {
                const double r = target->RowLocation[t];
                set_cell(table, roles.F1, r, f1.at(t));
                set_cell(table, roles.F2, r, f2.at(t));
                set_cell(table, roles.Duration, r, twoD ? 0.5 : duration.at(t));
            }
        }
    }
    return table;
}

} // namespace tarvik
