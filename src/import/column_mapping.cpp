#include "import/column_mapping.h"
#include "import/import_step.h"

#include "app/guarded.h"
#include "app/log.h"
#include "app/warnings.h"
#include "app/wizard.h"
#include "core/format.h"
#include "core/number.h"
#include "grouping/categories.h"
#include "grouping/grouping_ops.h"
#include "normalize/driver.h"

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>

namespace tarvik {

namespace {

const char* const kCannotContinue = "Cannot continue";
const char* const kSelectAll = "Please specify the header names to the data in all popup menus. For example, if "
                               "you do not have phrase duration information then be sure to say so.";
const TextList kRequired = {"Subject, Vowel, F1, and F2 data are required.",
                            "Make sure you have column corresponding to these data."};
const char* const kNoSuchColumn = "The data file has no column named '%s'.";
const char* const kSameHeaders = "Please make sure no headers are the same.";
const char* const kProceed2DTitle = "Proceed with 2D only?";
const char* const kProceed2DText =
    "You have have not specified a temporal dimension to your data. You will only be allowed to perform 2D "
    "overlap calculation and plotting. Would you like to continue anyway?";
const TextList kDoneLines = {
    "You successfully specified header names. Value types for all non-numerical values have been identified.",
    "You can view the value types in Step 3, but you need to specify normalization if any in Step 2 first."};
const char* const kNotAvailable = "(not available)";
const char* const kNotNumbersTitle = "Values that are not numbers";
const char* const kNotNumberOne =
    "The column \"%s\" chosen for %s holds 1 value that is not a number, in row %s. It is read as missing.";
const char* const kNotNumbersMany = "The column \"%s\" chosen for %s holds %s values that are not numbers, "
                                    "in rows %s. They are read as missing.";
const char* const kNotNumberRow = "%s (\"%s\")";
const char* const kMoreRows = " and %s more";
constexpr std::size_t kRowsNamed = 5;
const std::array<const char*, 6> kRoleNames = {"Subject", "Vowel", "F1", "F2", "Duration", "Phrase duration"};

constexpr std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

void refuse(Runtime& rt, const TextList& text) { refuse_step(rt, text, kCannotContinue); }

std::optional<std::string>& role(HeaderNames& names, std::size_t k) {
    std::array<std::optional<std::string>*, 6> roles = {&names.Subject, &names.Vowel,    &names.F1,
                                                        &names.F2,      &names.Duration, &names.PhraseDuration};
    return *roles[k];
}

// The text of the popup's selected entry; a Value that names no entry is a failure, not a cast of NaN.
const std::string& selected_entry(const Control& popup) {
    const double value = first_value(popup);
    if (!(value >= 1 && value <= static_cast<double>(popup.string.size())))
        throw std::out_of_range("Index exceeds matrix dimensions.");
    return popup.string[static_cast<std::size_t>(value) - 1];
}

// The warning for a measurement column with cells that are neither numbers nor missing, naming the first
// few by data row; nothing when every cell is one or the other.
std::optional<std::string> not_numbers_line(const std::string& column, const char* role,
                                            const TextList& cells) {
    std::size_t count = 0;
    std::string rows;
    for (std::size_t r = 0; r < cells.size(); ++r) {
        if (is_missing_cell(cells[r]) || is_number_text(cells[r]))
            continue;
        if (++count <= kRowsNamed)
            rows += (count > 1 ? ", " : "") + fill(kNotNumberRow, {format_count(r + 1), cells[r]});
    }
    if (count == 0)
        return std::nullopt;
    if (count > kRowsNamed)
        rows += fill(kMoreRows, {format_count(count - kRowsNamed)});
    if (count == 1)
        return fill(kNotNumberOne, {column, role, rows});
    return fill(kNotNumbersMany, {column, role, format_count(count), rows});
}

} // namespace

namespace {

constexpr std::array<std::string ColumnRoles::*, 6> kRoleFields = {
    &ColumnRoles::subject, &ColumnRoles::vowel,    &ColumnRoles::f1,
    &ColumnRoles::f2,      &ColumnRoles::duration, &ColumnRoles::phraseDuration};

// Step 1's Continue with the roles given: false when refused or cancelled.
bool apply_roles(Runtime& rt, Handles handles, const ColumnRoles& roles) {
    Figure& fig = rt.figure();
    for (std::size_t k = 0; k < 4; ++k)
        if ((roles.*kRoleFields[k]).empty()) {
            refuse(rt, kRequired);
            return false;
        }
    // The menus show the roles given; compared by name, as the roles read the columns by name (the
    // reader refuses a header that repeats one).
    std::vector<std::string> chosen;
    for (std::size_t k = 0; k < kRolePopups.size(); ++k) {
        const std::string& column = roles.*kRoleFields[k];
        const auto at = std::find(handles.header.begin(), handles.header.end(), column);
        if (!column.empty() && at == handles.header.end()) {
            refuse(rt, {fill(kNoSuchColumn, {column})});
            return false;
        }
        fig.set_value(kRolePopups[k], column.empty() ? 2.0 : static_cast<double>(at - handles.header.begin()) + 3);
        if (!column.empty())
            chosen.push_back(column);
    }
    std::sort(chosen.begin(), chosen.end());
    if (std::adjacent_find(chosen.begin(), chosen.end()) != chosen.end()) {
        refuse(rt, {kSameHeaders});
        return false;
    }

    // A measurement column without a single number would only give NaN in every later step; one with
    // some cells that are not numbers is warned of once the choice is made.
    Warnings notNumbers(kNotNumbersTitle);
    for (std::size_t k = 2; k < 5; ++k) {
        const std::string& name = roles.*kRoleFields[k];
        if (name.empty())
            continue;
        const TextList& cells = handles.dataColumn->at(name);
        if (!cells.empty() && std::none_of(cells.begin(), cells.end(), is_number_text)) {
            refuse(rt, {"The column \"" + name + "\" chosen for " + kRoleNames[k] +
                            " holds no numbers: its first value is \"" + cells.front() + "\".",
                        "Choose a column of measurements."});
            return false;
        }
        if (auto line = not_numbers_line(name, kRoleNames[k], cells))
            notNumbers.add(std::move(*line));
    }

    for (std::size_t k = 0; k < kRolePopups.size(); ++k)
        role(handles.HeaderName, k) = (roles.*kRoleFields[k]).empty() ? kNotAvailable : roles.*kRoleFields[k];
    if (handles.HeaderName.Duration == kNotAvailable) {
        handles.HeaderName.Duration = "notAvailable";
        const std::string answer = rt.dialogs().question(kProceed2DText, kProceed2DTitle, "continue", "cancel",
                                                         "continue");
        if (answer == "cancel")
            return false;
        handles.onlyAllow2D = 1;
    } else {
        handles.onlyAllow2D = 0;
    }
    handles = notNumbers.report(rt, std::move(handles));

    handles = calculate_groupings(rt, std::move(handles));
    handles = populate_grouping_listboxes(rt, std::move(handles));
    handles = calculate_dataSubject(rt, std::move(handles));
    handles = stat_dataSubject(rt, std::move(handles));
    handles = populate_normalization_popupmenus(rt, std::move(handles));

    fig.set_enable("button_continue_to_grouping", Enable::On);
    handles = update_frame_colors(rt, std::move(handles), 2);
    enable_step(rt, handles, 1, Enable::Off);
    enable_step(rt, handles, 2, Enable::On);
    if (handles.onlyAllow2D == 1)
        fig.set_enable("popupmenu_normalize_duration", Enable::Off);

    handles = update_log(rt, std::move(handles), kDoneLines);
    fig.set_value("listbox_groupings", 1);
    rt.store(handles);
    return handles.currStep == 2;
}

} // namespace

void button_continue_to_normalize_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_continue_to_normalize_Callback", [&] {
        const Figure& fig = rt.figure();
        ColumnRoles roles;
        for (std::size_t k = 0; k < kRolePopups.size(); ++k) {
            const Control& popup = fig.control(kRolePopups[k]);
            const double value = first_value(popup);
            if (value == 1) {
                refuse(rt, {kSelectAll});
                return;
            }
            if (value == 2 && k < 4) {
                refuse(rt, kRequired);
                return;
            }
            roles.*kRoleFields[k] = value == 2 ? std::string() : selected_entry(popup);
        }
        apply_roles(rt, std::move(handles), roles);
    });
}

StepReport map_columns(Runtime& rt, const ColumnRoles& roles) {
    return run_step(rt, [&] {
        bool done = false;
        guarded(rt, ReportForm::B, "button_continue_to_normalize_Callback",
                [&] { done = apply_roles(rt, *rt.figure().retrieve(), roles); });
        return done;
    });
}

void register_column_mapping_handlers(HandlerTable& table) {
    table.emplace("button_continue_to_normalize_Callback", button_continue_to_normalize_Callback);
    for (const char* popup : kRolePopups) {
        table.emplace(std::string(popup) + "_Callback", [](Runtime&, const ControlRef&, Handles) {});
        table.emplace(std::string(popup) + "_CreateFcn", [](Runtime&, const ControlRef&, Handles) {});
    }
}

} // namespace tarvik
