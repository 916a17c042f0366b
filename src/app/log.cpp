#include "app/log.h"

#include "app/guarded.h"

namespace tarvik {

Handles update_log(Runtime& rt, Handles handles, const LogEntry& entry) {
    const Handles received = handles;
    const bool done = guarded(rt, ReportForm::A, "update_log", [&] {
        Figure& fig = rt.figure();
        TextList items = fig.control("listbox_log").string;
        items.emplace_back();
        if (const auto* text = std::get_if<std::string>(&entry)) {
            items.emplace_back();
            items.push_back(*text);
        } else if (const auto* lines = std::get_if<TextList>(&entry)) {
            items.insert(items.end(), lines->begin(), lines->end());
        }
        fig.set_string("listbox_log", std::move(items));
        rt.store(handles);
    });
    return done ? handles : received;
}

} // namespace tarvik
