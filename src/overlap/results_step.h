#pragma once

#include "app/handlers.h"
#include "ui/results_table.h"

// The Results window of step 4: the overlap results of the record with the measures of each pair
// (overlap/overlap_results.h), shown through the services' results host after "Calculate all" and
// again by step 4's "Show results table".
namespace tarvik {

class Figure;

// Shows the record's results in the Results window; without any, says so in a message instead.
void show_overlap_results(Runtime& rt);

// Enables "Show results table" while the record's overlap table has a cell, and disables it otherwise.
void update_results_button(Figure& window, const Handles& handles);

// The Results window's "Export CSV...": asks for a file name (".csv" is added unless the name ends in
// it) and writes the table there through the safe file writer; a file that cannot be written is named
// in a warning with its reason. Cancelling writes nothing.
void export_results_csv(Runtime& rt, const ResultsTable& table);

void button_show_results_Callback(Runtime& rt, const ControlRef& object, Handles handles);

void register_results_handlers(HandlerTable& table);

} // namespace tarvik
