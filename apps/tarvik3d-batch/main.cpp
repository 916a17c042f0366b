// The batch command line: the same named operations on a headless main window, without dialogs.
#include "batch/batch_options.h"
#include "batch/batch_run.h"

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
    return run_batch(parsed.options, std::cout, std::cerr);
}
