#pragma once

#include "app/handlers.h"

namespace tarvik {

// Step 1's Continue: validates the six role choices, records the chosen columns, decides whether only
// two-dimensional work is possible, builds categories and subject records, and opens step 2.
void button_continue_to_normalize_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_column_mapping_handlers(HandlerTable& table);

} // namespace tarvik
