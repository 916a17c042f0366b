#include "app/wizard.h"

#include "app/guarded.h"
#include "grouping/group_ops.h"

#include <stdexcept>

namespace tarvik {

namespace {

const char* const kNotYetTitle = "Cannot proceed.";
const char* const kNotYetText = "Sorry, you have to complete Steps 1 & 2 before proceeding.";
const char* const kThereTitle = "You are there already.";
const char* const kThereText =
    "You are already at Step 3. Please identify at least 2 vowel groupings then press the 'Continue' button.";

const TextList& step_frames(const Handles& handles, double step) {
    if (step < 1 || step > 4)
        throw std::out_of_range("Index exceeds the number of steps.");
    return handles.stepFrames[static_cast<std::size_t>(step) - 1];
}

} // namespace

Handles update_frame_colors(Runtime& rt, Handles handles, int gotoStep) {
    guarded(rt, ReportForm::A, "update_frame_colors", [&] {
        Figure& fig = rt.figure();
        const double prevStep = handles.currStep;
        handles.currStep = gotoStep;
        const TextList& prev = step_frames(handles, prevStep);
        for (std::size_t i = 0; i < prev.size(); ++i) {
            if (i == 0)
                fig.set_bold(prev[i], false);
            fig.set_background(prev[i], handles.frameColor);
        }
        const TextList& next = step_frames(handles, gotoStep);
        for (std::size_t i = 0; i < next.size(); ++i) {
            if (i == 0)
                fig.set_bold(next[i], true);
            fig.set_background(next[i], handles.frameColorHighlight);
        }
    });
    return handles;
}

void enable_step(Runtime& rt, const Handles& handles, int step, Enable enable) {
    Figure& fig = rt.figure();
    for (const auto& ref : handles.stepObjects.at(static_cast<std::size_t>(step) - 1))
        fig.set_enable(ref.tag, enable);
}

void button_step_3_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "button_step_3_Callback", [&] {
        if (handles.currStep < 3) {
            rt.dialogs().warning({kNotYetText}, kNotYetTitle, true);
            return;
        }
        if (handles.currStep == 3) {
            rt.dialogs().warning({kThereText}, kThereTitle, true);
            return;
        }
        enable_step(rt, handles, 4, Enable::Off);
        enable_step(rt, handles, 3, Enable::On);
        handles = update_listbox_currVowel_select(rt, std::move(handles));
        handles = update_frame_colors(rt, std::move(handles), 3);
        rt.store(handles);
    });
}

void register_wizard_handlers(HandlerTable& table) { table.emplace("button_step_3_Callback", button_step_3_Callback); }

} // namespace tarvik
