#include "batch/batch_run.h"

#include "app/entry.h"
#include "app/log.h"
#include "app/log_view.h"
#include "app/runtime.h"
#include "session/session_file.h"
#include "session/session_menu.h"
#include "geometry/fit_axes_menu.h"
#include "grouping/group_step.h"
#include "import/import_step.h"
#include "normalize/normalize_step.h"
#include "plot/plot_step.h"
#include "app/step.h"
#include "core/file_write.h"
#include "core/format.h"
#include "grouping/categories.h"
#include "overlap/driver.h"
#include "overlap/overlap_ops.h"
#include "overlap/measures_step.h"
#include "overlap/overlap_step.h"
#include "overlap/overlap_results.h"
#include "overlap/bootstrap_step.h"
#include "overlap/per_subject_step.h"
#include "ui/layout.h"
#include "ui/scripted_services.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <filesystem>
#include <ostream>

namespace tarvik {

namespace {

// A stage that did not reach its end: the messages the user would have seen, one per line.
struct StageFailure {
    std::vector<std::string> messages;
};

// The one-line form of a dialog on standard error: its title and its lines.
std::string dialog_line(const std::string& title, const TextList& lines) {
    std::string text;
    for (const auto& line : lines)
        text += (text.empty() ? "" : " ") + line;
    return title + ": " + text;
}

// Nobody watches the progress of the batch tool, so none of it is kept: a long run does not pile up
// its updates (the overlap makes one per grid column of every pair).
class UnwatchedProgress : public ProgressService {
  public:
    ProgressRef create(double, const std::string&) override { return {++opened_}; }
    void update(ProgressRef, double, const std::optional<std::string>&) override {}
    void close(ProgressRef) override {}

  private:
    int opened_ = 0;
};

class BatchSession {
  public:
    // `threads`: how many threads share the work that splits into items (the fits of the groups).
    BatchSession(std::ostream& err, int threads) : err_(err), runner_(threads), rt_(make_services()) {
        scripted_.answerFirstButton = true;
        scripted_.recordUpdates = false;
        zerivizi_export(rt_, {std::string("visible"), std::string("off")});
    }

    const Runtime& runtime() const { return rt_; }
    const Handles& record() { return *rt_.figure().retrieve(); }
    // How many warnings have been printed.
    int warnings() const { return warnings_; }

    // Runs a step. Its warnings are printed when it reaches its end; its warnings and messages are the
    // stage's failure when it does not.
    void step(const std::function<StepReport(Runtime&)>& run) { settle(run(rt_)); }

  private:
    Services make_services() {
        Services s = scripted_.services();
        s.clock = &clock_;
        s.progress = &progress_;
        s.background = &runner_;
        return s;
    }

    void settle(const StepReport& report) {
        if (report.done) {
            for (const auto& d : report.diagnostics)
                if (d.kind == Diagnostic::Kind::Warning)
                    for (const auto& line : d.itemized ? d.lines : TextList{dialog_line(d.title, d.lines)}) {
                        err_ << "warning: " << (d.itemized ? d.title + ": " + line : line) << "\n";
                        ++warnings_;
                    }
            return;
        }
        StageFailure failure;
        for (const auto& d : report.diagnostics)
            failure.messages.push_back(dialog_line(d.title, d.lines));
        if (failure.messages.empty())
            failure.messages.push_back("the step did not complete");
        throw failure;
    }

