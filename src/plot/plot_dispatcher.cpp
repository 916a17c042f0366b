#include "plot/plot_dispatcher.h"

#include "app/guarded.h"
#include "core/format.h"
#include "normalize/normalize_step.h"
#include "plot/axis_labels.h"
#include "plot/plot_series.h"
#include "plot/plot_styles.h"
#include "plot/plot_texts.h"
#include "plot/point_plots.h"
#include "plot/shape_plots.h"

#include <algorithm>
#include <stdexcept>

namespace tarvik {

namespace {

bool ticked(const Control& box) {
    return first_value(box) == box.max;
}

// A text box's String as one text; the lines of a multi-line box become lines of the text.
std::string box_text(const Control& box) {
    std::string out;
    for (std::size_t i = 0; i < box.string.size(); ++i)
        out += (i ? "\n" : "") + box.string[i];
    return out;
}

void show_message(const Runtime& rt, std::string_view text, std::string_view title) {
    rt.dialogs().wait(
        rt.dialogs().message({std::string(text)}, std::string(title), Icon::None, WindowStyle::NonModal));
}

// A warning left open beside the work: not modal, not waited for.
void warn(const Runtime& rt, std::string_view text, std::string_view title) {
    rt.dialogs().warning({std::string(text)}, std::string(title), false);
}

// Draws plot kind `kind` into the description. Returns false after a refusal or a failed drawing, once
// the window is closed and the warning shown.
bool draw_kind(Runtime& rt, const Handles& handles, PlotDescription& plot, PlotKind kind, bool plot3d,
               const std::string& dimensions, const std::vector<int>& list) {
    const plot_text::PlotKindTexts& texts = plot_text::kind_texts(kind);
    const auto refuse = [&](std::string_view text, std::string_view title) {
        plot_host(rt).close(plot.number);
        warn(rt, text, title);
        return false;
    };
    bool drawn = false;
    switch (kind) {
    case PlotKind::Original:
        drawn = plot_original_data(rt, handles, plot, list, dimensions);
        break;
    case PlotKind::Normalized:
        drawn = plot_normalized_data(rt, handles, plot, list, dimensions);
        break;
    case PlotKind::Shapes:
        drawn = plot3d ? plot_3D_ellipsoid(rt, handles, plot, list, dimensions)
                       : plot_2D_ellipses(rt, handles, plot, list);
        break;
    case PlotKind::Volumes:
        drawn = plot3d ? plot_3D_volumes(rt, handles, plot, list) : plot_2D_spheres(rt, handles, plot, list);
        break;
    case PlotKind::Overlap:
        if (list.size() != 2)
            return refuse(plot_text::kOverlapTwoGroupsText, plot_text::kOverlapTitle);
        if (list[0] == list[1])
            return refuse(plot_text::kOverlapSameGroupText, plot_text::kOverlapTitle);
        drawn = plot3d ? plot_3D_vowels_overlap(rt, handles, plot, list[0], list[1])
                       : plot_2D_vowels_overlap(rt, handles, plot, list[0], list[1]);
        break;
    }
    if (!drawn)
        return refuse(plot3d ? texts.failText3D : texts.failText2D,
                      plot3d ? texts.failTitle3D : texts.failTitle2D);
    return true;
}

void plot_button(Runtime& rt, Handles& handles, const char* op, const char* dimensions) {
    guarded(rt, ReportForm::A, op, [&] {
        if (std::string_view(dimensions) == "3d" && handles.onlyAllow2D == 1) {
            show_message(rt, plot_text::kNotAvailableText, plot_text::kNotAvailableTitle);
            return;
        }
        const std::optional<bool> anyTicked = verify_plot_checkboxes(rt, handles);
        if (!anyTicked)
            throw std::runtime_error(std::string(plot_text::kNoCheckboxResult));
        if (!*anyTicked) {
            show_message(rt, plot_text::kCheckboxText, plot_text::kCheckboxTitle);
            return;
        }
        const std::optional<std::vector<int>> list = calculate_vowels_to_plot(rt, handles);
        if (!list)
            throw std::runtime_error(std::string(plot_text::kNoGroupList));
        const Figure& fig = rt.figure();
        const double kindValue = first_value(fig.control("popupmenu_plotSelection"));
        const std::optional<PlotKind> kind = menu_meaning(kPlotKindMenu, kindValue);
        if (!kind) {
            report_failure(rt, ReportForm::A, "plot_now", fill(plot_text::kUnknownKind, {format_significant(kindValue)}));
            return;
        }
        const PlotRequest request{*kind, std::string_view(dimensions) == "3d", *list,
                                  first_value(fig.control("checkbox_show_legend")) == 1};
        handles = plot_now(rt, std::move(handles), request);
        rt.store(handles);
    });
}

} // namespace

std::optional<bool> verify_plot_checkboxes(Runtime& rt, const Handles&) {
    std::optional<bool> success;
    guarded(rt, ReportForm::A, "verify_plot_checkboxes", [&] {
        const Figure& fig = rt.figure();
        const double sum = first_value(fig.control("checkbox_plot_group_a")) +
                           first_value(fig.control("checkbox_plot_group_b")) +
                           first_value(fig.control("checkbox_plot_group_all"));
        success = sum != 0;
    });
    return success;
}

std::optional<std::vector<int>> calculate_vowels_to_plot(Runtime& rt, const Handles&) {
    std::optional<std::vector<int>> list;
    guarded(rt, ReportForm::A, "calculate_vowels_to_plot", [&] {
        const Figure& fig = rt.figure();
        const int groupA = value_index(first_value(fig.control("popupmenu_plot_group_a")));
        const int groupB = value_index(first_value(fig.control("popupmenu_plot_group_b")));
        std::vector<int> groups;
        if (ticked(fig.control("checkbox_plot_group_a")))
            groups = {groupA};
        if (ticked(fig.control("checkbox_plot_group_b")))
            groups.push_back(groupB);
        if (ticked(fig.control("checkbox_plot_group_all")))
            groups.clear();
        list = std::move(groups);
    });
    return list;
}

Handles plot_now(Runtime& rt, Handles handles, const PlotRequest& request, std::optional<PlotDescription>* shown) {
    std::optional<int> openWindow;
    guarded(rt, ReportForm::A, "plot_now", [&] {
        try {
            const bool plot3d = request.threeD;
            const std::string dimensions = plot3d ? "3d" : "2d";
            const std::vector<int>& list = request.groups;
            const int currentFigure = static_cast<int>(handles.plotFigure.size()) + 1;
            if (currentFigure == plot_text::kNoteAtWindow)
                show_message(rt, plot_text::kNoteText, plot_text::kNoteTitle);

            PlotHost& host = plot_host(rt);
            host.open(currentFigure, std::string(plot_text::kWindowName));
            openWindow = currentFigure;
            handles.plotFigure.push_back(ControlRef{"plot_figure_" + std::to_string(currentFigure)});
            PlotDescription plot;
            plot.number = currentFigure;
            plot.name = plot_text::kWindowName;
            plot.axes.is3D = plot3d;

            const std::optional<PlotKind> kind = request.kind;
            if (!draw_kind(rt, handles, plot, *kind, plot3d, dimensions, list)) {
                openWindow.reset();
                return;
            }

            handles.currentAxes = ControlRef{"plot_axes_" + std::to_string(currentFigure)};
            const plot_text::PlotKindTexts& texts = plot_text::kind_texts(*kind);
            handles = plot_set_title_and_names(rt, std::move(handles), plot.axes,
                                               std::string(plot3d ? texts.prefix3D : texts.prefix2D), plot3d,
                                               *kind != PlotKind::Original);
            plot.buttonDownFcn = plot_text::kMouseHandler;
            if (request.legend) {
                // The overlap plots draw the smaller group first.
                std::vector<int> drawn = list;
                if (*kind == PlotKind::Overlap)
                    std::sort(drawn.begin(), drawn.end());
                handles = plot_legend(rt, std::move(handles), plot.axes, drawn);
            }
            host.show(plot);
            if (shown)
                *shown = plot;
            openWindow.reset();
            rt.store(handles);
        } catch (...) {
            // A plot that failed on its way leaves no empty window behind; its number stays used.
            if (openWindow)
                plot_host(rt).close(*openWindow);
            throw;
        }
    });
    return handles;
}

Handles plot_set_title_and_names(Runtime& rt, Handles handles, PlotAxes& axes, const std::string& titlePrefix,
                                 bool plot3d, bool normalizedData) {
    guarded(rt, ReportForm::B, "plot_set_title_and_names", [&] {
        const Figure& fig = rt.figure();
        const auto text = [&](const char* tag) { return box_text(fig.control(tag)); };
        const NormalizationRequest n = normalization_request_from_window(fig);
        const auto label = [&](const char* tag, AxisQuantity q) {
            return axis_label(text(tag), q, handles.HeaderName, axis_unit(q, normalizedData, {n.f1, n.f2, n.duration}));
        };
        if (plot3d) {
            axes.title = titlePrefix + " " + text("edit_plot_title");
            axes.labels = {label("edit_plot_x_axis", AxisQuantity::F2), label("edit_plot_y_axis", AxisQuantity::Duration),
                           label("edit_plot_z_axis", AxisQuantity::F1)};
        } else {
            axes.title = titlePrefix + " " + text("edit_plot_title_2D");
            axes.labels = {label("edit_plot_x_axis_2D", AxisQuantity::F2), label("edit_plot_y_axis_2D", AxisQuantity::F1),
                           ""};
        }
        rt.store(handles);
    });
    return handles;
}

Handles plot_legend(Runtime& rt, Handles handles, PlotAxes& axes, const std::vector<int>& vowelList) {
    guarded(rt, ReportForm::B, "plot_legend", [&] {
        std::vector<std::string> names;
        for (int num : groups_to_draw(handles, vowelList))
            names.push_back(plotted_group(handles, num).name);
        axes.legend = std::move(names);
    });
    return handles;
}

void button_3d_plot_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    plot_button(rt, handles, "button_3d_plot_Callback", "3d");
}

void button_2d_plot_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    plot_button(rt, handles, "button_2d_plot_Callback", "2d");
}

void register_plot_handlers(HandlerTable& table) {
    table.emplace("button_3d_plot_Callback", button_3d_plot_Callback);
    table.emplace("button_2d_plot_Callback", button_2d_plot_Callback);
    register_plot_style_handlers(table);
}

} // namespace tarvik
