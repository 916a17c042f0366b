// The window's fixed menus, written once (ui/menus.h): the same entries fill the window's controls, and
// the batch options offer them by their batch names and read each as its meaning.
#include "batch/batch_options.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarvik::testing {
namespace {

// One menu: its control, the batch option that chooses in it (with what else the command line needs),
// its labels and batch names in menu order, and whether the options chose its entry i (0-based).
struct MenuRow {
    std::string tag, option;
    std::vector<std::string> moreArgs;
    TextList labels;
    std::vector<std::vector<std::string>> names; // per entry: its batch name and alias; none for a prompt
    std::function<bool(const BatchOptions&, std::size_t)> chose;
};

template <class Meaning, std::size_t N>
MenuRow row(std::string tag, std::string option, std::vector<std::string> moreArgs,
            const std::array<MenuEntry<Meaning>, N>& menu,
            std::function<std::optional<Meaning>(const BatchOptions&)> meaning) {
    std::vector<std::vector<std::string>> names;
    for (const auto& e : menu) {
        names.emplace_back();
        for (const std::string_view word : {e.batchName, e.alias})
            if (!word.empty())
                names.back().emplace_back(word);
    }
    return {std::move(tag),
            std::move(option),
            std::move(moreArgs),
            menu_labels(menu),
            std::move(names),
            [&menu, meaning](const BatchOptions& o, std::size_t i) { return meaning(o) == menu[i].meaning; }};
}

TEST(MenuTables, EachMenuFillsItsControlAndEachBatchNameIsReadAsItsEntry) {
    const std::vector<MenuRow> menus = {
        row<SpectralMethod>("popupmenu_normalize_spectral1", "--normalize-f1", {}, kSpectralMenu,
                            [](const BatchOptions& o) { return o.normalizeF1; }),
        row<SpectralMethod>("popupmenu_normalize_spectral2", "--normalize-f2", {}, kSpectralMenu,
                            [](const BatchOptions& o) { return o.normalizeF2; }),
        row<DurationMethod>("popupmenu_normalize_duration", "--normalize-duration", {}, kDurationMenu,
                            [](const BatchOptions& o) { return o.normalizeDuration; }),
        row<PlotKind>("popupmenu_plotSelection", "--plot", {"--plot-out", "a.png"}, kPlotKindMenu,
                      [](const BatchOptions& o) { return o.plots.at(0).kind; }),
    };
    Session s; // the normalization menus are filled once the columns are mapped
    s.start();
    run_step_1(s);
    const std::string help = batch_usage();
    for (const auto& m : menus) {
        EXPECT_EQ(s.control(m.tag).string, m.labels) << m.tag;
        std::string choices;
        for (std::size_t i = 0; i < m.names.size(); ++i)
            for (const std::string& word : m.names[i]) {
                choices += (choices.empty() ? "" : "|") + word;
                std::vector<std::string> args = {m.option, word};
                args.insert(args.end(), m.moreArgs.begin(), m.moreArgs.end());
                const BatchParse parsed = parse_batch_options(args);
                ASSERT_TRUE(parsed.ok()) << parsed.error;
                EXPECT_TRUE(m.chose(parsed.options, i)) << m.option << " " << word;
            }
        EXPECT_NE(help.find(m.option + " " + choices), std::string::npos) << m.option; // --help lists them
    }
}

} // namespace
} // namespace tarvik::testing
