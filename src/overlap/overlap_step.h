#pragma once

#include "app/step.h"
#include "core/handles.h"

#include <nlohmann/json_fwd.hpp>

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>

// The overlap step as the window and the batch tool both run it: a request names the dimension and one
// pair or every pair, and calculate_overlap runs it on the session's record.
namespace tarvik {

class Figure;

struct OverlapRequest {
    bool threeD = false;
    std::optional<std::pair<int, int>> pair; // 1-based, in either order; empty: every pair i < j
    // The grid steps to use from now on (the record keeps them); empty: the session's own.
    std::optional<OverlapResolution> resolution;
    // How many threads share the pairs; 0: as many as the background runner offers (every core in the
    // program). The results are the same for every number.
    int threads = 0;
    friend bool operator==(const OverlapRequest&, const OverlapRequest&) = default;
};

// One line, e.g. "3D overlap of groups 2 and 1" or "2D overlap of every pair".
std::string to_text(const OverlapRequest& r);
std::ostream& operator<<(std::ostream& out, const OverlapRequest& r);

// {"dimension": "2D" or "3D", "pair": [i, j] or null[, "resolution": [n, m, s]][, "threads": t]}, the
// threads only when not 0; reading throws std::invalid_argument naming what is wrong.
void to_json(nlohmann::json& j, const OverlapRequest& r);
void from_json(const nlohmann::json& j, OverlapRequest& r);

// For a 3D overlap of a session whose data has no durations: says that 3D is not available and returns
// true (the request goes no further).
bool refuse_3d_without_durations(Runtime& rt, bool threeD);

// The request of the window's overlap controls: the two group menus, or every pair when the box is ticked.
OverlapRequest overlap_request_from_window(const Figure& window, bool threeD);

// Runs the request on the record stored with the main window, under one progress dialog whose Cancel
// stops the run. Refused with a message: 3D without durations, a group that does not exist. The pairs'
// grid overlaps are computed away from the window's thread (Services::background), shared among the
// request's threads; then, in pair order, their results go into the record, a pair whose estimate fails
// is reported and becomes NaN, each pair has its log line, and the result text shows the last pair. The
// record is stored once, at the end. A cancelled run changes nothing but the log, which says how many
// pairs were done. Done when every pair has run.
StepReport calculate_overlap(Runtime& rt, const OverlapRequest& r);

} // namespace tarvik
