#pragma once

#include "app/handlers.h"

#include <cstddef>
#include <string>

namespace tarvik {

// Load statuses of load_file.
inline constexpr int kLoadFailed = 0;
inline constexpr int kLoadCancelled = 1;
inline constexpr int kLoadDone = 2;

// Asks for a data file, reads and checks it, and on success replaces the data table of the record
// (header, dataLine, dataRow, dataColumn), shows the file's name, fills the column-role popups, logs the
// load and stores the record. Status 2 loaded, 1 file dialog cancelled, 0 failed. A failed load returns
// the record with the earlier table untouched.
HandlesAndStatus load_file(Runtime& rt, Handles handles);

// The "Load File" button: loads, then enables step 1's Continue, or says that the load failed.
void button_load_file_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// True when the cleaned line splits into exactly numHeaders pieces (a final empty piece included).
bool verifyNumberCells(Runtime& rt, const std::string& line, std::size_t numHeaders);

// Fills the six column-role popups with "(please select)", "(not available)" and the header names,
// enables them and stores the record. A selection that still names an entry is kept.
Handles populate_header_popupmenus(Runtime& rt, Handles handles);

void register_import_handlers(HandlerTable& table);

} // namespace tarvik
