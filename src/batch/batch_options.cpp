#include "batch/batch_options.h"

namespace tarvik {

BatchParse parse_batch_options(const std::vector<std::string>& args) {
    BatchParse out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out.options.help = true;
        } else if (a == "--version") {
            out.options.version = true;
        } else if (a == "--log") {
            if (i + 1 >= args.size()) {
                out.error = "option --log needs a file name";
                return out;
            }
            out.options.logFile = args[++i];
        } else {
            out.error = "unknown option: " + a;
            return out;
        }
    }
    return out;
}

std::string batch_usage() {
    return "Usage: tarvik3d-batch [OPTION]...\n"
           "Runs the TARVIK3D pipeline without a window and writes its activity log.\n"
           "\n"
           "  --log FILE     write the activity log to FILE (default: standard output)\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when a stage is refused or fails, 2 for a command line that\n"
           "cannot be read.\n";
}

} // namespace tarvik
