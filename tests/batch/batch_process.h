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

// A test with a fresh folder for the files the tool writes.
class BatchProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Parameterized names carry a '/', which must not become a sub-folder.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / ("tarvik_batch_" + std::to_string(::getpid()) + "_" + name);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool with the given arguments (already quoted for the shell).
    Outcome run(const std::string& args) const {
        const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
        const std::string cmd = launcher + "'" + TARVIK_BATCH_EXE + "' " + args + " >'" + out.string() +
                                "' 2>'" + err.string() + "' </dev/null";
        const int raw = std::system(cmd.c_str());
        Outcome r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = read_file(out);
        r.err = read_file(err);
        return r;
    }

    fs::path dir;
    // Put before the tool's path, e.g. to give it a virtual display.
    std::string launcher;
};

} // namespace tarvik::testing
