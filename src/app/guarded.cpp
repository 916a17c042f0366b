#include "app/guarded.h"

#include "core/format.h"

#include <exception>
#include <new>

namespace tarvik {

namespace {

constexpr std::string_view kFormAText = "Let Quillon know about this error:\n\n %s";
constexpr std::string_view kFormATitle = "Function \"%s\"";
constexpr std::string_view kFormBText = "Function Error:\n\n %s";
constexpr std::string_view kFormBTitle = "Let Quillon know: \"%s\"";
const char* const kNoMemory =
    "There was not enough memory to finish this step. Close other programs, or try a coarser grid or "
    "fewer tokens or groups.";

} // namespace

void report_failure(const Runtime& rt, ReportForm form, std::string_view op, const std::string& message,
                    GuardOptions options) {
    const bool a = form == ReportForm::A;
    const std::string text = fill(options.text.empty() ? (a ? kFormAText : kFormBText) : options.text, {message});
    const std::string title =
        options.title.empty() ? fill(a ? kFormATitle : kFormBTitle, {std::string(op)}) : std::string(options.title);
    const DialogRef dialog = rt.dialogs().warning({text}, title, true);
    if (options.wait)
        rt.dialogs().wait(dialog);
}

bool guarded(const Runtime& rt, ReportForm form, std::string_view op, const std::function<void()>& body,
             GuardOptions options) {
    std::string message;
    try {
        body();
        return true;
    } catch (const std::bad_alloc&) {
        message = kNoMemory;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error.";
    }
    report_failure(rt, form, op, message, options);
    return false;
}

} // namespace tarvik
