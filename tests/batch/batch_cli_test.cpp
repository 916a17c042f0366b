// The batch tool run as a process: its options, exit statuses and the activity log it writes.
#include "batch/batch_process.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace tarvik::testing;

using BatchTool = BatchProcessTest;

// The log a fresh session writes; the session line carries the clock and is checked by its form.
void expect_start_log(const std::vector<std::string>& log) {
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 5),
              (std::vector<std::string>{"Welcome!", "", "ZERIVIzi LOG:", "", ""}));
    EXPECT_TRUE(std::regex_match(
        log[5], std::regex(R"(Session started: \d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{4} )"
                           R"(\d\d:\d\d:\d\d)")))
        << log[5];
}

TEST_F(BatchTool, HelpAndVersionSucceed) {
    const Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: tarvik3d-batch", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--log FILE"), std::string::npos);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(run("-h").out, r.out);

    const Outcome v = run("--version");
    EXPECT_EQ(v.status, 0);
    EXPECT_TRUE(std::regex_match(v.out, std::regex("tarvik3d-batch \\d+\\.\\d+\\.\\d+\n?"))) << v.out;
}

class BadCommandLine : public BatchTool, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadCommandLine, ExitsWithTwoAndOneLineOfReason) {
    const Outcome r = run(GetParam());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(Options, BadCommandLine,
                         ::testing::Values("--frobnicate", "-x", "--log", "--help --bogus",
                                           // plot options belong to a --plot, which needs its file
                                           "--plot-dim 3d --plot original --plot-out a.png",
                                           "--plot scatter --plot-out a.png", "--plot original",
                                           "--plot shapes --plot-out a.png --plot volumes",
                                           "--plot original --plot-dim 4d --plot-out a.png",
                                           "--plot overlap --plot-groups 0,1 --plot-out a.png",
                                           "--plot overlap --plot-groups 1,2,3 --plot-out a.png"));

TEST_F(BatchTool, TheLogIsPrintedOrReplacesTheFileOfTheLogOption) {
    const Outcome printed = run("");
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.err, "");
    expect_start_log(lines_of(printed.out));

    const fs::path log = dir / "session log.txt";
    std::ofstream(log) << "old line 1\nold line 2\nold line 3\nold line 4\nold line 5\nold line 6\nold 7\n";
    const Outcome r = run("--log '" + log.string() + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    const auto written = lines_of(read_file(log));
    expect_start_log(written);
    // The same lines but for the clock.
    ASSERT_EQ(written.size(), lines_of(printed.out).size());
    EXPECT_TRUE(std::equal(written.begin(), written.end() - 1, lines_of(printed.out).begin()));
}

TEST_F(BatchTool, UnwritableLogFileFailsWithAReason) {
    const Outcome r = run("--log '" + (dir / "missing" / "log.txt").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
}

} // namespace
