// The batch tool's load, mapping and normalization stages on the example studies, and the refusals of
// every stage.
#include "batch/batch_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>

namespace {

using namespace tarvik::testing;

using BatchStages = BatchProcessTest;

const std::string kRoles =
    " --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration Duration --phrase-duration none";

TEST_F(BatchStages, TheNormalizedTableHoldsEveryTokenWithNaNWhereF2IsMissing) {
    std::set<std::string> withoutF2;
    for (const auto& line : lines_of(read_file(kExamples + "hillenbrand_missing.txt")))
        if (cells_of(line, '\t').at(3) == "NULL")
            withoutF2.insert(cells_of(line, '\t')[0]);
    ASSERT_FALSE(withoutF2.empty());

    const Outcome r =
        run("--data '" + kExamples + "hillenbrand_missing.txt'" + kRoles + " --normalize-f1 zscore" +
            " --normalize-f2 zscore --normalize-duration zscore --export-normalized " + path("table.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto log = lines_of(r.out);
    for (const char* line :
         {"Successfully loaded the data from file: hillenbrand_missing.txt", "Detected 139 SUBJECT types:",
          "You successfully specified header names. Value types for all non-numerical "
          "values have been identified.",
          "You can view the value types in Step 3, but you need to specify normalization "
          "if any in Step 2 first."})
        EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;

    const auto lines = lines_of(read_file(dir / "table.txt"));
    ASSERT_EQ(lines.size(), 1669u);
    EXPECT_EQ(lines[0], "Speaker\tVowel\tF1\tF2\tDuration\tGroup");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = cells_of(lines[i], '\t');
        ASSERT_EQ(cells.size(), 6u) << lines[i];
        for (std::size_t c = 2; c <= 4; ++c) {
            if (c == 3 && withoutF2.count(cells[0])) {
                EXPECT_EQ(cells[c], "NaN") << lines[i];
                continue;
            }
            // Printed the way "%.17g" prints the value it reads back as (fewer digits would not read back).
            char canonical[64];
            std::snprintf(canonical, sizeof canonical, "%.17g", std::strtod(cells[c].c_str(), nullptr));
            ASSERT_EQ(cells[c], canonical) << lines[i];
        }
    }
}

TEST_F(BatchStages, EachFormantUsesItsOwnExtremes) {
    const Outcome r =
        run("--data '" + kExamples + "hillenbrand.txt'" + kRoles +
            " --normalize-f1 zscore --extremes-f1 ae,ah --normalize-f2 extremes --extremes-f2 iy,oo" +
            " --normalize-duration none --export-normalized " + path("table.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    // m01, one token per vowel: F2 of ae 2012, of iy 2418, of oo 995; G = (log10 2418 + log10 995) / 2.
    // (ah, F1's first extreme, is not a vowel of every speaker: given to F2 it would be refused.)
    const auto lines = lines_of(read_file(dir / "table.txt"));
    ASSERT_GT(lines.size(), 1u);
    ASSERT_EQ(lines[1].rfind("m01\tae\t", 0), 0u) << lines[1];
    const double g = (std::log10(2418.0) + std::log10(995.0)) / 2;
    EXPECT_NEAR(std::stod(cells_of(lines[1], '\t')[3]), std::log10(2012.0) - g, 1e-12);
}

// A refused or failed step exits with 1 and the message a user would see on standard error.
TEST_F(BatchStages, RefusalsExitWithOneAndTheMessage) {
    const std::string zscores = " --normalize-f1 zscore --normalize-f2 zscore --normalize-duration zscore";
    const std::string data = "--data '" TARVIK_TEST_DATA_DIR "/plot_vowels.txt'";
    const std::string noDuration =
        data + " --subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration none --phrase-duration none";
    std::ofstream(dir / "notes.tarvik") << "{\"format\": \"something else\"}";
    const std::pair<std::string, std::string> cases[] = {
        {kPlotVowels + " --f1 F3" + zscores, "The data file has no column named 'F3'."},
        {data + " --subject Speaker", "Mapping the columns needs all six roles: --subject, --vowel, "},
        {kPlotVowels + " --vowel Speaker" + zscores,
         "Cannot continue: Please make sure no headers are the same."},
        // extremes given for the other formant only
        {kPlotVowels + " --normalize-f1 extremes --normalize-f2 extremes --extremes-f2 i,a" +
             " --normalize-duration zscore",
         "F1: Select your extreme categories: You have cancelled this normalization"},
        {kPlotVowels + " --normalize-f1 zscore --normalize-f2 zscore",
         "Cannot continue: Please specify any normalization techniques to apply to the data."},
        {kPlotVowelsStudy + " --overlap 3d --pair 1,4",
         "There are only 3 groups; --pair 1,4 names one that does not exist."},
        {noDuration + " --normalize-f1 zscore --normalize-f2 zscore --group i=Vowel:i --group a=Vowel:a" +
             " --overlap 3d",
         "Option not available: This option is not available since there was no duration information "
         "specified."},
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

} // namespace
