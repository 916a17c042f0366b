#include "app/runtime.h"

#include "app/step.h"

#include <stdexcept>

namespace tarvik {

namespace {

const char* const kPlotWaitingTitle = "Finish the plot first";
const char* const kPlotWaitingText =
    "A plot window is waiting for a key press. Press a key in the plot window or close it, then try again.";
const char* const kStepRunningTitle = "Finish the current step first";
const char* const kStepRunningText =
    "Another step is still running or waiting for your answer. Finish it first, then try again.";

} // namespace

DialogRef Runtime::NotingDialogs::warning(const TextList& text, const std::string& title, bool modal) {
    if (sink)
        sink->push_back({Diagnostic::Kind::Warning, title, text});
    return inner_->warning(text, title, modal);
}

DialogRef Runtime::NotingDialogs::message(const TextList& text, const std::string& title, Icon icon,
                                          WindowStyle style) {
    if (sink)
        sink->push_back({icon == Icon::Warn || icon == Icon::Error ? Diagnostic::Kind::Warning : Diagnostic::Kind::Note,
                         title, text});
    return inner_->message(text, title, icon, style);
}

void refuse_step(Runtime& rt, const TextList& text, const std::string& title) {
    rt.dialogs().wait(rt.dialogs().message(text, title, Icon::Warn, WindowStyle::NonModal));
}

StepReport run_step(Runtime& rt, const std::function<bool()>& body) {
    StepReport report;
    std::vector<Diagnostic>* outer = rt.diagnostics();
    rt.set_diagnostics(&report.diagnostics);
    try {
        report.done = body();
    } catch (...) {
        rt.set_diagnostics(outer);
        throw;
    }
    rt.set_diagnostics(outer);
    if (outer) // a step run by another one: its diagnostics are the outer step's too
        outer->insert(outer->end(), report.diagnostics.begin(), report.diagnostics.end());
    return report;
}

std::shared_ptr<Figure> Runtime::main_window() const { return main_ && main_->alive() ? main_ : nullptr; }

Figure& Runtime::figure() const {
    if (!main_ || !main_->alive())
        throw std::runtime_error("Invalid handle: the main window no longer exists.");
    return *main_;
}

void Runtime::set_main_window(std::shared_ptr<Figure> window) {
    main_ = std::move(window);
    // The running callback installed it: its record goes there from now on.
    if (!callbackWindows_.empty())
        callbackWindows_.back() = main_;
}

void Runtime::delete_main_window() {
    if (main_)
        main_->destroy();
}

Runtime::CallbackScope::CallbackScope(Runtime& rt) : rt_(rt) { rt_.callbackWindows_.push_back(rt_.main_); }

Runtime::CallbackScope::~CallbackScope() { rt_.callbackWindows_.pop_back(); }

void Runtime::wait_for_plot_key(int number) {
    if (!services_.plots)
        return;
    struct Waiting {
        int& waits;
        explicit Waiting(int& w) : waits(w) { ++waits; }
        ~Waiting() { --waits; }
    } waiting(plotKeyWaits_);
    services_.plots->wait_for_key(number);
}

void Runtime::store(const Handles& handles) const {
    auto w = main_window();
    if (!w || (!callbackWindows_.empty() && callbackWindows_.back().lock() != w))
        return;
    w->store(handles);
}

bool refused_while_another_runs(Runtime& rt) {
    if (rt.callbacks_running() <= 1)
        return false;
    tell_to_finish_first(rt);
    return true;
}

void tell_to_finish_first(Runtime& rt) {
    // Shown again on each click, it replaces the one shown before.
    if (rt.plot_waiting())
        rt.dialogs().message({kPlotWaitingText}, kPlotWaitingTitle, Icon::Warn, WindowStyle::Replace);
    else
        rt.dialogs().message({kStepRunningText}, kStepRunningTitle, Icon::Warn, WindowStyle::Replace);
}

} // namespace tarvik
