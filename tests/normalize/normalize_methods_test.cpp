// The normalization methods on the headless main window: what they write into the subject records,
// what they store, and every dialog they show.
#include "normalize/normalize_methods.h"

#include "support/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace tarvik::testing {
namespace {

constexpr double kTol = 1e-12;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const char* const kF1Column = "F1 (Hz)";
const char* const kF2Column = "F2 (Hz)";
const char* const kF1SelectTitle = "F1 (Hz): Select your extreme categories";

// How a dialog showed: kind, title, text, modal, waited for.
using Shown = std::tuple<std::string, std::string, TextList, bool, bool>;
Shown shown(const DialogRecord& d) {
    return {d.kind, d.title, d.text, d.modal, d.waited};
}

void expect_values(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "token " << i);
        if (std::isnan(expected[i]))
            EXPECT_TRUE(std::isnan(actual[i])) << actual[i];
        else if (std::isinf(expected[i]))
            EXPECT_EQ(actual[i], expected[i]);
        else
            EXPECT_NEAR(actual[i], expected[i], kTol);
    }
}

// The normalized values expected for one vowel target of one subject.
struct V {
    const char* subject;
    const char* vowel;
    std::vector<double> values;
};

// A vowel target whose F1 and F2 are the given values, durations given separately; rows numbered from `row`.
VowelTarget target(std::vector<double> f1, std::vector<double> duration = {},
                   std::optional<std::vector<double>> phrase = std::nullopt) {
    VowelTarget t;
    t.F1 = f1;
    t.F2 = f1;
    for (double& v : t.F2)
        v *= 2;
    t.Duration = duration.empty() ? std::vector<double>(f1.size(), 0.0) : duration;
    t.PhraseDuration = std::move(phrase);
    for (std::size_t i = 0; i < f1.size(); ++i)
        t.RowLocation.push_back(static_cast<double>(i + 1));
    return t;
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
        h.HeaderName.Subject = "Speaker";
        h.HeaderName.Vowel = "Vowel";
        h.HeaderName.F1 = kF1Column;
        h.HeaderName.F2 = kF2Column;
        h.HeaderName.Duration = "Dur";
        h.HeaderName.PhraseDuration = "(not available)";
        s.scripted.dialogs.clear();
    }
    const std::vector<double>& normalized(const HandlesAndStatus& r, const char* subj, const char* vowel,
                                          const char* category = "F1") const {
        return r.handles.dataSubject.at(subj).normalizedTargets.at(vowel).at(category);
    }
    void expect_normalized(const HandlesAndStatus& r, const char* category,
                           std::initializer_list<V> expected) const {
        for (const V& v : expected) {
            SCOPED_TRACE(::testing::Message() << v.subject << " " << v.vowel << " " << category);
            expect_values(normalized(r, v.subject, v.vowel, category), v.values);
        }
    }
    bool stored() const { return !s.record().dataSubject.empty(); }
    // The stored subject records hold the returned results (NaN matching NaN, which == cannot check).
    void expect_stored(const HandlesAndStatus& r) const {
        const Handles kept = s.record();
        ASSERT_EQ(kept.dataSubject.keys(), r.handles.dataSubject.keys());
        for (const auto& [name, subj] : r.handles.dataSubject) {
            const SubjectRecord& k = kept.dataSubject.at(name);
            EXPECT_EQ(k.normalizedTargets.keys(), subj.normalizedTargets.keys());
            for (const auto& [vowel, values] : subj.normalizedTargets)
                for (const auto& [category, list] : values)
                    expect_values(k.normalizedTargets.at(vowel).at(category), list);
        }
    }
    const std::vector<DialogRecord>& dialogs() const { return s.scripted.dialogs; }

    Handles h;
};

// --- behaviour every method shares ---------------------------------------------------------------

using Method = std::function<HandlesAndStatus(Runtime&, Handles, const std::string&)>;

struct MethodCase {
    const char* name;
    Method run;
};
void PrintTo(const MethodCase& c, std::ostream* os) {
    *os << c.name;
}

