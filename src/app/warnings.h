#pragma once

#include "app/runtime.h"

#include <string>
#include <utility>

namespace tarvik {

// Warnings of one kind (one title) that a check over many subjects, vowel targets, groups or columns
// finds, reported together: one modal dialog titled with the kind that gives the count, the first ten
// lines and how many more there are, and every line in the activity log. A single warning shows just
// its line.
class Warnings {
  public:
    explicit Warnings(std::string title) : title_(std::move(title)) {}

    void add(std::string line) { lines_.push_back(std::move(line)); }

    // Shows the dialog (not waited for), appends the lines to the log and stores the record; tells
    // the running step's diagnostics every line. Nothing happens without a line.
    Handles report(Runtime& rt, Handles handles) const;

  private:
    std::string title_;
    TextList lines_;
};

} // namespace tarvik
