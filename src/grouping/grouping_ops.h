#pragma once

#include "app/handlers.h"

namespace tarvik {

// Sorts every column into numeric columns (groupsNumeric) and categories (groups) and lists each
// category's types (subgroup), with a progress dialog and the busy pointer while it works.
Handles calculate_groupings(Runtime& rt, Handles handles);

// Shows the categories in listbox_groupings, selects the first and shows its types in listbox_types.
// The record returned holds that selection.
Handles populate_grouping_listboxes(Runtime& rt, Handles handles);

// Makes the category selected in listbox_groupings current and shows its types. With no categories
// there is nothing to select: listbox_types is emptied and no selection is recorded.
Handles calculate_selected_field(Runtime& rt, Handles handles);

// Makes the type selected in listbox_types current; a selection beyond the end of the list (the list
// was just replaced by a shorter one) moves back to the first entry.
Handles update_constraint_types_listbox(Runtime& rt, Handles handles);

// Builds the per-subject token records (dataSubject) from the data table and the column roles.
Handles calculate_dataSubject(Runtime& rt, Handles handles);

// Appends the listing of the subject record to the activity log.
Handles stat_dataSubject(Runtime& rt, Handles handles);

// Appends the listing of every vowel group (name, constraints, normalized tokens) to the log.
Handles stat_vowelGroups(Runtime& rt, Handles handles);

void listbox_groupings_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void listbox_types_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_grouping_handlers(HandlerTable& table);

} // namespace tarvik
