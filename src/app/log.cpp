#include "app/log.h"

#include "app/guarded.h"

namespace tarvik {

namespace {

const char* const kLogList = "listbox_log";

} // namespace

Handles update_log(Runtime& rt, Handles handles, LogEntry entry) {
    // The body changes only the log control, so the record comes back as received even on a failure.
    guarded(rt, ReportForm::A, "update_log", [&] {
        std::vector<LogEntry> entries;
        entries.push_back(std::move(entry));
        append_log(rt, std::move(entries));
        rt.store(handles);
    });
    return handles;
}

void append_log(Runtime& rt, std::vector<LogEntry> entries) {
    Figure& fig = rt.figure();
    fig.control(kLogList); // an unknown control fails before anything is appended
    // The lines are moved, not copied: a listing of every token is as long as the data.
    std::size_t count = 0;
    for (const LogEntry& entry : entries) {
        const auto* lines = std::get_if<TextList>(&entry);
        count += 1 + (std::holds_alternative<std::string>(entry) ? 2 : lines ? lines->size() : 0);
    }
    TextList added;
    added.reserve(count);
    for (LogEntry& entry : entries) {
        added.emplace_back();
        if (auto* text = std::get_if<std::string>(&entry)) {
            added.emplace_back();
            added.push_back(std::move(*text));
        } else if (auto* lines = std::get_if<TextList>(&entry)) {
            added.insert(added.end(), std::make_move_iterator(lines->begin()), std::make_move_iterator(lines->end()));
        }
    }
    fig.append_strings(kLogList, std::move(added));
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
