#pragma once

#include "app/runtime.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

// The steps of the analysis as the window and the batch tool both run them: each step is a function of
// the runtime (the session: record and window) and a typed request, and returns whether it reached its
// end with the diagnostics it gave on the way. The window's handlers read their controls into a
// request and call the step; the batch tool builds the request from its options. In the window the
// diagnostics are shown as they happen (dialogs and log lines); the report carries the same texts so
// that the batch tool can print them.
namespace tarvik {

struct Diagnostic {
    enum class Kind {
        Warning, // a warning dialog, or a message with a warning or error icon
        Note     // a plain message: a failure's reason when the step stops, else nothing to print
    };
    Kind kind = Kind::Warning;
    std::string title;
    TextList lines;
    bool itemized = false; // each line is an item of its own (warnings reported together), not a paragraph
    friend bool operator==(const Diagnostic&, const Diagnostic&) = default;
};
using Diagnostics = std::vector<Diagnostic>;

struct StepReport {
    bool done = false;
    Diagnostics diagnostics;
};

// Runs `body` as one step: every warning and message shown through the runtime's dialog service while it
// runs is collected, and the warnings reported together (app/warnings.h) come as one diagnostic with all
// their lines instead of their summary dialog. `body` says whether the step reached its end; an
// exception leaves the step's diagnostics behind in the runtime's next report.
StepReport run_step(Runtime& rt, const std::function<bool()>& body);

// Tells the user why a step cannot go on: a message with the warning icon, waited for.
void refuse_step(Runtime& rt, const TextList& text, const std::string& title);

// A request as one line of text (its JSON), for logs and messages; requests are also stored and
// compared as JSON.
template <class Request> std::string request_text(const Request& r) { return nlohmann::json(r).dump(); }

} // namespace tarvik
