#include "grouping/group_ops.h"

#include "app/guarded.h"
#include "app/record.h"
#include "core/format.h"
#include "grouping/constraints.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tarvik {

namespace {

// Controls of the grouping step.
const char* const kGroupList = "listbox_currVowel_select";
const char* const kConstraintList = "listbox_currVowel_defined";
const char* const kNameField = "edit_currVowel_name";

const char* const kNewGroupName = "(change my name)";

const char* const kDeleteQuestion = "Are you sure you want to delete the current selected vowel grouping?";
const char* const kDeleteTitle = "Delete selected grouping?";
const char* const kYes = "Yes";
const char* const kNo = "No";
const char* const kSelectToDelete = "You must have a vowel grouping selected to delete it.";
const char* const kCannotProceed = "Cannot proceed";
const char* const kLastGroupDeleted =
    "You need to create at least two vowel groupings for comparison and plotting";
const char* const kJustANote = "Just a note";

const char* const kNoGroupText = "Please create a grouping first with 'Create new grouping'.";
const char* const kNoGroupTitle = "No grouping";

const char* const kSelectType = "Please make sure you've selected atype for the current selected group.";
const char* const kSelectBoth = "Please make sure you've selected aCategory and a Category Type.";
const char* const kAlreadyHave = "You already have '%s' as a constraint.";
const char* const kAlreadyHaveIn = "You already have '%s' as a constraint for the vowel group '%s'";
const char* const kCannotAdd = "Cannot Add Constraint";

const char* const kNothingToDelete = "There is no constraint to delete.";
const char* const kSelectEntry = "Make sure to select an entry in the current vowel listbox.";
const char* const kCannotDelete = "Cannot Delete Constraint";

const char* const kLackConstraints =
    "The following groups lack associated constraints:\n\n%s\n\nIf you continue, the above groups will be "
    "deleted.\n\nDo you want to continue anyway?\n";
const char* const kLackTitle = "Continue and delete groups?";
const char* const kNoGroupsLeft =
    "You cannot proceed if you do not have defined at least two vowel groups. Please "
    "add constraints to at least two groups.";

const char* const kGroupWithoutConstraints =
    "Vowel group number %s has no constraints... this should have been caught. Notify Quillon.";
const char* const kGroupWithoutConstraintsTitle = "No constraints";
const char* const kNoTokens =
    "Vowel group '%s' has no tokens that satisfy the constraints. Remove the vowel or "
    "change the constraints before continuing.";
const char* const kCannotContinue = "Cannot continue";

constexpr GuardOptions kNoWait{.wait = false};

void tell_create_group_first(Runtime& rt) {
    rt.dialogs().wait(rt.dialogs().message({kNoGroupText}, kNoGroupTitle, Icon::Warn, WindowStyle::Modal));
}

// The 0-based index of the current group; throws when currVowelNum names none.
std::size_t current_index(const Handles& handles) {
    const double num = handles.currVowelNum;
    if (!(num >= 1 && num <= static_cast<double>(handles.v.size())) || num != std::floor(num))
        throw std::out_of_range("Index exceeds matrix dimensions.");
    return static_cast<std::size_t>(num) - 1;
}

bool selected(const std::optional<std::string>& field) {
    return field && !field->empty();
}

bool contains(const TextList& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

const std::string& role_column(const std::optional<std::string>& name, const char* role) {
    if (!name)
        throw std::out_of_range(std::string("Reference to non-existent field '") + role + "'.");
    return *name;
}

} // namespace

Handles update_currVowelNum(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "update_currVowelNum", [&] {
        Figure& fig = rt.figure();
        const std::size_t n = handles.v.size();
        if (n == 0) {
            handles.currVowelNum = 0;
            fig.set_string(kConstraintList, {});
            fig.set_value(kConstraintList, std::vector<double>{});
            fig.set_string(kNameField, {""});
            rt.store(handles);
            return;
        }
        double num = first_value(fig.control(kGroupList));
        if (!selection_within({num}, n)) {
            // Nothing selected: the current group stays current and its label is selected again.
            const double current = handles.currVowelNum;
            num = selection_within({current}, n) ? current : static_cast<double>(n);
            fig.set_value(kGroupList, num);
        }
        handles.currVowelNum = num;
        const VowelGroup& g = *handles.v[static_cast<std::size_t>(num) - 1];
        fig.set_string(kConstraintList, g.constraintList);
        fig.set_string(kNameField, {g.name});
        rt.store(handles);
    });
    return handles;
}

