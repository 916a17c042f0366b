#pragma once

#include "app/runtime.h"

namespace tarvik {

// Makes the group selected in the group list current and shows its name and constraints.
Handles update_currVowelNum(Runtime& rt, Handles handles);

// Rebuilds the group labels ("<index> <name>"), selects the last and makes it current, so that the
// list's selection and the group being edited never disagree.
Handles update_listbox_currVowel_select(Runtime& rt, Handles handles);

} // namespace tarvik
