#include "grouping/grouping_ops.h"

#include "app/guarded.h"
#include "app/log.h"
#include "grouping/categories.h"
#include "grouping/subjects.h"
#include "grouping/summaries.h"

#include <cmath>
#include <stdexcept>

namespace tarvik {

namespace {

const char* const kGroupingsProgress = "One moment while groupings and their types are calculated...";
const char* const kGroupingsList = "listbox_groupings";
const char* const kTypesList = "listbox_types";
constexpr GuardOptions kNoWait{.wait = false};

// The 1-based entry a list box selects, or nothing when its Value names no entry.
std::optional<std::size_t> selected_entry(const Control& list) {
    const double value = first_value(list);
    if (value < 1 || value > static_cast<double>(list.string.size()) || value != std::floor(value))
        return std::nullopt;
    return static_cast<std::size_t>(value);
}

// The body of listbox_groupings_Callback, returning the record so that populate_grouping_listboxes
// can carry the selection on.
Handles select_grouping(Runtime& rt, Handles handles) {
    const auto body = [&] {
        handles = calculate_selected_field(rt, std::move(handles));
        rt.store(handles);
    };
    guarded(rt, ReportForm::B, "listbox_groupings_Callback", body, kNoWait);
    return handles;
}

} // namespace

Handles calculate_groupings(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_groupings", [&] {
        Figure& fig = rt.figure();
        ProgressService& progress = *rt.services().progress;
        const ProgressRef bar = progress.create(0, kGroupingsProgress);
        fig.set_pointer(Pointer::Watch);
        const auto finish = [&] {
            progress.close(bar);
            fig.set_pointer(Pointer::Arrow);
        };
        try {
            handles.groupsNumeric.clear();
            handles.groups.clear();
            handles.subgroup.clear();
            const std::size_t n = handles.header.size();
            for (std::size_t k = 0; k < n; ++k) {
                progress.update(bar, static_cast<double>(k + 1) / static_cast<double>(n), std::nullopt);
                const std::string& name = handles.header[k];
                ColumnClass column = classify_column(handles.dataColumn->at(name));
                if (column.numeric) {
                    handles.groupsNumeric.push_back(name);
                } else {
                    handles.groups.push_back(name);
                    handles.subgroup[name] = std::move(column.types);
                }
            }
        } catch (...) {
            // The pointer is back to the arrow, and the progress dialog gone, before the report shows.
            finish();
            throw;
        }
        finish();
        rt.store(handles);
    });
    return handles;
}

Handles populate_grouping_listboxes(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "populate_grouping_listboxes", [&] {
        Figure& fig = rt.figure();
        fig.set_string(kGroupingsList, handles.groups);
        fig.set_value(kGroupingsList, 1);
        handles = select_grouping(rt, std::move(handles));
        rt.store(handles);
    });
    return handles;
}

Handles calculate_selected_field(Runtime& rt, Handles handles) {
    const auto body = [&] {
        Figure& fig = rt.figure();
        const Control& groupings = fig.control(kGroupingsList);
        if (groupings.string.empty()) {
            // A data file without categories: nothing to select, and no earlier selection may linger.
            fig.set_string(kTypesList, {});
            handles.currentSelectedGroup.reset();
            handles.currentSelectedType.reset();
            rt.store(handles);
            return;
        }
        const auto entry = selected_entry(groupings);
        if (!entry)
            throw std::out_of_range("Index exceeds matrix dimensions.");
        // The types are looked up first, so an unknown category leaves the earlier selection whole.
        const std::string name = groupings.string[*entry - 1];
        const TextList& types = handles.subgroup.at(name);
        handles.currentSelectedGroup = name;
        fig.set_string(kTypesList, types);
        handles = update_constraint_types_listbox(rt, std::move(handles));
        rt.store(handles);
    };
    guarded(rt, ReportForm::B, "calculate_selected_field", body, kNoWait);
    return handles;
}

Handles update_constraint_types_listbox(Runtime& rt, Handles handles) {
    const auto body = [&] {
        Figure& fig = rt.figure();
        const Control& types = fig.control(kTypesList);
        if (types.string.empty()) {
            handles.currentSelectedType.reset();
            rt.store(handles);
            return;
        }
        std::optional<std::size_t> entry = selected_entry(types);
        if (!entry) {
            fig.set_value(kTypesList, 1);
            entry = 1;
        }
        handles.currentSelectedType = fig.control(kTypesList).string[*entry - 1];
        rt.store(handles);
    };
    guarded(rt, ReportForm::B, "update_constraint_types_listbox", body, kNoWait);
    return handles;
}

Handles calculate_dataSubject(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_dataSubject", [&] {
        // Emptied first, so that a failure leaves no subjects of an earlier run behind.
        handles.dataSubject.clear();
        handles.dataSubject = build_subject_records(
            handles.dataColumn, subject_columns(handles.HeaderName, handles.onlyAllow2D != 0));
        rt.store(handles);
    });
    return handles;
}

Handles stat_dataSubject(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "stat_dataSubject", [&] {
        TextList lines = subject_listing(handles.dataSubject);
        handles = update_log(rt, std::move(handles), std::move(lines));
        rt.store(handles);
    });
    return handles;
}

Handles stat_vowelGroups(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "stat_vowelGroups", [&] {
        TextList lines = group_listing(handles.v, handles.onlyAllow2D != 1);
        handles = update_log(rt, std::move(handles), lines);
        rt.store(handles);
    });
    return handles;
}

void listbox_groupings_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    select_grouping(rt, std::move(handles));
}

void listbox_types_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    const auto body = [&] {
        handles = update_constraint_types_listbox(rt, std::move(handles));
        rt.store(handles);
    };
    guarded(rt, ReportForm::B, "listbox_types_Callback", body, kNoWait);
}

void register_grouping_handlers(HandlerTable& table) {
    table.emplace("listbox_groupings_Callback", listbox_groupings_Callback);
    table.emplace("listbox_types_Callback", listbox_types_Callback);
}

} // namespace tarvik
