#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace tarvik::testing {

// An empty folder of the running test's own under the test temporary folder, named after the prefix,
// the process and the test (parameterised names carry a '/', which must not become a sub-folder).
// The caller removes it.
inline std::filesystem::path make_test_folder(const std::string& prefix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string unique = std::string(info->test_suite_name()) + "_" + info->name();
    std::replace(unique.begin(), unique.end(), '/', '_');
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) / (prefix + "_" + std::to_string(::getpid()) + "_" + unique);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

} // namespace tarvik::testing
