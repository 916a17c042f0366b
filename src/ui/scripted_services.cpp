#include "ui/scripted_services.h"

#include <algorithm>

#include <stdexcept>

namespace tarvik {

ScriptedServices::ScriptedServices() {
    // 05-Dec-2026 11:54:46
    fixedTime.tm_year = 2026 - 1900;
    fixedTime.tm_mon = 11;
    fixedTime.tm_mday = 5;
    fixedTime.tm_hour = 11;
    fixedTime.tm_min = 54;
    fixedTime.tm_sec = 46;
}

Services ScriptedServices::services() {
    Services s;
    s.dialogs = this;
    s.progress = this;
    s.printer = this;
    s.help = this;
    s.clock = this;
    s.plots = &plots;
    s.results = &results;
    s.background = &background;
    return s;
}

const DialogRecord& ScriptedServices::last() const {
    if (dialogs.empty())
        throw std::logic_error("no dialog was shown");
    return dialogs.back();
}

DialogRef ScriptedServices::record(DialogRecord r) {
    dialogs.push_back(std::move(r));
    return DialogRef{static_cast<int>(dialogs.size())};
}

DialogRef ScriptedServices::warning(const TextList& text, const std::string& title, bool modal) {
    return record({"warning", text, title, Icon::Warn, modal, false, {}, {}});
}

DialogRef ScriptedServices::message(const TextList& text, const std::string& title, Icon icon,
                                    WindowStyle style) {
    return record({"message", text, title, icon, style == WindowStyle::Modal, false, {}, {}});
}

std::string ScriptedServices::question(const std::string& text, const std::string& title,
                                       const std::string& button1, const std::string& button2,
                                       const std::string& defaultButton) {
    std::string answer = answerFirstButton ? button1 : defaultButton;
    if (!questionAnswers.empty()) {
        answer = questionAnswers.front();
        questionAnswers.pop_front();
    }
    record({"question", {text}, title, Icon::None, true, true, {button1, button2, defaultButton}, answer});
    return answer;
}

TextList ScriptedServices::input(const TextList& prompts, const std::string& title, int) {
    TextList answer;
    if (!inputAnswers.empty()) {
        answer = inputAnswers.front();
        inputAnswers.pop_front();
    }
    record({"input", prompts, title, Icon::None, true, true, {}, answer.empty() ? "" : answer.front()});
    return answer;
}

std::optional<FileChoice> ScriptedServices::next_file(const std::string& kind, const std::string& filter,
                                                      const std::string& title) {
    std::optional<FileChoice> answer;
    if (!fileAnswers.empty()) {
        answer = fileAnswers.front();
        fileAnswers.pop_front();
    }
    record({kind, {filter}, title, Icon::None, true, true, {}, answer ? answer->path() : ""});
    return answer;
}

std::optional<FileChoice> ScriptedServices::open_file(const std::string& filter, const std::string& title) {
    return next_file("open", filter, title);
}

std::optional<FileChoice> ScriptedServices::save_file(const std::string& filter, const std::string& title) {
    return next_file("save", filter, title);
}

void ScriptedServices::wait(DialogRef dialog) {
    if (dialog.id >= 1 && dialog.id <= static_cast<int>(dialogs.size()))
        dialogs[static_cast<std::size_t>(dialog.id - 1)].waited = true;
}

ProgressRef ScriptedServices::create(double fraction, const std::string& message) {
    const int id = nextProgress_++;
    progress.push_back({"create", id, fraction, message});
    return ProgressRef{id};
}

void ScriptedServices::update(ProgressRef ref, double fraction, const std::optional<std::string>& message) {
    if (!recordUpdates)
        return;
    progress.push_back({"update", ref.id, fraction, message});
}

void ScriptedServices::close(ProgressRef ref) { progress.push_back({"close", ref.id, 0, std::nullopt}); }

bool ScriptedServices::cancelled(ProgressRef ref) const {
    if (!cancelAfterUpdates)
        return false;
    const auto updates = std::count_if(progress.begin(), progress.end(), [&](const ProgressEvent& e) {
        return e.id == ref.id && e.kind == "update";
    });
    return static_cast<std::size_t>(updates) >= *cancelAfterUpdates;
}

void ScriptedServices::print_window(const Figure&) { ++printed; }

} // namespace tarvik
