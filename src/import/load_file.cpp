#include "import/load_file.h"

#include "app/guarded.h"
#include "app/log.h"
#include "import/data_file.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace tarvik {

namespace {

const char* const kFileFilter = "*.txt";

const char* const kCouldNotOpenTitle = "Could not open file";
const char* const kCouldNotOpenText = "Could not find the file or filepath: ";

const char* const kIllegalNameTitle = "Illegal field name";
const char* const kIllegalNameText = "Illegal header name. Please rename the header field: ";
const char* const kIllegalNameHint = "If the field is a number, make sure you actually have a header row.";

const char* const kConfirmTitle = "Are the data okay?";
const char* const kConfirmText = "Would you like to group the data into these headers?";
const char* const kContinue = "continue";
const char* const kCancel = "cancel";

const char* const kLoadingText = "One moment while data are loaded...";
const char* const kWaitbarTag = "waitbar";

const char* const kFormatErrorTitle = "Data File Format Error";
const char* const kFormatErrorText = "Mismatch number of fields in data on file line number ";
const char* const kLogFailedStart = "Failed to load ";
const char* const kLogFailedMiddle = " due to mismatched number of fields on row number ";
const char* const kLogFailedEnd = ": ";
const char* const kLogLoaded = "Successfully loaded the data from file: ";

const char* const kFailedTitle = "Data failed to load";
const char* const kFailedText =
    "The file you selected failed to properly load. You should consult the help pages "
    "in order to make sure your tab delimited file is properly formatted.";

// Longer pieces and lines are shortened in messages and in the log (see excerpt).
constexpr std::size_t kShownCharacters = 1000;

const char* const kPleaseSelect = "(please select)";
const char* const kNotAvailable = "(not available)";

constexpr std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

// The whole file, or nothing when it cannot be opened. A read error after opening is a failure.
std::optional<std::string> read_whole_file(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw std::runtime_error("Could not read the file " + path + ".");
    return std::move(content).str();
}

void show_and_wait(Runtime& rt, const TextList& text, const char* title, WindowStyle style) {
    rt.dialogs().wait(rt.dialogs().message(text, title, Icon::Warn, style));
}

// A click on "Load File" while a load is running (a dialog or the progress dialog lets events through)
// is dropped rather than starting a second load inside the first.
bool loadRunning = false;

struct RunningLoad {
    RunningLoad() { loadRunning = true; }
    ~RunningLoad() { loadRunning = false; }
    RunningLoad(const RunningLoad&) = delete;
    RunningLoad& operator=(const RunningLoad&) = delete;
};

// The data table as the record holds it.
struct TableParts {
    TextList header;
    std::optional<TextList> dataLine;
    std::vector<DataRow> dataRow;
    OrderedMap<TextList> dataColumn;
};

TableParts take_table(Handles& h) {
    return {std::move(h.header), std::move(h.dataLine), std::move(h.dataRow), std::move(h.dataColumn)};
}

void put_table(Handles& h, TableParts t) {
    h.header = std::move(t.header);
    h.dataLine = std::move(t.dataLine);
    h.dataRow = std::move(t.dataRow);
    h.dataColumn = std::move(t.dataColumn);
}

} // namespace

