#include "overlap/per_subject_step.h"

#include "app/background.h"
#include "app/guarded.h"
#include "app/log.h"
#include "app/record.h"
#include "app/warnings.h"
#include "core/format.h"
#include "overlap/bootstrap_step.h"
#include "overlap/driver.h"

#include <algorithm>

namespace tarvik {

namespace {

const char* const kProgress = "Overlaps within each subject...";
const char* const kWarningsTitle = "Subjects with too few tokens";
const char* const kNoGroups = "The overlap within subjects needs two fitted groups at least.";

OverlapRow row_of(const Handles& h, const SubjectPairResult& r, bool threeD) {
    const std::optional<OverlapShares>& s = threeD ? r.shares3D : r.shares2D;
    const double nan = kNoShare;
    const auto count = [&](long long OverlapShares::*n) { return s ? static_cast<double>((*s).*n) : nan; };
    OverlapRow row{threeD,
                   r.first,
                   r.second,
                   h.v.at(static_cast<std::size_t>(r.first - 1))->name,
                   h.v.at(static_cast<std::size_t>(r.second - 1))->name,
                   s ? s->value : nan,
                   s ? s->E1ovfrac : nan,
                   s ? s->E2ovfrac : nan,
                   count(&OverlapShares::E1sum),
                   count(&OverlapShares::E2sum),
                   count(&OverlapShares::Ebothsum),
                   {},
                   std::nullopt};
    const std::optional<PairMeasures>& m = threeD ? r.measures3D : r.measures2D;
    row.measures = m ? *m : PairMeasures{nan, nan, nan, nan, nan, nan, nan, nan, nan, nan};
    return row;
}

} // namespace

ResultsTable per_subject_table(const Handles& h, const PerSubjectResult& result, const MeasureChoice& measures,
                               const SubjectIntervals* intervals) {
    const std::size_t subjects = result.subjects.size();
    ResultsTable table;
    bool columnsSet = false;
    for (const bool threeD : {false, true}) {
        if (!(threeD ? result.threeD : result.twoD))
            continue;
        for (std::size_t first = 0; subjects > 0 && first + subjects <= result.rows.size(); first += subjects) {
            const std::vector<PairIntervals>* bounds =
                intervals && !(*intervals)[threeD].empty() ? &(*intervals)[threeD] : nullptr;
            std::vector<OverlapRow> rows;
            for (std::size_t s = 0; s < subjects; ++s) {
                rows.push_back(row_of(h, result.rows[first + s], threeD));
                if (bounds)
                    rows.back().intervals = bounds->at(first + s);
            }
            ResultsTable part = overlap_table(rows, measures, intervals != nullptr);
            if (!columnsSet) {
                table.columns = {{"subject", ColumnKind::Text}};
                table.columns.insert(table.columns.end(), part.columns.begin(), part.columns.end());
                columnsSet = true;
            }
            for (std::size_t s = 0; s < subjects; ++s) {
                std::vector<ResultsCell> cells = {{result.subjects[s], 0}};
                cells.insert(cells.end(), part.rows[s].begin(), part.rows[s].end());
                table.rows.push_back(std::move(cells));
            }
            const std::size_t firstInterval =
                intervals ? column_index(part, "ci_low") : part.columns.size();
            for (const char* summary : kSummaryRows) {
                std::vector<ResultsCell> cells = {{summary, 0}};
                for (std::size_t c = 0; c < part.columns.size(); ++c) {
                    if (part.columns[c].kind != ColumnKind::Number) {
                        cells.push_back(part.rows[0][c]);
                        continue;
                    }
                    if (c >= firstInterval) {
                        cells.push_back({{}, kNoShare});
                        continue;
                    }
                    std::vector<double> values;
                    for (std::size_t s = 0; s < subjects; ++s)
                        values.push_back(part.rows[s][c].number);
                    const ColumnSummary sum = summarize(values);
                    const std::string_view which = summary;
                    cells.push_back({{},
                                     which == "ALL_MEAN"     ? sum.mean
                                     : which == "ALL_SD"     ? sum.sd
                                     : which == "ALL_MEDIAN" ? sum.median
                                                             : static_cast<double>(sum.defined)});
                }
                table.rows.push_back(std::move(cells));
            }
        }
    }
    table.notes = result.warnings;
    return table;
}

ResultsTable per_subject_summary(const ResultsTable& table) {
    const auto column = [&](const char* name) { return column_index(table, name); };
    const std::size_t subject = column("subject"), value = column("value");
    const std::size_t key[] = {column("dimension"), column("index_a"), column("index_b"), column("group_a"),
                               column("group_b")};
    // The measures' columns stand after the counts and before any interval.
    std::vector<std::size_t> measures;
    for (std::size_t c = column("both_count") + 1; c < std::min(column("ci_low"), table.columns.size()); ++c)
        measures.push_back(c);
    ResultsTable out;
    for (const std::size_t c : key)
        out.columns.push_back(table.columns.at(c));
    out.columns.push_back({"subjects", ColumnKind::Index});
    for (const char* name : {"value_mean", "value_sd", "value_median"})
        out.columns.push_back({name, ColumnKind::Number});
    for (const std::size_t c : measures)
        out.columns.push_back({table.columns[c].name + "_median", ColumnKind::Number});
    out.notes = table.notes;

    ResultsTable* pair = nullptr;
    std::vector<ResultsCell>* row = nullptr;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const std::string& which = table.rows[r][subject].text;
        if (!pair || table.rows[r - 1][subject].text == "ALL_N") { // a pair's first subject
            pair = &out.details.emplace_back(ResultsTable{table.columns, {}, table.notes, {}});
            row = &out.rows.emplace_back();
            for (const std::size_t c : key)
                row->push_back(table.rows[r][c]);
            row->resize(out.columns.size(), ResultsCell{{}, kNoShare});
        }
        pair->rows.push_back(table.rows[r]);
        const double number = table.rows[r][value].number;
        if (which == "ALL_N")
            (*row)[5].number = number;
        else if (which == "ALL_MEAN")
            (*row)[6].number = number;
        else if (which == "ALL_SD")
            (*row)[7].number = number;
        else if (which == "ALL_MEDIAN") {
            (*row)[8].number = number;
            for (std::size_t m = 0; m < measures.size(); ++m)
                (*row)[9 + m].number = table.rows[r][measures[m]].number;
        }
    }
    return out;
}

