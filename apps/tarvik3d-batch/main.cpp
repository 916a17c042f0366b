// The batch command line: the same named operations on a headless main window, without dialogs.
#include "app/entry.h"
#include "app/runtime.h"
#include "batch/batch_options.h"
#include "ui/scripted_services.h"

#include <fstream>
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

    // Questions are answered as a user who goes on would; the services record every dialog.
    ScriptedServices scripted;
    SystemClock clock;
    Services services = scripted.services();
    services.clock = &clock;
    Runtime rt(services);
    zerivizi_export(rt, {std::string("visible"), std::string("off")});

    const auto& log = rt.figure().control("listbox_log").string;
    std::ofstream file;
    std::ostream* out = &std::cout;
    if (!parsed.options.logFile.empty()) {
        file.open(parsed.options.logFile, std::ios::out | std::ios::trunc);
        if (!file) {
            std::cerr << "tarvik3d-batch: cannot write the log to " << parsed.options.logFile << "\n";
            return 1;
        }
        out = &file;
    }
    for (const auto& line : log)
        *out << line << '\n';
    return out->good() ? 0 : 1;
}
