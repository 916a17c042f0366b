// The TARVIK3D program: the entry creates the main window; the event loop runs until the last of the
// program's windows has closed.
#include "app/entry.h"
#include "overlap/results_step.h"
#include "plot/plot_styles.h"
#include "qt/main_window_view.h"
#include "qt/qt_services.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Constructing the application sets the C library's locale from the environment, which may write
    // decimal commas. The program formats and reads every number without the locale (core/format.h,
    // core/number.h); numbers are put back to the C form all the same, so that no library call made
    // on the program's behalf writes or reads "0,5" in a table, a log or a session.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setStyle("Fusion");
    QApplication::setApplicationName("TARVIK3D");

    tarvik::QtServices qtServices;
    tarvik::Runtime rt(qtServices.services());
    qtServices.plot_host().onButtonDown = [&rt](int number) { tarvik::plot_show_mouse_location(rt, number); };
    qtServices.results_host().onExport = [&rt](const tarvik::ResultsTable& t) { tarvik::export_results_csv(rt, t); };
    rt.onWindowCreated = [&rt](const std::shared_ptr<tarvik::Figure>& figure) {
        new tarvik::MainWindowView(rt, figure); // deletes itself when its window closes
    };

    std::vector<tarvik::EntryArg> args;
    for (const QString& a : QApplication::arguments().mid(1))
        args.emplace_back(a.toStdString());
    tarvik::zerivizi_export(rt, args);

    return QApplication::exec();
}
