// Overlaps within each subject: each equals the pooled overlap of the same pair run on that subject's tokens
// alone; subjects with too few tokens are NaN and named once per pair; the summaries over subjects. And
// bootstrap intervals of the pooled pairs: the same for any order of the replicates, around the value.
#include "overlap/bootstrap.h"
#include "overlap/per_subject.h"

#include "grouping/group_step.h"
#include "import/import_step.h"
#include "normalize/normalize_step.h"
#include "overlap/overlap_step.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvik::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// plot_vowels.txt under z-scores, with the groups i, a, e of the vowels, each restricted to `speaker` when
// one is given.
Handles study(Session& s, const std::string& speaker = "") {
    s.start();
    EXPECT_TRUE(load_data(s.rt, {std::string(TARVIK_TEST_DATA_DIR) + "/plot_vowels.txt"}).done);
    EXPECT_TRUE(map_columns(s.rt, {"Speaker", "Vowel", "F1", "F2", "Dur", ""}).done);
    EXPECT_TRUE(normalize_data(s.rt, {SpectralMethod::ZScore, SpectralMethod::ZScore, DurationMethod::ZScore,
                                      {}, {}, {}})
                    .done);
    GroupsRequest groups;
    for (const char* vowel : {"i", "a", "e"}) {
        GroupDefinition& g = groups.groups.emplace_back(GroupDefinition{vowel, {{"Vowel", {vowel}}}});
        if (!speaker.empty())
            g.constraints.push_back({"Speaker", {speaker}});
    }
    EXPECT_TRUE(define_groups(s.rt, groups).done);
    EXPECT_TRUE(fit_groups(s.rt).done);
    return s.record();
}

bool same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

TEST(PerSubject, EachSubjectsResultsAreThePooledPairOnItsTokensAlone) {
    Session pooled;
    Handles h = study(pooled);
    const PerSubjectRequest request{{{1, 2}, {1, 3}, {2, 3}}, true, true, true};
    const auto result = per_subject_overlaps(h, request);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->subjects, (TextList{"s1", "s2"}));
    ASSERT_EQ(result->rows.size(), 6u);
    EXPECT_TRUE(result->warnings.empty());
    for (const std::string speaker : {"s1", "s2"}) {
        SCOPED_TRACE(speaker);
        Session alone;
        study(alone, speaker);
        for (const bool threeD : {false, true})
            ASSERT_TRUE(calculate_overlap(alone.rt, {threeD, std::nullopt, std::nullopt, 1}).done);
        const Handles one = alone.record();
        for (std::size_t p = 0; p < 3; ++p) {
            const SubjectPairResult& r = result->rows[p * 2 + (speaker == "s1" ? 0 : 1)];
            const OverlapCell& cell = one.overlap.at({r.first, r.second});
            EXPECT_EQ(r.shares2D->value, *cell.value2D);
            EXPECT_EQ(r.shares2D->Ebothsum, *cell.Ebothsum2D);
            EXPECT_EQ(r.shares3D->E1ovfrac, *cell.E1ovfrac);
            EXPECT_EQ(r.shares3D->E2sum, *cell.E2sum);
            const auto& a = one.v[static_cast<std::size_t>(r.first - 1)]->data;
            const auto& b = one.v[static_cast<std::size_t>(r.second - 1)]->data;
            EXPECT_EQ(r.measures3D->pillai, pair_measures(a, b, 3, "", "").measures.pillai);
            EXPECT_EQ(r.measures2D->euclidean, pair_measures(a, b, 2, "", "").measures.euclidean);
        }
    }
    // Cancelled after the first subject: no result.
    EXPECT_FALSE(per_subject_overlaps(h, request, [](std::size_t done, std::size_t) { return done < 1; }));
}

