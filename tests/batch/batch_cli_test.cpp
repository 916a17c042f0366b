// The batch tool run as a process: its options, exit statuses and the activity log it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class BatchTool : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Parameterized names carry a '/', which must not become a sub-folder.
        std::string name = info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / ("tarvik_batch_" + std::to_string(::getpid()) + "_" + name);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with its standard output and error captured in files.
    Outcome run(const std::string& args) const {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string cmd = std::string("'") + TARVIK_BATCH_EXE + "' " + args + " >'" + out.string() +
                                "' 2>'" + err.string() + "' </dev/null";
        const int raw = std::system(cmd.c_str());
        Outcome r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = read_file(out);
        r.err = read_file(err);
        return r;
    }

    fs::path dir;
};

const std::regex kSessionLine(
    R"(Session started: \d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{4} \d\d:\d\d:\d\d)");

// The log a fresh session writes; the session line carries the clock and is checked by its form.
void expect_start_log(const std::vector<std::string>& log) {
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 5),
              (std::vector<std::string>{"Welcome!", "", "ZERIVIzi LOG:", "", ""}));
    EXPECT_TRUE(std::regex_match(log[5], kSessionLine)) << log[5];
}

TEST_F(BatchTool, HelpPrintsUsageAndSucceeds) {
    const Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: tarvik3d-batch", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--log FILE"), std::string::npos);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(run("-h").out, r.out);
}

TEST_F(BatchTool, VersionSucceeds) {
    const Outcome r = run("--version");
    EXPECT_EQ(r.status, 0);
    const auto out = lines_of(r.out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(std::regex_match(out[0], std::regex(R"(tarvik3d-batch \d+\.\d+\.\d+)"))) << out[0];
}

class BadCommandLine : public BatchTool, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadCommandLine, ExitsWithTwoAndOneLineOfReason) {
    const Outcome r = run(GetParam());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
    EXPECT_EQ(r.out, "");
}

INSTANTIATE_TEST_SUITE_P(Options, BadCommandLine,
                         ::testing::Values("--frobnicate", "-x", "--log", "--help --bogus"));

TEST_F(BatchTool, WithoutOptionsPrintsTheLog) {
    const Outcome r = run("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    expect_start_log(lines_of(r.out));
}

TEST_F(BatchTool, LogOptionWritesTheSameLinesToTheFile) {
    const fs::path log = dir / "session log.txt";
    const Outcome r = run("--log '" + log.string() + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    ASSERT_TRUE(fs::exists(log));
    expect_start_log(lines_of(read_file(log)));

    const auto printed = lines_of(run("").out);
    const auto written = lines_of(read_file(log));
    ASSERT_EQ(printed.size(), written.size());
    EXPECT_TRUE(std::equal(printed.begin(), printed.end() - 1, written.begin()));
}

TEST_F(BatchTool, LogOptionReplacesAnExistingFile) {
    const fs::path log = dir / "log.txt";
    std::ofstream(log) << "old line 1\nold line 2\nold line 3\nold line 4\nold line 5\nold line 6\nold 7\n";
    ASSERT_EQ(run("--log '" + log.string() + "'").status, 0);
    expect_start_log(lines_of(read_file(log)));
}

TEST_F(BatchTool, UnwritableLogFileFailsWithAReason) {
    const Outcome r = run("--log '" + (dir / "missing" / "log.txt").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_of(r.err).size(), 1u) << r.err;
}

} // namespace