HandlesAndStatus load_file(Runtime& rt, Handles handles) {
    // The new table enters the record only once the whole file has been read, and a failure after that
    // puts the earlier one back: a failed load never leaves a record that mixes two files.
    std::optional<ProgressRef> progress;
    std::optional<TableParts> earlier;
    try {
        const std::optional<FileChoice> choice = rt.dialogs().open_file(kFileFilter, "");
        if (!choice)
            return {std::move(handles), kLoadCancelled};
        const std::string& name = choice->name;

        const std::optional<std::string> content = read_whole_file(choice->path());
        if (!content) {
            show_and_wait(rt, {kCouldNotOpenText + name}, kCouldNotOpenTitle, WindowStyle::NonModal);
            return {std::move(handles), kLoadFailed};
        }

        // Not a data file at all: no line, no header text, or bytes no text file holds. The caller's
        // "Data failed to load" message says so.
        const std::string_view text = without_byte_order_mark(*content);
        if (looks_binary(text))
            return {std::move(handles), kLoadFailed};
        const std::vector<std::string_view> lines = split_file_lines(text);
        if (lines.empty() || lines.front().empty())
            return {std::move(handles), kLoadFailed};

        HeaderResult header = read_header(lines.front());
        if (header.illegal) {
            show_and_wait(rt,
                          {kIllegalNameText + excerpt(*header.illegal, kShownCharacters), kIllegalNameHint},
                          kIllegalNameTitle, WindowStyle::Modal);
            return {std::move(handles), kLoadFailed};
        }
        if (header.names.empty())
            return {std::move(handles), kLoadFailed};

        std::string question = std::string(kConfirmText) + "\n ";
        for (const std::string& h : header.names)
            question += "\n" + h;
        question += "\n ";
        if (rt.dialogs().question(question, kConfirmTitle, kContinue, kCancel, kContinue) == kCancel)
            return {std::move(handles), kLoadFailed};

        progress = rt.services().progress->create(0, kLoadingText);
        handles.waitbar = ControlRef{kWaitbarTag};
        rt.figure().set_pointer(Pointer::Watch);

        DataLinesResult data =
            read_data_lines(lines, header.names.size(), [&](const std::string& line, std::size_t numHeaders) {
                return verifyNumberCells(rt, line, numHeaders);
            });
        if (data.mismatch) {
            const std::string lineNumber = std::to_string(data.mismatch->fileLineNumber);
            show_and_wait(rt, {kFormatErrorText + lineNumber}, kFormatErrorTitle, WindowStyle::NonModal);
            // The log entry is stored with the earlier table, not with a half-read one.
            handles =
                update_log(rt, std::move(handles),
                           TextList{kLogFailedStart + name + kLogFailedMiddle + lineNumber + kLogFailedEnd,
                                    excerpt(data.mismatch->cleanedLine, kShownCharacters)});
            rt.services().progress->close(*progress);
            progress.reset();
            rt.figure().set_pointer(Pointer::Arrow);
            return {std::move(handles), kLoadFailed};
        }

        DataTable table = build_data_table(
            std::move(header.names), std::move(data.accepted), [&](std::size_t i, std::size_t rows) {
                rt.services().progress->update(*progress, static_cast<double>(i) / static_cast<double>(rows),
                                               std::nullopt);
            });
        earlier = take_table(handles);
        handles.header = std::move(table.header);
        handles.dataLine = std::move(table.dataLine);
        handles.dataRow = std::move(table.dataRow);
        handles.dataColumn = std::move(table.dataColumn);

        rt.figure().set_string("text_filename", {name});
        handles = populate_header_popupmenus(rt, std::move(handles));
        handles = update_log(rt, std::move(handles), kLogLoaded + name);
        rt.figure().set_pointer(Pointer::Arrow);
        rt.store(handles);
        rt.services().progress->close(*progress);
        return {std::move(handles), kLoadDone};
    } catch (const std::exception& e) {
        const std::string message = e.what();
        try {
            if (progress)
                rt.services().progress->close(*progress);
            rt.figure().set_pointer(Pointer::Arrow);
        } catch (...) {
            // The window may be the thing that failed; the report still has to be shown.
        }
        if (earlier)
            put_table(handles, std::move(*earlier));
        report_failure(rt, ReportForm::B, "load_file", message);
        return {std::move(handles), kLoadFailed};
    }
}

void button_load_file_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    if (loadRunning || refused_while_another_runs(rt))
        return;
    const RunningLoad running;
    guarded(rt, ReportForm::B, "button_load_file_Callback", [&] {
        HandlesAndStatus result = load_file(rt, std::move(handles));
        if (result.status == kLoadCancelled)
            return;
        if (result.status == kLoadFailed) {
            show_and_wait(rt, {kFailedText}, kFailedTitle, WindowStyle::Modal);
            return;
        }
        rt.figure().set_enable("button_continue_to_normalize", Enable::On);
        rt.store(result.handles);
    });
}

bool verifyNumberCells(Runtime& rt, const std::string& line, std::size_t numHeaders) {
    bool isOkay = false;
    guarded(rt, ReportForm::B, "verifyNumberCells", [&] { isOkay = count_cells(line) == numHeaders; },
            {.wait = false});
    return isOkay;
}

Handles populate_header_popupmenus(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "populate_header_popupmenus",
            [&] {
                TextList items = {kPleaseSelect, kNotAvailable};
                items.insert(items.end(), handles.header.begin(), handles.header.end());
                Figure& fig = rt.figure();
                for (const char* tag : kRolePopups) {
                    fig.set_string(tag, items);
                    // A selection kept from an earlier, longer header list would point past the new items.
                    const double value = first_value(fig.control(tag));
                    if (value < 1 || value > static_cast<double>(items.size()))
                        fig.set_value(tag, 1.0);
                    fig.set_enable(tag, Enable::On);
                }
                rt.store(handles);
            },
            {.wait = false});
    return handles;
}

void register_import_handlers(HandlerTable& table) {
    table.emplace("button_load_file_Callback", button_load_file_Callback);
}

} // namespace tarvik
