// The guarded body of an operation and its two fixed failure reports.
#include "app/guarded.h"
#include "ui/scripted_services.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvik::testing {
namespace {

TEST(Guarded, AFailingBodyStopsAndShowsTheFixedFormAsAModalWarning) {
    const std::string a = "Let Quillon know about this error:\n\n Index exceeds matrix dimensions.";
    const std::string b = "Function Error:\n\n Index exceeds matrix dimensions.";
    for (const auto& [form, text, title] :
         {std::tuple{ReportForm::A, a, "Function \"calculate_groupings\""},
          std::tuple{ReportForm::B, b, "Let Quillon know: \"calculate_groupings\""}})
        for (bool wait : {true, false}) {
            SCOPED_TRACE(title + std::string(wait ? ", waited" : ", not waited"));
            ScriptedServices scripted;
            Runtime rt{scripted.services()};
            int steps = 0;
            const bool completed = guarded(
                rt, form, "calculate_groupings",
                [&] {
                    ++steps;
                    throw std::runtime_error("Index exceeds matrix dimensions.");
                    ++steps;
                },
                GuardOptions{wait});

            EXPECT_FALSE(completed);
            EXPECT_EQ(steps, 1); // the rest of the body is skipped, what it did before stays done
            ASSERT_EQ(scripted.dialogs.size(), 1u);
            const DialogRecord& d = scripted.last();
            EXPECT_EQ(d.kind, "warning");
            EXPECT_EQ(d.text, TextList{text});
            EXPECT_EQ(d.title, title);
            EXPECT_TRUE(d.modal);
            EXPECT_EQ(d.waited, wait);
        }
}

TEST(Guarded, BodyThatEndsShowsNothingAndMessagesAreInsertedVerbatim) {
    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    int steps = 0;
    EXPECT_TRUE(guarded(rt, ReportForm::A, "op", [&] { ++steps; }));
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(scripted.dialogs.empty());

    report_failure(rt, ReportForm::A, "plot_now", "100% of %s failed");
    EXPECT_EQ(scripted.last().text, TextList{"Let Quillon know about this error:\n\n 100% of %s failed"});
    EXPECT_EQ(scripted.last().title, "Function \"plot_now\"");
    EXPECT_TRUE(scripted.last().waited);
}

} // namespace
} // namespace tarvik::testing
