#include "overlap/driver.h"

#include "app/guarded.h"
#include "app/log.h"
#include "core/format.h"
#include "overlap/overlap_ops.h"

namespace tarvik {

namespace {

const char* const kOneMoment = "One moment... ";
const char* const kNotAvailableTitle = "Option not available";
const char* const kNotAvailableText =
    "This option is not available since there was no duration information specified.";
const char* const kFailed3DTitle = "Contact Quillon";
const char* const kFailed3DText = "Function \"calculate_pairs_for_overlap\" in 3D failed to succeed";
const char* const kDriverFailureTitle = "Let Quillon know: Function: calculate_pairs_for_overlap\"";
const char* const kCancelled =
    "%s overlap cancelled after %s of %s pairs: the results of before the run are kept.";

} // namespace

std::vector<std::pair<int, int>> all_pairs(int n) {
    std::vector<std::pair<int, int>> pairs;
    if (n > 1)
        pairs.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            pairs.emplace_back(i, j);
    return pairs;
}

HandlesAndStatus calculate_pairs_for_overlap(Runtime& rt, Handles handles, const std::string& overlapType) {
    std::optional<ProgressRef> bar;
    ProgressService& progress = *rt.services().progress;
    const bool done = guarded(
        rt, ReportForm::B, "calculate_pairs_for_overlap",
        [&] {
            Figure& fig = rt.figure();
            try {
                const int a = static_cast<int>(first_value(fig.control("popupmenu_overlap_group_a")));
                const int b = static_cast<int>(first_value(fig.control("popupmenu_overlap_group_b")));
                const bool everyPair = first_value(fig.control("checkbox_all_group_overlap")) != 0;

                bar = progress.create(0, kOneMoment);
                handles.waitbar = ControlRef{"waitbar"};
                fig.set_pointer(Pointer::Watch);

                const auto calculate = overlapType == "3D" ? calculate_3D_overlap : calculate_2D_overlap;
                if (everyPair) {
                    const auto pairs = all_pairs(static_cast<int>(handles.v.size()));
                    const int total = static_cast<int>(pairs.size());
                    // Cancel keeps the record, the result texts and the log as they were before the run,
                    // with one line saying so.
                    const Handles before = handles;
                    const TextList texts[2] = {fig.control(kOverlapText2D).string,
                                               fig.control(kOverlapText3D).string};
                    const std::size_t logLines = log_size(rt);
                    for (int k = 0; k < total; ++k) {
                        if (progress.cancelled(*bar)) {
                            cut_log(rt, logLines);
                            fig.set_string(kOverlapText2D, texts[0]);
                            fig.set_string(kOverlapText3D, texts[1]);
                            handles = update_log(rt, before, fill(kCancelled, {overlapType, std::to_string(k),
                                                                             std::to_string(total)}));
                            break;
                        }
                        handles = calculate(rt, std::move(handles), pairs[k].first, pairs[k].second, k + 1, total, bar);
                    }
                } else {
                    handles = calculate(rt, std::move(handles), a, b, 1, 1, bar);
                }

                progress.close(*bar);
                handles.waitbar.reset();
                fig.set_pointer(Pointer::Arrow);
            } catch (...) {
                // The run's own failure closes its progress dialog as well as restoring the pointer.
                if (bar)
                    progress.close(*bar);
                handles.waitbar.reset();
                fig.set_pointer(Pointer::Arrow);
                throw;
            }
        },
        {.wait = false, .title = kDriverFailureTitle});
    return {std::move(handles), done ? 1 : 0};
}

void button_calculate_3Doverlap_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_calculate_3Doverlap_Callback", [&] {
        if (handles.onlyAllow2D == 1) {
            rt.dialogs().wait(
                rt.dialogs().message({kNotAvailableText}, kNotAvailableTitle, Icon::None, WindowStyle::NonModal));
            return;
        }
        HandlesAndStatus result = calculate_pairs_for_overlap(rt, std::move(handles), "3D");
        handles = std::move(result.handles);
        if (result.status == 0)
            rt.dialogs().warning({kFailed3DText}, kFailed3DTitle, true);
        rt.store(handles);
    });
}

void button_calculate_2Doverlap_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_calculate_2Doverlap_Callback", [&] {
        handles = calculate_pairs_for_overlap(rt, std::move(handles), "2D").handles;
        rt.store(handles);
    });
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
