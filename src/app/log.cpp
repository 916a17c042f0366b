#include "app/log.h"

#include "app/guarded.h"

namespace tarvik {

namespace {

const char* const kLogList = "listbox_log";

} // namespace

Handles update_log(Runtime& rt, Handles handles, const LogEntry& entry) {
    // The body changes only the log control, so the record comes back as received even on a failure.
    guarded(rt, ReportForm::A, "update_log", [&] {
        append_log(rt, {entry});
        rt.store(handles);
    });
    return handles;
}

void append_log(Runtime& rt, const std::vector<LogEntry>& entries) {
    Figure& fig = rt.figure();
    fig.control(kLogList); // an unknown control fails before anything is appended
    TextList added;
    for (const LogEntry& entry : entries) {
        added.emplace_back();
        if (const auto* text = std::get_if<std::string>(&entry)) {
            added.emplace_back();
            added.push_back(*text);
        } else if (const auto* lines = std::get_if<TextList>(&entry)) {
            added.insert(added.end(), lines->begin(), lines->end());
        }
    }
    fig.append_strings(kLogList, added);
}

const TextList& log_lines(const Runtime& rt) { return rt.figure().control(kLogList).string; }

std::size_t log_size(const Runtime& rt) {
    return rt.figure().control(kLogList).string.size();
}

void cut_log(Runtime& rt, std::size_t count) {
    TextList items = rt.figure().control(kLogList).string;
    if (count < items.size()) {
        items.resize(count);
        rt.figure().set_string(kLogList, items);
    }
}

} // namespace tarvik