// A subject whose group is too small for a fit is NaN for that pair, and each pair names its subjects once
// per dimension; a pair that names no group is refused.
TEST(PerSubject, TooFewTokensAreNaNAndNamedOncePerPair) {
    Session s;
    Handles h = study(s);
    // Group 2 keeps three tokens of s1 (enough for an ellipse, not for an ellipsoid) and none of s2.
    const std::vector<Cell> speakers = h.dataNormalizedColumn->at("Speaker");
    int kept = 0;
    for (std::size_t r = 0; r < speakers.size(); ++r)
        if (h.dataColumn->at("Vowel")[r] == "a" && (std::get<std::string>(speakers[r]) == "s2" || ++kept > 3))
            h.dataColumn.edit().at("Vowel")[r] = "gone";
    const auto result = per_subject_overlaps(h, {{{1, 2}, {1, 3}}, true, true, false});
    ASSERT_TRUE(result);
    const SubjectPairResult &s1 = result->rows[0], &s2 = result->rows[1];
    EXPECT_TRUE(s1.shares2D && !s1.shares3D && !s2.shares2D && !s2.shares3D);
    EXPECT_TRUE(result->rows[2].shares3D && result->rows[3].shares3D);
    EXPECT_FALSE(s1.measures2D); // not asked for
    EXPECT_EQ(result->warnings,
              (TextList{"Pair i-a (2D): 1 subject has too few tokens in a group for a fit, and NaN: s2.",
                        "Pair i-a (3D): 2 subjects have too few tokens in a group for a fit, and NaN: s1, s2."}));
    EXPECT_THROW(per_subject_overlaps(h, {{{1, 4}}, true, false, false}), std::invalid_argument);
}

TEST(PerSubject, SummariesLeaveOutNaN) {
    const struct {
        std::vector<double> values;
        ColumnSummary expected;
    } cases[] = {
        {{0.5, kNaN, 0.25, 1.0, 0.0}, {0.4375, std::sqrt(0.546875 / 3), 0.375, 4}},
        {{2.0, kNaN}, {2.0, kNaN, 2.0, 1}},
        {{kNaN}, {kNaN, kNaN, kNaN, 0}},
        {{}, {kNaN, kNaN, kNaN, 0}},
    };
    for (const auto& c : cases) {
        const ColumnSummary got = summarize(c.values);
        EXPECT_TRUE(same(got.mean, c.expected.mean)) << got.mean;
        EXPECT_TRUE(same(got.median, c.expected.median)) << got.median;
        EXPECT_NEAR(std::isnan(got.sd) ? -1 : got.sd, std::isnan(c.expected.sd) ? -1 : c.expected.sd, 1e-15);
        EXPECT_EQ(got.defined, c.expected.defined);
    }
}

// Percentiles as NumPy computes them by default (linear between neighbours; numpy.percentile, run once):
// [0.3, 0.1, 0.7, 0.2, 0.9, 0.4] gives 0.1125 and 0.875 at 2.5 and 97.5, 0.125 and 0.85 at 5 and 95.
TEST(Bootstrap, PercentileIntervalsLeaveOutNaN) {
    const std::vector<double> values = {0.3, 0.1, kNaN, 0.7, 0.2, 0.9, 0.4};
    const struct {
        std::vector<double> values;
        double confidence, low, high;
        std::size_t defined;
    } cases[] = {{values, 0.95, 0.1125, 0.875, 6}, {values, 0.9, 0.125, 0.85, 6}, {{5.0}, 0.95, 5.0, 5.0, 1},
                 {{kNaN, kNaN}, 0.95, kNaN, kNaN, 0}};
    for (const auto& c : cases) {
        const Interval got = percentile_interval(c.values, c.confidence);
        EXPECT_TRUE(std::isnan(c.low) ? std::isnan(got.low) : std::abs(got.low - c.low) < 1e-15) << got.low;
        EXPECT_TRUE(std::isnan(c.high) ? std::isnan(got.high) : std::abs(got.high - c.high) < 1e-15) << got.high;
        EXPECT_EQ(got.defined, c.defined);
    }
}