Handles update_listbox_currVowel_select(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "update_listbox_currVowel_select", [&] {
        Figure& fig = rt.figure();
        const TextList labels = group_labels(handles.v);
        fig.set_string(kGroupList, labels);
        fig.set_value(kGroupList, static_cast<double>(labels.size()));
        rt.store(handles);
        // The selected label and the group being edited must agree.
        handles = update_currVowelNum(rt, std::move(handles));
    });
    return handles;
}

Handles add_constraint(Runtime& rt, Handles handles) {
    const auto body = [&] {
        if (handles.v.empty()) {
            tell_create_group_first(rt);
            return;
        }
        if (!selected(handles.currentSelectedGroup) || !selected(handles.currentSelectedType)) {
            rt.dialogs().wait(rt.dialogs().message({kSelectType}, "", Icon::None, WindowStyle::NonModal));
            return;
        }
        const std::string entry =
            constraint_entry(*handles.currentSelectedGroup, *handles.currentSelectedType);
        Shared<VowelGroup>& group = handles.v[current_index(handles)];
        if (contains(group->constraintList, entry)) {
            rt.dialogs().warning({fill(kAlreadyHave, {entry})}, kCannotAdd, true);
            return;
        }
        VowelGroup& g = group.edit();
        g.constraintList.push_back(entry);
        Figure& fig = rt.figure();
        fig.set_value(kConstraintList, std::vector<double>{});
        fig.set_string(kConstraintList, g.constraintList);
        rt.store(handles);
    };
    guarded(rt, ReportForm::B, "add_constraint", body, kNoWait);
    return handles;
}

Handles add_constraint_to_all(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "add_constraint_to_all", [&] {
        if (handles.v.empty()) {
            tell_create_group_first(rt);
            return;
        }
        if (!selected(handles.currentSelectedGroup) || !selected(handles.currentSelectedType)) {
            rt.dialogs().wait(rt.dialogs().message({kSelectBoth}, "", Icon::None, WindowStyle::NonModal));
            return;
        }
        const std::string entry =
            constraint_entry(*handles.currentSelectedGroup, *handles.currentSelectedType);
        for (Shared<VowelGroup>& g : handles.v) {
            if (!contains(g->constraintList, entry))
                g.edit().constraintList.push_back(entry);
            else
                rt.dialogs().warning({fill(kAlreadyHaveIn, {entry, g->name})}, kCannotAdd, true);
        }
        rt.store(handles);
        handles = update_currVowelNum(rt, std::move(handles));
    });
    return handles;
}

Handles delete_constraint(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "delete_constraint", [&] {
        Figure& fig = rt.figure();
        const Control& list = fig.control(kConstraintList);
        if (list.string.empty()) {
            rt.dialogs().wait(rt.dialogs().warning({kNothingToDelete}, kCannotDelete, true));
            return;
        }
        if (!selection_within(list.value, list.string.size())) {
            rt.dialogs().warning({kSelectEntry}, kCannotDelete, true);
            return;
        }
        const TextList remaining = remove_selected(list.string, list.value);
        handles.v[current_index(handles)].edit().constraintList = remaining;
        fig.set_value(kConstraintList, std::vector<double>{});
        fig.set_string(kConstraintList, remaining);
        rt.store(handles);
    });
    return handles;
}

