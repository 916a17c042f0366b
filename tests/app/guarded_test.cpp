// The guarded body of an operation and its two fixed failure reports.
#include "app/guarded.h"
#include "ui/scripted_services.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvik::testing {
namespace {

[[noreturn]] void fail(const char* message) {
    throw std::runtime_error(message);
}

struct ReportCase {
    const char* name;
    ReportForm form;
    bool wait;
    const char* text;
    const char* title;
};
void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class FailureReport : public ::testing::TestWithParam<ReportCase> {
  protected:
    ScriptedServices scripted;
    Runtime rt{scripted.services()};
};

TEST_P(FailureReport, ShowsTheFixedFormAsAModalWarning) {
    const ReportCase& c = GetParam();
    int steps = 0;
    const bool completed = guarded(
        rt, c.form, "calculate_groupings",
        [&] {
            ++steps;
            fail("Index exceeds matrix dimensions.");
            ++steps;
        },
        GuardOptions{c.wait});

    EXPECT_FALSE(completed);
    EXPECT_EQ(steps, 1); // the rest of the body is skipped, what it did before stays done
    ASSERT_EQ(scripted.dialogs.size(), 1u);
    const DialogRecord& d = scripted.last();
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.text, TextList{c.text});
    EXPECT_EQ(d.title, c.title);
    EXPECT_TRUE(d.modal);
    EXPECT_EQ(d.waited, c.wait);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FailureReport,
    ::testing::Values(ReportCase{"FormA", ReportForm::A, true,
                                 "Let Quillon know about this error:\n\n Index exceeds matrix dimensions.",
                                 "Function \"calculate_groupings\""},
                      ReportCase{"FormB", ReportForm::B, true,
                                 "Function Error:\n\n Index exceeds matrix dimensions.",
                                 "Let Quillon know: \"calculate_groupings\""},
                      ReportCase{"FormANoWait", ReportForm::A, false,
                                 "Let Quillon know about this error:\n\n Index exceeds matrix dimensions.",
                                 "Function \"calculate_groupings\""},
                      ReportCase{"FormBNoWait", ReportForm::B, false,
                                 "Function Error:\n\n Index exceeds matrix dimensions.",
                                 "Let Quillon know: \"calculate_groupings\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Guarded, BodyThatEndsShowsNothing) {
    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    int steps = 0;
    EXPECT_TRUE(guarded(rt, ReportForm::A, "op", [&] { ++steps; }));
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(scripted.dialogs.empty());
}

TEST(Guarded, MessageIsInsertedVerbatim) {
    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    report_failure(rt, ReportForm::A, "plot_now", "100% of %s failed");
    EXPECT_EQ(scripted.last().text, TextList{"Let Quillon know about this error:\n\n 100% of %s failed"});
    EXPECT_EQ(scripted.last().title, "Function \"plot_now\"");
    EXPECT_TRUE(scripted.last().waited);
}

} // namespace
} // namespace tarvik::testing
