#pragma once

#include "ui/recording_plot_host.h"
#include "ui/recording_results_host.h"
#include "ui/services.h"

#include <deque>
#include <string>
#include <vector>

namespace tarvik {

// One dialog as the program showed it.
struct DialogRecord {
    std::string kind; // "warning", "message", "question", "input", "open", "save"
    TextList text;
    std::string title;
    Icon icon = Icon::None;
    bool modal = false;
    bool waited = false;
    TextList buttons; // question: the two labels, then the default
    std::string answer;
};

struct ProgressEvent {
    std::string kind; // "create", "update", "close"
    int id = 0;
    double fraction = 0;
    std::optional<std::string> message;
};

// Dialogs and platform services for tests and unattended runs: every dialog is recorded and answered
// from a queue. An empty question queue answers with the default button; an empty file queue cancels.
class ScriptedServices : public DialogService,
                         public ProgressService,
                         public PrintService,
                         public HelpService,
                         public Clock {
  public:
    ScriptedServices();

    Services services();

    // Answers, consumed in order.
    std::deque<std::string> questionAnswers;
    // With an empty queue, answer with the first button (the one that goes on) instead of the default.
    bool answerFirstButton = false;
    std::deque<TextList> inputAnswers;
    std::deque<std::optional<FileChoice>> fileAnswers;

    // What the program did.
    std::vector<DialogRecord> dialogs;
    std::vector<ProgressEvent> progress;
    // Unattended runs keep no progress updates: a long step has one per data row or pair.
    bool recordUpdates = true;
    // The user presses Cancel once a progress dialog has had this many updates (none: never).
    std::optional<std::size_t> cancelAfterUpdates;
    std::vector<std::string> helpPages; // the pages the Help window was asked to show, in order
    int printed = 0;

    RecordingPlotHost plots;
    RecordingResultsHost results;
    // Long work runs on the calling thread, its progress shown at each of its checkpoints.
    SynchronousRunner background;

    std::tm fixedTime{};

    const DialogRecord& last() const;

    DialogRef warning(const TextList& text, const std::string& title, bool modal) override;
    DialogRef message(const TextList& text, const std::string& title, Icon icon, WindowStyle style) override;
    std::string question(const std::string& text, const std::string& title, const std::string& button1,
                         const std::string& button2, const std::string& defaultButton) override;
    TextList input(const TextList& prompts, const std::string& title, int linesPerField) override;
    std::optional<FileChoice> open_file(const std::string& filter, const std::string& title) override;
    std::optional<FileChoice> save_file(const std::string& filter, const std::string& title) override;
    void wait(DialogRef dialog) override;

    ProgressRef create(double fraction, const std::string& message) override;
    void update(ProgressRef ref, double fraction, const std::optional<std::string>& message) override;
    void close(ProgressRef ref) override;
    bool cancelled(ProgressRef ref) const override;

    void print_window(const Figure& window) override;
    void show(const std::string& page) override { helpPages.push_back(page); }
    std::tm now() const override { return fixedTime; }

  private:
    DialogRef record(DialogRecord r);
    std::optional<FileChoice> next_file(const std::string& kind, const std::string& filter,
                                        const std::string& title);
    int nextProgress_ = 1;
};

} // namespace tarvik