std::string per_subject_json_text(const ResultsTable& table) {
    const std::size_t subject = column_index(table, "subject");
    std::vector<std::size_t> key, values;
    for (const char* name : {"dimension", "index_a", "index_b", "group_a", "group_b"})
        key.push_back(column_index(table, name));
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (std::find(key.begin(), key.end(), c) == key.end())
            values.push_back(c);
    nlohmann::json pairs = nlohmann::json::array();
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const bool summary = std::find(std::begin(kSummaryRows), std::end(kSummaryRows),
                                       table.rows[r][subject].text) != std::end(kSummaryRows);
        // A pair starts with its first subject; its summary rows close it.
        if (pairs.empty() || (!summary && !pairs.back()["summary"].empty())) {
            nlohmann::json pair = row_json(table, r, key);
            pair["subjects"] = nlohmann::json::array();
            pair["summary"] = nlohmann::json::array();
            pairs.push_back(std::move(pair));
        }
        pairs.back()[summary ? "summary" : "subjects"].push_back(row_json(table, r, values));
    }
    const nlohmann::json doc = {{"format", "tarvik3d-overlap-per-subject"}, {"version", 1}, {"pairs", pairs}};
    return doc.dump(2) + "\n";
}

std::optional<PlotDescription> strip_plot(const ResultsTable& table, bool threeD) {
    const auto column = [&](const char* name) { return column_index(table, name); };
    const std::size_t subject = column("subject"), dimension = column("dimension"), value = column("value");
    PlotDescription plot;
    plot.name = "Overlap within subjects";
    plot.axes.title = std::string("Overlap within subjects (") + (threeD ? "3D" : "2D") + ")";
    plot.axes.labels = {"pair", "overlap", ""};
    plot.axes.grid = {false, true, false};
    plot.axes.legend.emplace();
    std::vector<PlotSeries> medians;
    double x = 0;
    std::string lastPair;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        if (row[dimension].text != (threeD ? "3D" : "2D"))
            continue;
        const std::string& which = row[subject].text;
        if (which == "ALL_N")
            continue;
        if (which == "ALL_MEDIAN") {
            medians.push_back({{x - 0.3, x + 0.3}, {row[value].number, row[value].number}, {}, "-", {0, 0, 0}});
            continue;
        }
        if (which.rfind("ALL_", 0) == 0)
            continue;
        const std::string pair = cell_text(table, r, column("index_a")) + "," + cell_text(table, r, column("index_b"));
        if (pair != lastPair) { // the first subject of a pair
            lastPair = pair;
            x += 1;
            const Color colour = kGroupPalette[(static_cast<std::size_t>(x) - 1) % std::size(kGroupPalette)].second;
            plot.axes.series.push_back({{}, {}, {}, "o", colour});
            plot.axes.legend->push_back(row[column("group_a")].text + " - " + row[column("group_b")].text);
        }
        PlotSeries& points = plot.axes.series.back();
        const auto k = static_cast<double>(points.x.size() % 9);
        points.x.push_back(x + (k - 4) * 0.05);
        points.y.push_back(row[value].number);
    }
    if (plot.axes.series.empty())
        return std::nullopt;
    plot.axes.limits[0] = AxisLimits{0.5, x + 0.5};
    plot.axes.series.insert(plot.axes.series.end(), medians.begin(), medians.end());
    return plot;
}

