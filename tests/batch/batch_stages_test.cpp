// The batch tool's load, mapping and normalization stages, run as a process on the example study.
#include "batch/batch_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>

namespace {

using namespace tarvik::testing;

constexpr std::size_t kHillenbrandRows = 1658;

class BatchStages : public BatchProcessTest {
  protected:
    // Normalizes an example file with the given options, the log and the table written to files.
    Outcome normalize(const std::string& file, const std::string& options) const {
        return run("--data '" + kExamples + file + "' " + options + " --log '" + log().string() +
                   "' --export-normalized '" + table().string() + "'");
    }
    fs::path log() const { return dir / "log.txt"; }
    fs::path table() const { return dir / "normalized.txt"; }
};

// ---- the example study under z-score --------------------------------------------------------------

TEST_F(BatchStages, HillenbrandUnderZscoreLogsEveryStageAndExportsEveryToken) {
    const Outcome r = normalize("hillenbrand.txt", kRoles + kZscores);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto log = lines_of(read_file(this->log()));
    EXPECT_TRUE(contains(log, "Successfully loaded the data from file: hillenbrand.txt"));
    EXPECT_TRUE(contains(log, "Detected 139 SUBJECT types:"));
    EXPECT_TRUE(contains(log, "You successfully specified header names. Value types for all non-numerical "
                              "values have been identified."));
    EXPECT_TRUE(contains(log, "You can view the value types in Step 3, but you need to specify normalization "
                              "if any in Step 2 first."));

    const auto lines = lines_of(read_file(table()));
    ASSERT_EQ(lines.size(), kHillenbrandRows + 1);
    EXPECT_EQ(lines[0], "Speaker\tVowel\tF1\tF2\tDuration\tGroup");

    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = cells_of(lines[i], '\t');
        ASSERT_EQ(cells.size(), 6u) << lines[i];
        for (std::size_t c = 2; c <= 4; ++c) {
            // Printed the way "%.17g" prints the value it reads back as (fewer digits would not read back).
            char canonical[64];
            std::snprintf(canonical, sizeof canonical, "%.17g", std::strtod(cells[c].c_str(), nullptr));
            ASSERT_EQ(cells[c], canonical) << lines[i];
        }
    }
    EXPECT_EQ(cells_of(lines[1], '\t')[5], "man");
}

TEST_F(BatchStages, EachFormantUsesItsOwnExtremes) {
    const Outcome r = normalize("hillenbrand.txt", kRoles + " --normalize-f1 zscore --extremes-f1 ae,ah "
                                                            "--normalize-f2 extremes --extremes-f2 iy,oo "
                                                            "--normalize-duration none");
    ASSERT_EQ(r.status, 0) << r.err;
    // m01, one token per vowel: F2 of ae 2012, of iy 2418, of oo 995; G = (log10 2418 + log10 995) / 2.
    // (ah, F1's first extreme, is not a vowel of every speaker: given to F2 it would be refused.)
    const auto lines = lines_of(read_file(table()));
    ASSERT_GT(lines.size(), 1u);
    ASSERT_EQ(lines[1].rfind("m01\tae\t", 0), 0u) << lines[1];
    const double g = (std::log10(2418.0) + std::log10(995.0)) / 2;
    EXPECT_NEAR(std::stod(cells_of(lines[1], '\t')[3]), std::log10(2012.0) - g, 1e-12);
}

TEST_F(BatchStages, MissingF2MakesExactlyItsSpeakersF2NaN) {
    std::set<std::string> withNull;
    for (const auto& line : lines_of(read_file(kExamples + "hillenbrand_missing.txt"))) {
        const auto cells = cells_of(line, '\t');
        if (cells.size() > 3 && cells[3] == "NULL")
            withNull.insert(cells[0]);
    }
    ASSERT_FALSE(withNull.empty());

    const Outcome r = normalize("hillenbrand_missing.txt", kRoles + kZscores);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(read_file(table()));
    ASSERT_EQ(lines.size(), 1669u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = cells_of(lines[i], '\t');
        if (withNull.count(cells[0]))
            EXPECT_EQ(cells[3], "NaN") << lines[i];
        else
            EXPECT_TRUE(std::isfinite(std::stod(cells[3]))) << lines[i];
        EXPECT_TRUE(std::isfinite(std::stod(cells[2]))) << lines[i];
    }
}

TEST_F(BatchStages, WithoutDurationTheTableGainsTheConstantColumn) {
    const Outcome r =
        normalize("hillenbrand.txt", "--subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration none "
                                     "--phrase-duration none --normalize-f1 log --normalize-f2 zscore");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(read_file(table()));
    ASSERT_EQ(lines.size(), kHillenbrandRows + 1);
    EXPECT_EQ(lines[0], "Speaker\tVowel\tF1\tF2\tDuration\tGroup\tnotAvailable");
    for (std::size_t i = 1; i < lines.size(); ++i)
        ASSERT_EQ(cells_of(lines[i], '\t')[6], "0.5") << lines[i];
    EXPECT_EQ(cells_of(lines[1], '\t')[4], "323"); // the duration column is read as text, not normalized
}

// ---- refusals -----------------------------------------------------------------------------------

TEST_F(BatchStages, RefusalsExitWithTheReasonAndWriteNoTable) {
    const std::string roles = " --f2 F2 --duration Duration --phrase-duration none" + kZscores;
    const std::string f2AndDuration = " --normalize-f2 zscore --normalize-duration zscore";
    const struct {
        std::string options;
        int status;
        const char* reason; // a part of standard error
    } cases[] = {
        {"--subject Speaker --vowel Vowel --f1 F3" + roles, 1, "no column named 'F3'"},
        {"--subject none --vowel Vowel --f1 F1" + roles, 1, "no column named 'none'"},
        {"--subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration" + kZscores, 1,
         "--phrase-duration"},
        {"--subject Speaker --vowel Speaker --f1 F1" + roles, 1, "Please make sure no headers are the same."},
        {kRoles + " --normalize-f1 extremes --extremes-f1 ae,zz" + f2AndDuration, 1,
         "You selected 'zz' as the spectral value number 2."},
        {kRoles + " --normalize-f1 extremes" + f2AndDuration, 1, "You have cancelled this normalization"},
        // extremes given for the other formant only
        {kRoles + " --normalize-f1 extremes --normalize-f2 extremes --extremes-f2 iy,oo --normalize-duration "
                  "zscore",
         1, "F1: Select your extreme categories: You have cancelled this normalization"},
        {kRoles + " --normalize-f1 zscore --normalize-f2 zscore", 1,
         "Cannot continue: Please specify any normalization techniques to apply to the data."},
        {kRoles + " --normalize-f1 zscore --normalize-f2 zscore --normalize-duration phrase", 1,
         "Function Failed: Duration target \"normalize_duration_phrase_duration\""},
        {kRoles + " --normalize-f1 bogus", 2, "--normalize-f1"},
        {kRoles + " --normalize-f1 zscore --normalize-duration log", 2, "--normalize-duration"},
        {kRoles + " --normalize-f1 extremes --extremes-f1 ae", 2, "--extremes-f1"}};
    for (const auto& c : cases) {
        const Outcome r = normalize("hillenbrand.txt", c.options);
        EXPECT_EQ(r.status, c.status) << c.options;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(table())) << c.options;
    }
}

} // namespace
