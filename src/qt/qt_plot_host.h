#pragma once

#include "ui/services.h"

#include <QPointer>

#include <functional>
#include <map>

namespace tarvik {

class PlotWindow;

// The numbered plot windows on the screen. Each is a top-level window of its own; the host keeps track
// of the open ones by number and forgets a window when it closes. It owns no window: a window deletes
// itself when closed, and the host deletes those still open when it goes.
class QtPlotHost : public PlotHost {
  public:
    QtPlotHost() = default;
    QtPlotHost(const QtPlotHost&) = delete;
    QtPlotHost& operator=(const QtPlotHost&) = delete;
    ~QtPlotHost() override;

    void open(int number, const std::string& name) override;
    void show(const PlotDescription& plot) override;
    // Runs a local event loop until a key is pressed in the window or the window closes, with a note in
    // the window that it waits.
    void wait_for_key(int number) override;
    void close(int number) override;
    void set_editing(int number) override;

    // The open window with this number, or null.
    PlotWindow* window(int number) const;

    // Called with the window's number when the mouse is pressed in a window whose plot names a
    // button-down handler.
    std::function<void(int number)> onButtonDown;

  private:
    PlotWindow* create(int number, const std::string& name);

    std::map<int, QPointer<PlotWindow>> windows_;
};

} // namespace tarvik
