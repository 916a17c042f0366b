#pragma once

#include "ui/figure.h"
#include "ui/services.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tarvik {

struct Diagnostic; // app/step.h

// The program's side of the graphics runtime: the services it calls and the one main window
// (the singleton reference of the entry). Plot windows are owned by the plot host, not here.
class Runtime {
  public:
    explicit Runtime(Services services) : services_(services), dialogs_(services.dialogs) {}

    const Services& services() const { return services_; }
    // The dialog service; while a step runs (app/step.h) it also notes each warning and message shown.
    DialogService& dialogs() const { return dialogs_; }

    // Where the running step collects its diagnostics (null: no step runs); set by run_step.
    std::vector<Diagnostic>* diagnostics() const { return dialogs_.sink; }
    void set_diagnostics(std::vector<Diagnostic>* sink) { dialogs_.sink = sink; }

    // The main window while it is live, or null.
    std::shared_ptr<Figure> main_window() const;
    // The live main window; throws when there is none.
    Figure& figure() const;

    void set_main_window(std::shared_ptr<Figure> window);
    // Deletes the main window: it is no longer live and its view closes.
    void delete_main_window();

    // Called for every main window the entry creates, before it is first shown (the Qt view hooks in here).
    std::function<void(const std::shared_ptr<Figure>&)> onWindowCreated;

    // Marks a callback as running from its start to its end (nested ones run while a handler waits for a
    // dialog, a plot's key or its progress dialog). The record it holds belongs to the main window it
    // started with, or to the one it installs itself (set_main_window): store() puts it nowhere else.
    class CallbackScope {
      public:
        explicit CallbackScope(Runtime& rt);
        ~CallbackScope();
        CallbackScope(const CallbackScope&) = delete;
        CallbackScope& operator=(const CallbackScope&) = delete;

      private:
        Runtime& rt_;
    };
    int callbacks_running() const { return static_cast<int>(callbackWindows_.size()); }

    // Returns once a key has been pressed in plot window `number`; plot_waiting() is true meanwhile.
    void wait_for_plot_key(int number);
    bool plot_waiting() const { return plotKeyWaits_ > 0; }

    // Keeps the record with the main window: nothing when the window is gone, nor when the running
    // callback started with another window (it waited while another callback opened a session, and
    // holds the record of the session that was closed).
    void store(const Handles& handles) const;

  private:
    // Passes every call on to the service and notes warnings and messages in `sink` when there is one.
    class NotingDialogs : public DialogService {
      public:
        explicit NotingDialogs(DialogService* inner) : inner_(inner) {}
        DialogRef warning(const TextList& text, const std::string& title, bool modal) override;
        DialogRef message(const TextList& text, const std::string& title, Icon icon, WindowStyle style) override;
        std::string question(const std::string& text, const std::string& title, const std::string& button1,
                             const std::string& button2, const std::string& defaultButton) override {
            return inner_->question(text, title, button1, button2, defaultButton);
        }
        TextList input(const TextList& prompts, const std::string& title, int linesPerField) override {
            return inner_->input(prompts, title, linesPerField);
        }
        std::optional<FileChoice> open_file(const std::string& filter, const std::string& title) override {
            return inner_->open_file(filter, title);
        }
        std::optional<FileChoice> save_file(const std::string& filter, const std::string& title) override {
            return inner_->save_file(filter, title);
        }
        void wait(DialogRef dialog) override { inner_->wait(dialog); }

        std::vector<Diagnostic>* sink = nullptr;

      private:
        DialogService* inner_;
    };

    Services services_;
    mutable NotingDialogs dialogs_;
    std::shared_ptr<Figure> main_;
    // The main window of each running callback, the innermost last.
    std::vector<std::weak_ptr<Figure>> callbackWindows_;
    int plotKeyWaits_ = 0;
};

// True, once the user has been told to finish first, when another callback is paused beneath the running
// one (a plot waiting for its key, a message waited for, a computation showing its progress). A handler
// that replaces the session or its data table returns at once then: the paused one goes on afterwards
// with the record and the window it holds.
bool refused_while_another_runs(Runtime& rt);

// Tells the user what to finish before the click can do anything.
void tell_to_finish_first(Runtime& rt);

} // namespace tarvik
