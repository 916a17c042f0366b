// The batch tool's group and overlap stages on the example study: fits, overlap tables and refusals.
#include "batch/batch_process.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace {

using namespace tarvik::testing;

const std::string kData = "--data '" + kExamples + "hillenbrand.txt' ";
const std::string kStudy = kData + kRoles + kZscores;
const std::string kThreeGroups =
    " --group 'iy=Vowel:iy' --group 'ih=Vowel:ih' --group 'men uw=Vowel:uw;Group:man'";

using BatchOverlap = BatchProcessTest;

TEST_F(BatchOverlap, EveryPairInBothDimensionsGoesToCsvJsonAndLog) {
    const auto csv = dir / "overlap.csv", json = dir / "overlap.json", log = dir / "log.txt",
               fit = dir / "fit.csv";
    const Outcome r = run(kStudy + kThreeGroups + " --overlap both --csv '" + csv.string() + "' --json '" +
                          json.string() + "' --log '" + log.string() + "' --fit '" + fit.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;

    const auto rows = lines_of(read_file(csv));
    ASSERT_EQ(rows.size(), 7u); // header, three 2D pairs, three 3D pairs
    EXPECT_EQ(rows[0], "dimension,index_a,index_b,group_a,group_b,value,e1_fraction,e2_fraction,e1_count,"
                       "e2_count,both_count");
    const std::vector<std::pair<std::string, std::string>> order = {{"1", "2"}, {"1", "3"}, {"2", "3"}};
    for (std::size_t k = 0; k < 6; ++k) {
        const auto cells = cells_of(rows[k + 1], ',');
        ASSERT_EQ(cells.size(), 11u) << rows[k + 1];
        EXPECT_EQ(cells[0], k < 3 ? "2D" : "3D");
        EXPECT_EQ(cells[1], order[k % 3].first);
        EXPECT_EQ(cells[2], order[k % 3].second);
        // value is the larger fraction, each fraction the shared count over the group's own
        const double e1 = std::stod(cells[6]), e2 = std::stod(cells[7]);
        const double n1 = std::stod(cells[8]), n2 = std::stod(cells[9]), both = std::stod(cells[10]);
        EXPECT_DOUBLE_EQ(std::stod(cells[5]), std::max(e1, e2));
        EXPECT_DOUBLE_EQ(e1, both / n1);
        EXPECT_DOUBLE_EQ(e2, both / n2);
    }
    EXPECT_EQ(cells_of(rows[2], ',')[4], "men uw");

    const auto doc = nlohmann::json::parse(read_file(json));
    EXPECT_EQ(doc.at("format"), "tarvik3d-overlap");
    ASSERT_EQ(doc.at("pairs").size(), 6u);
    EXPECT_EQ(doc.at("pairs")[3].at("dimension"), "3D");
    EXPECT_EQ(doc.at("pairs")[3].at("both_count").get<double>(), std::stod(cells_of(rows[4], ',')[10]));

    const auto logLines = lines_of(read_file(log));
    for (const char* start : {"2D VOWEL OVERLAP of Group <", "3D VOWEL OVERLAP of Group <"})
        EXPECT_EQ(std::count_if(logLines.begin(), logLines.end(),
                                [&](const std::string& l) { return l.rfind(start, 0) == 0; }),
                  3)
            << start;
    EXPECT_TRUE(contains(logLines, "   GROUP 3: men uw"));

    const auto fits = lines_of(read_file(fit));
    ASSERT_EQ(fits.size(), 4u);
    EXPECT_EQ(fits[0],
              "index,name,tokens,avg_f2,avg_f1,avg_duration,theta,phi,A,B,C,avg2D_f2,avg2D_f1,theta2D,"
              "A2D,B2D");
    EXPECT_EQ(cells_of(fits[3], ',')[2], "45"); // the men's uw tokens
}

TEST_F(BatchOverlap, OnePairAtItsOwnResolution) {
    for (const char* resolution : {"4", "40,40,40"})
        ASSERT_EQ(run(kStudy + kThreeGroups + " --overlap 3d --pair 3,1 --resolution " + resolution +
                      " --csv '" + (dir / resolution).string() + "'")
                      .status,
                  0);
    const auto a = lines_of(read_file(dir / "4")), b = lines_of(read_file(dir / "40,40,40"));
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(cells_of(a[1], ',')[1], "3");
    EXPECT_EQ(cells_of(a[1], ',')[2], "1");
    // 5^3 and 41^3 grid points: the finer grid counts many more points inside the first shape
    EXPECT_LT(std::stod(cells_of(a[1], ',')[8]), 125);
    EXPECT_GT(std::stod(cells_of(b[1], ',')[8]), std::stod(cells_of(a[1], ',')[8]));
}

TEST_F(BatchOverlap, RefusalsExitWithTheReason) {
    const struct {
        std::string args;
        int status;
        std::string reason; // a part of standard error
    } cases[] = {
        {kStudy + kThreeGroups + " --overlap 3d --pair 1,4", 1, "only 3 groups"},
        {kData +
             "--subject Speaker --vowel Vowel --f1 F1 --f2 F2 --duration none --phrase-duration none "
             "--normalize-f1 zscore --normalize-f2 zscore" +
             kThreeGroups + " --overlap 3d",
         1, "This option is not available since there was no duration information specified."},
        {kStudy + " --overlap 2d", 1, ""}, // no groups
        {"--overlap 4d", 2, ""},
        {"--resolution 0", 2, ""},
        {"--resolution 1001", 2,
         "option --resolution takes N or M,N,S (grid intervals from 1 to 1000), not '1001'"},
        {kStudy + " --overlap both --resolution 300", 2,
         "a 3D grid of 301 x 301 x 301 points is more than the 10 million that can be measured"},
        {"--group 'nothing'", 2, ""}};
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
}

} // namespace
