#include "app/wizard.h"

#include "app/guarded.h"

#include <stdexcept>

namespace tarvik {

namespace {

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


} // namespace tarvik
