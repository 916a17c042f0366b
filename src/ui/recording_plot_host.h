#pragma once

#include "ui/services.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// Plot windows without a screen, for the tests and the batch tool: each window keeps the description
// it was last shown, and every call is listed in order ("open 1", "show 1", "wait 1", "edit 1",
// "close 1"). A key wait returns at once, after `duringWait` has run: what a user does while the
// plot waits. With `forwardTo` set, every call is also passed on to that host
// (a test can record what the program asks while real windows show it).
class RecordingPlotHost : public PlotHost {
  public:
    struct Window {
        std::string name;
        std::optional<PlotDescription> shown;
        bool open = true;
        bool editing = false;
        int keyWaits = 0;
    };

    void open(int number, const std::string& name) override;
    void show(const PlotDescription& plot) override;
    void wait_for_key(int number) override;
    void close(int number) override;
    void set_editing(int number) override;

    // The window with this number; throws when it was never opened.
    const Window& window(int number) const;
    const std::map<int, Window>& windows() const { return windows_; }
    PlotHost* forwardTo = nullptr;
    std::function<void(int number)> duringWait;
    std::vector<std::string> events;
    // Descriptions as they were shown, in order (the ellipsoid's first view comes before its second).
    std::vector<PlotDescription> history;

  private:
    std::map<int, Window> windows_;
};

} // namespace tarvik
