// Per-subject token records built from the data table and the column roles.
#include "grouping/subjects.h"
#include "grouping_tables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvik::testing {
namespace {

using Numbers = std::vector<double>;

const TextList kHeader = {"Speaker", "Vowel", "F1", "F2", "Dur", "Phrase"};

SubjectColumns columns3D() {
    return {"Speaker", "Vowel", "F1", "F2", "Dur", std::nullopt};
}

TEST(SubjectRecords, SubjectsVowelsAndTokensInOrderOfAppearanceAndNoneWithoutRows) {
    const auto rows = make_rows(kHeader, {{"w02", "iy", "300", "2500", "210", "900"},
                                          {"m01", "ae", "650", "1700", "250", "800"},
                                          {"w02", "ae", "700", "1800", "260", "950"},
                                          {"w02", "iy", "310", "2450", "220", "910"},
                                          {"m01", "uw", "320", "900", "230", "780"}});
    const auto subjects = build_subject_records(rows, columns3D());

    EXPECT_EQ(subjects.keys(), (TextList{"w02", "m01"}));
    EXPECT_EQ(subjects.at("w02").vowelTargets.keys(), (TextList{"iy", "ae"}));
    EXPECT_EQ(subjects.at("m01").vowelTargets.keys(), (TextList{"ae", "uw"}));

    // Data rows counted from 1; no phrase durations unless mapped.
    EXPECT_EQ(subjects.at("w02").vowelTargets.at("iy"),
              (VowelTarget{{300, 310}, {2500, 2450}, {210, 220}, std::nullopt, {1, 4}, {}}));
    EXPECT_EQ(subjects.at("m01").vowelTargets.at("uw").RowLocation, (Numbers{5}));
    EXPECT_TRUE(build_subject_records({}, columns3D()).empty());
}

TEST(SubjectRecords, RowsWithMissingSubjectOrVowelBelongNowhere) {
    const auto rows = make_rows(kHeader, {{"NULL", "ae", "1", "1", "1", "1"},
                                          {"s1", "NULL", "2", "2", "2", "2"},
                                          {"s2", "NULL", "3", "3", "3", "3"},
                                          {"s1", "ae", "4", "4", "4", "4"},
                                          {"NULL", "NULL", "5", "5", "5", "5"}});
    const auto subjects = build_subject_records(rows, columns3D());

    // s2 has only a missing vowel: it exists, with no vowel targets.
    EXPECT_EQ(subjects.keys(), (TextList{"s1", "s2"}));
    EXPECT_TRUE(subjects.at("s2").vowelTargets.empty());
    EXPECT_EQ(subjects.at("s1").vowelTargets.keys(), TextList{"ae"});
    EXPECT_EQ(subjects.at("s1").vowelTargets.at("ae").RowLocation, Numbers{4});
}

TEST(SubjectRecords, TwoDimensionalWorkHasZeroDurations) {
    const auto rows = make_rows(kHeader, {{"s1", "ae", "700", "1600", "250", "900"},
                                          {"s1", "ae", "710", "1650", "not measured", "900"}});
    SubjectColumns c = columns3D();
    c.duration.reset();
    const auto subjects = build_subject_records(rows, c);
    EXPECT_EQ(subjects.at("s1").vowelTargets.at("ae"),
              (VowelTarget{{700, 710}, {1600, 1650}, {0, 0}, std::nullopt, {1, 2}, {}}));
}

TEST(SubjectRecords, PhraseDurationOnlyWhenMapped) {
    const auto rows = make_rows(kHeader, {{"s1", "ae", "700", "1600", "250", "900"},
                                          {"s1", "iy", "300", "2500", "200", "x"},
                                          {"s1", "ae", "710", "1650", "240", "950.5"}});
    SubjectColumns c = columns3D();
    c.phraseDuration = "Phrase";
    const auto mapped = build_subject_records(rows, c).at("s1").vowelTargets; // a copy
    ASSERT_TRUE(mapped.at("ae").PhraseDuration.has_value());
    EXPECT_EQ(*mapped.at("ae").PhraseDuration, (Numbers{900, 950.5}));
    ASSERT_EQ(mapped.at("iy").PhraseDuration->size(), 1u);
    EXPECT_TRUE(std::isnan(mapped.at("iy").PhraseDuration->front()));

    const auto unmapped = build_subject_records(rows, columns3D());
    for (const auto& [vowel, target] : unmapped.at("s1").vowelTargets)
        EXPECT_FALSE(target.PhraseDuration.has_value()) << vowel;
}

TEST(SubjectRecords, TextThatIsNotANumberIsKeptAsNaN) {
    const auto rows =
        make_rows(kHeader, {{"s1", "ae", "n/a", "1600", "250", "0"}, {"s1", "ae", "700", "", "-2.5e1", "0"}});
    const auto subjects = build_subject_records(rows, columns3D());
    const VowelTarget& ae = subjects.at("s1").vowelTargets.at("ae");
    ASSERT_EQ(ae.F1.size(), 2u);
    EXPECT_TRUE(std::isnan(ae.F1[0]));
    EXPECT_EQ(ae.F1[1], 700);
    EXPECT_EQ(ae.F2[0], 1600);
    EXPECT_TRUE(std::isnan(ae.F2[1]));
    EXPECT_EQ(ae.Duration, (Numbers{250, -25}));
    EXPECT_EQ(ae.RowLocation, (Numbers{1, 2}));
}

TEST(SubjectRecords, LabelsNeedNotBeIdentifiers) {
    // A vowel labelled with a digit, IPA labels, a subject name with a blank and a hyphen.
    const auto rows = make_rows(kHeader, {{"spk 1-a", "3", "500", "1500", "100", "0"},
                                          {"spk 1-a", "\xC9\x9B\xCB\x90", "550", "1800", "150", "0"}, // ɛː
                                          {"\xC3\xB8ystein", "3", "510", "1510", "110", "0"}}); // øystein
    const auto subjects = build_subject_records(rows, columns3D());
    EXPECT_EQ(subjects.keys(), (TextList{"spk 1-a", "\xC3\xB8ystein"}));
    EXPECT_EQ(subjects.at("spk 1-a").vowelTargets.keys(), (TextList{"3", "\xC9\x9B\xCB\x90"}));
    EXPECT_EQ(subjects.at("\xC3\xB8ystein").vowelTargets.at("3").F1, Numbers{510});
}

TEST(SubjectRecords, AMissingColumnIsAnError) {
    const auto rows = make_rows(kHeader, {{"s1", "ae", "700", "1600", "250", "900"}});
    SubjectColumns c = columns3D();
    c.f2 = "Formant2";
    EXPECT_THROW(build_subject_records(rows, c), std::out_of_range);
    c = columns3D();
    c.phraseDuration = "PhraseDur";
    EXPECT_THROW(build_subject_records(rows, c), std::out_of_range);
}

TEST(SubjectColumnsFromRoles, UnchosenRolesAreRefused) {
    EXPECT_THROW(subject_columns(HeaderNames{}, true), std::invalid_argument);
    EXPECT_THROW(subject_columns(HeaderNames{"S", "V", "F1", "F2", std::nullopt, std::nullopt}, false),
                 std::invalid_argument);
    EXPECT_NO_THROW(subject_columns(HeaderNames{"S", "V", "F1", "F2", std::nullopt, std::nullopt}, true));
}

} // namespace
} // namespace tarvik::testing
