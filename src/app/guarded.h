#pragma once

#include "app/runtime.h"

#include <functional>
#include <string>
#include <string_view>

namespace tarvik {

// The two fixed forms of an operation's failure report.
enum class ReportForm {
    A, // "Let Quillon know about this error: ..." titled "Function "<name>""
    B, // "Function Error: ..." titled "Let Quillon know: "<name>""
};

struct GuardOptions {
    bool wait = true;           // wait until the warning has been closed
    std::string_view text = {};  // a text pattern of the operation's own ("%s" is the error), else the form's
    std::string_view title = {}; // a title of the operation's own, else the form's
};

// Shows the failure report of operation `op` for the error text `message`.
void report_failure(const Runtime& rt, ReportForm form, std::string_view op, const std::string& message,
                    GuardOptions options = {});

// Runs `body`; on any failure the rest of it is skipped and the report is shown. Returns true when the
// body ran to its end. State the body changed before the failure stays changed, as the callers expect.
bool guarded(const Runtime& rt, ReportForm form, std::string_view op, const std::function<void()>& body,
             GuardOptions options = {});

} // namespace tarvik
