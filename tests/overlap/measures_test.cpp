#include "overlap/measures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvik {
namespace {

Matrix tokens(const std::vector<std::vector<double>>& rows) {
    Matrix m(rows.size(), rows.front().size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            m(r, c) = rows[r][c];
    return m;
}

const Matrix kA = tokens({{1.2, 0.3, 0.5}, {1.0, 0.5, 0.1}, {1.4, 0.2, 0.3}, {0.9, 0.4, 0.2}, {1.1, 0.1, 0.6}, {1.3, 0.6, 0.4}});
const Matrix kB = tokens({{0.2, 1.1, 0.7}, {0.5, 0.9, 0.2}, {0.1, 1.3, 0.9}, {0.4, 1.0, 0.4}, {0.3, 0.7, 0.5},
                          {0.6, 1.2, 0.8}, {0.0, 0.8, 0.3}});
const Matrix kC = tokens({{1.0, 0.6, 0.4}, {1.2, 0.4, 0.2}, {0.8, 0.7, 0.5}, {1.1, 0.3, 0.3}, {0.9, 0.5, 0.1}});

std::vector<double> as_list(const PairMeasures& m) {
    return {m.pillai, m.pillaiF, m.pillaiDf1, m.pillaiDf2, m.pillaiP, m.pillaiNull,
            m.bhattacharyyaDistance, m.bhattacharyyaAffinity, m.mahalanobis, m.euclidean};
}

// Pillai (V, F, df1, df2, p, null), Bhattacharyya (distance, affinity), Mahalanobis, Euclidean, as NumPy
// and SciPy compute them (tests/data/reference/measures.py).
TEST(Measures, AgreeWithAnIndependentComputation) {
    const struct {
        const Matrix* b;
        std::size_t dims;
        std::vector<double> expected;
    } cases[] = {
        {&kB, 2, {0.8915094339622642, 41.08695652173917, 2.0, 10.0, 1.503003096912255e-05, 0.16666666666666666,
                  3.523453003967642, 0.02949740445841762, 5.289448068519551, 1.0700467279516346}},
        {&kB, 3, {0.8915515365152318, 24.662909216056857, 3.0, 9.0, 0.00011248402038756699, 0.25, 3.904270718721403,
                  0.02015564826962961, 5.290599643374777, 1.08728739418381}},
        {&kC, 2, {0.2441229656419528, 1.2918660287081327, 2.0, 8.0, 0.32644092656560186, 0.2, 0.31166111011126246,
                  0.7322296314044263, 1.0323708024175278, 0.21213203435596417}},
        {&kC, 3, {0.24809908285647073, 0.7699124270225178, 3.0, 7.0, 0.5463953321545476, 0.3, 0.5613899727325444,
                  0.5704156503647781, 1.0434922840102796, 0.21794494717703355}},
    };
    for (const auto& c : cases) {
        const MeasuresResult r = pair_measures(kA, *c.b, c.dims, "a", "b");
        EXPECT_TRUE(r.problems.empty());
        const std::vector<double> got = as_list(r.measures);
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k], c.expected[k], 1e-12 * std::max(1.0, std::abs(c.expected[k]))) << c.dims << "D #" << k;
    }
}

// Degenerate groups give NaN for what needs them, with one line naming the group; what can still be
// computed is.
TEST(Measures, DegenerateGroupsGiveNaNAndSayWhy) {
    const Matrix line = tokens({{0.1, 0.2}, {0.2, 0.4}, {0.3, 0.6}, {0.4, 0.8}}); // on one line
    const Matrix two = tokens({{0.1, 0.2}, {0.3, 0.1}});
    const Matrix none(0, 2);
    const struct {
        const Matrix* b;
        std::vector<std::string> problems;
        bool pooled; // Pillai and Mahalanobis defined
    } cases[] = {
        {&line, {"The tokens of group b lie in fewer than 2 dimensions: its covariance is singular."}, true},
        {&two, {"Group b has 2 tokens: the measures need at least 3 tokens."}, true},
        {&none, {"Group b has 0 tokens: the measures need at least 1 token."}, false},
    };
    for (const auto& c : cases) {
        const MeasuresResult r = pair_measures(kA, *c.b, 2, "a", "b");
        EXPECT_EQ(r.problems, c.problems);
        EXPECT_TRUE(std::isnan(r.measures.bhattacharyyaDistance));
        EXPECT_TRUE(std::isnan(r.measures.bhattacharyyaAffinity));
        EXPECT_EQ(std::isfinite(r.measures.pillai), c.pooled);
        EXPECT_EQ(std::isfinite(r.measures.mahalanobis), c.pooled);
        EXPECT_EQ(std::isfinite(r.measures.euclidean), c.b->rows > 0);
    }
}

} // namespace
} // namespace tarvik
