#include "plot/plot_step.h"

#include "app/guarded.h"
#include "core/format.h"
#include "plot/plot_dispatcher.h"

namespace tarvik {

namespace {

const char* const kCannotPlot = "Cannot plot";
const char* const kNotFitted = "Plots need fitted vowel groups: the session has not reached step 4.";
const char* const kNoSuchGroup = "There are only %s groups; the plot names group %s.";

void refuse(Runtime& rt, const std::string& text) { refuse_step(rt, {text}, kCannotPlot); }

// The plot area shows what is drawn, as if the user had chosen it.
void show_request(Figure& fig, const PlotRequest& r) {
    const bool all = r.groups.empty();
    fig.set_value("popupmenu_plotSelection", menu_value(kPlotKindMenu, r.kind));
    fig.set_value("checkbox_plot_group_all", all ? 1 : 0);
    fig.set_value("checkbox_plot_group_a", all ? 0 : 1);
    fig.set_value("checkbox_plot_group_b", r.groups.size() == 2 ? 1 : 0);
    if (!all)
        fig.set_value("popupmenu_plot_group_a", r.groups[0]);
    if (r.groups.size() == 2)
        fig.set_value("popupmenu_plot_group_b", r.groups[1]);
    fig.set_value("checkbox_show_legend", r.legend ? 1 : 0);
}

} // namespace

StepReport draw_plot(Runtime& rt, const PlotRequest& request, std::optional<PlotDescription>* shown) {
    return run_step(rt, [&] {
        std::optional<PlotDescription> drawn;
        guarded(rt, ReportForm::A, request.threeD ? "button_3d_plot_Callback" : "button_2d_plot_Callback", [&] {
            const Handles& h = *rt.figure().retrieve();
            if (h.currStep != 4)
                return refuse(rt, kNotFitted);
            for (int g : request.groups)
                if (g < 1 || g > static_cast<int>(h.v.size()))
                    return refuse(rt, fill(kNoSuchGroup, {std::to_string(h.v.size()), std::to_string(g)}));
            show_request(rt.figure(), request);
            rt.store(plot_now(rt, h, request, &drawn));
        });
        if (shown)
            *shown = drawn;
        return drawn.has_value();
    });
}

void to_json(nlohmann::json& j, const PlotRequest& r) {
    j = {{"kind", menu_batch_name(kPlotKindMenu, r.kind)},
         {"dimension", r.threeD ? "3d" : "2d"},
         {"groups", r.groups},
         {"legend", r.legend}};
}

void from_json(const nlohmann::json& j, PlotRequest& r) {
    const auto kind = menu_meaning_named(kPlotKindMenu, j.at("kind").get<std::string>());
    if (!kind)
        throw std::invalid_argument("unknown plot kind " + j.at("kind").dump());
    r.kind = *kind;
    r.threeD = j.at("dimension").get<std::string>() == "3d";
    r.groups = j.at("groups").get<std::vector<int>>();
    r.legend = j.at("legend").get<bool>();
}

} // namespace tarvik