Handles calculate_constraints(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "calculate_constraints", [&] {
        // A group whose structure stays as it was stays shared with the stored record.
        for (Shared<VowelGroup>& g : handles.v)
            if (OrderedMap<TextList> built = build_constraints(g->constraintList); !(built == g->constraints))
                g.edit().constraints = std::move(built);
        rt.store(handles);
    });
    return handles;
}

HandlesAndStatus calculate_empty_vowels(Runtime& rt, Handles handles) {
    int backtrack = 1;
    guarded(rt, ReportForm::B, "calculate_empty_vowels", [&] {
        const std::vector<std::size_t> empty = groups_without_constraints(handles.v);
        if (empty.empty()) {
            backtrack = 0;
            return;
        }
        const std::string answer = rt.dialogs().question(fill(kLackConstraints, {index_list_literal(empty)}),
                                                         kLackTitle, kYes, kNo, kNo);
        if (answer == kNo)
            return;
        for (auto it = empty.rbegin(); it != empty.rend(); ++it)
            handles.v.erase(handles.v.begin() + static_cast<std::ptrdiff_t>(*it - 1));
        // The group list must not keep labels of deleted groups, nor currVowelNum name one.
        handles = update_listbox_currVowel_select(rt, std::move(handles));
        rt.store(handles);
        if (handles.v.empty()) {
            rt.dialogs().wait(
                rt.dialogs().message({kNoGroupsLeft}, kCannotProceed, Icon::None, WindowStyle::Modal));
            return;
        }
        backtrack = 0;
    });
    return {std::move(handles), backtrack};
}

HandlesAndStatus calculate_userVowelGroups(Runtime& rt, Handles handles) {
    int backtrack = 0;
    const bool completed = guarded(rt, ReportForm::B, "calculate_userVowelGroups", [&] {
        const HeaderNames& roles = handles.HeaderName;
        const bool threeD = handles.onlyAllow2D == 0;
        std::vector<std::string> names = {role_column(roles.F2, "F2"), role_column(roles.F1, "F1")};
        if (threeD)
            names.push_back(role_column(roles.Duration, "Duration"));

        // The tables are only read: they stay shared with the stored record.
        const OrderedMap<std::vector<Cell>>& normalizedTable = handles.dataNormalizedColumn;
        const OrderedMap<TextList>& table = handles.dataColumn;
        const std::size_t rowCount = normalizedTable.at(names[1]).size();
        std::vector<const std::vector<Cell>*> normalized;
        std::vector<const TextList*> original;
        for (const std::string& name : names) {
            normalized.push_back(&normalizedTable.at(name));
            original.push_back(&table.at(name));
        }
        RowSelector selector(table, rowCount);

        for (std::size_t i = 0; i < handles.v.size(); ++i) {
            const VowelGroup& g = *handles.v[i];
            if (g.constraints.empty()) {
                rt.dialogs().warning(
                    {fill(kGroupWithoutConstraints, {format_int(static_cast<double>(i + 1))})},
                    kGroupWithoutConstraintsTitle, false);
                continue;
            }
            const std::vector<std::size_t> rows = selector.rows(g.constraints);
            if (rows.empty()) {
                rt.dialogs().warning({fill(kNoTokens, {g.name})}, kCannotContinue, false);
                backtrack = 1;
                return;
            }
            Matrix data = gather_cells(rows, normalized);
            Matrix dataOriginal = gather_texts(rows, original);
            VowelGroup& own = handles.v[i].edit();
            own.data = std::move(data);
            own.dataOriginal = std::move(dataOriginal);
        }
    });
    // Groups half selected must not go on to be fitted.
    if (!completed)
        backtrack = 1;
    return {std::move(handles), backtrack};
}

