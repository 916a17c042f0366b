#pragma once

#include "app/runtime.h"

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace tarvik {

// The control that holds the activity log.
inline constexpr const char* kLogTag = "listbox_log";

// An activity-log entry: one text (preceded by two empty lines) or a block of lines (preceded by one).
// The empty alternative adds only the separating empty line.
using LogEntry = std::variant<std::monostate, std::string, TextList>;

// Appends an entry to the activity log, the item list of listbox_log, and stores the record.
Handles update_log(Runtime& rt, Handles handles, LogEntry entry);

// Appends entries to the activity log at once, without storing the record: for a step that stores it once
// at its end. Throws when the window has no log.
void append_log(Runtime& rt, std::vector<LogEntry> entries);

// The number of items of the activity log, and the log cut back to its first `count` items (what a
// cancelled run added goes again).
std::size_t log_size(const Runtime& rt);
// The items of the activity log.
const TextList& log_lines(const Runtime& rt);
void cut_log(Runtime& rt, std::size_t count);

} // namespace tarvik
