#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <vector>

// A table of results as the Results window shows it and the reports write it: named columns of texts,
// whole numbers or numbers. One number format and one set of writers serve the window (its display,
// sorting, copying as tab-separated text, CSV export) and the batch tool's CSV and JSON files. Plain
// data and pure functions, like the plot descriptions the plot host shows.
namespace tarvik {

enum class ColumnKind {
    Text,   // sorted as text
    Index,  // a whole number; JSON writes it as an integer
    Number, // a number; NaN sorts last, JSON writes it as null
};

struct ResultsColumn {
    std::string name;
    ColumnKind kind = ColumnKind::Number;
    friend bool operator==(const ResultsColumn&, const ResultsColumn&) = default;
};

// A cell keeps its text (text columns) or its number (the other columns).
struct ResultsCell {
    std::string text;
    double number = 0;
};

struct ResultsTable {
    std::vector<ResultsColumn> columns;
    std::vector<std::vector<ResultsCell>> rows;
    // What the user should know about the numbers (why some are NaN), each line once.
    std::vector<std::string> notes;
    // A table behind each row that the window opens from it (a pair's rows within subjects); empty: none.
    std::vector<ResultsTable> details;
};

// The index of the column of that name, or columns.size().
std::size_t column_index(const ResultsTable& table, const std::string& name);

// A number in the reports: 17 significant digits, so that it reads back as the same double; "NaN",
// "Inf", "-Inf" when it is not finite.
std::string report_number(double x);
// A CSV field: the text, or quoted with doubled quotes when it holds a comma, a quote or a line feed.
std::string csv_field(const std::string& text);

// The text of a cell as the reports write it (report_number for numbers).
std::string cell_text(const ResultsTable& table, std::size_t row, std::size_t column);
// The text of a cell as the window shows it: whole numbers whole, others to 6 significant digits.
std::string cell_display_text(const ResultsTable& table, std::size_t row, std::size_t column);

// The rows in the order of one column, ascending or descending: text columns by their text, the others
// by their numbers with NaN last either way. Rows that compare equal keep their order. A column that
// does not exist gives the table's own order.
std::vector<std::size_t> sorted_rows(const ResultsTable& table, std::size_t column, bool descending);

// The header and the given rows, in the given order, of the given columns, as tab-separated text, a
// line feed after each line. A tab or line break in a text becomes a space.
std::string tsv_text(const ResultsTable& table, const std::vector<std::size_t>& rows,
                     const std::vector<std::size_t>& columns);
// The whole table so.
std::string tsv_text(const ResultsTable& table);

// The table as CSV: the header, then each row.
std::string csv_text(const ResultsTable& table);

// One row as a JSON object keyed by the names of the given columns; a number that is not finite is null.
nlohmann::json row_json(const ResultsTable& table, std::size_t row, const std::vector<std::size_t>& columns);

// The table as the batch tool's overlap document {"format": "tarvik3d-overlap", "version": 1, "pairs":
// [...]}, one object per row keyed by column name; a number that is not finite is null.
std::string json_text(const ResultsTable& table);

} // namespace tarvik
