#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik::testing {

// An empty folder of the running test's own under the test temporary folder, named after the prefix,
// the process and the test (parameterised names carry a '/', which must not become a sub-folder), removed
// with this object.
class TestFolder {
  public:
    explicit TestFolder(const std::string& prefix) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string unique = std::string(info->test_suite_name()) + "_" + info->name();
        std::replace(unique.begin(), unique.end(), '/', '_');
        path_ = std::filesystem::path(::testing::TempDir()) /
                (prefix + "_" + std::to_string(::getpid()) + "_" + unique);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` in the folder.
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // The names of its entries, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

  private:
    std::filesystem::path path_;
};

// A file's bytes, and a file written with exactly these bytes.
inline std::string file_contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
inline void write_contents(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace tarvik::testing
