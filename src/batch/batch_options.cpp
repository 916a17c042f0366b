#include "batch/batch_options.h"

#include "overlap/grid_overlap.h"

#include <algorithm>
#include <functional>
#include <map>

namespace tarvik {

namespace {

using Setter = std::function<std::string(BatchOptions&, const std::string&)>; // returns an error or ""

std::string one_of(const std::string& option, const std::string& value,
                   std::initializer_list<const char*> allowed) {
    for (const char* a : allowed)
        if (value == a)
            return {};
    std::string list;
    for (const char* a : allowed)
        list += std::string(list.empty() ? "" : "|") + a;
    return "option " + option + " takes " + list + ", not '" + value + "'";
}

std::string pair_of(const std::string& option, const std::string& value,
                    std::optional<std::pair<std::string, std::string>>& out) {
    const auto comma = value.find(',');
    if (comma == std::string::npos || value.find(',', comma + 1) != std::string::npos)
        return "option " + option + " takes two vowel labels A,B";
    out = std::make_pair(value.substr(0, comma), value.substr(comma + 1));
    return {};
}

// NAME=Category:type[,type...][;Category:type...]
std::string group_of(const std::string& value, std::vector<BatchOptions::Group>& out) {
    const std::string usage = "option --group takes NAME=Category:type[,type...][;Category:type...]";
    const auto eq = value.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 >= value.size())
        return usage;
    BatchOptions::Group group{value.substr(0, eq), {}};
    std::size_t start = eq + 1;
    while (start <= value.size()) {
        const auto end = std::min(value.find(';', start), value.size());
        const std::string part = value.substr(start, end - start);
        const auto colon = part.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 >= part.size())
            return usage;
        BatchOptions::Constraint c{part.substr(0, colon), {}};
        std::size_t t = colon + 1;
        while (t <= part.size()) {
            const auto comma = std::min(part.find(',', t), part.size());
            if (comma == t)
                return usage;
            c.types.push_back(part.substr(t, comma - t));
            t = comma + 1;
        }
        group.constraints.push_back(std::move(c));
        start = end + 1;
    }
    out.push_back(std::move(group));
    return {};
}

// Whole numbers separated by commas, each at least `least`.
std::string numbers_of(const std::string& option, const std::string& value, std::size_t count, int least,
                       std::vector<int>& out) {
    out.clear();
    std::size_t start = 0;
    while (start <= value.size()) {
        const auto comma = std::min(value.find(',', start), value.size());
        const std::string part = value.substr(start, comma - start);
        if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string::npos)
            break;
        out.push_back(std::stoi(part));
        if (out.back() < least)
            break;
        start = comma + 1;
    }
    if (out.size() != count || start <= value.size())
        return "option " + option + " takes " + std::to_string(count) + " whole number" +
               (count > 1 ? "s" : "") + " of at least " + std::to_string(least) +
               (count > 1 ? ", separated by commas" : "") + ", not '" + value + "'";
    return {};
}

std::string resolution_of(const std::string& value, std::array<int, 3>& out) {
    std::vector<int> n;
    const bool three = value.find(',') != std::string::npos;
    std::string error = numbers_of("--resolution", value, three ? 3 : 1, 1, n);
    if (!error.empty() || std::ranges::any_of(n, [](int steps) { return steps > kMaxGridSteps; }))
        return "option --resolution takes N or M,N,S (grid intervals from 1 to " +
               std::to_string(kMaxGridSteps) + "), not '" + value + "'";
    out = three ? std::array<int, 3>{n[0], n[1], n[2]} : std::array<int, 3>{n[0], n[0], n[0]};
    return {};
}

// The plot set options apply to the latest --plot.
std::string latest_plot(BatchOptions& o, const std::string& option, BatchOptions::Plot*& out) {
    if (o.plots.empty())
        return "option " + option + " belongs to a --plot given before it";
    out = &o.plots.back();
    return {};
}

std::string plot_groups_of(BatchOptions& o, const std::string& value) {
    BatchOptions::Plot* plot = nullptr;
    if (std::string error = latest_plot(o, "--plot-groups", plot); !error.empty())
        return error;
    if (value == "all") {
        plot->groups.clear();
        return {};
    }
    const bool two = value.find(',') != std::string::npos;
    std::vector<int> n;
    if (!numbers_of("--plot-groups", value, two ? 2 : 1, 1, n).empty())
        return "option --plot-groups takes all, I or I,J (1-based group indices), not '" + value + "'";
    plot->groups = n;
    return {};
}

