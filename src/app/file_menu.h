#pragma once

#include "app/runtime.h"

namespace tarvik {

// The placeholder note for features that are not offered yet; waits until it is closed.
void not_yet(Runtime& rt);

void menuItem_about_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void menuItem_print_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void menuItem_exit_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_load_vowelGroup_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_save_vowelGroup_Callback(Runtime& rt, const ControlRef& object, Handles handles);

} // namespace tarvik
