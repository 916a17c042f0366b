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

    // How many callbacks are running (nested ones run while a handler waits for a dialog).
    int callbacksRunning = 0;

    // Keeps the record with the main window (nothing when the window is gone).
    void store(const Handles& handles) const;

  private:
    Services services_;
    std::shared_ptr<Figure> main_;
};

} // namespace tarvik
