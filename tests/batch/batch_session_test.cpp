// Session files from the batch tool: a study saved by one run goes on in the next, and a file that is
// not a session is refused without running anything.
#include "batch/batch_process.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvik::testing;

using BatchSessions = BatchProcessTest;

TEST_F(BatchSessions, ASavedStudyGoesOnWhereItStoppedWithItsLog) {
    const std::string saved = "'" + (dir / "study").string() + "'";
    const Outcome first =
        run(kPlotVowelsStudy + " --save-session " + saved + " --log '" + (dir / "first.txt").string() + "'");
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_TRUE(fs::exists(dir / "study.tarvik")); // the extension is added as in the window

    const Outcome direct =
        run(kPlotVowelsStudy + " --overlap 2d --csv '" + (dir / "direct.csv").string() + "'");
    const Outcome resumed = run("--session '" + (dir / "study.tarvik").string() + "' --overlap 2d --csv '" +
                                (dir / "resumed.csv").string() + "'");
    ASSERT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(read_file(dir / "resumed.csv"), read_file(dir / "direct.csv"));

    // The reopened log starts with the saved one; the overlap lines follow it.
    const auto before = lines_of(read_file(dir / "first.txt"));
    const auto after = lines_of(resumed.out);
    ASSERT_GT(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(lines_of(direct.out).size(), after.size());
}

TEST_F(BatchSessions, AFileThatIsNotASessionOrASessionWithDataStepsIsRefused) {
    std::ofstream(dir / "notes.tarvik") << "{\"format\": \"something else\"}";
    Outcome r = run("--session '" + (dir / "notes.tarvik").string() + "' --overlap 2d");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("Let Quillon know: \"menuItem_openSession_Callback\": ", 0), 0u) << r.err;

    r = run(kPlotVowelsStudy + " --session '" + (dir / "x.tarvik").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("A session (--session) already holds its data", 0), 0u) << r.err;
}

} // namespace
