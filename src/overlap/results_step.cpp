#include "overlap/results_step.h"

#include "app/guarded.h"
#include "core/file_write.h"
#include "core/format.h"
#include "overlap/overlap_results.h"
#include "ui/layout.h"

namespace tarvik {

namespace {

const char* const kNoResultsTitle = "No results";
const char* const kNoResults =
    "There are no overlap results yet: calculate the overlap of a pair, or of every pair, first.";
const char* const kExportFilter = "*.csv";
const char* const kExportTitle = "Export the results as CSV";
const char* const kExtension = ".csv";
const char* const kCannotWriteTitle = "Export CSV";
const char* const kCannotWrite = "Could not write the results to \"%s\": %s";

} // namespace

void show_overlap_results(Runtime& rt) {
    ResultsHost* host = rt.services().results;
    if (!host)
        return;
    const auto& stored = rt.figure().retrieve();
    const ResultsTable table = overlap_results(stored ? *stored : Handles{});
    if (table.rows.empty()) {
        rt.dialogs().message({kNoResults}, kNoResultsTitle, Icon::None, WindowStyle::Modal);
        return;
    }
    host->show(table);
}

void update_results_button(Figure& window, const Handles& handles) {
    window.set_enable(kShowResultsTag, handles.overlap.empty() ? Enable::Off : Enable::On);
}

void export_results_csv(Runtime& rt, const ResultsTable& table) {
    guarded(rt, ReportForm::B, "export_results_csv", [&] {
        std::optional<FileChoice> choice = rt.dialogs().save_file(kExportFilter, kExportTitle);
        if (!choice)
            return;
        if (!to_lower(choice->name).ends_with(kExtension))
            choice->name += kExtension;
        const std::string path = choice->path();
        try {
            write_file_replacing(path, csv_text(table));
        } catch (const FileWriteError& e) {
            rt.dialogs().warning({fill(kCannotWrite, {path, e.reason()})}, kCannotWriteTitle, true);
        }
    });
}

void button_show_results_Callback(Runtime& rt, const ControlRef&, Handles) {
    guarded(rt, ReportForm::B, "button_show_results_Callback", [&] { show_overlap_results(rt); });
}

void register_results_handlers(HandlerTable& table) {
    table.emplace("button_show_results_Callback", button_show_results_Callback);
}

} // namespace tarvik
