// The batch tool's tables: the worked example of the README as overlap CSV, JSON and fit table, one pair
// on a grid of its own, and the normalized data table.
#include "batch/batch_process.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace tarvik::testing;

using BatchTables = BatchProcessTest;

// The study of the README's example: stressed and unstressed i against e.
const std::string kStressStudy =
    "--data '" + kExamples + "stress_context.txt' --subject Speaker --vowel Vowel --f1 F1 --f2 F2" +
    " --duration Duration --phrase-duration PhraseDuration --normalize-f1 zscore --normalize-f2 zscore" +
    " --normalize-duration phrase --group 'i-stressed=Vowel:i;Stress:stressed'" +
    " --group 'i-unstressed=Vowel:i;Stress:unstressed' --group 'e=Vowel:e'";

TEST_F(BatchTables, TheWorkedExampleOfTheReadme) {
    const Outcome r = run(kStressStudy + " --overlap both --csv " + path("overlap.csv") + " --json " +
                          path("overlap.json") + " --fit " + path("fit.csv"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string csv = read_file(dir / "overlap.csv");
    EXPECT_EQ(csv, "dimension,index_a,index_b,group_a,group_b,value,e1_fraction,e2_fraction,e1_count,"
                   "e2_count,both_count\n"
                   "2D,1,2,i-stressed,i-unstressed,0.41958041958041958,0.32608695652173914,"
                   "0.41958041958041958,184,143,60\n"
                   "2D,1,3,i-stressed,e,0,0,0,108,115,0\n"
                   "2D,2,3,i-unstressed,e,0.39102564102564102,0.39102564102564102,0.2890995260663507,156,"
                   "211,61\n"
                   "3D,1,2,i-stressed,i-unstressed,0.3712574850299401,0.20080971659919028,0.3712574850299401,"
                   "2470,1336,496\n"
                   "3D,1,3,i-stressed,e,0,0,0,1373,1355,0\n"
                   "3D,2,3,i-unstressed,e,0.28190743338008417,0.28190743338008417,0.15296803652968036,1426,"
                   "2628,402\n");

    // The JSON holds the same pairs, each cell under its column's name.
    const auto doc = nlohmann::json::parse(read_file(dir / "overlap.json"));
    EXPECT_EQ(doc.at("format"), "tarvik3d-overlap");
    EXPECT_EQ(doc.at("version"), 1);
    const auto rows = lines_of(csv);
    const auto header = cells_of(rows[0], ',');
    ASSERT_EQ(doc.at("pairs").size(), rows.size() - 1);
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const auto cells = cells_of(rows[k], ',');
        for (std::size_t c = 0; c < header.size(); ++c) {
            const bool text = c == 0 || c == 3 || c == 4; // dimension, group_a, group_b
            EXPECT_EQ(doc.at("pairs")[k - 1].at(header[c]),
                      text ? nlohmann::json(cells[c]) : nlohmann::json(std::stod(cells[c])))
                << header[c];
        }
    }

    const auto fits = lines_of(read_file(dir / "fit.csv"));
    ASSERT_EQ(fits.size(), 4u);
    EXPECT_EQ(fits[0], "index,name,tokens,avg_f2,avg_f1,avg_duration,theta,phi,A,B,C,avg2D_f2,avg2D_f1,"
                       "theta2D,A2D,B2D");
    EXPECT_EQ(fits[3], "3,e,48,0.91448691867562859,-0.17613986242161772,0.011672926297207425,"
                       "-0.049707488952911431,-0.0016152430030234219,0.56198927551944577,0.54590178102962206,"
                       "0.0033827002017015185,0.91448691867562859,-0.17613986242161772,-0.049707488952911431,"
                       "0.56199147486304579,0.54590178102962206");
}

TEST_F(BatchTables, OnePairInTheOrderGivenOnItsOwnGrid) {
    ASSERT_EQ(run(kStressStudy + " --overlap 3d --pair 3,1 --resolution 4 --csv " + path("pair.csv")).status,
              0);
    const auto rows = lines_of(read_file(dir / "pair.csv"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].rfind("3D,3,1,e,i-stressed,", 0), 0u) << rows[1];
    // 5 x 5 x 5 grid points, where the default grid of 20 intervals counts 1373 and 1355 inside the shapes
    EXPECT_LE(std::stod(cells_of(rows[1], ',')[8]), 125);
    EXPECT_LE(std::stod(cells_of(rows[1], ',')[9]), 125);
}

TEST_F(BatchTables, TheNormalizedTableHoldsEveryTokenAsTheNumberItReadsBackAs) {
    const Outcome r =
        run("--data '" + kExamples + "hillenbrand_missing.txt' --subject Speaker --vowel Vowel" +
            " --f1 F1 --f2 F2 --duration Duration --phrase-duration none --normalize-f1 zscore" +
            " --normalize-f2 zscore --normalize-duration zscore --export-normalized " + path("table.txt"));
    ASSERT_EQ(r.status, 0) << r.err;

    const auto lines = lines_of(read_file(dir / "table.txt"));
    ASSERT_EQ(lines.size(), 1669u);
    EXPECT_EQ(lines[0], "Speaker\tVowel\tF1\tF2\tDuration\tGroup");
    std::size_t missing = 0; // the F2 of speakers with a NULL F2
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = cells_of(lines[i], '\t');
        ASSERT_EQ(cells.size(), 6u) << lines[i];
        for (std::size_t c = 2; c <= 4; ++c) {
            // Printed the way "%.17g" prints the value it reads back as (fewer digits would not read back).
            char canonical[64];
            std::snprintf(canonical, sizeof canonical, "%.17g", std::strtod(cells[c].c_str(), nullptr));
            missing += cells[c] == "NaN";
            ASSERT_TRUE(cells[c] == canonical || cells[c] == "NaN") << lines[i];
        }
    }
    EXPECT_GT(missing, 0u);
}

} // namespace
