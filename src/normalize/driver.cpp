#include "normalize/driver.h"
#include "normalize/normalize_step.h"

#include "app/guarded.h"
#include "app/wizard.h"
#include "grouping/grouping_ops.h"
#include "normalize/normalize_methods.h"
#include "normalize/normalized_table.h"
#include "ui/menus.h"

#include <functional>
#include <utility>

namespace tarvik {

namespace {

const char* const kCannotContinue = "Cannot continue";
const char* const kChooseText = "Please specify any normalization techniques to apply to the data. If your data "
                                "are already normalized, then be sure to say so.";
const char* const kFailedTitle = "Let Quillon know";
const char* const kHandlerFailureTitle = "Let Quillon know:";
const char* const kHandlerFailureText = "Button_continue_to_grouping_Callback: Function Error:\n\n %s";
const char* const kReorganizing = "One moment while normalized data are reorganized...";

using Method = std::function<HandlesAndStatus(Runtime&, Handles)>;

struct Choice {
    const char* name;
    Method run;
};

std::string failure_text(const std::string& method, bool duration) {
    return std::string("Function Failed: ") + (duration ? "Duration target " : "") + "\"" + method +
           "\" in \"button_continue_to_grouping_Callback\"";
}

// The method chosen in a spectral menu; no method for a menu without a choice.
Choice spectral_method(std::optional<SpectralMethod> method, const std::string& category,
                       const std::optional<ExtremeTargets>& extremes, const std::optional<ExtremeTargets>& corners) {
    if (!method)
        return {nullptr, {}};
    switch (*method) {
    case SpectralMethod::None:
        return {"normalize_do_not_normalize",
                [category](Runtime& rt, Handles h) { return normalize_do_not_normalize(rt, std::move(h), category); }};
    case SpectralMethod::ZScore:
        return {"normalize_spectral_zscore",
                [category](Runtime& rt, Handles h) { return normalize_spectral_zscore(rt, std::move(h), category); }};
    case SpectralMethod::Logarithmic:
        return {"normalize_spectral_logarithmic", [category](Runtime& rt, Handles h) {
                    return normalize_spectral_logarithmic(rt, std::move(h), category);
                }};
    case SpectralMethod::KnownExtremes:
        return {"normalize_spectral_known_extremes", [category, extremes](Runtime& rt, Handles h) {
                    return normalize_spectral_known_extremes(rt, std::move(h), category, extremes);
                }};
    case SpectralMethod::LogMeanShared:
        return {"normalize_spectral_log_mean_shared", [category](Runtime& rt, Handles h) {
                    return normalize_spectral_log_mean_shared(rt, std::move(h), category);
                }};
    case SpectralMethod::WattFabricius:
        return {"normalize_spectral_watt_fabricius", [category, corners](Runtime& rt, Handles h) {
                    return normalize_spectral_watt_fabricius(rt, std::move(h), category, corners.value());
                }};
    case SpectralMethod::Bark:
        return {"normalize_spectral_bark",
                [category](Runtime& rt, Handles h) { return normalize_spectral_bark(rt, std::move(h), category); }};
    }
    return {nullptr, {}};
}

// The method chosen in the duration menu; no method for a menu without a choice.
Choice duration_method(std::optional<DurationMethod> method) {
    if (!method)
        return {nullptr, {}};
    switch (*method) {
    case DurationMethod::None:
        return {"normalize_do_not_normalize",
                [](Runtime& rt, Handles h) { return normalize_do_not_normalize(rt, std::move(h), "Duration"); }};
    case DurationMethod::ZScore:
        return {"normalize_duration_zscore",
                [](Runtime& rt, Handles h) { return normalize_duration_zscore(rt, std::move(h)); }};
    case DurationMethod::PhraseDuration:
        return {"normalize_duration_phrase_duration",
                [](Runtime& rt, Handles h) { return normalize_duration_phrase_duration(rt, std::move(h)); }};
    }
    return {nullptr, {}};
}

// Runs one method; false when the run must stop (failure reported, or cancelled by the user).
bool run_method(Runtime& rt, Handles& handles, const Choice& choice, bool duration) {
    if (!choice.run)
        return false;
    HandlesAndStatus result = choice.run(rt, handles);
    handles = std::move(result.handles);
    if (result.status == 0) {
        rt.dialogs().warning({failure_text(choice.name, duration)}, kFailedTitle, true);
        return false;
    }
    return result.status != -1;
}

} // namespace

Handles populate_normalization_popupmenus(Runtime& rt, Handles handles) {
    guarded(
        rt, ReportForm::B, "populate_normalization_popupmenus",
        [&] {
            Figure& fig = rt.figure();
            for (const char* tag : {"popupmenu_normalize_spectral1", "popupmenu_normalize_spectral2"}) {
                fig.set_string(tag, menu_labels(kSpectralMenu));
                fig.set_enable(tag, Enable::On);
            }
            fig.set_string("popupmenu_normalize_duration", menu_labels(kDurationMenu));
            fig.set_enable("popupmenu_normalize_duration", Enable::On);
            rt.store(handles);
        },
        {.wait = false});
    return handles;
}

Handles calculate_dataNormalizedColumns(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::B, "calculate_dataNormalizedColumns", [&] {
        Figure& fig = rt.figure();
        ProgressService& progress = *rt.services().progress;
        const ProgressRef bar = progress.create(0, kReorganizing);
        fig.set_pointer(Pointer::Watch);
        try {
            const double subjects = static_cast<double>(handles.dataSubject.size());
            OrderedMap<std::vector<Cell>> table = normalized_table(
                handles.dataColumn, handles.dataSubject, handles.HeaderName, handles.onlyAllow2D == 1,
                [&](std::size_t k) { progress.update(bar, static_cast<double>(k + 1) / subjects, std::nullopt); });
            handles.dataNormalizedColumn = std::move(table);
        } catch (...) {
            // The progress dialog stays open after a failure; the pointer goes back first.
            fig.set_pointer(Pointer::Arrow);
            throw;
        }
        progress.close(bar);
        fig.set_pointer(Pointer::Arrow);
        rt.store(handles);
    });
    return handles;
}

