#include "batch/batch_options.h"

#include <functional>
#include <map>

namespace tarvik {

namespace {

using Setter = std::function<std::string(BatchOptions&, const std::string&)>; // returns an error or ""

std::string one_of(const std::string& option, const std::string& value, std::initializer_list<const char*> allowed) {
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
        {"--extremes-f1", [](BatchOptions& o, const std::string& v) { return pair_of("--extremes-f1", v, o.extremesF1); }},
        {"--extremes-f2", [](BatchOptions& o, const std::string& v) { return pair_of("--extremes-f2", v, o.extremesF2); }},
        {"--export-normalized",
         [](BatchOptions& o, const std::string& v) { return o.exportNormalized = v, std::string(); }},
        {"--group", [](BatchOptions& o, const std::string& v) { return group_of(v, o.groups); }},
        {"--fit", [](BatchOptions& o, const std::string& v) { return o.fitFile = v, std::string(); }},
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
    return out;
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
           "Output:\n"
           "  --log FILE                  the activity log, one item per line (default: standard output)\n"
           "  --export-normalized FILE    the normalized data table, tab-delimited, header first\n"
           "  --fit FILE                  one CSV row per group with its centre, angles and semi-axes\n"
           "  --help                      show this help and exit\n"
           "  --version                   show the version and exit\n"
           "\n"
           "Questions are answered as a user who goes on would. Exit status: 0 on success, 1 when a\n"
           "stage is refused or fails (the message on standard error), 2 for a command line that cannot\n"
           "be read.\n";
}

} // namespace tarvik