StepReport calculate_per_subject(Runtime& rt, const PerSubjectStepRequest& request, ResultsTable* out) {
    return run_step(rt, [&] {
        bool finished = false; // not when cancelled
        return guarded(rt, ReportForm::B, "calculate_per_subject", [&] {
            // The record as it stands, with the grid steps asked for: read again after the run, during
            // which the window may have stored another.
            const auto record = [&] {
                Handles now = *rt.figure().retrieve();
                if (request.resolution)
                    now.overlapResolution = *request.resolution;
                return now;
            };
            Handles h = record();
            if (h.v.size() < 2 || h.currStep != 4)
                throw std::runtime_error(kNoGroups);
            PerSubjectRequest engine{{}, request.twoD, request.threeD,
                                     std::find(request.measures.begin(), request.measures.end(), true) !=
                                         request.measures.end()};
            engine.pairs = ordered_pairs(static_cast<int>(h.v.size()), request.pair);
            PerSubjectRun run(h, engine);
            const TextList& subjects = run.subjects();
            const std::string count = format_count(subjects.size());
            if (!run_items_in_background(
                    rt, kProgress, subjects.size(),
                    [&](std::size_t s) {
                        return "Subject " + format_count(s + 1) + " of " + count + ": " + subjects[s];
                    },
                    [&](std::size_t s) { run.run_subject(s); },
                    runner_threads(rt)))
                return;
            const PerSubjectResult result = run.finish();
            SubjectIntervals intervals;
            for (const bool threeD : {false, true}) {
                if (request.replicates == 0 || !(threeD ? request.threeD : request.twoD))
                    continue;
                const BootstrapRequest bootstrap{engine.pairs, threeD,           request.replicates, request.seed,
                                                 request.confidence, Resample::Tokens, true, engine.measures};
                if (!run_bootstrap(rt, h, bootstrap, intervals[threeD]))
                    return;
            }
            ResultsTable table =
                per_subject_table(h, result, request.measures, request.replicates > 0 ? &intervals : nullptr);
            Warnings warnings(kWarningsTitle);
            for (const std::string& line : result.warnings)
                warnings.add(line);
            // One line per pair and dimension in the log: the median over the subjects and how many have one.
            const auto column = [&](const char* name) { return column_index(table, name); };
            const std::size_t subject = column("subject"), value = column("value");
            TextList lines = {"OVERLAP WITHIN SUBJECTS (" + count + " subjects):"};
            std::string median;
            for (std::size_t r = 0; r < table.rows.size(); ++r) {
                const std::string& which = table.rows[r][subject].text;
                if (which == "ALL_MEDIAN")
                    median = cell_display_text(table, r, value);
                else if (which == "ALL_N")
                    lines.push_back("   " + cell_text(table, r, column("dimension")) + " " +
                                    cell_text(table, r, column("group_a")) + " and " +
                                    cell_text(table, r, column("group_b")) + ": median " + median + " over " +
                                    cell_text(table, r, value) + " subjects");
            }
            h = record();
            h = update_log(rt, std::move(h), lines);
            rt.store(warnings.report(rt, h));
            if (out)
                *out = std::move(table);
            finished = true;
        }) && finished;
    });
}

} // namespace tarvik
