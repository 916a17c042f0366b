#include "overlap/driver.h"

#include "app/guarded.h"
#include "overlap/overlap_step.h"
#include "overlap/results_step.h"
#include "overlap/spread_driver.h"

#include <algorithm>

namespace tarvik {

std::vector<std::pair<int, int>> all_pairs(int n) {
    std::vector<std::pair<int, int>> pairs;
    if (n > 1)
        pairs.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            pairs.emplace_back(i, j);
    return pairs;
}

std::vector<std::pair<int, int>> ordered_pairs(int n, std::optional<std::pair<int, int>> pair) {
    if (pair)
        return {{std::min(pair->first, pair->second), std::max(pair->first, pair->second)}};
    return all_pairs(n);
}

namespace {

// The overlap of the window's request; every pair's, once done, shown in the Results window too. Within
// subjects, or with bootstrap intervals, the Results window shows those.
void calculate_from_window(Runtime& rt, bool threeD) {
    const OverlapRequest request = overlap_request_from_window(rt.figure(), threeD);
    const std::optional<SpreadOptions> spread = spread_options_from_window(rt, request.pair);
    if (!spread)
        return;
    if (spread->perSubject) {
        calculate_within_subjects(rt, threeD, request.pair, *spread);
        return;
    }
    if (!calculate_overlap(rt, request).done)
        return;
    if (spread->replicates > 0)
        show_pooled_intervals(rt, threeD, request.pair, *spread);
    else if (!request.pair && rt.main_window())
        show_overlap_results(rt);
}

} // namespace

void button_calculate_3Doverlap_Callback(Runtime& rt, const ControlRef&, Handles) {
    guarded(rt, ReportForm::B, "button_calculate_3Doverlap_Callback", [&] { calculate_from_window(rt, true); });
}

void button_calculate_2Doverlap_Callback(Runtime& rt, const ControlRef&, Handles) {
    guarded(rt, ReportForm::B, "button_calculate_2Doverlap_Callback", [&] { calculate_from_window(rt, false); });
}

void checkbox_all_group_overlap_Callback(Runtime& rt, const ControlRef& object, Handles handles) {
    guarded(rt, ReportForm::B, "checkbox_all_group_overlap_Callback", [&] {
        Figure& fig = rt.figure();
        const Control& box = fig.control(object.tag);
        const Enable menus = first_value(box) == box.max ? Enable::Off : Enable::On;
        fig.set_enable("popupmenu_overlap_group_a", menus);
        fig.set_enable("popupmenu_overlap_group_b", menus);
        rt.store(handles);
    });
}

void register_overlap_handlers(HandlerTable& table) {
    table.emplace("button_calculate_3Doverlap_Callback", button_calculate_3Doverlap_Callback);
    table.emplace("button_calculate_2Doverlap_Callback", button_calculate_2Doverlap_Callback);
    table.emplace("checkbox_all_group_overlap_Callback", checkbox_all_group_overlap_Callback);
}

} // namespace tarvik
