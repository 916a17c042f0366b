// The normalization methods on the headless main window: the formulas per subject (checked against hand
// derivations written beside each case), what they store, and every dialog they show.
#include "normalize/normalize_methods.h"

#include "import/import_session.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace tarvik::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const char* const kF1SelectTitle = "F1 (Hz): Select your extreme categories";

// NaN matches NaN, infinities match exactly, finite values within 1e-12.
void expect_values(const std::vector<double>& actual, const std::vector<double>& expected) {
    EXPECT_THAT(actual, ::testing::Pointwise(::testing::NanSensitiveDoubleNear(1e-12), expected));
}

// The normalized values expected for one vowel target of one subject.
struct V {
    const char* subject;
    const char* vowel;
    std::vector<double> values;
};

// A vowel target with the given F1 values, durations and phrase durations.
VowelTarget target(std::vector<double> f1, std::vector<double> duration = {},
                   std::optional<std::vector<double>> phrase = std::nullopt) {
    return VowelTarget{std::move(f1), {}, std::move(duration), std::move(phrase), {}, {}};
}

SubjectRecord subject(std::initializer_list<std::pair<const char*, VowelTarget>> targets) {
    SubjectRecord s;
    for (const auto& [name, t] : targets)
        s.vowelTargets[name] = t;
    return s;
}

// A started session and a record with the column roles mapped; the start-up dialogs are forgotten.
class NormalizeMethod : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        h = s.record();
        h.HeaderName = {"Speaker", "Vowel", "F1 (Hz)", "F2 (Hz)", "Dur", "(not available)"};
        s.scripted.dialogs.clear();
    }
    void expect_normalized(const HandlesAndStatus& r, const char* category,
                           std::initializer_list<V> expected) const {
        for (const V& v : expected) {
            SCOPED_TRACE(::testing::Message() << v.subject << " " << v.vowel << " " << category);
            expect_values(r.handles.dataSubject.at(v.subject).normalizedTargets.at(v.vowel).at(category),
                          v.values);
        }
    }
    bool stored() const { return !s.record().dataSubject.empty(); }
    const std::vector<DialogRecord>& dialogs() const { return s.scripted.dialogs; }

    Handles h;
};

// ---- failures, reported under each method's own name ------------------------------------------------

// The spectral methods are asked for a field F3 there is none of; phrase duration has its column mapped
// but no phrase durations in the record (without the column it refuses, which the driver's test pins).
TEST_F(NormalizeMethod, FailureIsReportedUnderTheMethodsOwnNameAndNotStored) {
    h.dataSubject["s1"] = subject({{"i", target({10, 1000})}, {"a", target({100})}});
    h.HeaderName.PhraseDuration = "Phrase";
    using Method = HandlesAndStatus (*)(Runtime&, Handles, const std::string&);
    const Method phrase = [](Runtime& rt, Handles h, const std::string&) {
        return normalize_duration_phrase_duration(rt, std::move(h));
    };
    const Method extremes = [](Runtime& rt, Handles h, const std::string& category) {
        return normalize_spectral_known_extremes(rt, std::move(h), category);
    };
    for (const auto& [name, method, field] : std::vector<std::tuple<std::string, Method, std::string>>{
             {"normalize_do_not_normalize", normalize_do_not_normalize, "F3"},
             {"normalize_spectral_zscore", normalize_spectral_zscore, "F3"},
             {"normalize_spectral_logarithmic", normalize_spectral_logarithmic, "F3"},
             {"normalize_spectral_known_extremes", extremes, "F3"},
             {"normalize_duration_phrase_duration", phrase, "PhraseDuration"}}) {
        s.scripted.dialogs.clear();
        s.scripted.inputAnswers = {{"i", "a"}};
        EXPECT_EQ(method(s.rt, h, "F3").status, 0) << name;
        EXPECT_FALSE(stored());
        ASSERT_EQ(dialogs().size(), 1u) << name;
        EXPECT_EQ(shown(dialogs()[0]),
                  Shown("warning", "Let Quillon know: \"" + name + "\"",
                        {"Function Error:\n\n Reference to non-existent field '" + field + "'."}, Icon::Warn,
                        true, true));
    }
}

// ---- z-score, logarithmic --------------------------------------------------------------------

