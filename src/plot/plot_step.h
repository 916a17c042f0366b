#pragma once

#include "app/step.h"
#include "ui/menus.h"
#include "ui/plot_description.h"

#include <optional>
#include <vector>

// Step 4's plots as a request: the kind, the dimension and the groups.
namespace tarvik {

struct PlotRequest {
    PlotKind kind = PlotKind::Original;
    bool threeD = false;
    std::vector<int> groups; // 1-based; empty: every group; else one, or two (the overlap needs two)
    bool legend = true;
    friend bool operator==(const PlotRequest&, const PlotRequest&) = default;
};
void to_json(nlohmann::json& j, const PlotRequest& r);
void from_json(const nlohmann::json& j, PlotRequest& r);

// Draws the plot in the next plot window as the plot buttons do, with the plot area's controls showing
// the request. Done when the plot was shown; `shown`, when given, gets it. A session that has not reached
// step 4, or a group that does not exist, is refused with a message.
StepReport draw_plot(Runtime& rt, const PlotRequest& request, std::optional<PlotDescription>* shown = nullptr);

} // namespace tarvik
