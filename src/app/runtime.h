#pragma once

#include "ui/figure.h"
#include "ui/services.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tarvik {

// The program's side of the graphics runtime: the services it calls and the one main window
// (the singleton reference of the entry). Plot windows are owned by the plot host, not here.
class Runtime {
  public:
    explicit Runtime(Services services) : services_(services) {}

    const Services& services() const { return services_; }
    DialogService& dialogs() const { return *services_.dialogs; }

    // The main window while it is live, or null.
    std::shared_ptr<Figure> main_window() const;
    // The live main window; throws when there is none.
    Figure& figure() const;

    void set_main_window(std::shared_ptr<Figure> window);
    // Deletes the main window: it is no longer live and its view closes.
    void delete_main_window();

    // Called for every main window the entry creates, before it is first shown (the Qt view hooks in here).
    std::function<void(const std::shared_ptr<Figure>&)> onWindowCreated;

    // Called for every set of warnings reported together (app/warnings.h) with all its lines and the
    // dialog that showed them; the batch tool prints them. Empty in the program.
    std::function<void(const std::string& title, const TextList& lines, DialogRef shown)> onWarnings;

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
    Services services_;
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
