#include "overlap/bootstrap_step.h"

#include "app/background.h"
#include "app/guarded.h"
#include "app/log.h"
#include "core/format.h"

namespace tarvik {

namespace {

const char* const kProgress = "Bootstrap intervals...";

} // namespace

StepReport bootstrap_pairs(Runtime& rt, const BootstrapRequest& request, std::vector<PairIntervals>* out) {
    return run_step(rt, [&] {
        return guarded(rt, ReportForm::B, "bootstrap_pairs", [&] {
            const Handles h = *rt.figure().retrieve();
            BootstrapRun run(h, request);
            const std::string count = format_count(run.replicates());
            if (!run_items_in_background(
                    rt, kProgress, run.replicates(),
                    [&](std::size_t b) { return "Replicate " + format_count(b + 1) + " of " + count; },
                    [&](std::size_t b) { run.run_replicate(b); },
                    rt.services().background ? rt.services().background->threads() : 1))
                return;
            std::vector<PairIntervals> intervals = run.finish();
            const std::string what = request.resample == Resample::Subjects ? "subjects" : "tokens";
            update_log(rt, h,
                       "BOOTSTRAP (" + std::string(request.threeD ? "3D" : "2D") + "): " + count +
                           " replicates drawing " + what + " with replacement, seed " +
                           std::to_string(request.seed) + ", " + format_significant(100 * request.confidence, 6) +
                           "% percentile intervals of " + format_count(request.pairs.size()) + " pairs.");
            if (out)
                *out = std::move(intervals);
        });
    });
}

} // namespace tarvik
