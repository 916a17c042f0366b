// Per-subject normalization arithmetic, checked against hand derivations written beside each case.
#include "normalize/subject_normalization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvik::testing {
namespace {

constexpr double kTol = 1e-12;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// NaN matches NaN, infinities match exactly, finite values within kTol.
void expect_same(double actual, double expected) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << actual;
    else if (std::isinf(expected))
        EXPECT_EQ(actual, expected);
    else
        EXPECT_NEAR(actual, expected, kTol);
}

void expect_values(const VowelValues& actual, const VowelValues& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t v = 0; v < expected.size(); ++v) {
        ASSERT_EQ(actual[v].size(), expected[v].size()) << "vowel " << v;
        for (std::size_t i = 0; i < expected[v].size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "vowel " << v << " token " << i);
            expect_same(actual[v][i], expected[v][i]);
        }
    }
}

// --- mean and spread ---------------------------------------------------------------------------

TEST(MeanAndSpread, MatchTheHandValues) {
    struct Case {
        std::vector<double> values;
        double mean, std;
    };
    for (const Case& c : {Case{{1, 3}, 2, std::sqrt(2.0)}, // mean 2, squares 1 + 1 over N - 1 = 1
                          Case{{2, 4, 6}, 4, 2},           // mean 4, squares 4 + 0 + 4 over 2
                          Case{{5}, 5, 0},                 // one value has no spread: 0, not 0/0
                          Case{{kNaN}, kNaN, kNaN}, Case{{kInf}, kInf, kNaN}, Case{{1, kNaN, 3}, kNaN, kNaN},
                          Case{{}, kNaN, kNaN}, Case{{-1, 1}, 0, std::sqrt(2.0)}}) {
        SCOPED_TRACE(::testing::PrintToString(c.values));
        expect_same(mean_of(c.values), c.mean);
        expect_same(sample_std(c.values), c.std);
    }
}

TEST(Logarithms, ZeroIsMinusInfinityAndNegativeIsNaN) {
    const std::vector<double> y = log10_values({1000, 1, 0, -10, kNaN});
    ASSERT_EQ(y.size(), 5u);
    expect_same(y[0], 3);
    expect_same(y[1], 0);
    expect_same(y[2], -kInf);
    expect_same(y[3], kNaN);
    expect_same(y[4], kNaN);
}

// --- spectral z-score --------------------------------------------------------------------------

TEST(SpectralZscore, UsesTheMeanAndSpreadOfTheVowelMeansWhateverTheirTokenCounts) {
    // a = {1, 3}, b = {5}: vowel means 2 and 5; M = 3.5; S = sqrt((1.5^2 + 1.5^2) / 1) = sqrt(4.5).
    const SpectralZscore r = spectral_zscore({{1, 3}, {5}});
    const double S = std::sqrt(4.5);
    expect_same(r.M, 3.5);
    expect_same(r.S, S);
    expect_values(r.normalized, {{-2.5 / S, -0.5 / S}, {1.5 / S}});
    // a's six tokens still have mean 2, so M and S are those of {2, 5}, as with a's two tokens.
    const SpectralZscore many = spectral_zscore({{1, 3, 1, 3, 1, 3}, {5}});
    expect_same(many.M, 3.5);
    expect_same(many.S, S);
}

TEST(SpectralZscore, OneVowelTargetHasNoSpread) {
    // One vowel mean, 2: S is 0, so tokens off the mean are infinite and the token on it is 0/0.
    const SpectralZscore r = spectral_zscore({{1, 2, 3}});
    expect_same(r.M, 2);
    expect_same(r.S, 0);
    expect_values(r.normalized, {{-kInf, kNaN, kInf}});
}

TEST(SpectralZscore, OneNaNTokenMakesTheWholeSubjectNaN) {
    const SpectralZscore r = spectral_zscore({{1, kNaN}, {5}, {7}});
    expect_values(r.normalized, {{kNaN, kNaN}, {kNaN}, {kNaN}});
}

// --- logarithmic -------------------------------------------------------------------------------

