// Any bytes as a data file: read as the reader reads it, mapped to the six roles and built into subject
// records, once through the plain functions and once through "Load File" and step 1's Continue on a
// headless main window. The first six bytes choose the roles (so every column can be any role); the
// rest is the file. Seeds are files of tests/data behind six such bytes.
#include "fuzz_expect.h"
#include "app/entry.h"
#include "app/runtime.h"
#include "core/number.h"
#include "grouping/categories.h"
#include "grouping/subjects.h"
#include "grouping/summaries.h"
#include "import/data_file.h"
#include "ui/scripted_services.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace tarvik;
namespace fs = std::filesystem;

constexpr std::size_t kRoleBytes = 6;
constexpr std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

// A folder of this process for the file the load button opens; removed at exit.
struct Folder {
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "tarvik_fuzz_XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

// A cleaned data line holds nothing the cleaning replaces: word characters (non-ASCII ones included),
// "-", ".", and whitespace other than the space.
bool cleaned_data(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t word = word_character_length(line, i);
        const char c = line[i];
        if (word == 0 && !(c == '-' || c == '.' || (is_separator(c) && c != ' ')))
            return false;
        i += word != 0 ? word : 1;
    }
    return true;
}

// The role of popup k, as the entry (1-based) of a popup that lists "(please select)", "(not
// available)" and the n header names.
double role_entry(std::string_view roles, std::size_t k, std::size_t n) {
    const auto b =
        k < roles.size() ? static_cast<unsigned char>(roles[k]) : static_cast<unsigned char>(k * 37);
    return static_cast<double>(1 + b % (n + 2));
}

// The reader, the table and the subject records through the plain functions. Returns the header names
// of a file that loads.
std::optional<TextList> read_plainly(std::string_view file, std::string_view roles) {
    const DataFileText decoded = decode_data_file(file);
    if (decoded.kind != DataFileText::Kind::Text)
        return std::nullopt;
    EXPECT(first_byte_not_utf8(decoded.text) == std::string_view::npos);
    const std::vector<std::string_view> lines = split_file_lines(decoded.text);
    if (lines.empty() || lines.front().empty())
        return std::nullopt;
    for (const std::string_view line : lines)
        EXPECT(line.find('\n') == std::string_view::npos);

    const HeaderResult header = read_header(lines.front());
    if (header.illegal) {
        EXPECT(header.names.empty());
        EXPECT(!is_valid_header_name(*header.illegal));
        return std::nullopt;
    }
    if (header.duplicate) {
        EXPECT(header.names.empty() && is_valid_header_name(header.duplicate->name));
        return std::nullopt;
    }
    for (const std::string& name : header.names)
        EXPECT(is_valid_header_name(name));
    const std::size_t n = header.names.size();
    if (n == 0)
        return std::nullopt;

    DataLinesResult data = read_data_lines(lines, n);
    for (const std::string& line : data.accepted) {
        EXPECT(count_cells(line) == n);
        EXPECT(cleaned_data(line));
    }
    if (data.mismatch) {
        EXPECT(data.mismatch->fileLineNumber >= 2 && data.mismatch->fileLineNumber <= lines.size());
        EXPECT(count_cells(data.mismatch->cleanedLine) != n);
        return std::nullopt;
    }

    const std::size_t rows = data.accepted.size();
    const DataTable table = build_data_table(header.names, std::move(data.accepted));
    EXPECT(table.dataRow.size() == rows && table.dataLine.size() == rows);
    for (const auto& [name, column] : table.dataColumn) {
        EXPECT(column.size() == rows);
        for (std::size_t i = 0; i < rows; ++i)
            EXPECT(column[i] == table.dataRow[i].at(name));
    }

    // Every column classified; every choice of roles read into subject records.
    for (const std::string& name : table.dataColumn.keys()) {
        const ColumnClass c = classify_column(table.dataRow, name);
        const auto present = std::find_if(table.dataRow.begin(), table.dataRow.end(),
                                          [&](const DataRow& row) { return !is_missing_cell(row.at(name)); });
        EXPECT(c.numeric == (present == table.dataRow.end() || is_number_text(present->at(name))));
        EXPECT(c.numeric == c.types.empty());
    }
    HeaderNames names;
    std::array<std::optional<std::string>*, 6> fields = {
        &names.Subject, &names.Vowel, &names.F1, &names.F2, &names.Duration, &names.PhraseDuration};
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const auto entry = static_cast<std::size_t>(role_entry(roles, k, n));
        *fields[k] = entry <= 2 ? std::string("(not available)") : header.names[entry - 3];
    }
    const bool onlyAllow2D = names.Duration == "(not available)";
    if (names.Subject == "(not available)" || names.Vowel == "(not available)" ||
        names.F1 == "(not available)" || names.F2 == "(not available)")
        return header.names;
    const OrderedMap<SubjectRecord> subjects =
        build_subject_records(table.dataRow, subject_columns(names, onlyAllow2D));
    std::size_t tokens = 0;
    for (const auto& [subject, record] : subjects) {
        EXPECT(subject != "NULL");
        for (const auto& [vowel, target] : record.vowelTargets) {
            const std::size_t k = target.RowLocation.size();
            EXPECT(vowel != "NULL" && k > 0);
            EXPECT(target.F1.size() == k && target.F2.size() == k && target.Duration.size() == k);
            EXPECT(!target.PhraseDuration || target.PhraseDuration->size() == k);
            for (std::size_t i = 0; i < k; ++i)
                EXPECT(target.RowLocation[i] >= 1 && target.RowLocation[i] <= static_cast<double>(rows) &&
                       (i == 0 || target.RowLocation[i] > target.RowLocation[i - 1]));
            tokens += k;
        }
    }
    std::size_t expected = 0;
    for (const DataRow& row : table.dataRow)
        expected += row.at(*names.Subject) != "NULL" && row.at(*names.Vowel) != "NULL" ? 1 : 0;
    EXPECT(tokens == expected);
    (void)subject_listing(subjects);
    return header.names;
}

