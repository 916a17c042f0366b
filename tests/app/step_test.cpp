#include "app/step.h"
#include "app/warnings.h"
#include "geometry/fit_axes_menu.h"
#include "grouping/group_step.h"
#include "import/import_step.h"
#include "normalize/normalize_step.h"
#include "plot/plot_step.h"

#include "support/session.h"

namespace tarvik::testing {
namespace {

// Steps 1 to 3 from requests reach the record, the window's lists and the log that the same choices
// reach by clicks.
TEST(Steps, RequestsReachWhatTheClicksReach) {
    Session clicked;
    clicked.start();
    run_steps_1_to_3(clicked);

    Session requested;
    requested.start();
    const std::string file = std::string(TARVIK_TEST_DATA_DIR) + "/wiz_vowels.txt";
    ASSERT_TRUE(load_data(requested.rt, {file}).done);
    ASSERT_TRUE(map_columns(requested.rt, {"Speaker", "Vowel", "F1", "F2", "Dur", ""}).done);
    const NormalizationRequest none{SpectralMethod::None, SpectralMethod::None, DurationMethod::None, {}, {}, {}};
    ASSERT_TRUE(normalize_data(requested.rt, none).done);
    GroupsRequest groups;
    for (const char* vowel : {"i", "a", "u"}) // the types in the order the list shows them
        groups.groups.push_back({"v" + std::to_string(groups.groups.size() + 1), {{"Vowel", {vowel}}}});
    ASSERT_TRUE(define_groups(requested.rt, groups).done);
    const StepReport fitted = fit_groups(requested.rt);
    ASSERT_TRUE(fitted.done);
    // The study's two small groups are warned of, with the lines the log keeps.
    ASSERT_EQ(fitted.diagnostics.size(), 2u);
    EXPECT_EQ(fitted.diagnostics[1].lines, TextList{"Group v3 has 1 token: its ellipse cannot be fitted and its "
                                                    "overlaps will be NaN."});

    EXPECT_EQ(requested.record(), clicked.record());
    EXPECT_EQ(requested.log(), clicked.log());
    for (const char* list : {"listbox_currVowel_select", "listbox_currVowel_defined", "popupmenu_header_f1",
                             "popupmenu_overlap_group_b"})
        EXPECT_EQ(requested.control(list).string, clicked.control(list).string) << list;

    // Requests are data: compared and written as JSON.
    EXPECT_EQ(request_text(groups.groups[0]), R"({"constraints":[{"category":"Vowel","types":["i"]}],"name":"v1"})");
    EXPECT_EQ(nlohmann::json(groups).get<GroupsRequest>(), groups);
    const NormalizationRequest extremes{SpectralMethod::KnownExtremes, SpectralMethod::ZScore, std::nullopt,
                                        ExtremeTargets{"i", "u"}, std::nullopt, std::nullopt};
    EXPECT_EQ(request_text(extremes),
              R"({"corners":null,"duration":null,"extremesF1":["i","u"],"extremesF2":null,"f1":"extremes","f2":"zscore"})");
    EXPECT_EQ(nlohmann::json(extremes).get<NormalizationRequest>(), extremes);
    const PlotRequest plot{PlotKind::Overlap, true, {3, 1}, false};
    EXPECT_EQ(request_text(plot), R"({"dimension":"3d","groups":[3,1],"kind":"overlap","legend":false})");
    EXPECT_EQ(nlohmann::json(plot).get<PlotRequest>(), plot);
}

// A request the data cannot meet stops its step with the reason, and leaves the record as it was.
TEST(Steps, ARefusedRequestStopsWithItsReason) {
    Session s;
    s.start();
    run_step_1(s);
    run_step_2(s);
    const Handles before = s.record();
    const struct {
        GroupsRequest request;
        std::string reason;
    } cases[] = {
        {{{{"x", {{"Stress", {"stressed"}}}}}}, "The data have no category named 'Stress'."},
        {{{{"x", {{"Vowel", {"o"}}}}}}, "The category 'Vowel' has no type 'o'."},
    };
    for (const auto& c : cases) {
        const StepReport report = define_groups(s.rt, c.request);
        EXPECT_FALSE(report.done);
        ASSERT_EQ(report.diagnostics.size(), 1u);
        EXPECT_EQ(report.diagnostics[0], (Diagnostic{Diagnostic::Kind::Warning, "Cannot define the group", {c.reason}}));
        EXPECT_EQ(s.record().v, before.v);
    }
    const StepReport unknown = map_columns(s.rt, {"Speaker", "Vowel", "F3", "F2", "", ""});
    EXPECT_FALSE(unknown.done);
    EXPECT_EQ(unknown.diagnostics.at(0).lines, TextList{"The data file has no column named 'F3'."});
}

// Warnings reported together come as one diagnostic with every line, also from a step inside a step;
// outside a step nothing is collected.
TEST(Steps, WarningsReportedTogetherKeepEveryLine) {
    Session s;
    s.start();
    Warnings many("Values that are not numbers");
    for (int k = 0; k < 12; ++k)
        many.add("line " + std::to_string(k));
    const StepReport outer = run_step(s.rt, [&] {
        const StepReport inner = run_step(s.rt, [&] {
            many.report(s.rt, s.record());
            return true;
        });
        EXPECT_EQ(inner.diagnostics.size(), 1u);
        s.rt.dialogs().message({"note"}, "Title", Icon::None, WindowStyle::NonModal);
        return false;
    });
    ASSERT_EQ(outer.diagnostics.size(), 2u);
    EXPECT_TRUE(outer.diagnostics[0].itemized);
    EXPECT_EQ(outer.diagnostics[0].lines.size(), 12u);
    EXPECT_EQ(outer.diagnostics[1], (Diagnostic{Diagnostic::Kind::Note, "Title", {"note"}}));
    EXPECT_EQ(s.rt.diagnostics(), nullptr);
    // The dialog shows the summary: the count, ten lines and how many more.
    EXPECT_EQ(s.scripted.dialogs.at(0).text.size(), 12u);
}

} // namespace
} // namespace tarvik::testing
