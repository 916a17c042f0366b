#include "grouping/group_step.h"

#include "app/guarded.h"
#include "core/format.h"
#include "grouping/categories.h"
#include "grouping/group_ops.h"
#include "grouping/pipeline.h"

#include <algorithm>
#include <optional>

namespace tarvik {

namespace {

const char* const kCannotDefine = "Cannot define the group";
const char* const kNoCategory = "The data have no category named '%s'.";
const char* const kNoType = "The category '%s' has no type '%s'.";
const char* const kGroupingsList = "listbox_groupings";
const char* const kTypesList = "listbox_types";
const char* const kGroupList = "listbox_currVowel_select";

void refuse(Runtime& rt, const std::string& text) { refuse_step(rt, {text}, kCannotDefine); }

double position(const TextList& items, const std::string& text) {
    const auto at = std::find(items.begin(), items.end(), text);
    return at == items.end() ? 0 : static_cast<double>(at - items.begin()) + 1;
}

// One group of the request, as the user gives it in step 3; false when a constraint was refused.
bool define_group(Runtime& rt, Handles& handles, std::size_t index, const GroupDefinition& group) {
    Figure& fig = rt.figure();
    if (index >= handles.v.size()) {
        handles = create_group(rt, std::move(handles));
        if (index >= handles.v.size())
            return false;
    }
    fig.set_value(kGroupList, static_cast<double>(index) + 1);
    handles = update_currVowelNum(rt, std::move(handles));
    handles = rename_group(rt, std::move(handles), group.name);
    fig.set_string("edit_currVowel_name", {group.name});
    for (const auto& c : group.constraints) {
        const TextList types = *handles.subgroup.find(c.category); // checked by the caller
        // The lists show the category and type being added, as a user's clicks leave them.
        fig.set_value(kGroupingsList, position(fig.control(kGroupingsList).string, c.category));
        fig.set_string(kTypesList, types);
        for (const auto& type : c.types) {
            const std::string cleaned = clean_type_name(type);
            fig.set_value(kTypesList, position(types, cleaned));
            handles.currentSelectedGroup = c.category;
            handles.currentSelectedType = cleaned;
            const std::size_t before = handles.v.at(index)->constraintList.size();
            handles = add_constraint(rt, std::move(handles));
            if (handles.v.at(index)->constraintList.size() == before)
                return false;
        }
    }
    return true;
}

// The reason the data cannot meet the request, or nothing.
std::optional<std::string> unmet(const Handles& handles, const GroupsRequest& request) {
    for (const auto& group : request.groups)
        for (const auto& c : group.constraints) {
            const TextList* types = handles.subgroup.find(c.category);
            if (!types)
                return fill(kNoCategory, {c.category});
            for (const auto& type : c.types)
                if (position(*types, clean_type_name(type)) == 0)
                    return fill(kNoType, {c.category, type});
        }
    return std::nullopt;
}

} // namespace

StepReport define_groups(Runtime& rt, const GroupsRequest& request) {
    return run_step(rt, [&] {
        bool done = false;
        guarded(rt, ReportForm::B, "define_groups", [&] {
            Handles handles = *rt.figure().retrieve();
            // Checked first, so that a request the data cannot meet changes nothing.
            if (const auto reason = unmet(handles, request)) {
                refuse(rt, *reason);
                return;
            }
            for (std::size_t i = 0; i < request.groups.size(); ++i)
                if (!define_group(rt, handles, i, request.groups[i]))
                    return;
            rt.store(handles);
            done = true;
        });
        return done;
    });
}

StepReport fit_groups(Runtime& rt) {
    return run_step(rt, [&] {
        button_continue_to_overlap_Callback(rt, ControlRef{"button_continue_to_overlap"}, *rt.figure().retrieve());
        return rt.figure().retrieve()->currStep == 4;
    });
}

} // namespace tarvik
