#include "overlap/overlap_results.h"

#include "overlap/overlap_ops.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

namespace tarvik {

namespace {

// The columns of each measure, in the order of kMeasureNames, and their values.
const std::array<std::vector<const char*>, 4> kMeasureColumns = {{
    {"pillai", "pillai_f", "pillai_df1", "pillai_df2", "pillai_p", "pillai_null"},
    {"bhattacharyya_distance", "bhattacharyya_affinity"},
    {"mahalanobis"},
    {"euclidean"},
}};

std::vector<double> measure_values(const PairMeasures& m, std::size_t k) {
    switch (k) {
    case 0:
        return {m.pillai, m.pillaiF, m.pillaiDf1, m.pillaiDf2, m.pillaiP, m.pillaiNull};
    case 1:
        return {m.bhattacharyyaDistance, m.bhattacharyyaAffinity};
    case 2:
        return {m.mahalanobis};
    default:
        return {m.euclidean};
    }
}

// The columns every table has, before the measures'.
const std::vector<ResultsColumn> kOverlapColumns = {
    {"dimension", ColumnKind::Text},   {"index_a", ColumnKind::Index},     {"index_b", ColumnKind::Index},
    {"group_a", ColumnKind::Text},     {"group_b", ColumnKind::Text},      {"value", ColumnKind::Number},
    {"e1_fraction", ColumnKind::Number}, {"e2_fraction", ColumnKind::Number}, {"e1_count", ColumnKind::Number},
    {"e2_count", ColumnKind::Number},  {"both_count", ColumnKind::Number},
};

double or_nan(const std::optional<double>& x) { return x ? *x : std::nan(""); }

bool has_results(const PairResults& r) {
    return r.value || r.E1ovfrac || r.E2ovfrac || r.E1sum || r.E2sum || r.Ebothsum;
}

const VowelGroup& group(const Handles& h, int number) { return h.v.at(static_cast<std::size_t>(number - 1)); }

ResultsCell text_cell(std::string text) { return {std::move(text), 0}; }
ResultsCell number_cell(double x) { return {{}, x}; }

} // namespace

OverlapRow overlap_row(const Handles& handles, int a, int b, bool threeD) {
    const auto it = handles.overlap.find({std::min(a, b), std::max(a, b)});
    const PairResults r = it == handles.overlap.end() ? PairResults{} : pair_results(it->second, threeD);
    OverlapRow row{threeD,          a,
                   b,               group(handles, a).name,
                   group(handles, b).name, or_nan(r.value),
                   or_nan(r.E1ovfrac), or_nan(r.E2ovfrac),
                   or_nan(r.E1sum), or_nan(r.E2sum),
                   or_nan(r.Ebothsum), PairMeasures{}, std::nullopt};
    if (a > b) // the cell keeps the smaller index first
        std::swap(row.e1, row.e2), std::swap(row.n1, row.n2);
    return row;
}

std::vector<OverlapRow> recorded_rows(const Handles& handles) {
    std::vector<OverlapRow> rows;
    const auto groups = static_cast<int>(handles.v.size());
    for (const bool threeD : {false, true})
        for (const auto& [pair, cell] : handles.overlap)
            if (pair.first >= 1 && pair.second <= groups && pair.first <= pair.second &&
                has_results(pair_results(cell, threeD)))
                rows.push_back(overlap_row(handles, pair.first, pair.second, threeD));
    return rows;
}

std::vector<std::string> measure_rows(const Handles& handles, std::vector<OverlapRow>& rows) {
    std::vector<std::string> problems;
    std::set<std::string> seen;
    for (OverlapRow& row : rows) {
        const VowelGroup& ga = group(handles, row.a);
        const VowelGroup& gb = group(handles, row.b);
        MeasuresResult r = pair_measures(ga.data, gb.data, row.threeD ? 3 : 2, ga.name, gb.name);
        for (std::string& line : r.problems)
            if (seen.insert(line).second)
                problems.push_back(std::move(line));
        row.measures = r.measures;
    }
    return problems;
}

ResultsTable overlap_table(const std::vector<OverlapRow>& rows, const MeasureChoice& measures, bool intervals) {
    ResultsTable table;
    table.columns = kOverlapColumns;
    for (std::size_t k = 0; k < measures.size(); ++k)
        if (measures[k])
            for (const char* column : kMeasureColumns[k])
                table.columns.push_back({column, ColumnKind::Number});
    if (intervals) {
        for (const char* column : {"ci_low", "ci_high", "bootstrap_n"})
            table.columns.push_back({column, ColumnKind::Number});
        for (std::size_t k = 0; k < measures.size(); ++k)
            if (measures[k])
                for (const char* end : {"_ci_low", "_ci_high"})
                    table.columns.push_back({kBootstrapStatistics[k + 1] + std::string(end), ColumnKind::Number});
    }
    table.rows.reserve(rows.size());
    for (const OverlapRow& r : rows) {
        std::vector<ResultsCell> cells = {
            text_cell(r.threeD ? "3D" : "2D"), number_cell(r.a),    number_cell(r.b),  text_cell(r.nameA),
            text_cell(r.nameB),                number_cell(r.value), number_cell(r.e1), number_cell(r.e2),
            number_cell(r.n1),                 number_cell(r.n2),   number_cell(r.nBoth)};
        for (std::size_t k = 0; k < measures.size(); ++k)
            if (measures[k])
                for (const double x : measure_values(r.measures, k))
                    cells.push_back(number_cell(x));
        if (intervals) {
            const PairIntervals none{};
            const PairIntervals& ci = r.intervals ? *r.intervals : none;
            const double nan = std::nan("");
            cells.push_back(number_cell(r.intervals ? ci[0].low : nan));
            cells.push_back(number_cell(r.intervals ? ci[0].high : nan));
            cells.push_back(number_cell(static_cast<double>(ci[0].defined)));
            for (std::size_t k = 0; k < measures.size(); ++k)
                if (measures[k]) {
                    cells.push_back(number_cell(r.intervals ? ci[k + 1].low : nan));
                    cells.push_back(number_cell(r.intervals ? ci[k + 1].high : nan));
                }
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ResultsTable overlap_results(const Handles& handles) {
    std::vector<OverlapRow> rows = recorded_rows(handles);
    std::vector<std::string> notes = measure_rows(handles, rows);
    ResultsTable table = overlap_table(rows, kEveryMeasure);
    table.notes = std::move(notes);
    return table;
}

} // namespace tarvik