const std::map<std::string, Setter>& value_options() {
    static const std::map<std::string, Setter> table = {
        {"--log", [](BatchOptions& o, const std::string& v) { return o.logFile = v, std::string(); }},
        {"--data", [](BatchOptions& o, const std::string& v) { return o.dataFile = v, std::string(); }},
        {"--subject", [](BatchOptions& o, const std::string& v) { return o.subject = v, std::string(); }},
        {"--vowel", [](BatchOptions& o, const std::string& v) { return o.vowel = v, std::string(); }},
        {"--f1", [](BatchOptions& o, const std::string& v) { return o.f1 = v, std::string(); }},
        {"--f2", [](BatchOptions& o, const std::string& v) { return o.f2 = v, std::string(); }},
        {"--duration", [](BatchOptions& o, const std::string& v) { return o.duration = v, std::string(); }},
        {"--phrase-duration",
         [](BatchOptions& o, const std::string& v) { return o.phraseDuration = v, std::string(); }},
        {"--orientation",
         [](BatchOptions& o, const std::string& v) {
             o.orientation = v;
             return one_of("--orientation", v, {"line", "mirrored"});
         }},
        {"--normalize-f1",
         [](BatchOptions& o, const std::string& v) {
             o.normalizeF1 = v;
             return one_of("--normalize-f1", v, {"none", "zscore", "log", "extremes"});
         }},
        {"--normalize-f2",
         [](BatchOptions& o, const std::string& v) {
             o.normalizeF2 = v;
             return one_of("--normalize-f2", v, {"none", "zscore", "log", "extremes"});
         }},
        {"--normalize-duration",
         [](BatchOptions& o, const std::string& v) {
             o.normalizeDuration = v;
             return one_of("--normalize-duration", v, {"none", "zscore", "phrase"});
         }},
        {"--extremes-f1",
         [](BatchOptions& o, const std::string& v) { return pair_of("--extremes-f1", v, o.extremesF1); }},
        {"--extremes-f2",
         [](BatchOptions& o, const std::string& v) { return pair_of("--extremes-f2", v, o.extremesF2); }},
        {"--export-normalized",
         [](BatchOptions& o, const std::string& v) { return o.exportNormalized = v, std::string(); }},
        {"--group", [](BatchOptions& o, const std::string& v) { return group_of(v, o.groups); }},
        {"--fit", [](BatchOptions& o, const std::string& v) { return o.fitFile = v, std::string(); }},
        {"--overlap",
         [](BatchOptions& o, const std::string& v) {
             o.overlap = v;
             return one_of("--overlap", v, {"2d", "3d", "both"});
         }},
        {"--pair",
         [](BatchOptions& o, const std::string& v) {
             std::vector<int> n;
             std::string error = numbers_of("--pair", v, 2, 1, n);
             if (error.empty())
                 o.pair = std::make_pair(n[0], n[1]);
             return error;
         }},
        {"--resolution",
         [](BatchOptions& o, const std::string& v) { return resolution_of(v, o.resolution); }},
        {"--csv", [](BatchOptions& o, const std::string& v) { return o.csvFile = v, std::string(); }},
        {"--json", [](BatchOptions& o, const std::string& v) { return o.jsonFile = v, std::string(); }},
        {"--plot",
         [](BatchOptions& o, const std::string& v) {
             o.plots.push_back({v, "2d", {}, {}});
             return one_of("--plot", v, {"original", "normalized", "shapes", "volumes", "overlap"});
         }},
        {"--plot-dim",
         [](BatchOptions& o, const std::string& v) {
             BatchOptions::Plot* plot = nullptr;
             std::string error = latest_plot(o, "--plot-dim", plot);
             if (error.empty())
                 plot->dimension = v, error = one_of("--plot-dim", v, {"2d", "3d"});
             return error;
         }},
        {"--plot-groups", [](BatchOptions& o, const std::string& v) { return plot_groups_of(o, v); }},
        {"--plot-out",
         [](BatchOptions& o, const std::string& v) {
             BatchOptions::Plot* plot = nullptr;
             std::string error = latest_plot(o, "--plot-out", plot);
             if (error.empty())
                 plot->outFile = v;
             return error;
         }},
        {"--session", [](BatchOptions& o, const std::string& v) { return o.sessionFile = v, std::string(); }},
        {"--save-session",
         [](BatchOptions& o, const std::string& v) { return o.saveSessionFile = v, std::string(); }},
    };
    return table;
}

} // namespace

