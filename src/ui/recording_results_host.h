#pragma once

#include "ui/results_table.h"
#include "ui/services.h"

#include <vector>

namespace tarvik {

// The Results window without a screen, for the tests and the batch tool: every table it was shown, in
// order.
class RecordingResultsHost : public ResultsHost {
  public:
    void show(const ResultsTable& table) override { shown.push_back(table); }

    std::vector<ResultsTable> shown;
};

} // namespace tarvik