namespace {

const char* const kSpectral1 = "popupmenu_normalize_spectral1";
const char* const kSpectral2 = "popupmenu_normalize_spectral2";
const char* const kDuration = "popupmenu_normalize_duration";

// Step 2's Continue with the methods given: false when refused, cancelled or failed.
bool apply_normalization(Runtime& rt, Handles handles, const NormalizationRequest& request) {
    Figure& fig = rt.figure();
    const bool twoD = handles.onlyAllow2D == 1;
    if (!request.f1 || !request.f2 || (!twoD && !request.duration)) {
        rt.dialogs().wait(rt.dialogs().message({kChooseText}, kCannotContinue, Icon::Warn, WindowStyle::NonModal));
        return false;
    }
    // The menus show the methods run.
    fig.set_value(kSpectral1, menu_value(kSpectralMenu, *request.f1));
    fig.set_value(kSpectral2, menu_value(kSpectralMenu, *request.f2));
    if (request.duration)
        fig.set_value(kDuration, menu_value(kDurationMenu, *request.duration));
    // The corners of Watt-Fabricius are named once for both formants.
    std::optional<ExtremeTargets> corners;
    if (request.f1 == SpectralMethod::WattFabricius || request.f2 == SpectralMethod::WattFabricius) {
        corners = watt_corners(rt, handles, request.corners);
        if (!corners)
            return false;
    }
    if (!run_method(rt, handles, spectral_method(request.f1, "F1", request.extremesF1, corners), false))
        return false;
    if (!run_method(rt, handles, spectral_method(request.f2, "F2", request.extremesF2, corners), false))
        return false;
    if (!twoD && !run_method(rt, handles, duration_method(request.duration), true))
        return false;

    handles = calculate_dataNormalizedColumns(rt, std::move(handles));

    enable_step(rt, handles, 2, Enable::Off);
    fig.set_string("edit_currVowel_name", {"(please name)"});
    enable_step(rt, handles, 3, Enable::On);
    handles = update_frame_colors(rt, std::move(handles), 3);
    fig.set_value("listbox_groupings", 1);
    fig.set_value("listbox_types", 1);
    handles = calculate_selected_field(rt, std::move(handles));
    rt.store(handles);
    return handles.currStep == 3;
}

const GuardOptions kContinueFailure{.wait = false, .text = kHandlerFailureText, .title = kHandlerFailureTitle};

} // namespace

