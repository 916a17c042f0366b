#pragma once

#include "core/fit_orientation.h"
#include "ui/menus.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

inline constexpr std::array<const char*, 4> kMeasureNames = {"pillai", "bhattacharyya", "mahalanobis", "euclidean"};
// The number of cores of the machine (at least 1): the batch tool's threads unless --threads says.
int every_core();

// The most threads --threads accepts.
inline constexpr int kMaxThreads = 256;

// What the command line asked the batch tool to do. Stages run as far as the options reach: a data file
// loads; the six roles map its columns; the normalization choices normalize it.
struct BatchOptions {
    bool help = false;
    bool version = false;
    bool strict = false; // warnings make the exit status 3
    std::string logFile; // empty: the activity log goes to standard output

    std::string dataFile;
    // Column names of the roles; "none" means not available (duration and phrase duration only).
    std::optional<std::string> subject, vowel, f1, f2, duration, phraseDuration;
    // The entries of the window's normalization menus (kSpectralMenu, kDurationMenu).
    std::optional<SpectralMethod> normalizeF1, normalizeF2;
    std::optional<DurationMethod> normalizeDuration;
    std::optional<std::pair<std::string, std::string>> extremesF1, extremesF2, corners;
    std::string exportNormalized;

    // Vowel groups, in the order given: a name and, per category, the types that are alternatives.
    struct Constraint {
        std::string category;
        std::vector<std::string> types;
    };
    struct Group {
        std::string name;
        std::vector<Constraint> constraints;
    };
    std::vector<Group> groups;
    std::string fitFile;

    // Overlap: 2d | 3d | both; one pair (1-based) or every pair; grid intervals along F2, F1, duration.
    std::string overlap;
    std::optional<std::pair<int, int>> pair;
    std::array<int, 3> resolution = {20, 20, 20};
    // Measures beside the overlap, in the order of kMeasureNames.
    std::array<bool, 4> measures = {false, false, false, false};
    int threads = every_core(); // how many threads share the pairs
    // Fit axes; empty keeps the session's own (line for a new session).
    std::optional<FitOrientation> orientation;
    std::string csvFile;
    std::string jsonFile;

    // Plots written to picture files, each drawn as the plot buttons draw it.
    struct Plot {
        PlotKind kind = PlotKind::Original; // the entry of the plot menu (kPlotKindMenu)
        std::string dimension = "2d";       // 2d | 3d
        std::vector<int> groups;            // empty: all groups; else one or two 1-based group indices
        std::string outFile;                // .png, .svg or .pdf
    };
    std::vector<Plot> plots;

    // Session files: one to start from instead of the data stages, one to save at the end.
    std::string sessionFile;
    std::string saveSessionFile;
};

// The outcome of reading the command line: options, or a one-line reason it could not be read, which
// names the option.
struct BatchParse {
    BatchOptions options;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads the arguments after the program's name. The options, their values and their checks are one
// table, which the help below is made from as well.
BatchParse parse_batch_options(const std::vector<std::string>& args);

// The text of --help.
std::string batch_usage();

} // namespace tarvik
