#include "batch/batch_options.h"

#include "core/grid_bounds.h"
#include "core/number.h"
#include "overlap/grid_overlap.h"
#include "overlap/overlap_ops.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <tuple>

namespace tarvik {

namespace {

constexpr const char* kProgram = "tarvik3d-batch";
constexpr const char* kDescription =
    "Runs the TARVIK3D pipeline without a window, as far as the options reach, and writes its\n"
    "activity log exactly as the program writes it for the same choices.\n";
constexpr const char* kFooter =
    "Questions are answered as a user who goes on would. Every warning the program would show\n"
    "is printed on standard error, one line each, beginning \"warning: \".\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  a stage was refused or failed (the message on standard error)\n"
    "  2  the command line cannot be read\n"
    "  3  success with warnings, under --strict (every output is still written)";

// Why a value cannot be read; each follows the option's name.
constexpr const char* kNotTwoLabels = "expected two vowel labels A,B, not '";
constexpr const char* kNotGroup = "expected NAME=Category:type[,type...][;Category:type...], not '";
constexpr const char* kNotPair = "expected I,J (two group numbers from 1), not '";
constexpr const char* kNotPlotGroups = "expected all, I or I,J (group numbers from 1), not '";
constexpr const char* kNotResolution =
    "expected N or M,N,S (grid intervals along F2, F1 and duration), not '";
constexpr const char* kNotMeasures =
    "expected measures from pillai, bhattacharyya, mahalanobis, euclidean or all, comma-separated, not '";
constexpr const char* kNotThreads = "expected a whole number of threads from 1 to %s, not '";
constexpr const char* kNotReplicates = "expected a whole number of replicates from 1 to 1000000, not '";
constexpr const char* kNotSeed = "expected a whole number from 0 to 18446744073709551615, not '";
constexpr const char* kNotConfidence = "expected a confidence between 0 and 1, such as 0.95, not '";
constexpr const char* kNoPlot = "belongs to a --plot given before it";
constexpr const char* kUnknownOption = "unknown option: ";
constexpr const char* kNoPlotOut = "needs --plot-out FILE.png|.svg|.pdf";

// A reason with its %s filled with the largest value allowed.
std::string fill_max(const char* reason, int most) {
    std::string out = reason;
    out.replace(out.find("%s"), 2, std::to_string(most));
    return out;
}

// The largest 3D grid, in words.
std::string million_points() {
    static_assert(kMaxGridPoints % 1'000'000 == 0);
    return std::to_string(kMaxGridPoints / 1'000'000) + " million points";
}

[[noreturn]] void refuse(const std::string& option, const std::string& reason) {
    throw CLI::ValidationError(option, reason);
}

[[noreturn]] void refuse_value(const std::string& option, const char* expected, const std::string& value) {
    refuse(option, expected + value + "'");
}

// The pieces of a text between the separators, empty ones included.
std::vector<std::string> pieces(std::string_view text, char separator) {
    std::vector<std::string> out;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        out.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return out;
        start = end + 1;
    }
}

std::string joined(const std::vector<std::string>& words, std::string_view separator) {
    std::string out;
    for (const auto& w : words)
        out += (out.empty() ? "" : std::string(separator)) + w;
    return out;
}

// Group numbers (1-based) separated by commas, from `least` to `most` of them; empty for any other text.
std::optional<std::vector<int>> group_numbers(const std::string& text, std::size_t least, std::size_t most) {
    const std::vector<std::string> parts = pieces(text, ',');
    if (parts.size() < least || parts.size() > most)
        return std::nullopt;
    std::vector<int> out;
    for (const auto& p : parts) {
        if (p.empty() || p.size() > 6 || p.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(p) < 1)
            return std::nullopt;
        out.push_back(std::stoi(p));
    }
    return out;
}

// NAME=Category:type[,type...][;Category:type...]; empty for any other text.
std::optional<BatchOptions::Group> group_of(const std::string& value) {
    const auto eq = value.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 >= value.size())
        return std::nullopt;
    BatchOptions::Group group{value.substr(0, eq), {}};
    for (const auto& part : pieces(std::string_view(value).substr(eq + 1), ';')) {
        const auto colon = part.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 >= part.size())
            return std::nullopt;
        BatchOptions::Constraint c{part.substr(0, colon),
                                   pieces(std::string_view(part).substr(colon + 1), ',')};
        for (const auto& type : c.types)
            if (type.empty())
                return std::nullopt;
        group.constraints.push_back(std::move(c));
    }
    return group;
}

