// The batch command line: the same named operations on a headless main window, without dialogs.
#include "batch/batch_options.h"
#include "batch/batch_run.h"

#ifdef TARVIK_PLOT_EXPORT
#include "qt/plot_export.h"

#include <QApplication>
#include <QtGlobal>

#include <clocale>
#include <cstdlib>
#include <memory>
#endif

#include <iostream>

int main(int argc, char** argv) {
    using namespace tarvik;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const BatchParse parsed = parse_batch_options(args);
    if (!parsed.ok()) {
        std::cerr << "tarvik3d-batch: " << parsed.error << " (try --help)\n";
        return 2;
    }
    if (parsed.options.help) {
        std::cout << batch_usage();
        return 0;
    }
    if (parsed.options.version) {
        std::cout << "tarvik3d-batch " << TARVIK_VERSION << "\n";
        return 0;
    }
#ifdef TARVIK_PLOT_EXPORT
    // Plots are drawn by the program's own renderer; without a display it draws offscreen.
    std::unique_ptr<QApplication> app;
    QtPlotExporter exporter;
    PlotExporter* plots = nullptr;
    if (!parsed.options.plots.empty() || !parsed.options.stripPlotFile.empty()) {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Standard error carries the tool's own messages, one per line: Qt's notes about the platform
        // are left out, its critical errors kept.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::cerr << message.toStdString() << "\n";
        });
        app = std::make_unique<QApplication>(argc, argv);
        // Constructing the application sets the C library's locale from the environment, which may
        // write decimal commas. The outputs format every number without the locale (core/format.h);
        // numbers are put back to the C form all the same, so that no library call can change a file.
        std::setlocale(LC_NUMERIC, "C");
        plots = &exporter;
    }
    return run_batch(parsed.options, std::cout, std::cerr, plots);
#else
    return run_batch(parsed.options, std::cout, std::cerr);
#endif
}
