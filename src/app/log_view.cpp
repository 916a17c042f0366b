#include "app/log_view.h"

#include "app/guarded.h"
#include "core/file_write.h"


namespace tarvik {

namespace {

const char* const kLogList = "listbox_log";
const char* const kViewButton = "button_view_log";
const char* const kCover = "text_log_rightside_cover";
const char* const kCover2 = "text_log_rightside_cover2";

const char* const kHideLabel = "Hide Log";
const char* const kShowLabel = "Show Log";

// The log over the left three quarters of the window; the covers blank out the rest except the two
// log buttons at the bottom left.
const Rect kLogPosition = {0.018, 0.057, 0.764, 0.938};
const Rect kCoverPosition = {0.286, 0.005, 0.516, 0.11};
const Rect kCover2Position = {0.712, 0.005, 0.288, 0.978};

const char* const kSaveFilter = "*.txt";
const char* const kSaveTitle = "Save log";
const char* const kLogExtension = ".txt";

void set_popup_menus_visible(Figure& fig, bool visible) {
    for (const auto& tag : fig.find_style(Style::PopupMenu))
        fig.set_visible(tag, visible);
}

} // namespace

std::string log_file_text(const TextList& items) {
    std::size_t size = 0;
    for (const auto& item : items)
        size += item.size() + 1;
    std::string text;
    text.reserve(size);
    for (const auto& item : items) {
        text += item;
        text += '\n';
    }
    return text;
}

Handles log_view(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "log_view", [&] {
        Figure& fig = rt.figure();
        set_popup_menus_visible(fig, false);
        fig.set_position(kLogList, kLogPosition);
        fig.set_visible(kLogList, true);
        // The newest line is the one in view.
        if (const std::size_t lines = fig.control(kLogList).string.size(); lines > 0)
            fig.set_value(kLogList, static_cast<double>(lines));
        fig.set_string(kViewButton, {kHideLabel});
        fig.set_position(kCover, kCoverPosition);
        fig.set_visible(kCover, true);
        fig.set_position(kCover2, kCover2Position);
        fig.set_visible(kCover2, true);
    });
    return handles;
}

Handles log_hide(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "log_hide", [&] {
        Figure& fig = rt.figure();
        fig.set_visible(kLogList, false);
        fig.set_string(kViewButton, {kShowLabel});
        fig.set_visible(kCover, false);
        fig.set_visible(kCover2, false);
        set_popup_menus_visible(fig, true);
    });
    return handles;
}

void log_save(Runtime& rt, const Handles&) {
    guarded(rt, ReportForm::B, "log_save", [&] {
        auto choice = rt.dialogs().save_file(kSaveFilter, kSaveTitle);
        if (!choice)
            return;
        if (choice->name.find(kLogExtension) == std::string::npos)
            choice->name += kLogExtension;
        write_file_replacing(choice->path(), log_file_text(rt.figure().control(kLogList).string));
    });
}

void button_view_log_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_view_log_Callback", [&] {
        const bool shown = rt.figure().control(kLogList).visible;
        handles = shown ? log_hide(rt, std::move(handles)) : log_view(rt, std::move(handles));
        rt.store(handles);
    });
}

void button_save_log_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_save_log_Callback", [&] { log_save(rt, handles); });
}

void register_log_handlers(HandlerTable& table) {
    table.emplace("button_view_log_Callback", button_view_log_Callback);
    table.emplace("button_save_log_Callback", button_save_log_Callback);
}

} // namespace tarvik