TEST(SpectralLogarithmic, SubtractsTheMeanOfTheVowelMeanLogsEveryVowelWeighingTheSame) {
    // a = {10, 1000}: logs {1, 3}, mu 2; b = {100}: log 2, mu 2. G = 2; no scaling.
    const LogShift r = spectral_logarithmic({{10, 1000}, {100}});
    expect_values(r.logs, {{1, 3}, {2}});
    expect_same(r.G, 2);
    expect_values(r.normalized, {{-1, 1}, {0}});
    // mu(a) = 1, mu(b) = 3 whatever b's count: G = 2 (a token-weighted mean would be 2.5).
    const LogShift weighed = spectral_logarithmic({{10}, {1000, 1000, 1000}});
    expect_same(weighed.G, 2);
    expect_values(weighed.normalized, {{-1}, {1, 1, 1}});
}

TEST(SpectralLogarithmic, AZeroMakesTheReferenceMinusInfinity) {
    // log10(0) = -Inf enters mu(a) and G: finite logs minus -Inf are +Inf, the zero's own is NaN.
    const LogShift r = spectral_logarithmic({{0, 10}, {100}});
    expect_same(r.G, -kInf);
    expect_values(r.normalized, {{kNaN, kInf}, {kInf}});
}

TEST(SpectralLogarithmic, ANegativeValueOrNaNMakesTheSubjectNaN) {
    for (double bad : {-10.0, kNaN}) {
        SCOPED_TRACE(bad);
        const LogShift r = spectral_logarithmic({{bad, 10}, {100}});
        expect_same(r.G, kNaN);
        expect_values(r.normalized, {{kNaN, kNaN}, {kNaN}});
    }
}

// --- known extremes ----------------------------------------------------------------------------

TEST(SpectralKnownExtremes, UsesTheMidpointOfTheTwoExtremes) {
    // Extremes a = {10, 1000} (mu 2) and c = {10000} (mu 4): G = 3.
    const VowelValues x{{10, 1000}, {100}, {10000}};
    const LogShift r = spectral_known_extremes(x, x[0], x[2]);
    expect_same(r.G, 3);
    expect_values(r.logs, {{1, 3}, {2}, {4}});
    expect_values(r.normalized, {{-2, 0}, {-1}, {1}});
    // The same target twice gives its own mean log.
    const LogShift same = spectral_known_extremes(x, x[0], x[0]);
    expect_same(same.G, 2);
    expect_values(same.normalized, {{-1, 1}, {0}, {2}});
}

TEST(SpectralKnownExtremes, ANaNStaysInItsTokenUnlessItIsInAnExtreme) {
    const VowelValues outside{{10, 1000}, {kNaN, 100}, {10000}};
    const LogShift r = spectral_known_extremes(outside, outside[0], outside[2]);
    expect_same(r.G, 3);
    expect_values(r.normalized, {{-2, 0}, {kNaN, -1}, {1}});

    const VowelValues inside{{10, kNaN}, {100}, {10000}};
    expect_values(spectral_known_extremes(inside, inside[0], inside[2]).normalized,
                  {{kNaN, kNaN}, {kNaN}, {kNaN}});
}

// --- common targets ----------------------------------------------------------------------------

TEST(CommonTargets, AreTheTargetsOfEverySubject) {
    using Subjects = std::vector<std::vector<std::string>>;
    using Common = std::vector<std::string>;
    const std::vector<std::pair<Subjects, Common>> cases = {
        {{{"u", "a", "i"}}, {"u", "a", "i"}},                            // one subject keeps its order
        {{{"u", "a", "i", "e"}, {"i", "u", "o", "a"}}, {"a", "i", "u"}}, // two or more: sorted
        {{{"u", "a", "i"}, {"i", "u"}, {"a", "u", "i", "e"}}, {"i", "u"}},
        // Capitals come before small letters in character-code order.
        {{{"a", "I", "i", "B"}, {"i", "B", "I", "a"}}, {"B", "I", "a", "i"}},
        {{{"a", "a", "b"}, {"b", "a"}}, {"a", "b"}}, // no repeats
        {{{"i"}, {"a"}}, {}},
        {{}, {}},
    };
    for (const auto& [subjects, common] : cases)
        EXPECT_EQ(common_targets(subjects), common) << ::testing::PrintToString(subjects);
}

// --- duration z-score --------------------------------------------------------------------------

