#pragma once

#include "app/handlers.h"
#include "plot/plot_step.h"
#include "ui/plot_description.h"

#include <optional>
#include <string>
#include <vector>

// The path from the "3D Plot" and "2D Plot" buttons to the drawing operations: the checks of the plot
// area's choices, the list of groups, the numbered plot window, the drawing of the chosen kind, the
// warnings when it fails, and the title, axis labels, legend and mouse handler of a drawn plot.
namespace tarvik {

// True when "A", "B" or "All groups" is ticked; nothing after a reported failure.
std::optional<bool> verify_plot_checkboxes(Runtime& rt, const Handles& handles);

// The 1-based groups to plot, in order ("A" before "B"); empty for all groups. Nothing after a
// reported failure.
std::optional<std::vector<int>> calculate_vowels_to_plot(Runtime& rt, const Handles& handles);

// Opens the next plot window ("3d" or "2d"), draws the kind chosen in the plot menu for `list`, names
// and labels it and shows it. A refused or failed drawing closes the window again and warns; the
// window's number stays used. Returns the record with the window listed in plotFigure.
// The plot kind comes from the request, and the legend when it asks for one; `shown`, when given, gets
// the plot as shown.
Handles plot_now(Runtime& rt, Handles handles, const PlotRequest& request,
                 std::optional<PlotDescription>* shown = nullptr);

// Title ("<prefix> <title box>") and axis labels from the 3D or 2D label boxes (see axis_label: a box
// left at its default names the mapped column with its unit, that of normalized data when
// `normalizedData`, else Hz and ms).
Handles plot_set_title_and_names(Runtime& rt, Handles handles, PlotAxes& axes, const std::string& titlePrefix,
                                 bool plot3d, bool normalizedData);

// A legend naming the groups of `vowelList` (all groups when empty), in the order they were drawn.
Handles plot_legend(Runtime& rt, Handles handles, PlotAxes& axes, const std::vector<int>& vowelList);

void button_3d_plot_Callback(Runtime& rt, const ControlRef& object, Handles handles);
void button_2d_plot_Callback(Runtime& rt, const ControlRef& object, Handles handles);

// The plot buttons and the plot style controls of step 4.
void register_plot_handlers(HandlerTable& table);

} // namespace tarvik