// N or M,N,S, held to the rule the overlap itself holds its grid to.
std::array<int, 3> resolution_of(const std::string& option, const std::string& value) {
    const std::vector<std::string> parts = pieces(value, ',');
    if ((parts.size() != 1 && parts.size() != 3) || !std::ranges::all_of(parts, is_number_text))
        refuse_value(option, kNotResolution, value);
    const double m = to_number(parts[0]);
    const double n = parts.size() == 3 ? to_number(parts[1]) : m;
    const double s = parts.size() == 3 ? to_number(parts[2]) : m;
    try {
        const GridResolution r = grid_resolution(OverlapResolution{.n = n, .m = m, .s = s}, true);
        return {r.m, r.n, r.s};
    } catch (const std::invalid_argument& e) {
        refuse(option, e.what());
    }
}

// CLI11's help layout, with one blank line between the groups of options.
class HelpFormatter : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        std::string text = CLI::Formatter::make_help(app, std::move(name), mode);
        for (std::size_t at; (at = text.find("\n\n\n")) != std::string::npos;)
            text.erase(at, 1);
        return text;
    }
};

// The options of the batch tool over `o`, in the groups of the help. Each value option is read at each
// occurrence, in the order given, so that a later one replaces an earlier one and the plot options go
// with the latest --plot.
class OptionTable {
  public:
    OptionTable(CLI::App& app, BatchOptions& o) : app_(app) {
        app.set_help_flag();
        app.footer(kFooter);
        app.formatter(std::make_shared<HelpFormatter>());
        app.get_formatter()->column_width(30);

        group("Data and columns");
        value("--data", "FILE", "load a tab-delimited data file with a header line", o.dataFile);
        value("--subject", "COL", "the subject column; the columns are mapped with all six roles", o.subject);
        value("--vowel", "COL", "the vowel column", o.vowel);
        value("--f1", "COL", "the F1 column", o.f1);
        value("--f2", "COL", "the F2 column", o.f2);
        value("--duration", "COL|none", "the duration column, or none", o.duration);
        value("--phrase-duration", "COL|none", "the phrase duration column, or none", o.phraseDuration);

        group("Normalization (per subject)");
        choice("--normalize-f1", "how F1 is normalized", kSpectralMenu, o.normalizeF1);
        choice("--normalize-f2", "how F2 is normalized", kSpectralMenu, o.normalizeF2);
        choice("--normalize-duration", "how durations are normalized (not needed without a\nduration column)",
               kDurationMenu, o.normalizeDuration);
        for (const auto& [option, what, target] :
             {std::tuple{"--extremes-f1", "the extreme vowels of known-extremes for F1", &o.extremesF1},
              {"--extremes-f2", "the extreme vowels of known-extremes for F2", &o.extremesF2},
              {"--corners", "the corner vowels of Watt-Fabricius: high front, low", &o.corners}})
            read(option, "A,B", what,
                 [option, target](const std::string& v) {
                     const auto parts = pieces(v, ',');
                     if (parts.size() != 2)
                         refuse_value(option, kNotTwoLabels, v);
                     *target = std::pair{parts[0], parts[1]};
                 });

        group("Vowel groups and fits");
        read("--group", "'NAME=Category:type[,type...][;Category:type...]'",
             "a vowel group (repeatable, in order); the types of one\n"
             "category are alternatives, every category must hold",
             [&o](const std::string& v) {
                 auto group = group_of(v);
                 if (!group)
                     refuse_value("--group", kNotGroup, v);
                 o.groups.push_back(std::move(*group));
             });
        one_of(read("--orientation", "ORIENTATION",
                    "fit axes along each least-squares line (line, the\n"
                    "default), or mirrored as in sessions of earlier\n"
                    "versions; with --session the default is the session's own",
                    [&o](const std::string& v) { o.orientation = orientation_from_name(v); }),
               {std::string(orientation_name(FitOrientation::Line)),
                std::string(orientation_name(FitOrientation::Mirrored))});

        group("Overlap");
        one_of(value("--overlap", "DIMENSION", "the overlap of the groups' ellipses and/or ellipsoids",
                     o.overlap),
               {"2d", "3d", "both"});
        read("--pair", "I,J", "one pair of groups (1-based; default: every pair I < J)",
             [&o](const std::string& v) {
                 const auto n = group_numbers(v, 2, 2);
                 if (!n)
                     refuse_value("--pair", kNotPair, v);
                 o.pair = std::pair{(*n)[0], (*n)[1]};
             });
        read("--measures", "LIST",
             "measures beside the overlap, comma-separated: pillai,\nbhattacharyya, mahalanobis, euclidean, or all",
             [&o](const std::string& v) {
                 o.measures = {};
                 for (const std::string& name : pieces(v, ',')) {
                     if (name == "all") {
                         o.measures = {true, true, true, true};
                         continue;
                     }
                     const auto at = std::find(kMeasureNames.begin(), kMeasureNames.end(), name);
                     if (at == kMeasureNames.end())
                         refuse_value("--measures", kNotMeasures, v);
                     o.measures[static_cast<std::size_t>(at - kMeasureNames.begin())] = true;
                 }
             });
        app.add_flag("--per-subject", o.perSubject,
                     "the overlap (and measures) of each pair within each subject:\n"
                     "one row per subject and pair, then the pair's ALL_MEAN,\n"
                     "ALL_SD, ALL_MEDIAN and ALL_N (subjects with a value)")
            ->group(group_);
        app.add_option("--strip-plot", o.stripPlotFile,
                       "with --per-subject: the subjects' values of each pair and\n"
                       "their median as a picture (.png, .svg or .pdf; 2D values,\n"
                       "or 3D with --overlap 3d)")
            ->type_name("FILE")
            ->group(group_);
        read("--bootstrap", "B",
             "percentile intervals of each pair's value and measures from\n"
             "B resamples (columns ci_low, ci_high, bootstrap_n, ...);\n"
             "with --per-subject, within each subject",
             [&o](const std::string& v) {
                 const auto n = group_numbers(v, 1, 1);
                 if (!n || n->front() > 1000000)
                     refuse_value("--bootstrap", kNotReplicates, v);
                 o.bootstrap = static_cast<std::size_t>(n->front());
             });
        read("--seed", "S", "the seed of the resampling (default 1); the same seed gives\nthe same intervals on any number of threads",
             [&o](const std::string& v) {
                 if (v.empty() || v.size() > 20 || v.find_first_not_of("0123456789") != std::string::npos)
                     refuse_value("--seed", kNotSeed, v);
                 try {
                     o.seed = std::stoull(v);
                 } catch (const std::exception&) {
                     refuse_value("--seed", kNotSeed, v);
                 }
             });
        read("--confidence", "C", "the intervals' confidence (default 0.95)", [&o](const std::string& v) {
            const double c = to_number(v); // NaN when it is not a number
            if (!(c > 0 && c < 1))
                refuse_value("--confidence", kNotConfidence, v);
            o.confidence = c;
        });
        one_of(read("--resample", "WHAT",
                    "what a resample draws with replacement: each group's tokens\n"
                    "(tokens, the default) or whole subjects (subjects)",
                    [&o](const std::string& v) { o.resample = v == "subjects" ? Resample::Subjects : Resample::Tokens; }),
               {"tokens", "subjects"});
        read("--resolution", "N|M,N,S",
             "grid intervals along F2, F1 and duration (default 20, at\nmost " +
                 std::to_string(kMaxGridSteps) + "; a 3D grid holds at most " + million_points() + ")",
             [&o](const std::string& v) { o.resolution = resolution_of("--resolution", v); });

        read("--threads", "N",
             "how many threads share the work: the fits, the pairs, the\n"
             "subjects and the bootstrap's replicates (default: every core,\n" +
                 std::to_string(every_core()) + " here); the results are the same for any number",
             [&o](const std::string& v) {
                 const auto n = group_numbers(v, 1, 1);
                 if (!n || n->front() > kMaxThreads)
                     refuse_value("--threads", fill_max(kNotThreads, kMaxThreads).c_str(), v);
                 o.threads = n->front();
             });

        group("Plots (repeatable as a set, each --plot followed by its own options)");
        one_of(read("--plot", "KIND",
                    "the plot kind: data as read, normalized data, fitted\n"
                    "ellipses/ellipsoids, overlap grid points, or the overlap\n"
                    "of two groups (needs --overlap for volumes and overlap)",
                    [&o](const std::string& v) {
                        o.plots.emplace_back().kind = *menu_meaning_named(kPlotKindMenu, v); // checked below
                    }),
               menu_batch_names(kPlotKindMenu));
        one_of(read("--plot-dim", "DIMENSION", "F2 x F1, or F2 x duration x F1 (default 2d)",
                    [&o](const std::string& v) { latest_plot(o, "--plot-dim").dimension = v; }),
               {"2d", "3d"});
        read("--plot-groups", "all|I|I,J", "the groups drawn, in order (default all; overlap needs I,J)",
             [&o](const std::string& v) {
                 BatchOptions::Plot& plot = latest_plot(o, "--plot-groups");
                 const auto n = v == "all" ? std::vector<int>{} : group_numbers(v, 1, 2);
                 if (!n)
                     refuse_value("--plot-groups", kNotPlotGroups, v);
                 plot.groups = *n;
             });
        read("--plot-out", "FILE",
             ".png (2d and 3d), .svg or .pdf (2d); 3d pictures need\n"
             "OpenGL: without a display, run the tool under xvfb-run -a",
             [&o](const std::string& v) { latest_plot(o, "--plot-out").outFile = v; });

        group("Sessions");
        value("--session", "FILE.tarvik", "start from a saved session instead of --data and the steps",
              o.sessionFile);
        value("--save-session", "FILE.tarvik", "save the session at the end", o.saveSessionFile);

        group("Output");
        value("--log", "FILE", "the activity log, one item per line (default: standard output)", o.logFile);
        value("--export-normalized", "FILE", "the normalized data table, tab-delimited, header first",
              o.exportNormalized);
        value("--fit", "FILE", "one CSV row per group with its centre, angles and semi-axes", o.fitFile);
        value("--csv", "FILE", "the overlap of every computed pair as CSV", o.csvFile);
        value("--json", "FILE",
              "the same as JSON\n"
              "(an output FILE may be - for standard output; each output is\n"
              "written on its own, and one that fails is named with its reason)",
              o.jsonFile);
        app.add_flag("--strict", o.strict, "exit with status 3 when a warning was printed")->group(group_);
        app.add_flag("-h,--help", o.help, "show this help and exit")->group(group_);
        app.add_flag("--version", o.version, "show the version and exit")->group(group_);

        // What holds only over the whole command line.
        app.final_callback([&o] {
            const auto& r = o.resolution;
            if (!o.overlap.empty() && o.overlap != "2d" &&
                grid_points({r[0], r[1], r[2]}, true) > kMaxGridPoints)
                refuse("--resolution", "a 3D grid of " + std::to_string(r[0] + 1) + " x " +
                                           std::to_string(r[1] + 1) + " x " + std::to_string(r[2] + 1) +
                                           " points is more than the " + million_points() +
                                           " that can be measured");
            if (!o.stripPlotFile.empty() && !o.perSubject)
                refuse("--strip-plot", "the strip plot shows the values within subjects: add --per-subject");
            if (o.perSubject && o.resample == Resample::Subjects)
                refuse("--resample", "within each subject (--per-subject) only tokens can be drawn again");
            for (const auto& plot : o.plots)
                if (plot.outFile.empty())
                    refuse("--plot " + std::string(menu_batch_name(kPlotKindMenu, plot.kind)), kNoPlotOut);
        });
    }

