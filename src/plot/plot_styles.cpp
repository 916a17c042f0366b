#include "plot/plot_styles.h"

#include "app/guarded.h"
#include "core/format.h"
#include "plot/plot_series.h"
#include "plot/plot_texts.h"

#include <stdexcept>
#include <utility>

namespace tarvik {

namespace {

constexpr const char* kGroupMenu = "popupmenu_plot_marker_group";
constexpr const char* kColorMenu = "popupmenu_plot_marker_color";
constexpr const char* kTypeMenu = "popupmenu_plot_marker_type";
constexpr const char* kLineMenu = "popupmenu_plot_marker_line";

// The group the style menus act on: the one chosen in the marker group menu; throws for a group that
// does not exist.
const VowelGroup& styled_group(const Figure& fig, const Handles& handles) {
    return plotted_group(handles, value_index(first_value(fig.control(kGroupMenu))));
}

// The same group, to change: this record's own copy of it.
VowelGroup& styled_group(const Figure& fig, Handles& handles) {
    styled_group(fig, std::as_const(handles));
    return handles.v[static_cast<std::size_t>(value_index(first_value(fig.control(kGroupMenu))) - 1)].edit();
}

// The menu's 1-based Value, checked against the number of entries it chooses from.
std::size_t chosen_index(const Control& menu, std::size_t entries) {
    const double value = first_value(menu);
    if (!(value >= 1 && value <= static_cast<double>(entries)))
        throw std::out_of_range(fill(plot_text::kNoStyleEntry, {format_significant(value), menu.tag}));
    return static_cast<std::size_t>(value);
}

std::string chosen_item(const Control& menu) {
    return menu.string[chosen_index(menu, menu.string.size()) - 1];
}

// The position of `text` in the menu's list as its Value, or no Value when the list lacks it.
void select_entry(Figure& fig, const char* tag, const std::string& text) {
    const TextList& items = fig.control(tag).string;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) {
            fig.set_value(tag, static_cast<double>(i + 1));
            return;
        }
    fig.set_value(tag, std::vector<double>{});
}

} // namespace

void popupmenu_plot_marker_group_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "popupmenu_plot_marker_group_Callback", [&] {
        Figure& fig = rt.figure();
        const VowelGroup& g = styled_group(fig, std::as_const(handles));
        fig.set_value(kColorMenu, g.markerColorIndex);
        select_entry(fig, kLineMenu, g.markerLine);
        select_entry(fig, kTypeMenu, g.markerType);
        rt.store(handles);
    });
}

void popupmenu_plot_marker_color_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "popupmenu_plot_marker_color_Callback", [&] {
        Figure& fig = rt.figure();
        VowelGroup& g = styled_group(fig, handles);
        const std::size_t k = chosen_index(fig.control(kColorMenu), handles.vowelColor.size());
        g.markerColor = handles.vowelColor[k - 1];
        g.markerColorIndex = static_cast<double>(k);
        rt.store(handles);
    });
}

void popupmenu_plot_marker_type_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "popupmenu_plot_marker_type_Callback", [&] {
        Figure& fig = rt.figure();
        VowelGroup& g = styled_group(fig, handles);
        g.markerType = chosen_item(fig.control(kTypeMenu));
        rt.store(handles);
    });
}

void popupmenu_plot_marker_line_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "popupmenu_plot_marker_line_Callback", [&] {
        Figure& fig = rt.figure();
        VowelGroup& g = styled_group(fig, handles);
        g.markerLine = chosen_item(fig.control(kLineMenu));
        rt.store(handles);
    });
}

void checkbox_plot_group_all_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "checkbox_plot_group_all_Callback", [&] {
        Figure& fig = rt.figure();
        const Control& all = fig.control("checkbox_plot_group_all");
        const bool ticked = first_value(all) == all.max;
        for (const char* tag : {"popupmenu_plot_group_a", "popupmenu_plot_group_b", "checkbox_plot_group_a",
                                "checkbox_plot_group_b"})
            fig.set_enable(tag, ticked ? Enable::Off : Enable::On);
        if (ticked) {
            fig.set_value("checkbox_plot_group_a", 0);
            fig.set_value("checkbox_plot_group_b", 0);
        }
        rt.store(handles);
    });
}

void plot_show_mouse_location(Runtime& rt, int windowNumber) {
    guarded(rt, ReportForm::B, "plot_show_mouse_location", [&] { plot_host(rt).set_editing(windowNumber); });
}

void register_plot_style_handlers(HandlerTable& table) {
    table.emplace("popupmenu_plot_marker_group_Callback", popupmenu_plot_marker_group_Callback);
    table.emplace("popupmenu_plot_marker_color_Callback", popupmenu_plot_marker_color_Callback);
    table.emplace("popupmenu_plot_marker_type_Callback", popupmenu_plot_marker_type_Callback);
    table.emplace("popupmenu_plot_marker_line_Callback", popupmenu_plot_marker_line_Callback);
    table.emplace("checkbox_plot_group_all_Callback", checkbox_plot_group_all_Callback);
}

} // namespace tarvik
