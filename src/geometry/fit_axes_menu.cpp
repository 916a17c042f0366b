#include "geometry/fit_axes_menu.h"

#include "app/guarded.h"
#include "app/log.h"
#include "core/format.h"
#include "geometry/geometry_ops.h"
#include "ui/layout.h"

#include <algorithm>
#include <string>

namespace tarvik {

namespace {

const char* const kNowMirrored = "Fit axes: mirrored, as in sessions of earlier versions (compatibility).";
const char* const kNowLine = "Fit axes: along each group's least-squares lines.";
const char* const kRefitted = "The %s groups were fitted again.";
const char* const kCleared = "%s overlap results of the earlier fits were cleared; calculate them again.";
const char* const kNoResult = " -- ";

bool has_2d_fit(const VowelGroup& g) { return g.theta2D.has_value(); }
bool has_3d_fit(const VowelGroup& g) { return g.theta.has_value(); }

// Fits every group again with the record's orientation and drops what the earlier fits gave.
Handles refit(Runtime& rt, Handles handles, TextList& lines) {
    const bool twoD = std::any_of(handles.v.begin(), handles.v.end(), has_2d_fit);
    const bool threeD = std::any_of(handles.v.begin(), handles.v.end(), has_3d_fit);
    if (!twoD && !threeD)
        return handles;
    if (threeD) {
        handles = calculate_vowel_3D_dubstar(rt, std::move(handles));
        handles = calculate_3D_ellipsoids(rt, std::move(handles));
    }
    if (twoD) {
        handles = calculate_vowel_2D_star(rt, std::move(handles));
        handles = calculate_2D_ellipses(rt, std::move(handles));
    }
    lines.push_back(fill(kRefitted, {std::to_string(handles.v.size())}));
    for (Shared<VowelGroup>& group : handles.v) {
        VowelGroup& g = group.edit();
        g.Egrid2D.reset();
        g.Egrid.reset();
    }
    if (!handles.overlap.empty()) {
        lines.push_back(fill(kCleared, {std::to_string(handles.overlap.size())}));
        handles.overlap.clear();
        rt.figure().set_enable(kShowResultsTag, Enable::Off);
    }
    rt.figure().set_string("text_2D_overlap", {kNoResult});
    rt.figure().set_string("text_3D_overlap", {kNoResult});
    return handles;
}

} // namespace

void menuItem_mirroredFitAxes_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "menuItem_mirroredFitAxes_Callback", [&] {
        const bool mirrored = handles.fitOrientation != FitOrientation::Mirrored;
        handles.fitOrientation = mirrored ? FitOrientation::Mirrored : FitOrientation::Line;
        rt.figure().set_value(kMirroredFitAxesTag, mirrored ? 1.0 : 0.0);
        TextList lines = {mirrored ? kNowMirrored : kNowLine};
        handles = refit(rt, std::move(handles), lines);
        handles = update_log(rt, std::move(handles), lines);
        rt.store(handles);
    });
}

StepReport set_fit_orientation(Runtime& rt, FitOrientation orientation) {
    return run_step(rt, [&] {
        const Handles& h = *rt.figure().retrieve();
        if (h.fitOrientation != orientation)
            menuItem_mirroredFitAxes_Callback(rt, ControlRef{kMirroredFitAxesTag}, h);
        return rt.figure().retrieve()->fitOrientation == orientation;
    });
}

void register_fit_axes_handlers(HandlerTable& table) {
    table.emplace("menuItem_mirroredFitAxes_Callback", menuItem_mirroredFitAxes_Callback);
}

} // namespace tarvik
