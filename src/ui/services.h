#pragma once

#include "core/handles.h"
#include "ui/plot_description.h"

#include <ctime>
#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace tarvik {

class Figure;
struct ResultsTable; // ui/results_table.h

enum class Icon { None, Warn, Help, Error };
enum class WindowStyle { NonModal, Modal, Replace };

// A dialog that may still be open; wait() returns when it is gone.
struct DialogRef {
    int id = 0;
};

struct FileChoice {
    std::string name;
    std::string folder;
    std::string path() const;
};

// The standard dialogs. Implementations: real Qt dialogs, the scripted dialogs of the tests, and the
// batch tool's answers.
class DialogService {
  public:
    virtual ~DialogService() = default;
    virtual DialogRef warning(const TextList& text, const std::string& title, bool modal) = 0;
    virtual DialogRef message(const TextList& text, const std::string& title, Icon icon, WindowStyle style) = 0;
    // Returns the label of the chosen button, or "" when the dialog was closed without a choice.
    virtual std::string question(const std::string& text, const std::string& title, const std::string& button1,
                                 const std::string& button2, const std::string& defaultButton) = 0;
    // Returns the texts entered, or an empty list when cancelled.
    virtual TextList input(const TextList& prompts, const std::string& title, int linesPerField) = 0;
    // Returns nothing when cancelled.
    virtual std::optional<FileChoice> open_file(const std::string& filter, const std::string& title) = 0;
    virtual std::optional<FileChoice> save_file(const std::string& filter, const std::string& title) = 0;
    virtual void wait(DialogRef dialog) = 0;
};

struct ProgressRef {
    int id = 0;
};

class ProgressService {
  public:
    virtual ~ProgressService() = default;
    virtual ProgressRef create(double fraction, const std::string& message) = 0;
    virtual void update(ProgressRef ref, double fraction, const std::optional<std::string>& message) = 0;
    virtual void close(ProgressRef ref) = 0;
    // True once the user has asked to stop the work the dialog shows (its Cancel button).
    virtual bool cancelled(ProgressRef) const { return false; }
};

class PrintService {
  public:
    virtual ~PrintService() = default;
    virtual void print_window(const Figure& window) = 0;
};

// The numbered plot windows. Implementations: Qt windows with Qt Charts and Qt Data Visualization, and
// the recording host of the tests and the batch tool.
class PlotHost {
  public:
    virtual ~PlotHost() = default;
    // Opens plot window `number` with this name, or brings it forward when it is open.
    virtual void open(int number, const std::string& name) = 0;
    // Shows the description in its window, replacing what the window showed.
    virtual void show(const PlotDescription& plot) = 0;
    // Returns once a key has been pressed in the window (at once when nobody can press one).
    virtual void wait_for_key(int number) = 0;
    virtual void close(int number) = 0;
    // Switches the window into interactive editing: zoom and pan or rotate, editing of its texts.
    virtual void set_editing(int number) = 0;
};

// The Results window: the overlap results as a table the user sorts, copies and exports. Implementations:
// a Qt window with a table view, and the recording host of the tests and the batch tool.
class ResultsHost {
  public:
    virtual ~ResultsHost() = default;
    // Shows the table in the Results window, opening it or bringing it forward, replacing what it showed.
    virtual void show(const ResultsTable& table) = 0;
};

// The Help window: the program's own pages (help/), shown by F1 and the "?" buttons. Implementations: a
// Qt window that shows the pages, and the scripted services, which record each page asked for.
class HelpService {
  public:
    virtual ~HelpService() = default;
    // Shows `page` (a file name of the help folder, such as "help_types.html") in the Help window,
    // opening it or bringing it forward.
    virtual void show(const std::string& page) = 0;
};

// Writes a plot to a picture file. Returns an empty text on success, else the reason it failed.
class PlotExporter {
  public:
    virtual ~PlotExporter() = default;
    virtual std::string save(const PlotDescription& plot, const std::string& path) = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::tm now() const = 0;
};

// The local time of the machine.
class SystemClock : public Clock {
  public:
    std::tm now() const override;
};

// Long work kept off the window's thread, so that the window answers (is drawn, moved, its progress
// dialog's Cancel pressed) while it runs. The work must not touch the window, the record or a service: it
// reads and writes its own data, and calls `checkpoint` whenever it has news for `poll`. `poll` runs on
// the calling thread and is where the news are shown and a Cancel is passed on to the work.
class BackgroundRunner {
  public:
    using Checkpoint = std::function<void()>;
    using Work = std::function<void(const Checkpoint& checkpoint)>;

    virtual ~BackgroundRunner() = default;
    // Runs `work` to its end and returns then, passing on what it (or else `poll`) threw.
    virtual void run_work(const Work& work, const std::function<void()>& poll) = 0;
    // How many threads work that splits into independent items (the overlap's pairs) uses when its
    // request leaves that open. Only the thread `work` is called on calls `checkpoint`.
    virtual int threads() const = 0;
};

// Calls `poll` until it first throws; the failure is kept for the runner to pass on once the work ends.
class PollUntilFailure {
  public:
    explicit PollUntilFailure(const std::function<void()>& poll) : poll_(poll) {}
    void operator()();
    void rethrow() const;

  private:
    const std::function<void()>& poll_;
    std::exception_ptr failure_;
};

// The work on the calling thread, `poll` at each of its checkpoints: the tests and the batch tool, where
// nobody waits on a window, see the same progress at the same points of the work each time. What `poll`
// throws is passed on once the work has ended, as the Qt program does; no poll follows it.
class SynchronousRunner : public BackgroundRunner {
  public:
    // The threads it offers to work that splits into items: the calling thread alone unless told (the
    // batch tool offers its --threads); a request may ask for more.
    explicit SynchronousRunner(int threads = 1) : threads_(threads) {}
    void run_work(const Work& work, const std::function<void()>& poll) override;
    int threads() const override { return threads_; }

  private:
    int threads_;
};

// Everything outside the program that its operations call. Non-owning.
struct Services {
    DialogService* dialogs = nullptr;
    ProgressService* progress = nullptr;
    PrintService* printer = nullptr;
    const Clock* clock = nullptr;
    PlotHost* plots = nullptr;
    ResultsHost* results = nullptr; // null: no Results window is shown
    HelpService* help = nullptr;    // null: help is not shown
    BackgroundRunner* background = nullptr; // null: the work runs as SynchronousRunner runs it
};

} // namespace tarvik