BatchParse parse_batch_options(const std::vector<std::string>& args) {
    BatchParse out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out.options.help = true;
            continue;
        }
        if (a == "--version") {
            out.options.version = true;
            continue;
        }
        if (a == "--strict") {
            out.options.strict = true;
            continue;
        }
        auto it = value_options().find(a);
        if (it == value_options().end()) {
            out.error = "unknown option: " + a;
            return out;
        }
        if (i + 1 >= args.size()) {
            out.error = "option " + a + " needs a value";
            return out;
        }
        out.error = it->second(out.options, args[++i]);
        if (!out.error.empty())
            return out;
    }
    const auto& r = out.options.resolution;
    if (out.options.overlap != "2d" && !out.options.overlap.empty() &&
        grid_points({r[0], r[1], r[2]}, true) > kMaxGridPoints) {
        out.error = "option --resolution: a 3D grid of " + std::to_string(r[0] + 1) + " x " +
                    std::to_string(r[1] + 1) + " x " + std::to_string(r[2] + 1) +
                    " points is more than the 10 million that can be measured";
        return out;
    }
    for (const auto& plot : out.options.plots)
        if (plot.outFile.empty()) {
            out.error = "option --plot " + plot.kind + " needs --plot-out FILE.png|.svg|.pdf";
            return out;
        }
    return out;
}

int plot_kind_value(const std::string& kind) {
    static const char* const kKinds[] = {"original", "normalized", "shapes", "volumes", "overlap"};
    for (int k = 0; k < 5; ++k)
        if (kind == kKinds[k])
            return k + 1;
    return 0;
}

std::string batch_usage() {
    return "Usage: tarvik3d-batch [OPTION]...\n"
           "Runs the TARVIK3D pipeline without a window, as far as the options reach, and writes its\n"
           "activity log exactly as the program writes it for the same choices.\n"
           "\n"
           "Data and columns:\n"
           "  --data FILE                 load a tab-delimited data file with a header line\n"
           "  --subject COL --vowel COL --f1 COL --f2 COL\n"
           "  --duration COL|none --phrase-duration COL|none\n"
           "                              the columns of the six roles (all six map the columns)\n"
           "Normalization (per subject):\n"
           "  --normalize-f1 none|zscore|log|extremes\n"
           "  --normalize-f2 none|zscore|log|extremes\n"
           "  --normalize-duration none|zscore|phrase   (not needed without a duration column)\n"
           "  --extremes-f1 A,B  --extremes-f2 A,B      the extreme vowels of known-extremes\n"
           "Vowel groups and fits:\n"
           "  --group 'NAME=Category:type[,type...][;Category:type...]'\n"
           "                              a vowel group (repeatable, in order); the types of one category\n"
           "                              are alternatives, every category must hold\n"
           "  --orientation line|mirrored fit axes along each least-squares line (line, the default), or\n"
           "                              mirrored as in sessions of earlier versions; with --session\n"
           "                              the default is the session's own\n"
           "Overlap:\n"
           "  --overlap 2d|3d|both        the overlap of the groups' ellipses and/or ellipsoids\n"
           "  --pair I,J                  one pair of groups (1-based; default: every pair I < J)\n"
           "  --resolution N | M,N,S      grid intervals along F2, F1 and duration (default 20, at most "
           "1000;\n"
           "                              a 3D grid holds at most 10 million points)\n"
           "Plots (repeatable as a set, each --plot followed by its own options):\n"
           "  --plot original|normalized|shapes|volumes|overlap\n"
           "                              the plot kind: data as read, normalized data, fitted\n"
           "                              ellipses/ellipsoids, overlap grid points, or the overlap of two\n"
           "                              groups (needs --overlap for volumes and overlap)\n"
           "  --plot-dim 2d|3d            F2 x F1, or F2 x duration x F1 (default 2d)\n"
           "  --plot-groups all|I|I,J     the groups drawn, in order (default all; overlap needs I,J)\n"
           "  --plot-out FILE             .png (2d and 3d), .svg or .pdf (2d); 3d pictures need\n"
           "                              OpenGL: without a display, run the tool under xvfb-run -a\n"
           "Sessions:\n"
           "  --session FILE.tarvik       start from a saved session instead of --data and the steps\n"
           "  --save-session FILE.tarvik  save the session at the end\n"
           "Output:\n"
           "  --log FILE                  the activity log, one item per line (default: standard output)\n"
           "  --export-normalized FILE    the normalized data table, tab-delimited, header first\n"
           "  --fit FILE                  one CSV row per group with its centre, angles and semi-axes\n"
           "  --csv FILE                  the overlap of every computed pair as CSV\n"
           "  --json FILE                 the same as JSON\n"
           "                              (an output FILE may be - for standard output; each output is\n"
           "                              written on its own, and one that fails is named with its reason)\n"
           "  --strict                    exit with status 3 when a warning was printed\n"
           "  --help                      show this help and exit\n"
           "  --version                   show the version and exit\n"
           "\n"
           "Questions are answered as a user who goes on would. Every warning the program would show\n"
           "is printed on standard error, one line each, beginning \"warning: \".\n"
           "\n"
           "Exit status:\n"
           "  0  success\n"
           "  1  a stage was refused or failed (the message on standard error)\n"
           "  2  the command line cannot be read\n"
           "  3  success with warnings, under --strict (every output is still written)\n";
}

} // namespace tarvik
