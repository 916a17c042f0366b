#include "ui/results_table.h"

#include "core/format.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

std::string index_text(double x) { return std::to_string(static_cast<long long>(x)); }

// A text as one cell of a tab-separated line.
std::string tsv_field(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

} // namespace

std::size_t column_index(const ResultsTable& table, const std::string& name) {
    const auto at = std::find_if(table.columns.begin(), table.columns.end(),
                                 [&](const ResultsColumn& c) { return c.name == name; });
    return static_cast<std::size_t>(at - table.columns.begin());
}

std::string report_number(double x) {
    return std::isfinite(x) ? format_significant(x, 17) : format_fixed(x, 0, 0);
}

std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string cell_text(const ResultsTable& table, std::size_t row, std::size_t column) {
    const ResultsCell& cell = table.rows.at(row).at(column);
    switch (table.columns.at(column).kind) {
    case ColumnKind::Text:
        return cell.text;
    case ColumnKind::Index:
        return index_text(cell.number);
    default:
        return report_number(cell.number);
    }
}

std::string cell_display_text(const ResultsTable& table, std::size_t row, std::size_t column) {
    if (table.columns.at(column).kind != ColumnKind::Number)
        return cell_text(table, row, column);
    const double x = table.rows.at(row).at(column).number;
    return std::isfinite(x) && x == std::floor(x) && std::fabs(x) < 1e15 ? format_int(x) : format_significant(x, 6);
}

std::vector<std::size_t> sorted_rows(const ResultsTable& table, std::size_t column, bool descending) {
    std::vector<std::size_t> order(table.rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (column >= table.columns.size())
        return order;
    const auto cell = [&](std::size_t r) -> const ResultsCell& { return table.rows[r][column]; };
    if (table.columns[column].kind == ColumnKind::Text) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            return descending ? cell(y).text < cell(x).text : cell(x).text < cell(y).text;
        });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            const double u = cell(x).number, v = cell(y).number;
            if (std::isnan(u) || std::isnan(v))
                return !std::isnan(u) && std::isnan(v);
            return descending ? v < u : u < v;
        });
    }
    return order;
}

std::string tsv_text(const ResultsTable& table, const std::vector<std::size_t>& rows,
                     const std::vector<std::size_t>& columns) {
    std::string out;
    const auto line = [&](const auto& field) {
        for (std::size_t k = 0; k < columns.size(); ++k)
            out += (k ? "\t" : "") + tsv_field(field(columns[k]));
        out += "\n";
    };
    line([&](std::size_t c) { return table.columns.at(c).name; });
    for (const std::size_t r : rows)
        line([&](std::size_t c) { return cell_text(table, r, c); });
    return out;
}

std::string tsv_text(const ResultsTable& table) {
    std::vector<std::size_t> rows(table.rows.size()), columns(table.columns.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i;
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = i;
    return tsv_text(table, rows, columns);
}

std::string csv_text(const ResultsTable& table) {
    std::string out;
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        out += (c ? "," : "") + table.columns[c].name;
    out += "\n";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            out += (c ? "," : "") + (table.columns[c].kind == ColumnKind::Text ? csv_field(table.rows[r][c].text)
                                                                                : cell_text(table, r, c));
        out += "\n";
    }
    return out;
}

nlohmann::json row_json(const ResultsTable& table, std::size_t row, const std::vector<std::size_t>& columns) {
    nlohmann::json out = nlohmann::json::object();
    for (const std::size_t c : columns) {
        const ResultsCell& cell = table.rows[row][c];
        switch (table.columns[c].kind) {
        case ColumnKind::Text:
            out[table.columns[c].name] = cell.text;
            break;
        case ColumnKind::Index:
            out[table.columns[c].name] = static_cast<int>(cell.number);
            break;
        default:
            out[table.columns[c].name] =
                std::isfinite(cell.number) ? nlohmann::json(cell.number) : nlohmann::json(nullptr);
        }
    }
    return out;
}

std::string json_text(const ResultsTable& table) {
    std::vector<std::size_t> columns(table.columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c)
        columns[c] = c;
    nlohmann::json pairs = nlohmann::json::array();
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        pairs.push_back(row_json(table, r, columns));
    const nlohmann::json doc = {{"format", "tarvik3d-overlap"}, {"version", 1}, {"pairs", pairs}};
    return doc.dump(2) + "\n";
}

} // namespace tarvik