// Each subject's own vowels, every vowel weighing the same; a subject with one vowel gets infinite scores
// and no message; one non-numeric cell makes every value of its subject NaN, and only of its subject.
TEST_F(NormalizeMethod, SpectralZscoreUsesTheMeanAndSampleSpreadOfEachSubjectsVowelMeans) {
    // s1: vowel means 2, 4, 6: M = 4 (the token mean would be 3.5), S = sqrt((4 + 0 + 4) / 2) = 2.
    // s2 (fewer vowels): means 10, 20: M = 15, S = sqrt(50).
    // s3 (one vowel mean): S = 0; 1 and 3 lie off the mean 2, 2 lies on it.
    h.dataSubject["s1"] = subject({{"i", target({1, 3})}, {"e", target({4})}, {"a", target({6})}});
    h.dataSubject["s2"] = subject({{"i", target({10})}, {"e", target({20})}});
    h.dataSubject["s3"] = subject({{"i", target({1, 2, 3})}});
    h.dataSubject["s4"] = subject({{"i", target({10, kNaN})}, {"a", target({1000})}});
    const HandlesAndStatus r = normalize_spectral_zscore(s.rt, h, "F1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(s.record(), r.handles);
    expect_normalized(r, "F1",
                      {V{"s1", "i", {-1.5, -0.5}}, V{"s1", "e", {0}}, V{"s1", "a", {1}},
                       V{"s2", "i", {-5 / std::sqrt(50.0)}}, V{"s2", "e", {5 / std::sqrt(50.0)}},
                       V{"s3", "i", {-kInf, kNaN, kInf}}, V{"s4", "i", {kNaN, kNaN}}, V{"s4", "a", {kNaN}}});
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(NormalizeMethod, SpectralLogarithmicSubtractsTheMeanOfEachSubjectsVowelMeanLogs) {
    // s1: logs {1, 3}, {4}, {6}; vowel means 2, 4, 6; G = 4 (the token mean would be 3.5).
    // s2: logs {2}, {4}; G = 3. s3: a NaN.
    h.dataSubject["s1"] = subject({{"i", target({10, 1000})}, {"e", target({1e4})}, {"a", target({1e6})}});
    h.dataSubject["s2"] = subject({{"i", target({100})}, {"e", target({1e4})}});
    h.dataSubject["s3"] = subject({{"i", target({10, kNaN})}, {"a", target({1000})}});
    const HandlesAndStatus r = normalize_spectral_logarithmic(s.rt, h, "F1");
    EXPECT_EQ(r.status, 1);
    expect_values(r.handles.dataSubject.at("s1").vowelTargets.at("i").log.at("F1"), {1, 3});
    expect_normalized(r, "F1",
                      {V{"s1", "i", {-3, -1}}, V{"s1", "e", {0}}, V{"s1", "a", {2}}, V{"s2", "i", {-1}},
                       V{"s2", "e", {1}}, V{"s3", "i", {kNaN, kNaN}}, V{"s3", "a", {kNaN}}});
    EXPECT_TRUE(dialogs().empty());
}

// ---- known extremes --------------------------------------------------------------------------------

class KnownExtremes : public NormalizeMethod {
  protected:
    void SetUp() override {
        NormalizeMethod::SetUp();
        // s1 has i, e, a; s2 i, a, u; s3 i and a: the common targets, sorted, are "a", "i". A NaN outside
        // the extremes (s2's u) stays in its token; in one (s3's i) it makes its whole subject NaN.
        h.dataSubject["s1"] =
            subject({{"i", target({10, 1000})}, {"e", target({1e4})}, {"a", target({1e6})}});
        h.dataSubject["s2"] = subject({{"i", target({100})}, {"a", target({1e5})}, {"u", target({kNaN})}});
        h.dataSubject["s3"] = subject({{"i", target({kNaN})}, {"a", target({1e5})}});
    }
    HandlesAndStatus run() { return normalize_spectral_known_extremes(s.rt, h, "F1"); }
    // The kinds of the dialogs shown, in order.
    TextList kinds() const {
        TextList out;
        for (const auto& d : dialogs())
            out.push_back(d.kind);
        return out;
    }
    // A message box that replaces the previous one of its title, so not modal.
    void expect_refusal(const DialogRecord& d, const std::string& answer, int k) const {
        const std::string text = "You selected '" + answer + "' as the spectral value number " +
                                 std::to_string(k) +
                                 ". That is not a target value associated with all subjects. Please enter an "
                                 "available vowel target name.";
        EXPECT_EQ(shown(d), Shown("message", kF1SelectTitle, {text}, Icon::Warn, false, true));
    }
};

TEST_F(KnownExtremes, AsksThenNormalizesByTheMidpointOfTheExtremes) {
    s.scripted.questionAnswers = {""}; // the question closed without a choice goes on
    s.scripted.inputAnswers = {{"i", "a"}};
    const HandlesAndStatus r = run();
    EXPECT_EQ(r.status, 1);

    ASSERT_EQ(kinds(), (TextList{"question", "input"}));
    const DialogRecord& q = dialogs()[0];
    EXPECT_EQ(q.text, TextList{"Here are the vowel targets that exist for all subjects:\n \na\ni\n \n"
                               "Would you like to continue anyway?\n "});
    EXPECT_EQ(q.buttons, (TextList{"continue", "cancel", "continue"}));
    EXPECT_EQ(dialogs()[1].text,
              (TextList{"You are normalizing for the F1 (Hz) spectral target.\nAgain, here are the targets "
                        "that exist for all subjects:\n\n a i\n\nPlease enter the first extreme category:",
                        "Please enter the second extreme category:"}));

    // s1: mu(i) = 2, mu(a) = 6, G = 4. s2: mu(i) = 2, mu(a) = 5, G = 3.5.
    const SubjectRecord& s1 = r.handles.dataSubject.at("s1");
    EXPECT_EQ(s1.normalization.at("F1").grandmean, 4);
    expect_values(s1.vowelTargets.at("e").log.at("F1"), {4});
    expect_normalized(r, "F1", {V{"s1", "i", {-3, -1}}, V{"s1", "e", {0}}, V{"s1", "a", {2}}});
    EXPECT_EQ(r.handles.dataSubject.at("s2").normalization.at("F1").grandmean, 3.5);
    expect_normalized(
        r, "F1", {V{"s2", "a", {1.5}}, V{"s2", "i", {-1.5}}, V{"s2", "u", {kNaN}}, V{"s3", "a", {kNaN}}});
}

TEST_F(KnownExtremes, ASingleSubjectListsItsTargetsInDataOrderAndOneTargetMayBeBothExtremes) {
    const SubjectRecord s1 = h.dataSubject.at("s1");
    h.dataSubject.clear();
    h.dataSubject["s1"] = s1;
    s.scripted.inputAnswers = {{"e", "e"}};
    const HandlesAndStatus r = run();
    EXPECT_EQ(dialogs()[0].text,
              TextList{"Here are the vowel targets that exist for all subjects:\n \ni\ne\na\n \n"
                       "Would you like to continue anyway?\n "});
    EXPECT_NE(dialogs()[1].text[0].find("\n\n i e a\n\n"), std::string::npos);
    // G is e's mean log, 4.
    EXPECT_EQ(r.handles.dataSubject.at("s1").normalization.at("F1").grandmean, 4);
    expect_normalized(r, "F1", {V{"s1", "i", {-3, -1}}, V{"s1", "a", {2}}});
}

// A refused answer is named and the input dialog shown again, until both answers given in it are common
// targets; answers are compared exactly. Cancelling the input dialog warns and stops (cancelling the
// question is walked by the driver's test).
TEST_F(KnownExtremes, RefusedAnswersAreNamedAndTheDialogShownAgainUntilCancelled) {
    s.scripted.inputAnswers = {{"o", "u"}, {"I", "a"}}; // then the input is cancelled
    EXPECT_EQ(run().status, -1);
    ASSERT_EQ(kinds(),
              (TextList{"question", "input", "message", "message", "input", "message", "input", "message"}));
    expect_refusal(dialogs()[2], "o", 1);
    expect_refusal(dialogs()[3], "u", 2);
    EXPECT_EQ(dialogs()[4].text, dialogs()[1].text);
    expect_refusal(dialogs()[5], "I", 1);
    EXPECT_EQ(shown(dialogs()[7]),
              Shown("message", kF1SelectTitle,
                    {"You have cancelled this normalization or not entered any values. Please reselect "
                     "your normalization procedures."},
                    Icon::Warn, false, true));
    EXPECT_FALSE(stored());

    // With no target common to all subjects every answer is refused.
    h.dataSubject.at("s2") = subject({{"o", target({10})}});
    s.scripted.dialogs.clear();
    s.scripted.inputAnswers = {{"i", "a"}};
    EXPECT_EQ(run().status, -1);
    EXPECT_EQ(dialogs()[0].text, TextList{"Here are the vowel targets that exist for all subjects:\n \n \n"
                                          "Would you like to continue anyway?\n "});
    EXPECT_EQ(kinds(), (TextList{"question", "input", "message", "message", "input", "message"}));
}

// ---- duration ---------------------------------------------------------------------------------------

TEST_F(NormalizeMethod, DurationZscoreCentresOnTheVowelMeansScalesByEveryTokenAndReportsANaN) {
    // s1: D = mean(2, 5) = 3.5 (the token mean would be 3); tokens {1, 3, 5}: S = 2 (the vowel means'
    // spread would be sqrt(4.5), the tokens' population spread sqrt(8 / 3)).
    // s2 has one token: S = 0, its score 0/0, no message.
    // s3 has a NaN duration: one warning, every score of s3 NaN, the other subjects unaffected.
    h.dataSubject["s1"] = subject({{"a", target({0, 0}, {1, 3})}, {"b", target({0}, {5})}});
    h.dataSubject["s2"] = subject({{"a", target({0}, {4})}});
    h.dataSubject["s3"] = subject({{"a", target({0, 0}, {1, kNaN})}, {"b", target({0}, {5})}});
    const HandlesAndStatus r = normalize_duration_zscore(s.rt, h);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(s.record().dataSubject.at("s1"), r.handles.dataSubject.at("s1"));
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(shown(dialogs()[0]),
              Shown("warning", "Cannot proceed.",
                    {"You have an invalid durational value for the subject 's3' for the vowel target 'a': "
                     "You should correct your data file and start again."},
                    Icon::Warn, true, false));
    expect_normalized(r, "Duration",
                      {V{"s1", "a", {-1.25, -0.25}}, V{"s1", "b", {0.75}}, V{"s2", "a", {kNaN}},
                       V{"s3", "a", {kNaN, kNaN}}, V{"s3", "b", {kNaN}}});
    const SubjectRecord& s1 = r.handles.dataSubject.at("s1");
    EXPECT_EQ(s1.normalization.at("duration").grandmean, 3.5);
    EXPECT_EQ(s1.grandmeanDuration, 3.5);
    EXPECT_EQ(s1.stdDuration, 2);

    // Twelve subjects with a NaN: one dialog with the count, the first ten lines and a pointer to the log,
    // which lists every line.
    const SubjectRecord invalid = h.dataSubject.at("s3");
    for (int k = 4; k <= 14; ++k)
        h.dataSubject["s" + std::to_string(k)] = invalid;
    s.scripted.dialogs.clear();
    normalize_duration_zscore(s.rt, h);
    ASSERT_EQ(dialogs().size(), 1u);
    const TextList& text = dialogs()[0].text;
    EXPECT_EQ(dialogs()[0].title, "Cannot proceed.");
    ASSERT_EQ(text.size(), 12u);
    EXPECT_EQ(text.front(), "12 warnings:");
    EXPECT_NE(text[10].find("the subject 's12'"), std::string::npos);
    EXPECT_EQ(text.back(), "... and 2 more; the log lists every one.");
    const TextList& log = s.log();
    EXPECT_EQ(std::ranges::count_if(log, [](const auto& l) { return l.starts_with("You have an invalid"); }),
              13);
    EXPECT_NE(std::ranges::find(log, "Warning: Cannot proceed."), log.end());
}

TEST_F(NormalizeMethod, PhraseDurationRescalesEachSubjectByItsOwnMeansAndReportsInvalidValuesPerVowel) {
    // s1: Dm = {2, 5}, D = 3.5; Pm = {15, 30}, P = 22.5 (token means would give 3 and 20); D / P = 7/45:
    // (1/10)(7/45) = 7/450, (3/20)(7/45) = 7/300, (5/30)(7/45) = 7/270.
    // s2 (fewer vowels): D = 2, P = 10; 2/10 x 2/10 = 0.04.
    // s3: D = 2, P = 10: a zero phrase gives an infinite token, no message; (3/20)(2/10) = 0.03.
    // s4: invalid values, reported per vowel.
    h.HeaderName.PhraseDuration = "Phrase";
    h.dataSubject["s1"] = subject({{"a", target({0, 0}, {1, 3}, std::vector<double>{10, 20})},
                                   {"b", target({0}, {5}, std::vector<double>{30})}});
    h.dataSubject["s2"] = subject({{"a", target({0}, {2}, std::vector<double>{10})}});
    h.dataSubject["s3"] = subject({{"a", target({0, 0}, {1, 3}, std::vector<double>{0, 20})}});
    h.dataSubject["s4"] = subject({{"a", target({0, 0}, {1, kNaN}, std::vector<double>{10, kNaN})},
                                   {"b", target({0}, {5}, std::vector<double>{kNaN})}});
    const HandlesAndStatus r = normalize_duration_phrase_duration(s.rt, h);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(s.record().dataSubject.at("s1"), r.handles.dataSubject.at("s1"));
    expect_normalized(r, "Duration",
                      {V{"s1", "a", {7.0 / 450, 7.0 / 300}}, V{"s1", "b", {7.0 / 270}}, V{"s2", "a", {0.04}},
                       V{"s3", "a", {kInf, 0.03}}, V{"s4", "b", {kNaN}}});
    const std::string tail = "': You should correct your data file and start again.";
    const TextList expected{
        "You have an invalid durational value for subject 's4' for the vowel target 'a" + tail,
        "You have an invalid phrase durational value for subject 's4' for the vowel target 'a" + tail,
        "You have an invalid phrase durational value for subject 's4' for the vowel target 'b" + tail};
    ASSERT_EQ(dialogs().size(), 1u);
    TextList text = expected;
    text.insert(text.begin(), "3 warnings:");
    EXPECT_EQ(shown(dialogs()[0]), Shown("warning", "Should not proceed", text, Icon::Warn, true, false));
}

} // namespace
} // namespace tarvik::testing
