// Any bytes as the batch tool's command line, one argument per NUL-separated piece: the options are
// read, or refused with a one-line reason.
#include "fuzz_expect.h"
#include "batch/batch_options.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tarvik;

std::vector<std::string> arguments(std::string_view bytes) {
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        args.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args =
        arguments(std::string_view(reinterpret_cast<const char*>(data), size));
    const BatchParse parsed = parse_batch_options(args);
    if (!parsed.ok()) {
        // The reason is one line; the only text in it that the arguments bring is an argument itself.
        bool argumentHasLineBreak = false;
        for (const auto& a : args)
            argumentHasLineBreak = argumentHasLineBreak || a.find('\n') != std::string::npos;
        EXPECT(argumentHasLineBreak || parsed.error.find('\n') == std::string::npos);
        return 0;
    }
    const BatchOptions& o = parsed.options;
    for (const auto& plot : o.plots) {
        EXPECT(menu_value(kPlotKindMenu, plot.kind) >= 1);
        EXPECT(plot.dimension == "2d" || plot.dimension == "3d");
        EXPECT(plot.groups.size() <= 2 && !plot.outFile.empty());
        for (const int g : plot.groups)
            EXPECT(g >= 1);
    }
    for (const int r : o.resolution)
        EXPECT(r >= 1);
    if (o.pair)
        EXPECT(o.pair->first >= 1 && o.pair->second >= 1);
    for (const auto& group : o.groups) {
        EXPECT(!group.name.empty() && !group.constraints.empty());
        for (const auto& c : group.constraints)
            EXPECT(!c.category.empty() && !c.types.empty());
    }
    return 0;
}
