// The batch tool run as a process: its exit statuses with their messages, the activity log it writes and
// its session files.
#include "batch/batch_process.h"

#include "app/log_view.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace tarvik::testing;

using BatchTool = BatchProcessTest;

TEST_F(BatchTool, ACommandLineThatCannotBeReadExitsWithTwoAndOneLineOfReason) {
    const char* const cases[] = {"--frobnicate", "--log", "--normalize-f1 bogus", "--extremes-f1 ae",
                                 "--overlap 4d", "--group 'nothing'", "--resolution 1001",
                                 "--overlap both --resolution 300",
                                 // plot options belong to a --plot, which needs its file
                                 "--plot-dim 3d --plot original --plot-out a.png", "--plot original",
                                 "--plot overlap --plot-groups 1,2,3 --plot-out a.png"};
    for (const char* args : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.rfind("tarvik3d-batch: ", 0), 0u) << r.err;
        EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// A refused or failed step exits with 1 and the message a user would see on standard error.
TEST_F(BatchTool, RefusalsExitWithOneAndTheMessage) {
    const std::string zscores = " --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore";
    const std::string data = "--data '" TARVIK_TEST_DATA_DIR "/plot_vowels.txt'";
    std::ofstream(dir / "notes.tarvik") << "{\"format\": \"something else\"}";
    const std::pair<std::string, std::string> cases[] = {
        {data + " --subject Speaker", "Mapping the columns needs all six roles: --subject, --vowel, "},
        {kPlotVowels + " --f1 F3" + zscores, "The data file has no column named 'F3'."},
        {kPlotVowels +
             " --normalize-f1 extremes --normalize-f2 extremes --extremes-f2 i,a --normalize-duration none",
         "F1: Select your extreme categories: You have cancelled this normalization"},
        {kPlotVowelsStudy + " --overlap 3d --pair 1,4",
         "There are only 3 groups; --pair 1,4 names one that does not exist."},
        {kPlotVowels + zscores + " --overlap 2d", "The overlap needs vowel groups (--group)."},
        {"--log " + path("missing/log.txt"), "tarvik3d-batch: cannot write "},
        {"--session " + path("notes.tarvik"), "Let Quillon know: \"menuItem_openSession_Callback\": "},
        {kPlotVowelsStudy + " --session " + path("notes.tarvik"),
         "A session (--session) already holds its data"}};
    for (const auto& [args, message] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
    }
}

// The log of a study taken to every overlap is the one the window writes for the same choices, but for
// the clock in its session line. The study saved goes on in the next run, with its log.
TEST_F(BatchTool, TheLogIsTheOneTheWindowWritesAndASavedStudyGoesOnWithIt) {
    std::ofstream(dir / "log.txt") << std::string(100000, '\n'); // replaced, not appended to
    const Outcome r =
        run(kPlotVowels + " --normalize-f1 none --normalize-f2 none --normalize-duration none" +
            " --group v1=Vowel:i --group v2=Vowel:a --group v3=Vowel:e --overlap both --csv " +
            path("both.csv") + " --save-session " + path("study") + " --log " + path("log.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    Session window;
    window.start();
    run_steps_1_to_3(window, {"plot_vowels.txt", true, true});
    const auto expected = lines_of(tarvik::log_file_text(window.log()));
    const auto saved = lines_of(read_file(dir / "log.txt"));
    auto written = saved;
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(std::regex_match(
        written[5], std::regex(R"(Session started: \d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-)"
                               R"(\d{4} \d\d:\d\d:\d\d)")))
        << written[5];
    written[5] = expected[5];
    EXPECT_EQ(written, expected);

    // The extension is added as in the window; the log printed goes on from the saved one.
    const Outcome resumed =
        run("--session " + path("study.tarvik") + " --overlap 2d --csv " + path("2d.csv"));
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    const auto both = lines_of(read_file(dir / "both.csv"));
    EXPECT_EQ(lines_of(read_file(dir / "2d.csv")), std::vector<std::string>(both.begin(), both.begin() + 4));
    const auto after = lines_of(resumed.out);
    ASSERT_GT(after.size(), saved.size());
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), after.begin()));
}

} // namespace
