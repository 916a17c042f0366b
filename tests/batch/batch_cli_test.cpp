// The batch tool run as a process: its command line, the activity log it writes and its session files.
#include "batch/batch_process.h"

#include "app/log_view.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace tarvik::testing;

using BatchTool = BatchProcessTest;

const std::regex
    kSessionLine(R"(Session started: \d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{4} )"
                 R"(\d\d:\d\d:\d\d)");

TEST_F(BatchTool, HelpAndVersionSucceed) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tarvik3d-batch", 0), 0u) << help.out;
    const Outcome version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tarvik3d-batch \\d+\\.\\d+\\.\\d+\n")))
        << version.out;
}

TEST_F(BatchTool, ACommandLineThatCannotBeReadExitsWithTwoAndOneLineOfReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"--frobnicate", "unknown option: --frobnicate"},
        {"--log", "option --log needs a value"},
        // plot options belong to a --plot, which needs its file
        {"--plot-dim 3d --plot original --plot-out a.png", "belongs to a --plot given before it"},
        {"--plot original", "option --plot original needs --plot-out FILE.png|.svg|.pdf"},
        {"--plot original --plot-dim 4d --plot-out a.png", "--plot-dim"},
        {"--plot overlap --plot-groups 1,2,3 --plot-out a.png", "--plot-groups takes all, I or I,J"},
        {"--normalize-f1 bogus", "--normalize-f1"},
        {"--normalize-duration log", "--normalize-duration"},
        {"--extremes-f1 ae", "--extremes-f1"},
        {"--overlap 4d", "--overlap"},
        {"--group 'nothing'", "--group"},
        {"--resolution 1001",
         "option --resolution takes N or M,N,S (grid intervals from 1 to 1000), not '1001'"},
        {"--overlap both --resolution 300",
         "a 3D grid of 301 x 301 x 301 points is more than the 10 million that can be measured"}};
    for (const auto& [args, reason] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.rfind("tarvik3d-batch: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
        EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(BatchTool, TheLogIsPrintedOrReplacesTheFileOfTheLogOption) {
    const Outcome printed = run("");
    EXPECT_EQ(printed.status, 0);
    const auto log = lines_of(printed.out);
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 5),
              (std::vector<std::string>{"Welcome!", "", "ZERIVIzi LOG:", "", ""}));
    EXPECT_TRUE(std::regex_match(log[5], kSessionLine)) << log[5];

    std::ofstream(dir / "log.txt") << "an older log\nof more lines\nthan the new one\n\n\n\n\n\n";
    const Outcome r = run("--log " + path("log.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines_of(read_file(dir / "log.txt")).size(), log.size());
}

// The log of a study taken to every overlap is the one the window writes for the same choices, but for
// the clock in its session line.
TEST_F(BatchTool, TheLogIsTheOneTheWindowWritesForTheSameChoices) {
    const Outcome r = run(kPlotVowels + " --normalize-f1 none --normalize-f2 none --normalize-duration none" +
                          " --group v1=Vowel:i --group v2=Vowel:a --group v3=Vowel:e --overlap both");
    ASSERT_EQ(r.status, 0) << r.err;
    Session window;
    window.start();
    run_steps_1_to_3(window, {"plot_vowels.txt", true, true});
    const auto expected = lines_of(tarvik::log_file_text(window.log()));
    auto written = lines_of(r.out);
    ASSERT_EQ(written.size(), expected.size());
    ASSERT_TRUE(std::regex_match(written[5], kSessionLine)) << written[5];
    written[5] = expected[5];
    EXPECT_EQ(written, expected);
}

TEST_F(BatchTool, ASavedStudyGoesOnWhereItStoppedWithItsLog) {
    ASSERT_EQ(
        run(kPlotVowelsStudy + " --save-session " + path("study") + " --log " + path("first.txt")).status, 0);
    const Outcome direct = run(kPlotVowelsStudy + " --overlap 2d --csv " + path("direct.csv"));
    // The extension is added as in the window.
    const Outcome resumed =
        run("--session " + path("study.tarvik") + " --overlap 2d --csv " + path("resumed.csv"));
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(read_file(dir / "resumed.csv"), read_file(dir / "direct.csv"));

    // The reopened log is the saved one with the overlap lines after it.
    const auto before = lines_of(read_file(dir / "first.txt"));
    const auto after = lines_of(resumed.out);
    ASSERT_EQ(after.size(), lines_of(direct.out).size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
}

} // namespace
