#pragma once

#include "app/runtime.h"

namespace tarvik {

// Gives every field of a fresh record its initial value; the record holds only control references
// when this is called. Fills the item lists of the three marker-style menus.
Handles initialize_variables(Runtime& rt, Handles handles);

// Appends a vowel group with its default name, colour and the next styles of the rotating queues,
// and stores the record.
Handles create_newVowel(Runtime& rt, Handles handles);

} // namespace tarvik
