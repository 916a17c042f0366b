#pragma once

#include "app/handlers.h"

#include <cstddef>
#include <functional>
#include <string>

namespace tarvik {

// Called with the data file's path after its size and modification time have been taken and before its
// content is read, so that a test can change the file in between. The program leaves it empty.
inline std::function<void(const std::string& path)> beforeDataFileRead;

// Load statuses of load_file.
inline constexpr int kLoadFailed = 0;
inline constexpr int kLoadCancelled = 1;
inline constexpr int kLoadDone = 2;

// Asks for a data file, reads and checks it, and on success replaces the data table of the record
// (header, dataLine, dataRow, dataColumn), shows the file's name, fills the column-role popups, logs the
// load and stores the record. Status 2 loaded, 1 file dialog cancelled, 0 failed. A failed load returns
// the record with the earlier table untouched: so does a file that changes while it is read, UTF-16 text,
// and a header that names two columns alike. A file that is not UTF-8 is read as Latin-1, with a warning
// that names its first line that is not UTF-8.
HandlesAndStatus load_file(Runtime& rt, Handles handles);
// As load_file with the file already chosen.
HandlesAndStatus load_file_from(Runtime& rt, Handles handles, const FileChoice& file);

// The "Load File" button: loads, then enables step 1's Continue, or says that the load failed.
void button_load_file_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// True when the cleaned line splits into exactly numHeaders pieces (a final empty piece included).
bool verifyNumberCells(Runtime& rt, const std::string& line, std::size_t numHeaders);

// Fills the six column-role popups with "(please select)", "(not available)" and the header names,
// enables them and stores the record. A selection that still names an entry is kept.
Handles populate_header_popupmenus(Runtime& rt, Handles handles);

void register_import_handlers(HandlerTable& table);

} // namespace tarvik