// The replicates draw from generators of their own, so running them in another order (as threads do)
// changes nothing; a well-behaved pair's interval holds its pooled value; a group of two tokens has no
// ellipse in any replicate.
TEST(Bootstrap, TheSameSeedGivesTheSameIntervalsInAnyOrderAroundThePooledValue) {
    Session s;
    study(s);
    ASSERT_TRUE(calculate_overlap(s.rt, {false, std::pair{1, 3}, std::nullopt, 1}).done);
    Handles h = s.record();
    for (const Resample resample : {Resample::Tokens, Resample::Subjects}) {
        const BootstrapRequest request{{{1, 3}, {2, 3}}, false, 200, 7, 0.9, resample};
        BootstrapRun forward(h, request), backward(h, request);
        for (std::size_t b = 0; b < 200; ++b) {
            forward.run_replicate(b);
            backward.run_replicate(199 - b);
        }
        const auto a = forward.finish(), b = backward.finish();
        for (std::size_t p = 0; p < 2; ++p)
            for (std::size_t k = 0; k < kBootstrapStatistics.size(); ++k)
                EXPECT_TRUE(a[p][k].low == b[p][k].low && a[p][k].high == b[p][k].high &&
                            a[p][k].defined == b[p][k].defined);
        const double pooled = *h.overlap.at({1, 3}).value2D;
        EXPECT_EQ(a[0][0].defined, 200u);
        EXPECT_LE(a[0][0].low, pooled);
        EXPECT_GE(a[0][0].high, pooled);
        EXPECT_LT(a[0][0].low, a[0][0].high);
    }
    // Group a keeps two tokens: no ellipse in any replicate.
    int kept = 0;
    for (std::string& vowel : h.dataColumn.edit().at("Vowel"))
        if (vowel == "a" && ++kept > 2)
            vowel = "gone";
    BootstrapRun few(h, {{{1, 2}}, false, 20, 1, 0.95, Resample::Tokens});
    for (std::size_t b = 0; b < 20; ++b)
        few.run_replicate(b);
    const Interval value = few.finish()[0][0];
    EXPECT_TRUE(std::isnan(value.low) && std::isnan(value.high) && value.defined == 0);
}

// Within subjects, a subject's intervals are those of the same request on a study of that subject alone.
TEST(Bootstrap, WithinSubjectsEachSubjectsIntervalsAreThoseOfItsTokensAlone) {
    Session pooled;
    const Handles h = study(pooled);
    BootstrapRequest request{{{1, 2}, {2, 3}}, false, 50, 5, 0.9, Resample::Tokens, true};
    BootstrapRun within(h, request);
    ASSERT_EQ(within.replicates(), 100u);
    for (std::size_t r = within.replicates(); r-- > 0;)
        within.run_replicate(r);
    const auto all = within.finish();
    ASSERT_EQ(all.size(), 4u); // pair by pair, subject by subject
    request.withinSubjects = false;
    for (std::size_t s = 0; s < 2; ++s) {
        Session alone;
        const Handles one = study(alone, within.subjects()[s]); // the run reads the record it is given
        BootstrapRun run(one, request);
        for (std::size_t b = 0; b < 50; ++b)
            run.run_replicate(b);
        const auto got = run.finish();
        for (std::size_t p = 0; p < 2; ++p)
            for (std::size_t k = 0; k < kBootstrapStatistics.size(); ++k)
                EXPECT_TRUE(same(all[p * 2 + s][k].low, got[p][k].low) &&
                            same(all[p * 2 + s][k].high, got[p][k].high) &&
                            all[p * 2 + s][k].defined == got[p][k].defined)
                    << s << " " << p << " " << k;
    }
    request.withinSubjects = true;
    request.resample = Resample::Subjects;
    EXPECT_THROW(BootstrapRun(h, request), std::invalid_argument);
}

} // namespace
} // namespace tarvik::testing