TEST(DurationZscore, CentresOnTheVowelMeansAndScalesByEveryToken) {
    // a = {1, 3}, b = {5}: D = mean(2, 5) = 3.5; pooled {1, 3, 5}: mean 3, squares 4 + 0 + 4 over 2, S = 2.
    const DurationZscore r = duration_zscore({{1, 3}, {5}});
    expect_same(r.D, 3.5);
    expect_same(r.S, 2);
    expect_values(r.normalized, {{-1.25, -0.25}, {0.75}});
    EXPECT_EQ(r.invalid, (std::vector<bool>{false, false}));
    // a = {1, 3, 1, 3}: D stays 3.5. Pooled {1, 3, 1, 3, 5}: mean 2.6,
    // squares 2 x 1.6^2 + 2 x 0.4^2 + 2.4^2 = 5.12 + 0.32 + 5.76 = 11.2, over 4: S = sqrt(2.8).
    const DurationZscore many = duration_zscore({{1, 3, 1, 3}, {5}});
    expect_same(many.D, 3.5);
    expect_same(many.S, std::sqrt(2.8));
    expect_same(many.normalized[1][0], 1.5 / std::sqrt(2.8));
}

TEST(DurationZscore, OneTokenHasNoSpreadAndScoresNaN) {
    const DurationZscore r = duration_zscore({{4}});
    expect_same(r.D, 4);
    expect_same(r.S, 0);
    expect_values(r.normalized, {{kNaN}});
    EXPECT_EQ(r.invalid, std::vector<bool>{false});
}

TEST(DurationZscore, ANaNMarksItsVowelAndSpreadsToTheSubject) {
    const DurationZscore r = duration_zscore({{1, 3}, {kNaN, 5}, {7}});
    EXPECT_EQ(r.invalid, (std::vector<bool>{false, true, false}));
    expect_same(r.D, kNaN);
    expect_same(r.S, kNaN);
    expect_values(r.normalized, {{kNaN, kNaN}, {kNaN, kNaN}, {kNaN}});
}

// --- phrase duration ---------------------------------------------------------------------------

TEST(PhraseDuration, RescalesTheShareOfThePhraseEveryVowelWeighingTheSame) {
    // Dm = {2, 5}, D = 3.5; Pm = {15, 30}, P = 22.5; D / P = 7/45.
    // (1/10)(7/45) = 7/450, (3/20)(7/45) = 7/300, (5/30)(7/45) = 7/270.
    const PhraseDuration r = duration_phrase_duration({{1, 3}, {5}}, {{10, 20}, {30}});
    expect_same(r.D, 3.5);
    expect_same(r.P, 22.5);
    expect_values(r.normalized, {{7.0 / 450, 7.0 / 300}, {7.0 / 270}});
    EXPECT_EQ(r.invalidDuration, (std::vector<bool>{false, false}));
    EXPECT_EQ(r.invalidPhrase, (std::vector<bool>{false, false}));
    // Repeating a's tokens leaves Dm, Pm and therefore every result unchanged.
    const PhraseDuration many = duration_phrase_duration({{1, 3, 1, 3}, {5}}, {{10, 20, 10, 20}, {30}});
    expect_same(many.D, 3.5);
    expect_same(many.P, 22.5);
    expect_same(many.normalized[1][0], 7.0 / 270);
}

TEST(PhraseDuration, AZeroPhraseGivesAnInfiniteToken) {
    // Pm(a) = 10, P = 20, D / P = 0.175: 1/0 is infinite, the other tokens stay finite.
    const PhraseDuration r = duration_phrase_duration({{1, 3}, {5}}, {{0, 20}, {30}});
    expect_values(r.normalized, {{kInf, 0.15 * 0.175}, {5.0 / 30 * 0.175}});
}

TEST(PhraseDuration, NaNsMarkTheirVowelsAndSpreadToTheSubject) {
    const PhraseDuration r = duration_phrase_duration({{1, kNaN}, {5}, {6}}, {{10, 20}, {30}, {kNaN}});
    EXPECT_EQ(r.invalidDuration, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(r.invalidPhrase, (std::vector<bool>{false, false, true}));
    expect_values(r.normalized, {{kNaN, kNaN}, {kNaN}, {kNaN}});
}

TEST(PhraseDuration, RefusesPhrasesOfAnotherShape) {
    EXPECT_THROW(duration_phrase_duration({{1, 3}, {5}}, {{10}, {30}}), std::invalid_argument);
    EXPECT_THROW(duration_phrase_duration({{1, 3}, {5}}, {{10, 20}}), std::invalid_argument);
}

} // namespace
} // namespace tarvik::testing
