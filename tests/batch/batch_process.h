#pragma once

// Runs the batch tool as a separate process, with its output captured in a folder of the test's own.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik::testing {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The cells of a line of a table, a trailing empty cell included.
inline std::vector<std::string> cells_of(const std::string& line, char separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(separator, start)) != std::string::npos; start = end + 1)
        out.push_back(line.substr(start, end - start));
    out.push_back(line.substr(start));
    return out;
}

// The example studies' folder, and tests/data/plot_vowels.txt (vowels i, a, e; i and e overlap, a lies
// apart) with its roles.
inline const std::string kExamples = TARVIK_TEST_DATA_DIR "/../../examples/";
inline const std::string kPlotVowels = std::string("--data '") + TARVIK_TEST_DATA_DIR +
                                       "/plot_vowels.txt' --subject Speaker --vowel Vowel --f1 F1 --f2 F2"
                                       " --duration Dur --phrase-duration none";
// The same under z-scores with the groups i, a and e.
inline const std::string kPlotVowelsStudy =
    kPlotVowels + " --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore" +
    " --group i=Vowel:i --group a=Vowel:a --group e=Vowel:e";

// A test with a fresh folder for the files the tool writes.
class BatchProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tarvik_batch_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // A path in the test's folder, quoted for the shell.
    std::string path(const std::string& name) const { return "'" + (dir / name).string() + "'"; }

    // Runs the tool with the given arguments (already quoted for the shell).
    Outcome run(const std::string& args) const {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string cmd = launcher + "'" + TARVIK_BATCH_EXE + "' " + args + " >'" + out.string() +
                                "' 2>'" + err.string() + "' </dev/null";
        Outcome o;
        // Now and then xvfb-run cannot remove its own temporary folder when several run at once; it then
        // says so and exits 5 whatever the tool did, so the run is made again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            const int raw = std::system(cmd.c_str());
            o = {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file(out), read_file(err)};
            if (launcher.empty() || o.status != 5 || o.err.find("xvfb-run: error:") == std::string::npos)
                break;
        }
        return o;
    }

    fs::path dir;
    // Put before the tool's path, e.g. to give it a virtual display.
    std::string launcher;
};

} // namespace tarvik::testing
