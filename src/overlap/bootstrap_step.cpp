#include "overlap/bootstrap_step.h"

#include "app/background.h"
#include "app/guarded.h"
#include "app/log.h"
#include "core/format.h"

namespace tarvik {

namespace {

const char* const kProgress = "Bootstrap intervals...";

} // namespace

bool run_bootstrap(Runtime& rt, const Handles& h, const BootstrapRequest& request,
                   std::vector<PairIntervals>& out) {
    BootstrapRun run(h, request);
    const std::string count = format_count(request.replicates);
    const TextList& subjects = run.subjects();
    const std::string subjectCount = format_count(subjects.size());
    const auto label = [&](std::size_t r) {
        if (!request.withinSubjects)
            return "Replicate " + format_count(r + 1) + " of " + count;
        const std::size_t s = r / request.replicates;
        return "Subject " + format_count(s + 1) + " of " + subjectCount + " (" + subjects[s] +
               "): replicate " + format_count(r % request.replicates + 1) + " of " + count;
    };
    if (!run_items_in_background(
            rt, kProgress, run.replicates(), label, [&](std::size_t b) { run.run_replicate(b); },
            runner_threads(rt)))
        return false;
    out = run.finish();
    const std::string what = request.resample == Resample::Subjects ? "subjects" : "tokens";
    update_log(rt, *rt.figure().retrieve(),
               "BOOTSTRAP (" + std::string(request.threeD ? "3D" : "2D") + "): " + count +
                   " replicates drawing " + what + " with replacement, seed " + std::to_string(request.seed) +
                   ", " + format_significant(100 * request.confidence, 6) + "% percentile intervals of " +
                   format_count(request.pairs.size()) + (request.pairs.size() == 1 ? " pair" : " pairs") +
                   (request.withinSubjects ? " within each of " + subjectCount + " subjects." : "."));
    return true;
}

StepReport bootstrap_pairs(Runtime& rt, const BootstrapRequest& request, std::vector<PairIntervals>* out) {
    return run_step(rt, [&] {
        bool finished = false; // not when cancelled
        return guarded(rt, ReportForm::B, "bootstrap_pairs", [&] {
            std::vector<PairIntervals> intervals;
            if (!run_bootstrap(rt, *rt.figure().retrieve(), request, intervals))
                return;
            if (out)
                *out = std::move(intervals);
            finished = true;
        }) && finished;
    });
}

} // namespace tarvik
