#pragma once

#include "app/handlers.h"

// The style controls of the plot area: per group the marker colour, marker symbol and line style, the
// "All groups" choice, and the editing mode a mouse press switches a plot window into. The handlers change
// only controls and the groups' style fields; plots already drawn keep their look.
namespace tarvik {

// Shows the style of the group chosen in the marker group menu in the colour, type and line menus. A
// style that is not in a menu's list leaves that menu without a selection (an empty Value).
void popupmenu_plot_marker_group_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void popupmenu_plot_marker_color_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void popupmenu_plot_marker_type_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void popupmenu_plot_marker_line_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// Ticked: "A" and "B" with their menus are disabled and unticked; unticked: enabled again, still unticked.
void checkbox_plot_group_all_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// A mouse press in plot window `windowNumber`: switches the window into interactive editing.
void plot_show_mouse_location(Runtime& rt, int windowNumber);

void register_plot_style_handlers(HandlerTable& table);

} // namespace tarvik