// The same file through the buttons of a headless main window, every dialog answered by going on.
void read_through_window(std::string_view file, std::string_view roles,
                         const std::optional<TextList>& header) {
    static const Folder folder;
    {
        std::ofstream out(folder.path / "data.txt", std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    // The window as the program opens it, made once; each file gets a copy of it.
    static const std::shared_ptr<Figure> opened = [] {
        static ScriptedServices scripted;
        static Runtime rt(scripted.services());
        zerivizi_export(rt, {std::string("visible"), std::string("off")});
        return rt.main_window();
    }();
    ScriptedServices scripted;
    Runtime rt(scripted.services());
    auto window = std::make_shared<Figure>(opened->window(), opened->objects());
    window->store(*opened->retrieve());
    rt.set_main_window(window);
    scripted.fileAnswers.push_back(FileChoice{"data.txt", folder.path.string()});
    dispatch_event(rt, "button_load_file");

    const Handles loaded = *rt.figure().retrieve();
    const bool ok = rt.figure().control("text_filename").string == TextList{"data.txt"};
    EXPECT(ok == header.has_value());
    if (!ok) {
        EXPECT(loaded.header.empty() && loaded.dataRow.empty());
        return;
    }
    EXPECT(loaded.header == *header);

    for (std::size_t k = 0; k < kRolePopups.size(); ++k)
        rt.figure().set_value(kRolePopups[k], role_entry(roles, k, header->size()));
    dispatch_event(rt, "button_continue_to_normalize");
    const Handles mapped = *rt.figure().retrieve();
    EXPECT(mapped.header == loaded.header && mapped.dataRow == loaded.dataRow);
    EXPECT(mapped.currStep == 1 || mapped.currStep == 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first bytes choose the roles, the rest is the file.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view roles = input.substr(0, std::min(kRoleBytes, input.size()));
    const std::string_view file = input.substr(roles.size());
    const std::optional<TextList> header = read_plainly(file, roles);
    read_through_window(file, roles, header);
    return 0;
}
