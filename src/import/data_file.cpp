#include "import/data_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace tarvik {

namespace {

const char* const kMissingCell = "NULL";

// Words the column names must not be: they would read as statements of the data language.
constexpr std::array<std::string_view, 17> kReservedWords = {
    "break",  "case", "catch",     "continue",   "else",   "elseif", "end", "for",  "function",
    "global", "if",   "otherwise", "persistent", "return", "switch", "try", "while"};

bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_ascii_alnum(char c) {
    return is_ascii_letter(c) || (c >= '0' && c <= '9');
}

} // namespace

std::string excerpt(std::string_view text, std::size_t maxCharacters) {
    std::size_t end = 0;
    std::size_t shown = 0;
    for (; end < text.size() && shown < maxCharacters; ++shown)
        end += character_length(text, end);
    if (end == text.size())
        return std::string(text);
    const std::size_t total = shown + character_count(text.substr(end));
    return std::string(text.substr(0, end)) + "... (" + std::to_string(total) + " characters)";
}

bool is_separator(char c) {
    return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ';
}

std::vector<std::string_view> split_file_lines(std::string_view content) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const bool terminated = end != std::string_view::npos;
        if (!terminated)
            end = content.size();
        std::size_t stop = end;
        if (terminated && stop > start && content[stop - 1] == '\r')
            --stop;
        lines.push_back(content.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

bool looks_binary(std::string_view content) {
    return !content.empty() && std::memchr(content.data(), '\0', content.size()) != nullptr;
}

bool looks_utf16(std::string_view content) {
    if (content.starts_with("\xFF\xFE") || content.starts_with("\xFE\xFF"))
        return true;
    if (!looks_binary(content))
        return false;
    const std::size_t pairs = content.size() / 2;
    std::size_t nulFirst = 0, nulSecond = 0;
    for (std::size_t k = 0; k < pairs; ++k) {
        const bool first = content[2 * k] == '\0', second = content[2 * k + 1] == '\0';
        if (first && second)
            return false;
        nulFirst += first ? 1 : 0;
        nulSecond += second ? 1 : 0;
    }
    return pairs != 0 && 2 * std::max(nulFirst, nulSecond) >= pairs;
}

std::string_view without_byte_order_mark(std::string_view content) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    return content.substr(0, kBom.size()) == kBom ? content.substr(kBom.size()) : content;
}

DataFileText decode_data_file(std::string_view content) {
    if (looks_utf16(content))
        return {DataFileText::Kind::Utf16, {}, 0};
    const std::string_view text = without_byte_order_mark(content);
    if (looks_binary(text))
        return {DataFileText::Kind::Binary, {}, 0};
    const std::size_t bad = first_byte_not_utf8(text);
    if (bad == std::string_view::npos)
        return {DataFileText::Kind::Text, std::string(text), 0};
    const std::string_view before = text.substr(0, bad);
    const auto line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    return {DataFileText::Kind::Text, latin1_to_utf8(text), line};
}

std::string clean_header_line(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (const std::size_t word = word_character_length(line, i); word != 0) {
            out.append(line.substr(i, word));
            i += word;
            continue;
        }
        // Not a word character: ASCII or a stray byte, one byte either way.
        out.push_back(is_separator(c) && c != ' ' ? c : '_');
        ++i;
    }
    if (!out.empty() && is_separator(out.back()))
        out.pop_back();
    return out;
}

std::string clean_data_line(std::string_view line) {
    // Substitutions 1 and 2 in one pass: a character is replaced on its own, and spaces (which the first
    // keeps) are merged into one "_" per run.
    std::string s;
    s.reserve(line.size() + 8);
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == ' ') {
            s.push_back('_');
            while (i < line.size() && line[i] == ' ')
                ++i;
            continue;
        }
        if (const std::size_t word = word_character_length(line, i); word != 0) {
            s.append(line.substr(i, word));
            i += word;
            continue;
        }
        // Not a word character: ASCII or a stray byte, one byte either way.
        s.push_back(c == '-' || c == '.' || is_separator(c) ? c : '_');
        ++i;
    }

    // Substitutions 3 and 4: at most one match each; the fourth sees the third's output.
    if (!s.empty() && s.front() == '\t')
        s.insert(0, kMissingCell); // the tab itself stays behind the inserted text
    if (!s.empty() && s.back() == '\t')
        s.append(kMissingCell); // likewise, the text goes behind the tab

    // Substitution 5: after a match the scan goes on behind its closing tab, so that tab cannot open the
    // next match. A non-ASCII character is more than one byte, so a single byte between two tabs is ASCII.
    std::string out;
    out.reserve(s.size() + 16);
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '\t') {
            std::size_t matched = 0;
            if (i + 2 < s.size() && !is_ascii_alnum(s[i + 1]) && s[i + 2] == '\t')
                matched = 3;
            else if (i + 1 < s.size() && s[i + 1] == '\t')
                matched = 2;
            if (matched != 0) {
                out.push_back('\t');
                out.append(kMissingCell);
                out.push_back('\t');
                i += matched;
                continue;
            }
        }
        out.push_back(s[i]);
        ++i;
    }
    return out;
}

