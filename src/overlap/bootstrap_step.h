#pragma once

#include "app/step.h"
#include "overlap/bootstrap.h"

#include <vector>

// Bootstrap intervals of pairs of fitted groups as a step: the replicates run away from the window's
// thread under a progress dialog with Cancel.
namespace tarvik {

// Done when every replicate has run; `out` then gets each pair's intervals in the order of the pairs. The
// log gets a line saying what was drawn and how often.
StepReport bootstrap_pairs(Runtime& rt, const BootstrapRequest& request, std::vector<PairIntervals>* out);

// The replicates of `request` on the record `h` under the progress dialog, shared among the runner's
// threads, and the log line; for a step that runs them as part of its work. False when cancelled.
bool run_bootstrap(Runtime& rt, const Handles& h, const BootstrapRequest& request, std::vector<PairIntervals>& out);

} // namespace tarvik