class EverySpectralMethod : public NormalizeMethod, public ::testing::WithParamInterface<MethodCase> {
  protected:
    void SetUp() override {
        NormalizeMethod::SetUp();
        h.dataSubject["s1"] = subject({{"i", target({10, 1000})}, {"a", target({100})}});
        s.scripted.inputAnswers = {{"i", "a"}};
    }
};

TEST_P(EverySpectralMethod, CompletesStoresAndLeavesOtherCategoriesAlone) {
    const HandlesAndStatus r = GetParam().run(s.rt, h, "F1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(s.record(), r.handles);
    for (const char* vowel : {"i", "a"}) {
        const CategoryValues& out = r.handles.dataSubject.at("s1").normalizedTargets.at(vowel);
        EXPECT_TRUE(out.contains("F1"));
        EXPECT_FALSE(out.contains("F2"));
        EXPECT_EQ(r.handles.dataSubject.at("s1").vowelTargets.at(vowel).F1,
                  h.dataSubject.at("s1").vowelTargets.at(vowel).F1);
    }
}

TEST_P(EverySpectralMethod, FailureIsReportedUnderItsOwnNameAndNotStored) {
    const HandlesAndStatus r = GetParam().run(s.rt, h, "F3");
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(stored());
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(shown(dialogs()[0]),
              Shown("warning", std::string("Let Quillon know: \"") + GetParam().name + "\"",
                    {"Function Error:\n\n Reference to non-existent field 'F3'."}, true, true));
}

INSTANTIATE_TEST_SUITE_P(
    Methods, EverySpectralMethod,
    ::testing::Values(MethodCase{"normalize_do_not_normalize", normalize_do_not_normalize},
                      MethodCase{"normalize_spectral_zscore", normalize_spectral_zscore},
                      MethodCase{"normalize_spectral_logarithmic", normalize_spectral_logarithmic},
                      MethodCase{"normalize_spectral_known_extremes", normalize_spectral_known_extremes}),
    [](const auto& info) { return std::string(info.param.name); });

// --- copy, z-score, logarithmic ------------------------------------------------------------------

using CopyZscoreLog = NormalizeMethod;

TEST_F(CopyZscoreLog, CopyTakesTheValuesAsTheyAre) {
    h.dataSubject["s1"] = subject({{"i", target({300, kNaN}, {0.1, 0.2})}, {"a", target({700})}});
    const HandlesAndStatus f1 = normalize_do_not_normalize(s.rt, h, "F1");
    expect_values(normalized(f1, "s1", "i"), {300, kNaN});
    const HandlesAndStatus dur = normalize_do_not_normalize(s.rt, f1.handles, "Duration");
    expect_values(normalized(dur, "s1", "i", "Duration"), {0.1, 0.2});
    expect_values(normalized(dur, "s1", "i", "F1"), {300, kNaN}); // the earlier category stays
    EXPECT_TRUE(dialogs().empty());
}

// Each subject's own vowels only; a subject with one vowel gets infinite scores and no message; one
// non-numeric cell makes every value of its subject NaN, and only of its subject.
TEST_F(CopyZscoreLog, ZscoreUsesEachSubjectsOwnVowels) {
    // s1: vowel means 2, 4, 6: M = 4, S = sqrt((4 + 0 + 4) / 2) = 2.
    // s2 (fewer vowels): means 10, 20: M = 15, S = sqrt(50).
    // s3 (one vowel mean): S = 0; 1 and 3 lie off the mean 2, 2 lies on it.
    h.dataSubject["s1"] = subject({{"i", target({1, 3})}, {"e", target({4})}, {"a", target({6})}});
    h.dataSubject["s2"] = subject({{"i", target({10})}, {"e", target({20})}});
    h.dataSubject["s3"] = subject({{"i", target({1, 2, 3})}});
    h.dataSubject["s4"] = subject({{"i", target({10, kNaN})}, {"a", target({1000})}});
    const HandlesAndStatus r = normalize_spectral_zscore(s.rt, h, "F1");
    EXPECT_EQ(r.status, 1);
    expect_normalized(r, "F1",
                      {V{"s1", "i", {-1.5, -0.5}}, V{"s1", "e", {0}}, V{"s1", "a", {1}},
                       V{"s2", "i", {-5 / std::sqrt(50.0)}}, V{"s2", "e", {5 / std::sqrt(50.0)}},
                       V{"s3", "i", {-kInf, kNaN, kInf}}, V{"s4", "i", {kNaN, kNaN}}, V{"s4", "a", {kNaN}}});
    EXPECT_TRUE(dialogs().empty());
}

TEST_F(CopyZscoreLog, LogarithmicKeepsTheLogsAndUsesEachSubjectsOwnVowels) {
    // s1: logs {1, 3}, {4}, {6}; vowel means 2, 4, 6; G = 4. s2: logs {2}, {4}; G = 3. s3: a NaN.
    h.dataSubject["s1"] = subject({{"i", target({10, 1000})}, {"e", target({1e4})}, {"a", target({1e6})}});
    h.dataSubject["s2"] = subject({{"i", target({100})}, {"e", target({1e4})}});
    h.dataSubject["s3"] = subject({{"i", target({10, kNaN})}, {"a", target({1000})}});
    const HandlesAndStatus r = normalize_spectral_logarithmic(s.rt, h, "F2");
    EXPECT_EQ(r.status, 1);
    // F2 is twice F1: every log is larger by log10(2), and so is G, so the results equal F1's.
    const double l2 = std::log10(2.0);
    expect_values(r.handles.dataSubject.at("s1").vowelTargets.at("i").log.at("F2"), {1 + l2, 3 + l2});
    expect_normalized(r, "F2",
                      {V{"s1", "i", {-3, -1}}, V{"s1", "e", {0}}, V{"s1", "a", {2}}, V{"s2", "i", {-1}},
                       V{"s2", "e", {1}}, V{"s3", "i", {kNaN, kNaN}}, V{"s3", "a", {kNaN}}});
    EXPECT_FALSE(r.handles.dataSubject.at("s1").normalization.contains("F2"));
    EXPECT_TRUE(dialogs().empty());
}

// --- known extremes ------------------------------------------------------------------------------

class KnownExtremes : public NormalizeMethod {
  protected:
    void SetUp() override {
        NormalizeMethod::SetUp();
        // s1 has i, e, a; s2 only a and i, in another order: the common targets are "a", "i".
        h.dataSubject["s1"] =
            subject({{"i", target({10, 1000})}, {"e", target({1e4})}, {"a", target({1e6})}});
        h.dataSubject["s2"] = subject({{"a", target({1e5})}, {"i", target({100})}});
    }
    HandlesAndStatus run(const std::string& category = "F1") {
        return normalize_spectral_known_extremes(s.rt, h, category);
    }
    static std::string refusal(const std::string& answer, int k) {
        return "You selected '" + answer + "' as the spectral value number " + std::to_string(k) +
               ". That is not a target value associated with all subjects. Please enter an available vowel "
               "target name.";
    }
    // The kinds of the dialogs shown, in order.
    TextList kinds() const {
        TextList out;
        for (const auto& d : dialogs())
            out.push_back(d.kind);
        return out;
    }
    // A message box that replaces the previous one of its title, so not modal.
    void expect_refusal(const DialogRecord& d, const std::string& answer, int k) const {
        EXPECT_EQ(shown(d), Shown("message", kF1SelectTitle, {refusal(answer, k)}, false, true));
        EXPECT_EQ(d.icon, Icon::Warn);
    }
};

TEST_F(KnownExtremes, AsksThenNormalizesByTheMidpointOfTheExtremes) {
    s.scripted.questionAnswers = {""}; // the question closed without a choice goes on
    s.scripted.inputAnswers = {{"i", "a"}};
    const HandlesAndStatus r = run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(s.record(), r.handles);

    ASSERT_EQ(kinds(), (TextList{"question", "input"}));
    const DialogRecord& q = dialogs()[0];
    EXPECT_EQ(q.title, "Continue with Known Extremes normalization?");
    EXPECT_EQ(q.text, TextList{"Here are the vowel targets that exist for all subjects:\n \na\ni\n \n"
                               "Would you like to continue anyway?\n "});
    EXPECT_EQ(q.buttons, (TextList{"continue", "cancel", "continue"}));
    EXPECT_TRUE(q.modal);
    const DialogRecord& in = dialogs()[1];
    EXPECT_EQ(in.title, kF1SelectTitle);
    EXPECT_EQ(in.text,
              (TextList{"You are normalizing for the F1 (Hz) spectral target.\nAgain, here are the targets "
                        "that exist for all subjects:\n\n a i\n\nPlease enter the first extreme category:",
                        "Please enter the second extreme category:"}));

    // s1: mu(i) = 2, mu(a) = 6, G = 4. s2: mu(i) = 2, mu(a) = 5, G = 3.5.
    const SubjectRecord& s1 = r.handles.dataSubject.at("s1");
    EXPECT_EQ(s1.normalization.at("F1").grandmean, 4);
    expect_values(s1.vowelTargets.at("e").log.at("F1"), {4});
    expect_normalized(r, "F1", {V{"s1", "i", {-3, -1}}, V{"s1", "e", {0}}, V{"s1", "a", {2}}});
    EXPECT_EQ(r.handles.dataSubject.at("s2").normalization.at("F1").grandmean, 3.5);
    expect_normalized(r, "F1", {V{"s2", "a", {1.5}}, V{"s2", "i", {-1.5}}});
}

TEST_F(KnownExtremes, ASingleSubjectListsItsTargetsInDataOrder) {
    h.dataSubject.clear();
    h.dataSubject["s1"] = subject({{"i", target({10})}, {"e", target({100})}, {"a", target({1000})}});
    s.scripted.inputAnswers = {{"e", "e"}};
    const HandlesAndStatus r = run();
    EXPECT_EQ(dialogs()[0].text,
              TextList{"Here are the vowel targets that exist for all subjects:\n \ni\ne\na\n \n"
                       "Would you like to continue anyway?\n "});
    EXPECT_NE(dialogs()[1].text[0].find("\n\n i e a\n\n"), std::string::npos);
    // The same target twice: G is e's mean log, 2.
    EXPECT_EQ(r.handles.dataSubject.at("s1").normalization.at("F1").grandmean, 2);
    expect_normalized(r, "F1", {V{"s1", "i", {-1}}, V{"s1", "a", {1}}});
}

TEST_F(KnownExtremes, CancelAtTheQuestionStopsAtOnceAndAtTheInputWarnsAndStops) {
    s.scripted.questionAnswers = {"cancel"};
    s.scripted.inputAnswers = {{"i", "a"}};
    HandlesAndStatus r = run();
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(kinds(), TextList{"question"});
    EXPECT_FALSE(stored());
    EXPECT_TRUE(r.handles.dataSubject.at("s1").normalizedTargets.empty());

    s.scripted.dialogs.clear();
    s.scripted.inputAnswers.clear(); // no input answer: the dialog is cancelled
    r = run();
    EXPECT_EQ(r.status, -1);
    ASSERT_EQ(kinds(), (TextList{"question", "input", "message"}));
    const DialogRecord& d = dialogs()[2];
    EXPECT_EQ(d.text,
              TextList{"You have cancelled this normalization or not entered any values. Please reselect "
                       "your normalization procedures."});
    EXPECT_EQ(d.title, kF1SelectTitle);
    EXPECT_EQ(d.icon, Icon::Warn);
    EXPECT_TRUE(d.waited);
    EXPECT_FALSE(stored());
}

// A refused answer is named and the input dialog shown again; answers are compared exactly.
TEST_F(KnownExtremes, RefusedAnswersAreNamedAndTheDialogShownAgain) {
    s.scripted.inputAnswers = {{"i", "e"}, {"i", "a"}}; // "e" is not a target of s2
    EXPECT_EQ(run().status, 1);
    ASSERT_EQ(kinds(), (TextList{"question", "input", "message", "input"}));
    expect_refusal(dialogs()[2], "e", 2);
    EXPECT_EQ(dialogs()[3].text, dialogs()[1].text);

    s.scripted.dialogs.clear();
    s.scripted.inputAnswers = {{"o", "u"}}; // both refused: two warnings, then the cancelled input
    EXPECT_EQ(run().status, -1);
    ASSERT_EQ(kinds(), (TextList{"question", "input", "message", "message", "input", "message"}));
    expect_refusal(dialogs()[2], "o", 1);
    expect_refusal(dialogs()[3], "u", 2);

    s.scripted.dialogs.clear();
    s.scripted.inputAnswers = {{"I", "i"}, {" a", "i"}, {"", "i"}};
    EXPECT_EQ(run().status, -1);
    ASSERT_EQ(kinds(), (TextList{"question", "input", "message", "input", "message", "input", "message",
                                 "input", "message"}));
    expect_refusal(dialogs()[2], "I", 1);
    expect_refusal(dialogs()[4], " a", 1);
    expect_refusal(dialogs()[6], "", 1);
}

TEST_F(KnownExtremes, WithNoCommonTargetOnlyCancelLeaves) {
    h.dataSubject.clear();
    h.dataSubject["s1"] = subject({{"i", target({10})}});
    h.dataSubject["s2"] = subject({{"a", target({10})}});
    s.scripted.inputAnswers = {{"i", "a"}, {"a", "i"}};
    EXPECT_EQ(run().status, -1);
    EXPECT_EQ(dialogs()[0].text, TextList{"Here are the vowel targets that exist for all subjects:\n \n \n"
                                          "Would you like to continue anyway?\n "});
    EXPECT_NE(dialogs()[1].text[0].find("subjects:\n\n\n\nPlease"), std::string::npos);
    EXPECT_EQ(kinds(), (TextList{"question", "input", "message", "message", "input", "message", "message",
                                 "input", "message"}));
}

TEST_F(KnownExtremes, ANaNInAnExtremeMakesItsSubjectNaN) {
    h.dataSubject.at("s1").vowelTargets.at("i").F1 = {10, kNaN};
    s.scripted.inputAnswers = {{"i", "a"}};
    const HandlesAndStatus r = run();
    EXPECT_EQ(r.status, 1);
    expect_normalized(r, "F1", {V{"s1", "e", {kNaN}}, V{"s2", "a", {1.5}}});
}

TEST_F(KnownExtremes, F2IsTitledWithTheF2Column) {
    s.scripted.inputAnswers = {{"i", "a"}};
    const HandlesAndStatus r = run("F2");
    EXPECT_EQ(dialogs()[1].title, "F2 (Hz): Select your extreme categories");
    EXPECT_EQ(dialogs()[1].text[0].rfind("You are normalizing for the F2 (Hz) spectral target.", 0), 0u);
    // F2 is twice F1, so the shift by G removes the factor: the same results.
    expect_values(normalized(r, "s1", "i", "F2"), {-3, -1});
    EXPECT_FALSE(r.handles.dataSubject.at("s1").normalization.contains("F1"));
}

// --- duration z-score ----------------------------------------------------------------------------

using DurationZscoreMethod = NormalizeMethod;

TEST_F(DurationZscoreMethod, StoresEachSubjectsScoresCentreAndSpreadAndReportsANaN) {
    // s1: D = mean(2, 5) = 3.5; tokens {1, 3, 5}: S = 2. s2 has one token: S = 0, its score 0/0, no message.
    // s3 has a NaN duration: one warning, every score of s3 NaN, the other subjects unaffected.
    h.dataSubject["s1"] = subject({{"a", target({0, 0}, {1, 3})}, {"b", target({0}, {5})}});
    h.dataSubject["s2"] = subject({{"a", target({0}, {4})}});
    h.dataSubject["s3"] = subject({{"a", target({0, 0}, {1, kNaN})}, {"b", target({0}, {5})}});
    const HandlesAndStatus r = normalize_duration_zscore(s.rt, h);
    EXPECT_EQ(r.status, 1);
    expect_stored(r);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(shown(dialogs()[0]),
              Shown("warning", "Cannot proceed.",
                    {"You have an invalid durational value for the subject 's3' for the vowel target 'a': "
                     "You should correct your data file and start again."},
                    true, false));
    expect_normalized(r, "Duration",
                      {V{"s1", "a", {-1.25, -0.25}}, V{"s1", "b", {0.75}}, V{"s2", "a", {kNaN}},
                       V{"s3", "a", {kNaN, kNaN}}, V{"s3", "b", {kNaN}}});
    const SubjectRecord& s1 = r.handles.dataSubject.at("s1");
    EXPECT_EQ(s1.normalization.at("duration").grandmean, 3.5);
    EXPECT_EQ(s1.grandmeanDuration, 3.5);
    EXPECT_EQ(s1.stdDuration, 2);
    EXPECT_EQ(r.handles.dataSubject.at("s2").stdDuration, 0);
}

// --- phrase duration -----------------------------------------------------------------------------

class PhraseDurationMethod : public NormalizeMethod {
  protected:
    void SetUp() override {
        NormalizeMethod::SetUp();
        h.HeaderName.PhraseDuration = "Phrase";
    }
};

TEST_F(PhraseDurationMethod, WithoutAPhraseColumnTheOptionIsNotPossible) {
    h.HeaderName.PhraseDuration = "(not available)";
    h.dataSubject["s1"] = subject({{"a", target({0}, {5})}});
    const HandlesAndStatus r = normalize_duration_phrase_duration(s.rt, h);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(stored());
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(shown(dialogs()[0]),
              Shown("warning", "Option not possible",
                    {"You must have data with phrase duration in Step 1. If you mistakenly selected '(not "
                     "available)' for Phrase Duration in Step 1, then please return to Step 1, select the "
                     "correct header name, and then press Step 1's CONTINUE button."},
                    true, false));
}

TEST_F(PhraseDurationMethod, RescalesEachSubjectByItsOwnMeansAndReportsInvalidValuesPerVowel) {
    // s1: D = 3.5, P = 22.5 (see the pure tests). s2 (fewer vowels): D = 2, P = 10; 2/10 x 2/10 = 0.04.
    // s3: a zero phrase gives an infinite token, no message. s4: invalid values, reported per vowel.
    h.dataSubject["s1"] = subject({{"a", target({0, 0}, {1, 3}, std::vector<double>{10, 20})},
                                   {"b", target({0}, {5}, std::vector<double>{30})}});
    h.dataSubject["s2"] = subject({{"a", target({0}, {2}, std::vector<double>{10})}});
    h.dataSubject["s3"] = subject({{"a", target({0, 0}, {1, 3}, std::vector<double>{0, 20})}});
    h.dataSubject["s4"] = subject({{"a", target({0, 0}, {1, kNaN}, std::vector<double>{10, kNaN})},
                                   {"b", target({0}, {5}, std::vector<double>{kNaN})}});
    const HandlesAndStatus r = normalize_duration_phrase_duration(s.rt, h);
    EXPECT_EQ(r.status, 1);
    expect_stored(r);
    // s3: D = 2, P = 10: 1/0 is infinite; (3/20)(2/10) = 0.03.
    expect_normalized(r, "Duration",
                      {V{"s1", "a", {7.0 / 450, 7.0 / 300}}, V{"s1", "b", {7.0 / 270}}, V{"s2", "a", {0.04}},
                       V{"s3", "a", {kInf, 0.03}}, V{"s4", "b", {kNaN}}});
    const std::string tail = "': You should correct your data file and start again.";
    const TextList expected{
        "You have an invalid durational value for subject 's4' for the vowel target 'a" + tail,
        "You have an invalid phrase durational value for subject 's4' for the vowel target 'a" + tail,
        "You have an invalid phrase durational value for subject 's4' for the vowel target 'b" + tail};
    ASSERT_EQ(dialogs().size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(shown(dialogs()[k]), Shown("warning", "Should not proceed", {expected[k]}, true, false));
}

TEST_F(PhraseDurationMethod, MissingPhraseValuesAreAFailure) {
    h.dataSubject["s1"] = subject({{"a", target({0}, {5})}}); // no phrase durations in the record
    const HandlesAndStatus r = normalize_duration_phrase_duration(s.rt, h);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(stored());
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "Let Quillon know: \"normalize_duration_phrase_duration\"");
    EXPECT_EQ(dialogs()[0].text,
              TextList{"Function Error:\n\n Reference to non-existent field 'PhraseDuration'."});
    EXPECT_TRUE(dialogs()[0].waited);
}

} // namespace
} // namespace tarvik::testing
