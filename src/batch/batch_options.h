#pragma once

#include <string>
#include <vector>

namespace tarvik {

// What the command line asked the batch tool to do.
struct BatchOptions {
    bool help = false;
    bool version = false;
    std::string logFile; // empty: the activity log goes to standard output
};

// The outcome of reading the command line: options, or a one-line reason it could not be read.
struct BatchParse {
    BatchOptions options;
    std::string error;
    bool ok() const { return error.empty(); }
};

BatchParse parse_batch_options(const std::vector<std::string>& args);

std::string batch_usage();

} // namespace tarvik