NormalizationRequest normalization_request_from_window(const Figure& window) {
    NormalizationRequest r;
    r.f1 = menu_meaning(kSpectralMenu, first_value(window.control(kSpectral1)));
    r.f2 = menu_meaning(kSpectralMenu, first_value(window.control(kSpectral2)));
    r.duration = menu_meaning(kDurationMenu, first_value(window.control(kDuration)));
    return r;
}

void button_continue_to_grouping_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(
        rt, ReportForm::B, "button_continue_to_grouping_Callback",
        [&] { apply_normalization(rt, std::move(handles), normalization_request_from_window(rt.figure())); },
        kContinueFailure);
}

StepReport normalize_data(Runtime& rt, const NormalizationRequest& request) {
    return run_step(rt, [&] {
        bool done = false;
        guarded(
            rt, ReportForm::B, "button_continue_to_grouping_Callback",
            [&] { done = apply_normalization(rt, *rt.figure().retrieve(), request); }, kContinueFailure);
        return done;
    });
}

void to_json(nlohmann::json& j, const NormalizationRequest& r) {
    const auto word = [](std::string_view w) { return w.empty() ? nlohmann::json(nullptr) : nlohmann::json(w); };
    const auto pair = [](const std::optional<ExtremeTargets>& p) {
        return p ? nlohmann::json::array({p->first, p->second}) : nlohmann::json(nullptr);
    };
    j = {{"f1", r.f1 ? word(menu_batch_name(kSpectralMenu, *r.f1)) : nullptr},
         {"f2", r.f2 ? word(menu_batch_name(kSpectralMenu, *r.f2)) : nullptr},
         {"duration", r.duration ? word(menu_batch_name(kDurationMenu, *r.duration)) : nullptr},
         {"extremesF1", pair(r.extremesF1)},
         {"extremesF2", pair(r.extremesF2)},
         {"corners", pair(r.corners)}};
}

void from_json(const nlohmann::json& j, NormalizationRequest& r) {
    const auto text = [&](const char* key) { return j.at(key).is_null() ? std::string() : j.at(key).get<std::string>(); };
    const auto pair = [&](const char* key) -> std::optional<ExtremeTargets> {
        if (j.at(key).is_null())
            return std::nullopt;
        return ExtremeTargets{j.at(key).at(0).get<std::string>(), j.at(key).at(1).get<std::string>()};
    };
    r.f1 = menu_meaning_named(kSpectralMenu, text("f1"));
    r.f2 = menu_meaning_named(kSpectralMenu, text("f2"));
    r.duration = menu_meaning_named(kDurationMenu, text("duration"));
    r.extremesF1 = pair("extremesF1");
    r.extremesF2 = pair("extremesF2");
    r.corners = j.contains("corners") ? pair("corners") : std::nullopt;
}

void register_normalization_handlers(HandlerTable& table) {
    table.emplace("button_continue_to_grouping_Callback", button_continue_to_grouping_Callback);
    table.emplace("popupmenu_normalize_spectral2_Callback", [](Runtime&, const ControlRef&, Handles) {});
    table.emplace("popupmenu_normalize_spectral2_CreateFcn", [](Runtime&, const ControlRef&, Handles) {});
}

} // namespace tarvik