  private:
    void group(std::string name) { group_ = std::move(name); }

    // A value option whose `store` reads the value, or refuses it naming the option.
    CLI::Option* read(const std::string& name, const std::string& metavar, const std::string& help,
                      std::function<void(const std::string&)> store) {
        return app_.add_option_function<std::string>(name, std::move(store), help)
            ->type_name(metavar)
            ->group(group_)
            ->trigger_on_parse();
    }

    template <class Target>
    CLI::Option* value(const std::string& name, const std::string& metavar, const std::string& help,
                       Target& target) {
        return read(name, metavar, help, [&target](const std::string& v) { target = v; });
    }

    // An option whose value is the batch name of an entry of a window's menu.
    template <class Meaning, std::size_t N>
    void choice(const std::string& name, const std::string& help,
                const std::array<MenuEntry<Meaning>, N>& menu, std::optional<Meaning>& target) {
        one_of(read(name, "METHOD", help,
                    [&menu, &target](const std::string& v) { target = menu_meaning_named(menu, v); }),
               menu_batch_names(menu));
    }

    // The values an option takes: the help lists them, and any other is refused.
    static void one_of(CLI::Option* option, const std::vector<std::string>& names) {
        option->check(CLI::IsMember(names))->option_text(joined(names, "|"));
    }

    static BatchOptions::Plot& latest_plot(BatchOptions& o, const std::string& option) {
        if (o.plots.empty())
            refuse(option, kNoPlot);
        return o.plots.back();
    }

    CLI::App& app_;
    std::string group_;
};

} // namespace

int every_core() {
    return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

BatchParse parse_batch_options(const std::vector<std::string>& args) {
    BatchParse out;
    CLI::App app(kDescription, kProgram);
    const OptionTable table(app, out.options);
    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend())); // CLI11 reads them from the back
    } catch (const CLI::ExtrasError& e) {
        // CLI11 lists what it did not expect from the last; the first is the one to name.
        const std::vector<std::string> unexpected = app.remaining();
        out.error = unexpected.empty() ? e.what() : kUnknownOption + unexpected.front();
    } catch (const CLI::Error& e) {
        out.error = e.what();
    }
    return out;
}

std::string batch_usage() {
    BatchOptions unused;
    CLI::App app(kDescription, kProgram);
    const OptionTable table(app, unused);
    return app.help();
}

} // namespace tarvik
