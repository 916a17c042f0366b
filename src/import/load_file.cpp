#include "import/load_file.h"
#include "import/import_step.h"

#include "app/guarded.h"
#include "app/log.h"
#include "app/warnings.h"
#include "core/format.h"
#include "import/data_file.h"

#include <array>
#include <cstdint>
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

const char* const kDuplicateNameTitle = "Duplicate field name";
const char* const kDuplicateNameText =
    "Two columns are named %s. Please rename one of them: each column needs a name of its own.";
const char* const kDuplicateCleanedText =
    "Two columns are named %s once blanks and punctuation are turned into \"_\": \"%s\" and \"%s\". "
    "Please rename one of them: each column needs a name of its own.";

const char* const kEncodingTitle = "Data File Encoding Error";
const char* const kUtf16Text = "The file is UTF-16 text; save it as UTF-8 (or plain text) and load it again.";

const char* const kLatin1Title = "File read as Latin-1";
const char* const kLatin1Text =
    "%s is not UTF-8 text: line %s is the first that holds a byte sequence that is not UTF-8. The file was "
    "read as Latin-1 (ISO 8859-1), each byte one character; if labels look wrong, save the file as UTF-8 "
    "and load it again.";

const char* const kChangedTitle = "File changed while loading";
const char* const kChangedText = "%s changed while it was being read (its size or modification time is not "
                                 "what it was when reading began), so nothing of it was loaded. Load it "
                                 "again once the program that writes it has finished.";

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

// A file's size and modification time.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

std::optional<FileStamp> file_stamp(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return std::nullopt;
    const auto modified = std::filesystem::last_write_time(path, ec);
    if (ec)
        return std::nullopt;
    return FileStamp{size, modified};
}

// The whole file, or why there is none: it cannot be opened, or it changed while it was read (its stamp
// after the reading differs from the one before). A read error after opening is a failure.
struct FileContent {
    enum class Status { Read, CannotOpen, Changed };
    Status status = Status::Read;
    std::string bytes;
};

FileContent read_whole_file(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return {FileContent::Status::CannotOpen, {}};
    const std::optional<FileStamp> before = file_stamp(path);
    if (!before)
        return {FileContent::Status::CannotOpen, {}};
    if (beforeDataFileRead)
        beforeDataFileRead(path);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {FileContent::Status::CannotOpen, {}};
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        throw std::runtime_error("Could not read the file " + path + ".");
    if (file_stamp(path) != before)
        return {FileContent::Status::Changed, {}};
    return {FileContent::Status::Read, std::move(content).str()};
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
    OrderedMap<TextList> dataColumn;
};

TableParts take_table(Handles& h) {
    return {std::move(h.header), std::move(h.dataColumn)};
}

void put_table(Handles& h, TableParts t) {
    h.header = std::move(t.header);
    h.dataColumn = std::move(t.dataColumn);
}

} // namespace

HandlesAndStatus load_file(Runtime& rt, Handles handles) {
    std::optional<FileChoice> choice;
    try {
        choice = rt.dialogs().open_file(kFileFilter, "");
    } catch (const std::exception& e) {
        report_failure(rt, ReportForm::B, "load_file", e.what());
        return {std::move(handles), kLoadFailed};
    }
    if (!choice)
        return {std::move(handles), kLoadCancelled};
    return load_file_from(rt, std::move(handles), *choice);
}

HandlesAndStatus load_file_from(Runtime& rt, Handles handles, const FileChoice& file) {
    // The new table enters the record only once the whole file has been read, and a failure after that
    // puts the earlier one back: a failed load never leaves a record that mixes two files.
    std::optional<ProgressRef> progress;
    std::optional<TableParts> earlier;
    try {
        const std::string& name = file.name;

        const FileContent content = read_whole_file(file.path());
        if (content.status == FileContent::Status::CannotOpen) {
            show_and_wait(rt, {kCouldNotOpenText + name}, kCouldNotOpenTitle, WindowStyle::NonModal);
            return {std::move(handles), kLoadFailed};
        }
        if (content.status == FileContent::Status::Changed) {
            show_and_wait(rt, {fill(kChangedText, {name})}, kChangedTitle, WindowStyle::NonModal);
            return {std::move(handles), kLoadFailed};
        }

        // Not a data file at all: no line, no header text, or bytes no text file holds. The caller's
        // "Data failed to load" message says so; of UTF-16 text it says first what to do.
        const DataFileText decoded = decode_data_file(content.bytes);
        if (decoded.kind == DataFileText::Kind::Utf16)
            show_and_wait(rt, {kUtf16Text}, kEncodingTitle, WindowStyle::NonModal);
        if (decoded.kind != DataFileText::Kind::Text)
            return {std::move(handles), kLoadFailed};
        const std::vector<std::string_view> lines = split_file_lines(decoded.text);
        if (lines.empty() || lines.front().empty())
            return {std::move(handles), kLoadFailed};

        HeaderResult header = read_header(lines.front());
        if (header.illegal) {
            show_and_wait(rt,
                          {kIllegalNameText + excerpt(*header.illegal, kShownCharacters), kIllegalNameHint},
                          kIllegalNameTitle, WindowStyle::Modal);
            return {std::move(handles), kLoadFailed};
        }
        if (header.duplicate) {
            const DuplicateName& d = *header.duplicate;
            const auto shown = [](const std::string& text) { return excerpt(text, kShownCharacters); };
            show_and_wait(rt,
                          {d.first == d.second ? fill(kDuplicateNameText, {shown(d.name)})
                                               : fill(kDuplicateCleanedText,
                                                      {shown(d.name), shown(d.first), shown(d.second)})},
                          kDuplicateNameTitle, WindowStyle::Modal);
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
        handles.dataColumn = std::move(table.dataColumn);

        rt.figure().set_string("text_filename", {name});
        handles = populate_header_popupmenus(rt, std::move(handles));
        handles = update_log(rt, std::move(handles), kLogLoaded + name);
        if (decoded.latin1Line != 0) {
            Warnings latin1(kLatin1Title);
            latin1.add(fill(kLatin1Text, {name, std::to_string(decoded.latin1Line)}));
            handles = latin1.report(rt, std::move(handles));
        }
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

namespace {

// What the button does after the file is chosen (or, from a request, named).
bool finish_load(Runtime& rt, const HandlesAndStatus& result) {
    if (result.status == kLoadCancelled)
        return false;
    if (result.status == kLoadFailed) {
        show_and_wait(rt, {kFailedText}, kFailedTitle, WindowStyle::Modal);
        return false;
    }
    rt.figure().set_enable("button_continue_to_normalize", Enable::On);
    rt.store(result.handles);
    return true;
}

} // namespace

void button_load_file_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    if (loadRunning || refused_while_another_runs(rt))
        return;
    const RunningLoad running;
    guarded(rt, ReportForm::B, "button_load_file_Callback",
            [&] { finish_load(rt, load_file(rt, std::move(handles))); });
}

StepReport load_data(Runtime& rt, const LoadRequest& request) {
    return run_step(rt, [&] {
        if (loadRunning)
            return false;
        const RunningLoad running;
        bool loaded = false;
        guarded(rt, ReportForm::B, "button_load_file_Callback", [&] {
            const std::filesystem::path path(request.path);
            loaded = finish_load(rt, load_file_from(rt, *rt.figure().retrieve(),
                                                    FileChoice{path.filename().string(), path.parent_path().string()}));
        });
        return loaded;
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
