#pragma once

#include "app/handlers.h"

namespace tarvik {

// Fills the three normalization menus and enables them; their selections are kept.
Handles populate_normalization_popupmenus(Runtime& rt, Handles handles);

// Step 2's Continue: runs the chosen methods for F1, F2 and the duration, builds the normalized data
// table and opens step 3.
void button_continue_to_grouping_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// Copies the data table and writes every subject token's normalized values into its row.
Handles calculate_dataNormalizedColumns(Runtime& rt, Handles handles);

void register_normalization_handlers(HandlerTable& table);

} // namespace tarvik
