#include "overlap/measures_step.h"

#include "app/guarded.h"
#include "app/warnings.h"

#include <set>

namespace tarvik {

namespace {

const char* const kWarningsTitle = "Measures that could not be calculated";

} // namespace

StepReport measure_pairs(Runtime& rt, const MeasuresRequest& request, std::vector<PairMeasures>* out) {
    return run_step(rt, [&] {
        return guarded(rt, ReportForm::B, "measure_pairs", [&] {
            const Handles& h = *rt.figure().retrieve();
            const std::size_t dims = request.threeD ? 3 : 2;
            std::vector<PairMeasures> measures;
            measures.reserve(request.pairs.size());
            // A group at fault is named once however many pairs it is in.
            std::set<std::string> seen;
            Warnings warnings(kWarningsTitle);
            for (const auto& [a, b] : request.pairs) {
                const VowelGroup& ga = h.v.at(static_cast<std::size_t>(a - 1));
                const VowelGroup& gb = h.v.at(static_cast<std::size_t>(b - 1));
                MeasuresResult r = pair_measures(ga.data, gb.data, dims, ga.name, gb.name);
                for (std::string& line : r.problems)
                    if (seen.insert(line).second)
                        warnings.add(std::move(line));
                measures.push_back(r.measures);
            }
            rt.store(warnings.report(rt, h));
            if (out)
                *out = std::move(measures);
        });
    });
}

} // namespace tarvik