Handles create_group(Runtime& rt, Handles handles) {
    const std::size_t before = handles.v.size();
    handles = create_newVowel(rt, std::move(handles));
    if (handles.v.size() == before)
        return handles; // create_newVowel has reported why
    Figure& fig = rt.figure();
    TextList labels = fig.control(kGroupList).string;
    labels.push_back(group_label(labels.size() + 1, kNewGroupName));
    fig.set_string(kGroupList, labels);
    fig.set_value(kGroupList, static_cast<double>(labels.size()));
    handles = update_currVowelNum(rt, std::move(handles));
    handles.totalVowelNum += 1;
    rt.store(handles);
    return handles;
}

Handles rename_group(Runtime& rt, Handles handles, const std::string& name) {
    Figure& fig = rt.figure();
    const std::size_t i = current_index(handles);
    handles.v[i].edit().name = name;
    TextList labels = fig.control(kGroupList).string;
    labels.at(i) = group_label(i + 1, name);
    fig.set_string(kGroupList, labels);
    rt.store(handles);
    return handles;
}

void button_create_new_vowelNum_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_create_new_vowelNum_Callback", [&] { create_group(rt, std::move(handles)); });
}

void button_currVowel_delete_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_currVowel_delete_Callback", [&] {
        if (rt.dialogs().question(kDeleteQuestion, kDeleteTitle, kYes, kNo, kNo) == kNo)
            return;
        Figure& fig = rt.figure();
        TextList labels = fig.control(kGroupList).string;
        const double num = first_value(fig.control(kGroupList));
        if (!selection_within({num}, std::min(labels.size(), handles.v.size()))) {
            rt.dialogs().warning({kSelectToDelete}, kCannotProceed, true);
            return;
        }
        handles.currVowelNum = num;
        const auto at = static_cast<std::ptrdiff_t>(num) - 1;
        handles.v.erase(handles.v.begin() + at);
        if (handles.v.empty())
            rt.dialogs().warning({kLastGroupDeleted}, kJustANote, true);
        // The other labels keep their text, numbers included.
        labels.erase(labels.begin() + at);
        fig.set_string(kGroupList, labels);
        fig.set_value(kGroupList, static_cast<double>(labels.size()));
        handles = update_currVowelNum(rt, std::move(handles));
        handles.totalVowelNum -= 1;
        rt.store(handles);
    });
}

void listbox_currVowel_select_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "listbox_currVowel_select_Callback", [&] {
        handles = update_currVowelNum(rt, std::move(handles));
        rt.store(handles);
    });
}

void edit_currVowel_name_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "edit_currVowel_name_Callback", [&] {
        Figure& fig = rt.figure();
        if (handles.v.empty()) {
            tell_create_group_first(rt);
            fig.set_string(kNameField, {""});
            return;
        }
        rename_group(rt, std::move(handles), first_text(fig.control(kNameField)));
    });
}

void button_add_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    // add_constraint stores the record when it adds; a refusal leaves the stored record alone.
    guarded(
        rt, ReportForm::B, "button_add_Callback", [&] { add_constraint(rt, std::move(handles)); }, kNoWait);
}

void button_add_to_all_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_add_to_all_Callback",
            [&] { add_constraint_to_all(rt, std::move(handles)); });
}

void button_del_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(
        rt, ReportForm::B, "button_del_Callback", [&] { delete_constraint(rt, std::move(handles)); },
        kNoWait);
}

void register_group_handlers(HandlerTable& table) {
    table.emplace("button_create_new_vowelNum_Callback", button_create_new_vowelNum_Callback);
    table.emplace("button_currVowel_delete_Callback", button_currVowel_delete_Callback);
    table.emplace("listbox_currVowel_select_Callback", listbox_currVowel_select_Callback);
    table.emplace("edit_currVowel_name_Callback", edit_currVowel_name_Callback);
    table.emplace("button_add_Callback", button_add_Callback);
    table.emplace("button_add_to_all_Callback", button_add_to_all_Callback);
    table.emplace("button_del_Callback", button_del_Callback);
}

} // namespace tarvik