std::vector<std::string_view> split_cells(std::string_view line) {
    std::vector<std::string_view> pieces;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_separator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !is_separator(line[i]))
            ++i;
        pieces.push_back(line.substr(start, i - start));
    }
    return pieces;
}

std::size_t count_cells(std::string_view line) {
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_separator(line[i]))
            ++i;
        while (i < line.size() && !is_separator(line[i]))
            ++i;
        ++n;
    }
    return n;
}

bool is_valid_header_name(std::string_view name) {
    if (name.empty() || !(is_ascii_letter(name.front()) || word_character_length(name, 0) > 1))
        return false;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++characters) {
        const std::size_t word = word_character_length(name, i);
        if (word == 0)
            return false;
        i += word;
    }
    if (characters > kMaxHeaderNameLength)
        return false;
    return std::find(kReservedWords.begin(), kReservedWords.end(), name) == kReservedWords.end();
}

HeaderResult read_header(std::string_view firstLine) {
    HeaderResult result;
    const std::string cleaned = clean_header_line(firstLine);
    // Where each name stands in the line as written, for a message about two names made equal.
    std::unordered_map<std::string_view, std::string_view> written;
    const auto as_written = [&](std::string_view piece) {
        return firstLine.substr(static_cast<std::size_t>(piece.data() - cleaned.data()), piece.size());
    };
    for (std::string_view piece : split_cells(cleaned)) {
        if (!is_valid_header_name(piece)) {
            result.names.clear();
            result.illegal = std::string(piece);
            return result;
        }
        const auto [earlier, isNew] = written.emplace(piece, as_written(piece));
        if (!isNew) {
            result.names.clear();
            result.duplicate = DuplicateName{std::string(piece), std::string(earlier->second),
                                             std::string(as_written(piece))};
            return result;
        }
        result.names.emplace_back(piece);
    }
    return result;
}

DataLinesResult read_data_lines(const std::vector<std::string_view>& fileLines, std::size_t numHeaders,
                                const CellCountCheck& verify) {
    DataLinesResult result;
    result.accepted.reserve(fileLines.size());
    for (std::size_t k = 1; k < fileLines.size(); ++k) {
        if (fileLines[k].empty())
            continue;
        std::string cleaned = clean_data_line(fileLines[k]);
        const bool counted = verify ? verify(cleaned, numHeaders) : count_cells(cleaned) == numHeaders;
        if (!counted) {
            result.mismatch = FieldCountMismatch{k + 1, std::move(cleaned)};
            return result;
        }
        result.accepted.push_back(std::move(cleaned));
    }
    return result;
}

DataTable build_data_table(TextList header, const TextList& lines,
                           const std::function<void(std::size_t, std::size_t)>& onRow) {
    DataTable table;
    const std::size_t n = header.size();
    const std::size_t rows = lines.size();

    // Each header position writes into the column of its name; repeated names share one column.
    for (const std::string& name : header)
        if (!table.dataColumn.contains(name))
            table.dataColumn[name] = TextList(rows);
    std::vector<TextList*> columns(n);
    for (std::size_t j = 0; j < n; ++j)
        columns[j] = &table.dataColumn.at(header[j]);

    for (std::size_t i = 0; i < rows; ++i) {
        const std::vector<std::string_view> pieces = split_cells(lines[i]);
        if (pieces.size() != n)
            throw std::invalid_argument("Data line " + std::to_string(i + 1) + " has " +
                                        std::to_string(pieces.size()) + " cells but the header has " +
                                        std::to_string(n) + " names.");
        for (std::size_t j = 0; j < n; ++j)
            (*columns[j])[i].assign(pieces[j]);
        if (onRow)
            onRow(i + 1, rows);
    }
    table.header = std::move(header);
    return table;
}

} // namespace tarvik