    std::ostream& err_;
    ScriptedServices scripted_;
    SystemClock clock_;
    UnwatchedProgress progress_;
    SynchronousRunner runner_;
    Runtime rt_;
    int warnings_ = 0;
};

std::string optional_text(const std::optional<double>& x) { return x ? report_number(*x) : std::string(); }

std::string entry_text(const std::optional<std::vector<double>>& v, std::size_t k) {
    return v && k < v->size() ? report_number((*v)[k]) : std::string();
}

std::string fit_table_text(const Handles& h) {
    std::string out = "index,name,tokens,avg_f2,avg_f1,avg_duration,theta,phi,A,B,C,avg2D_f2,avg2D_f1,theta2D,A2D,B2D\n";
    for (std::size_t i = 0; i < h.v.size(); ++i) {
        const VowelGroup& g = *h.v[i];
        const std::vector<std::string> cells = {
            std::to_string(i + 1),    csv_field(g.name),         std::to_string(g.data.rows),
            entry_text(g.avg, 0),     entry_text(g.avg, 1),     entry_text(g.avg, 2),
            optional_text(g.theta),   optional_text(g.phi),     optional_text(g.A),
            optional_text(g.B),       optional_text(g.C),       entry_text(g.avg2D, 0),
            entry_text(g.avg2D, 1),   optional_text(g.theta2D), optional_text(g.A2D),
            optional_text(g.B2D)};
        for (std::size_t c = 0; c < cells.size(); ++c)
            out += (c ? "," : "") + cells[c];
        out += "\n";
    }
    return out;
}

std::vector<std::pair<int, int>> requested_pairs(const BatchOptions& o, int groups) {
    if (o.pair)
        return {*o.pair};
    return all_pairs(groups);
}

// Calculates the 2D or 3D overlap of the requested pairs and reads their rows; a pair whose estimate
// fails is a row of NaN. Returns how many pairs failed.
int run_overlap(BatchSession& session, const BatchOptions& o, bool threeD, std::vector<OverlapRow>& rows) {
    const int groups = static_cast<int>(session.record().v.size());
    const auto pairs = requested_pairs(o, groups);
    const OverlapRequest request{threeD, o.pair,
                                 OverlapResolution{static_cast<double>(o.resolution[1]),
                                                   static_cast<double>(o.resolution[0]),
                                                   static_cast<double>(o.resolution[2])},
                                 o.threads};
    session.step([&](Runtime& rt) { return calculate_overlap(rt, request); });

    const Handles& h = session.record();
    int failed = 0;
    for (const auto& [i, j] : pairs) {
        rows.push_back(overlap_row(h, i, j, threeD));
        // A failed or missing estimate leaves its counts NaN; the cell's first count is the smaller group's.
        failed += std::isnan(i <= j ? rows.back().n1 : rows.back().n2) ? 1 : 0;
    }
    if (o.bootstrap > 0) {
        BootstrapRequest request{ordered_pairs(groups, o.pair), threeD, o.bootstrap, o.seed, o.confidence, o.resample};
        request.measures = std::find(o.measures.begin(), o.measures.end(), true) != o.measures.end();
        std::vector<PairIntervals> intervals;
        session.step([&](Runtime& rt) { return bootstrap_pairs(rt, request, &intervals); });
        for (std::size_t k = 0; k < intervals.size(); ++k)
            rows[rows.size() - intervals.size() + k].intervals = intervals[k];
    }
    if (std::find(o.measures.begin(), o.measures.end(), true) != o.measures.end()) {
        std::vector<PairMeasures> measures;
        session.step([&](Runtime& rt) { return measure_pairs(rt, {threeD, pairs}, &measures); });
        for (std::size_t k = 0; k < measures.size(); ++k)
            rows[rows.size() - measures.size() + k].measures = measures[k];
    }
    return failed;
}

// Draws one plot and writes its picture.
void run_plot(BatchSession& session, const BatchOptions::Plot& plot, PlotExporter* exporter) {
    if (!exporter)
        throw StageFailure{{"This build of the batch tool cannot write plots (it was built without Qt)."}};
    std::optional<PlotDescription> shown;
    session.step([&](Runtime& rt) { return draw_plot(rt, {plot.kind, plot.dimension == "3d", plot.groups}, &shown); });
    const std::string error = exporter->save(*shown, plot.outFile);
    if (!error.empty())
        throw StageFailure{{"Cannot write the plot " + plot.outFile + ": " + error}};
}

// Outputs are written like the program's own files: a failed write leaves an earlier file whole. "-" is
// standard output.
void write_output(const std::string& path, const std::string& text, std::ostream& out) {
    if (path == "-") {
        out << text;
        return;
    }
    try {
        write_file_replacing(path, text);
    } catch (const FileWriteError& e) {
        throw StageFailure{{"tarvik3d-batch: cannot write " + path + ": " + e.reason()}};
    }
}

std::string cell_text(const Cell& cell) {
    if (const double* d = std::get_if<double>(&cell))
        return report_number(*d);
    if (const std::string* s = std::get_if<std::string>(&cell))
        return *s;
    return {};
}

} // namespace

std::string normalized_table_text(const OrderedMap<std::vector<Cell>>& table) {
    std::string out;
    std::size_t rows = 0;
    bool first = true;
    for (const auto& [name, cells] : table) {
        out += (first ? "" : "\t") + name;
        first = false;
        rows = std::max(rows, cells.size());
    }
    out += "\n";
    for (std::size_t r = 0; r < rows; ++r) {
        first = true;
        for (const auto& [name, cells] : table) {
            if (!first)
                out += "\t";
            first = false;
            if (r < cells.size())
                out += cell_text(cells[r]);
        }
        out += "\n";
    }
    return out;
}

int run_batch(const BatchOptions& o, std::ostream& out, std::ostream& err, PlotExporter* exporter) {
    BatchSession session(err, o.threads);
    int status = 0;
    bool stageFailed = false; // then no output but the log is written
    std::string step = "start"; // the stage under way, as a failure names it
    std::vector<OverlapRow> overlapRows;
    std::optional<ResultsTable> perSubjectTable; // with --per-subject, what the CSV and JSON hold
    try {
        if (!o.sessionFile.empty()) {
            if (!o.dataFile.empty() || o.subject || o.normalizeF1 || o.normalizeF2 || !o.groups.empty())
                throw StageFailure{{"A session (--session) already holds its data, roles, normalization and "
                                    "groups: leave out --data, the roles, --normalize-* and --group."}};
            step = "open the session " + o.sessionFile;
            session.step([&](Runtime& rt) { return open_session(rt, {o.sessionFile}); });
        }
        // A fitted session is fitted again.
        if (o.orientation)
            session.step([&](Runtime& rt) { return set_fit_orientation(rt, *o.orientation); });
        if (!o.dataFile.empty()) {
            step = "load the data file " + o.dataFile;
            session.step([&](Runtime& rt) { return load_data(rt, {o.dataFile}); });
        }

        const bool mapping = o.subject || o.vowel || o.f1 || o.f2 || o.duration || o.phraseDuration;
        if (mapping) {
            if (o.dataFile.empty())
                throw StageFailure{{"Mapping the columns needs a data file (--data FILE)."}};
            if (!(o.subject && o.vowel && o.f1 && o.f2 && o.duration && o.phraseDuration))
                throw StageFailure{{"Mapping the columns needs all six roles: --subject, --vowel, --f1, --f2, "
                                    "--duration and --phrase-duration."}};
            step = "map the columns";
            const auto optional = [](const std::string& column) { return column == "none" ? std::string() : column; };
            const ColumnRoles roles{*o.subject, *o.vowel, *o.f1, *o.f2, optional(*o.duration),
                                    optional(*o.phraseDuration)};
            session.step([&](Runtime& rt) { return map_columns(rt, roles); });
        }

        if (o.normalizeF1 || o.normalizeF2 || o.normalizeDuration) {
            if (!mapping)
                throw StageFailure{{"Normalization needs the column roles (--subject, --vowel, --f1, --f2, "
                                    "--duration, --phrase-duration)."}};
            step = "normalize the data";
            if ((o.normalizeF1 == SpectralMethod::WattFabricius || o.normalizeF2 == SpectralMethod::WattFabricius) &&
                !o.corners)
                throw StageFailure{{"Watt-Fabricius normalization needs the corner vowels: --corners I,A (the high "
                                    "front and the low vowel, e.g. --corners i,a)."}};
            const NormalizationRequest request{o.normalizeF1, o.normalizeF2, o.normalizeDuration,
                                               o.extremesF1,  o.extremesF2,  o.corners};
            session.step([&](Runtime& rt) { return normalize_data(rt, request); });
        }

        if (!o.groups.empty()) {
            if (session.record().currStep != 3)
                throw StageFailure{{"Vowel groups need normalized data (--normalize-f1, --normalize-f2)."}};
            step = "define and fit the groups";
            GroupsRequest request;
            for (const auto& g : o.groups) {
                GroupDefinition& d = request.groups.emplace_back(GroupDefinition{g.name, {}});
                for (const auto& c : g.constraints)
                    d.constraints.push_back({c.category, c.types});
            }
            session.step([&](Runtime& rt) { return define_groups(rt, request); });
            session.step([&](Runtime& rt) { return fit_groups(rt); });
        }

        if (!o.overlap.empty()) {
            if (session.record().currStep != 4)
                throw StageFailure{{"The overlap needs vowel groups (--group)."}};
            step = "calculate the overlaps";
            if (o.perSubject) {
                const PerSubjectStepRequest request{
                    o.overlap != "3d", o.overlap != "2d", o.pair,
                    OverlapResolution{static_cast<double>(o.resolution[1]), static_cast<double>(o.resolution[0]),
                                      static_cast<double>(o.resolution[2])},
                    o.measures, o.bootstrap, o.seed, o.confidence};
                perSubjectTable.emplace();
                session.step([&](Runtime& rt) { return calculate_per_subject(rt, request, &*perSubjectTable); });
            }
            for (const bool threeD : {false, true}) {
                if (o.perSubject)
                    break;
                if (o.overlap == (threeD ? "2d" : "3d"))
                    continue;
                if (const int failed = run_overlap(session, o, threeD, overlapRows); failed > 0) {
                    err << "tarvik3d-batch: the " << (threeD ? "3D" : "2D") << " overlap of " << failed
                        << " pair" << (failed == 1 ? "" : "s") << " could not be calculated; "
                        << (failed == 1 ? "its row holds" : "their rows hold") << " NaN.\n";
                    status = 1;
                }
            }
        }

    } catch (const StageFailure& failure) {
        for (const auto& m : failure.messages)
            err << m << "\n";
        status = 1, stageFailed = true;
    } catch (const std::bad_alloc&) {
        err << "tarvik3d-batch: there was not enough memory to " << step << ".\n";
        status = 1, stageFailed = true;
    } catch (const std::exception& e) {
        err << "tarvik3d-batch: could not " << step << ": " << e.what() << "\n";
        status = 1, stageFailed = true;
    }

    // Each output stands on its own: one that cannot be written is reported and the others are still
    // written. After a failed stage only the log is, since the rest would hold nothing of this run.
    const auto attempt = [&](const char* what, const std::function<void()>& write) {
        try {
            write();
        } catch (const StageFailure& failure) {
            for (const auto& m : failure.messages)
                err << m << "\n";
            status = 1;
        } catch (const std::bad_alloc&) {
            err << "tarvik3d-batch: there was not enough memory to write " << what << ".\n";
            status = 1;
        }
    };
    const auto output = [&](bool wanted, const std::function<void()>& write) {
        if (wanted && !stageFailed)
            attempt("an output", write);
    };
    for (const auto& plot : o.plots)
        output(true, [&] { run_plot(session, plot, exporter); });
    output(!o.stripPlotFile.empty() && perSubjectTable.has_value(), [&] {
        if (!exporter)
            throw StageFailure{{"This build of the batch tool cannot write plots (it was built without Qt)."}};
        const auto plot = strip_plot(*perSubjectTable, o.overlap == "3d");
        if (!plot)
            throw StageFailure{{"There are no values within subjects to plot."}};
        if (const std::string error = exporter->save(*plot, o.stripPlotFile); !error.empty())
            throw StageFailure{{"Cannot write the plot " + o.stripPlotFile + ": " + error}};
    });
    output(!o.saveSessionFile.empty(), [&] {
        if (o.saveSessionFile == "-")
            out << session_text(session.runtime());
        else
            session.step([&](Runtime& rt) { return save_session(rt, {o.saveSessionFile}); });
    });
    output(!o.exportNormalized.empty(), [&] {
        if (session.record().currStep < 3)
            throw StageFailure{{"There is no normalized data table to export: normalize first (--normalize-f1, "
                                "--normalize-f2)."}};
        write_output(o.exportNormalized, normalized_table_text(session.record().dataNormalizedColumn), out);
    });
    output(!o.fitFile.empty(), [&] {
        if (session.record().currStep < 4)
            throw StageFailure{{"There are no fitted groups to write: define groups first (--group)."}};
        write_output(o.fitFile, fit_table_text(session.record()), out);
    });
    for (const auto& [file, text] : {std::make_pair(o.csvFile, &csv_text), std::make_pair(o.jsonFile, &json_text)})
        output(!file.empty(), [&] {
            if (o.overlap.empty())
                throw StageFailure{{"There are no overlaps to write: choose --overlap 2d, 3d or both."}};
            if (perSubjectTable)
                write_output(file, text == &json_text ? per_subject_json_text(*perSubjectTable)
                                                      : csv_text(*perSubjectTable),
                             out);
            else
                write_output(file, text(overlap_table(overlapRows, o.measures, o.bootstrap > 0)), out);
        });

    attempt("the log", [&] {
        write_output(o.logFile.empty() ? "-" : o.logFile, log_file_text(log_lines(session.runtime())),
                     out);
    });
    return status == 0 && o.strict && session.warnings() > 0 ? 3 : status;
}

} // namespace tarvik
