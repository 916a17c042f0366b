#include "app/warnings.h"

#include "app/log.h"
#include "app/step.h"
#include "core/format.h"

#include <algorithm>
#include <cstddef>

namespace tarvik {

namespace {

const char* const kCountLine = "%s warnings:";
const char* const kMoreLine = "... and %s more; the log lists every one.";
const char* const kLogHeading = "Warning: %s";

// How many lines a dialog lists before it refers to the log for the rest.
constexpr std::size_t kWarningsListed = 10;

// The dialog's text: a single line as it is; else the count, the first lines and how many more there are.
TextList warnings_dialog_text(const TextList& lines) {
    if (lines.size() == 1)
        return lines;
    TextList text{fill(kCountLine, {format_count(lines.size())})};
    const std::size_t listed = std::min(lines.size(), kWarningsListed);
    text.insert(text.end(), lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(listed));
    if (lines.size() > listed)
        text.push_back(fill(kMoreLine, {format_count(lines.size() - listed)}));
    return text;
}

} // namespace

Handles Warnings::report(Runtime& rt, Handles handles) const {
    if (lines_.empty())
        return handles;
    // The step's diagnostics get every line, not the summary the dialog shows.
    if (auto* sink = rt.diagnostics())
        sink->push_back({Diagnostic::Kind::Warning, title_, lines_, true});
    rt.services().dialogs->warning(warnings_dialog_text(lines_), title_, true);
    TextList entry{fill(kLogHeading, {title_})};
    entry.insert(entry.end(), lines_.begin(), lines_.end());
    handles = update_log(rt, std::move(handles), entry);
    return handles;
}

} // namespace tarvik
