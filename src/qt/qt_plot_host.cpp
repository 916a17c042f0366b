#include "qt/qt_plot_host.h"

#include "qt/plot_window.h"

#include <QEventLoop>

#include <exception>
#include <iostream>

namespace tarvik {

QtPlotHost::~QtPlotHost() {
    for (auto& [number, w] : windows_)
        delete w.data();
}

PlotWindow* QtPlotHost::window(int number) const {
    const auto it = windows_.find(number);
    return it == windows_.end() ? nullptr : it->second.data();
}

PlotWindow* QtPlotHost::create(int number, const std::string& name) {
    auto* w = new PlotWindow(number, name);
    windows_[number] = w;
    QObject::connect(w, &PlotWindow::closed, [this, number, w] {
        if (window(number) == w)
            windows_.erase(number);
    });
    QObject::connect(w, &PlotWindow::mousePressed, [this, number, w] {
        if (!onButtonDown || !w->has_plot() || w->plot().buttonDownFcn.empty())
            return;
        try {
            onButtonDown(number);
        } catch (const std::exception& e) {
            std::cerr << "tarvik3d: " << e.what() << '\n';
        }
    });
    w->show();
    return w;
}

void QtPlotHost::open(int number, const std::string& name) {
    PlotWindow* w = window(number);
    if (!w) {
        w = create(number, name);
    } else {
        w->set_name(name);
        w->showNormal();
    }
    w->raise();
    w->activateWindow();
}

void QtPlotHost::show(const PlotDescription& plot) {
    PlotWindow* w = window(plot.number);
    if (!w)
        w = create(plot.number, plot.name);
    w->show_plot(plot);
}

void QtPlotHost::wait_for_key(int number) {
    QPointer<PlotWindow> w = window(number);
    if (!w || !w->isVisible())
        return;
    QEventLoop loop;
    QObject::connect(w, &PlotWindow::keyPressed, &loop, &QEventLoop::quit);
    QObject::connect(w, &PlotWindow::closed, &loop, &QEventLoop::quit);
    QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    w->set_waiting(true);
    w->raise();
    w->activateWindow();
    loop.exec();
    if (w)
        w->set_waiting(false);
}

void QtPlotHost::close(int number) {
    if (PlotWindow* w = window(number)) {
        windows_.erase(number);
        w->close();
    }
}

void QtPlotHost::set_editing(int number) {
    if (PlotWindow* w = window(number))
        w->set_editing(true);
}

} // namespace tarvik
