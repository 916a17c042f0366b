#include "ui/recording_plot_host.h"

#include <stdexcept>

namespace tarvik {

void RecordingPlotHost::open(int number, const std::string& name) {
    Window& w = windows_[number];
    w.name = name;
    w.open = true;
    events.push_back("open " + std::to_string(number));
    if (forwardTo)
        forwardTo->open(number, name);
}

void RecordingPlotHost::show(const PlotDescription& plot) {
    windows_[plot.number].shown = plot;
    history.push_back(plot);
    events.push_back("show " + std::to_string(plot.number));
    if (forwardTo)
        forwardTo->show(plot);
}

void RecordingPlotHost::wait_for_key(int number) {
    ++windows_[number].keyWaits;
    events.push_back("wait " + std::to_string(number));
    if (duringWait)
        duringWait(number);
    if (forwardTo)
        forwardTo->wait_for_key(number);
}

void RecordingPlotHost::close(int number) {
    windows_[number].open = false;
    events.push_back("close " + std::to_string(number));
    if (forwardTo)
        forwardTo->close(number);
}

void RecordingPlotHost::set_editing(int number) {
    windows_[number].editing = true;
    events.push_back("edit " + std::to_string(number));
    if (forwardTo)
        forwardTo->set_editing(number);
}

const RecordingPlotHost::Window& RecordingPlotHost::window(int number) const {
    const auto it = windows_.find(number);
    if (it == windows_.end())
        throw std::out_of_range("plot window " + std::to_string(number) + " was never opened");
    return it->second;
}

} // namespace tarvik
