#include "overlap/spread_driver.h"

#include "app/guarded.h"
#include "app/record.h"
#include "core/format.h"
#include "core/number.h"
#include "overlap/bootstrap_step.h"
#include "overlap/driver.h"
#include "overlap/overlap_results.h"
#include "overlap/overlap_step.h"
#include "ui/figure.h"
#include "ui/layout.h"

#include <algorithm>
#include <cmath>

namespace tarvik {

namespace {

const char* const kOptionsTitle = "Bootstrap intervals";
const char* const kNotReplicates = "The number of bootstrap replicates must be a whole number from 0 (no "
                                   "intervals) to 1,000,000; it is \"%s\".";
const char* const kNotConfidence =
    "The confidence of the intervals must be a number between 0 and 1, such as "
    "0.95; it is \"%s\".";
const char* const kPerSubjectTitle = "Overlap within subjects";
const char* const kOneGroup = "Groups A and B are the same group: choose two groups, or tick \"calculate all "
                              "group overlaps\".";
constexpr double kMaxReplicates = 1e6;

std::string field_text(const Figure& window, const char* tag) {
    const Control& c = window.control(tag);
    return c.string.empty() ? std::string() : std::string(trimmed(c.string.front()));
}

void show_results(Runtime& rt, const ResultsTable& table) {
    if (rt.services().results)
        rt.services().results->show(table);
}

} // namespace

std::optional<SpreadOptions> spread_options_from_window(Runtime& rt,
                                                        std::optional<std::pair<int, int>> pair) {
    const Figure& window = rt.figure();
    SpreadOptions o;
    o.perSubject = window.has(kPerSubjectTag) && first_value(window.control(kPerSubjectTag)) == 1;
    if (!window.has(kReplicatesTag))
        return o;
    const std::string replicates = field_text(window, kReplicatesTag);
    const double b = replicates.empty() ? 0 : to_number(replicates);
    if (!(b >= 0 && b <= kMaxReplicates && b == std::floor(b))) {
        refuse_step(rt, {fill(kNotReplicates, {replicates})}, kOptionsTitle);
        return std::nullopt;
    }
    o.replicates = static_cast<std::size_t>(b);
    const std::string confidence = field_text(window, kConfidenceTag);
    const double c = to_number(confidence);
    if (o.replicates > 0 && !(c > 0 && c < 1)) {
        refuse_step(rt, {fill(kNotConfidence, {confidence})}, kOptionsTitle);
        return std::nullopt;
    }
    if (o.replicates > 0)
        o.confidence = c;
    if (pair && pair->first == pair->second && (o.perSubject || o.replicates > 0)) {
        refuse_step(rt, {kOneGroup}, o.perSubject ? kPerSubjectTitle : kOptionsTitle);
        return std::nullopt;
    }
    return o;
}

StepReport calculate_within_subjects(Runtime& rt, bool threeD, std::optional<std::pair<int, int>> pair,
                                     const SpreadOptions& options) {
    if (refuse_3d_without_durations(rt, threeD))
        return {};
    PerSubjectStepRequest request{!threeD, threeD, pair, std::nullopt, kEveryMeasure, options.replicates};
    request.confidence = options.confidence;
    ResultsTable table;
    StepReport report = calculate_per_subject(rt, request, &table);
    if (!report.done)
        return report;
    show_results(rt, per_subject_summary(table));
    if (rt.services().plots) {
        if (std::optional<PlotDescription> plot = strip_plot(table, threeD)) {
            Handles h = *rt.figure().retrieve();
            plot->number = static_cast<int>(h.plotFigure.size()) + 1;
            h.plotFigure.push_back(ControlRef{"plot_figure_" + std::to_string(plot->number)});
            rt.services().plots->open(plot->number, plot->name);
            rt.services().plots->show(*plot);
            rt.store(h);
        }
    }
    return report;
}

StepReport show_pooled_intervals(Runtime& rt, bool threeD, std::optional<std::pair<int, int>> pair,
                                 const SpreadOptions& options) {
    return run_step(rt, [&] {
        bool finished = false; // not when cancelled
        return guarded(rt, ReportForm::B, "show_pooled_intervals",
                       [&] {
                           const Handles h = *rt.figure().retrieve();
                           const BootstrapRequest request{ordered_pairs(static_cast<int>(h.v.size()), pair),
                                                          threeD,
                                                          options.replicates,
                                                          1,
                                                          options.confidence,
                                                          Resample::Tokens};
                           std::vector<PairIntervals> intervals;
                           if (!run_bootstrap(rt, h, request, intervals))
                               return;
                           std::vector<OverlapRow> rows;
                           for (std::size_t k = 0; k < request.pairs.size(); ++k) {
                               const auto [a, b] = pair ? *pair : request.pairs[k];
                               rows.push_back(overlap_row(h, a, b, threeD));
                               rows.back().intervals = intervals[k];
                           }
                           const std::vector<std::string> notes = measure_rows(h, rows);
                           ResultsTable table = overlap_table(rows, kEveryMeasure, true);
                           table.notes = notes;
                           show_results(rt, table);
                           finished = true;
                       }) &&
               finished;
    });
}

} // namespace tarvik
