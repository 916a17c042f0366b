#pragma once

#include "app/handlers.h"

#include <string>

namespace tarvik {

// The vowel groups of the grouping step: their list, names and constraints, and the selection of their
// tokens. Operations take the record and return it; they store it with the main window where they
// complete (calculate_userVowelGroups leaves that to its caller), and a refusal stores nothing.
//
// The group list (listbox_currVowel_select) has one label per group, and its selection always names
// the current group (currVowelNum); with no group left, currVowelNum is 0 and the name field and the
// constraint list are empty.

// Makes the group selected in the group list current and shows its name and constraints. When the list
// selects no group, the current group stays current and is selected again.
Handles update_currVowelNum(Runtime& rt, Handles handles);

// Rebuilds the group labels ("<index> <name>"), selects the last and makes it current.
Handles update_listbox_currVowel_select(Runtime& rt, Handles handles);

// Adds a group named "(change my name)" at the end of the list and makes it current; the window's
// group list shows it. Refused (the record returned unchanged) when create_newVowel refuses.
Handles create_group(Runtime& rt, Handles handles);

// Names the current group and relabels it in the group list.
Handles rename_group(Runtime& rt, Handles handles, const std::string& name);

// Adds "<category> : <type>" of the two grouping lists to the current group, or to every group.
Handles add_constraint(Runtime& rt, Handles handles);
Handles add_constraint_to_all(Runtime& rt, Handles handles);

// Deletes the entries selected in the current group's constraint list.
Handles delete_constraint(Runtime& rt, Handles handles);

// Rebuilds every group's constraint structure from its constraint list.
Handles calculate_constraints(Runtime& rt, Handles handles);

// Offers to delete the groups without constraints. Status (backtrack) 1 tells the caller to stop: the
// user declined, no group is left, or the operation failed; 0 to go on.
HandlesAndStatus calculate_empty_vowels(Runtime& rt, Handles handles);

// Selects every group's tokens into data (normalized) and dataOriginal (as read): columns F2, F1 and,
// when durations are part of the analysis, duration. Does not store the record. Status (backtrack) 1
// when a group selects no token or the selection failed; the caller then stops without storing.
HandlesAndStatus calculate_userVowelGroups(Runtime& rt, Handles handles);

void button_create_new_vowelNum_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_currVowel_delete_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void listbox_currVowel_select_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void edit_currVowel_name_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_add_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_add_to_all_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_del_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_group_handlers(HandlerTable& table);

} // namespace tarvik
