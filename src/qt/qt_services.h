#pragma once

#include "qt/help_window.h"
#include "qt/qt_plot_host.h"
#include "qt/results_window.h"
#include "ui/services.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <map>
#include <optional>

class QDialog;
class QMessageBox;
class QProgressDialog;

namespace tarvik {

// The services with real Qt dialogs, the system printer, the plot windows, the Results
// window, the Help window, and long work on a thread of Qt's pool while the window answers.
class QtServices : public DialogService,
                   public ProgressService,
                   public BackgroundRunner,
                   public PrintService {
  public:
    QtServices();
    ~QtServices() override;

    Services services();
    QtPlotHost& plot_host() { return plots_; }
    QtResultsHost& results_host() { return results_; }
    QtHelp& help_host() { return help_; }

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

    // The work runs on a pool thread; this thread runs the events of the program meanwhile and calls
    // `poll` every 20 ms, and returns once the work has ended.
    void run_work(const Work& work, const std::function<void()>& poll) override;
    int threads() const override; // every core

    void print_window(const Figure& window) override;

  private:
    DialogRef show_box(QMessageBox* box, WindowStyle style);

    SystemClock clock_;
    QtPlotHost plots_;
    QtResultsHost results_;
    QtHelp help_;
    int next_ = 1;
    std::map<int, QPointer<QDialog>> dialogs_;
    struct Progress {
        QPointer<QProgressDialog> dialog;
        QElapsedTimer shown;          // since the dialog was last drawn
        std::optional<QString> label; // a new text not drawn yet
        bool cancelled = false;       // Cancel was pressed
    };
    static constexpr qint64 kProgressIntervalMs = 40;
    static constexpr int kPollIntervalMs = 20;
    std::map<int, Progress> progress_;
};

} // namespace tarvik
