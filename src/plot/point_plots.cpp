#include "plot/point_plots.h"

#include "app/guarded.h"
#include "core/format.h"
#include "geometry/fits.h"
#include "plot/plot_series.h"
#include "plot/plot_texts.h"

#include <cmath>
#include <stdexcept>

namespace tarvik {

namespace {

// One point series per group from its F2, F1, duration columns; the axes keep each group's series for
// the next and let go after the last.
void draw_tokens(const Runtime& rt, const Handles& handles, PlotAxes& axes, const std::vector<int>& vowelList,
                 bool is3D, Matrix VowelGroup::*tokens) {
    axes.is3D = is3D;
    for (int num : groups_to_draw(handles, vowelList)) {
        const VowelGroup& g = plotted_group(handles, num);
        const Matrix& m = g.*tokens;
        if (is3D)
            plot3dRGB(rt, axes, matrix_column(m, 0), matrix_column(m, 2), matrix_column(m, 1), g.markerType,
                      g.markerColor);
        else
            plot2dRGB(rt, axes, matrix_column(m, 0), matrix_column(m, 1), g.markerType, g.markerColor);
        axes.hold = true;
    }
    axes.hold = false;
    reverse_axes_with_grid(axes, is3D);
}

// -halfWidth to +halfWidth. An infinite extent leaves the axis to fit the data.
std::optional<AxisLimits> centred_limits(double halfWidth, const char* name) {
    if (std::isinf(halfWidth) && halfWidth > 0)
        return std::nullopt;
    if (!(halfWidth > 0))
        throw std::invalid_argument(fill(plot_text::kBadLimits, {name}));
    return AxisLimits{-halfWidth, halfWidth};
}

} // namespace

bool plot_original_data(Runtime& rt, const Handles& handles, PlotDescription& plot,
                        const std::vector<int>& vowelList, const std::string& dimensions) {
    return guarded(rt, ReportForm::A, "plot_original_data", [&] {
        draw_tokens(rt, handles, plot.axes, vowelList, dimensions == "3d", &VowelGroup::dataOriginal);
    });
}

bool plot_normalized_data(Runtime& rt, const Handles& handles, PlotDescription& plot,
                          const std::vector<int>& vowelList, const std::string& dimensions) {
    return guarded(rt, ReportForm::A, "plot_normalized_data",
                   [&] {
                       const bool is3D = dimensions == "3d";
                       draw_tokens(rt, handles, plot.axes, vowelList, is3D, &VowelGroup::data);
                       auto& limits = plot.axes.limits;
                       if (is3D) {
                           limits[0] = centred_limits(handles.axes3D.Xwidth, "axes3D.Xwidth");
                           limits[1] = centred_limits(handles.axes3D.Ylength, "axes3D.Ylength");
                           limits[2] = centred_limits(handles.axes3D.Zheight, "axes3D.Zheight");
                       } else {
                           if (!handles.axes2D)
                               throw std::runtime_error(std::string(plot_text::kNoAxes2D));
                           limits[0] = centred_limits(handles.axes2D->Xwidth, "axes2D.Xwidth");
                           limits[1] = centred_limits(handles.axes2D->Ylength, "axes2D.Ylength");
                       }
                   },
                   {.text = plot_text::kNormalizedFailureText, .title = plot_text::kNormalizedFailureTitle});
}

} // namespace tarvik
