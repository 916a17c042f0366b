#pragma once

#include "app/step.h"
#include "ui/menus.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <utility>

// Step 2 as a request: a method per formant and for duration.
namespace tarvik {

using ExtremeTargets = std::pair<std::string, std::string>;

struct NormalizationRequest {
    std::optional<SpectralMethod> f1, f2;    // empty: not chosen, and refused
    std::optional<DurationMethod> duration;  // empty: not chosen; not needed when the data have no durations
    // The two vowel targets of the known-extremes method per formant; empty: the user is asked.
    std::optional<ExtremeTargets> extremesF1, extremesF2;
    // The corner targets (i, a) of Watt-Fabricius, for both formants; empty: the user is asked.
    std::optional<ExtremeTargets> corners;
    friend bool operator==(const NormalizationRequest&, const NormalizationRequest&) = default;
};
void to_json(nlohmann::json& j, const NormalizationRequest& r);
void from_json(const nlohmann::json& j, NormalizationRequest& r);

// The request step 2's menus make (no extremes: the method asks for them).
NormalizationRequest normalization_request_from_window(const Figure& window);

// Normalizes the data of step 2 with the methods asked for, shows them in step 2's menus and opens
// step 3. Done in step 3. A method not chosen is refused with a message; extremes that not every subject
// has are refused too.
StepReport normalize_data(Runtime& rt, const NormalizationRequest& request);

} // namespace tarvik
