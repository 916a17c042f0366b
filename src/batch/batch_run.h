#pragma once

#include "batch/batch_options.h"
#include "core/handles.h"
#include "ui/services.h"

#include <iosfwd>

namespace tarvik {

// Runs the stages the options ask for on a headless main window and writes the outputs.
// Returns the exit status: 0 done, 1 a stage was refused or failed (its messages on `err`), 3 done
// with warnings under --strict. Every warning the window would show is printed on `err` as it comes,
// one line each, beginning "warning: ".
// Plots are written through `exporter`; without one, asking for a plot is a failure.
int run_batch(const BatchOptions& options, std::ostream& out, std::ostream& err, PlotExporter* exporter = nullptr);

// The normalized data table as tab-delimited text: the header line, then one line per row; numbers
// with 17 significant digits, other cells as read.
std::string normalized_table_text(const OrderedMap<std::vector<Cell>>& table);

} // namespace tarvik
