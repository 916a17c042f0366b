#include "normalize/normalize_methods.h"

#include "app/background.h"
#include "app/guarded.h"
#include "app/warnings.h"
#include "core/format.h"
#include "normalize/normalized_table.h"
#include "normalize/subject_normalization.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

namespace tarvik {

namespace {

const char* const kNormalizing = "Normalizing %s:";
const char* const kSubjectProgress = "subject %s (%s of %s)";

// Known extremes: the question.
const char* const kQuestionTitle = "Continue with Known Extremes normalization?";
const char* const kQuestionLead = "Here are the vowel targets that exist for all subjects:";
const char* const kQuestionAsk = "Would you like to continue anyway?";
const char* const kContinue = "continue";
const char* const kCancel = "cancel";

// Known extremes: the choice of the two targets.
const char* const kSelectTitle = "%s: Select your extreme categories";
const char* const kFirstPrompt =
    "You are normalizing for the %s spectral target.\nAgain, here are the targets that "
    "exist for all subjects:\n\n%s\n\nPlease enter the first extreme category:";
const char* const kSecondPrompt = "Please enter the second extreme category:";
const char* const kSelectCancelled =
    "You have cancelled this normalization or not entered any values. Please "
    "reselect your normalization procedures.";
const char* const kNotCommon =
    "You selected '%s' as the spectral value number %s. That is not a target value "
    "associated with all subjects. Please enter an available vowel target name.";

// Watt-Fabricius: the two corner vowel targets.
const char* const kCornersTitle = "Watt-Fabricius: name the corner vowels";
const char* const kCornerIPrompt =
    "The vowel targets that exist for all subjects:\n\n%s\n\nThe high front corner vowel (as i):";
const char* const kCornerAPrompt = "The low corner vowel (as a):";

// Duration z-score.
const char* const kZscoreInvalidTitle = "Cannot proceed.";
const char* const kZscoreInvalid = "You have an invalid durational value for the subject '%s' for the vowel "
                                   "target '%s': You should correct your data file and start again.";

// Phrase duration.
const char* const kNotAvailable = "(not available)";
const char* const kNoPhraseTitle = "Option not possible";
const char* const kNoPhrase =
    "You must have data with phrase duration in Step 1. If you mistakenly selected '(not "
    "available)' for Phrase Duration in Step 1, then please return to Step 1, select the "
    "correct header name, and then press Step 1's CONTINUE button.";
const char* const kPhraseInvalidTitle = "Should not proceed";
const char* const kPhraseInvalidDuration =
    "You have an invalid durational value for subject '%s' for the vowel "
    "target '%s': You should correct your data file and start again.";
const char* const kPhraseInvalidPhrase =
    "You have an invalid phrase durational value for subject '%s' for the "
    "vowel target '%s': You should correct your data file and start again.";

const char* const kDurationStats = "duration"; // key of the duration z-score's entry in `normalization`

[[noreturn]] void no_field(const std::string& name) {
    throw std::runtime_error("Reference to non-existent field '" + name + "'.");
}

// The subject's token lists of one category, vowel target by vowel target.
VowelValues category_values(const SubjectRecord& subject, const std::string& category) {
    VowelValues out;
    out.reserve(subject.vowelTargets.size());
    for (const auto& [vowel, target] : subject.vowelTargets)
        out.push_back(token_values(target, category));
    return out;
}

// The user's column name of a category; empty while the roles are not yet mapped.
std::string header_name(const HeaderNames& names, const std::string& category) {
    if (category == "F1")
        return names.F1.value_or("");
    if (category == "F2")
        return names.F2.value_or("");
    if (category == "Duration")
        return names.Duration.value_or("");
    no_field(category);
}

void write_normalized(SubjectRecord& subject, const std::string& category, const VowelValues& values) {
    std::size_t v = 0;
    for (const auto& [vowel, target] : subject.vowelTargets)
        subject.normalizedTargets[vowel][category] = values[v++];
}

void write_logs(SubjectRecord& subject, const std::string& category, const VowelValues& logs) {
    std::size_t v = 0;
    for (auto& [vowel, target] : subject.vowelTargets)
        target.log[category] = logs[v++];
}

std::string join_lines(const TextList& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\n" : "") + lines[i];
    return out;
}

void show_and_wait(const Runtime& rt, const std::string& text, const std::string& title) {
    rt.dialogs().wait(rt.dialogs().message({text}, title, Icon::Warn, WindowStyle::Replace));
}

// Runs `each` over every subject of the record away from the window's thread, the progress dialog naming
// the subject; false when the user cancelled.
bool each_subject(Runtime& rt, Handles& h, const std::string& category,
                  const std::function<void(const std::string&, SubjectRecord&)>& each) {
    // The record's subjects are made its own here, before the work writes to them.
    std::vector<std::pair<const std::string*, SubjectRecord*>> items;
    for (auto& [name, subject] : h.dataSubject.edit())
        items.emplace_back(&name, &subject);
    const std::string total = format_count(items.size());
    return run_items_in_background(
        rt, fill(kNormalizing, {category}), items.size(),
        [&](std::size_t k) { return fill(kSubjectProgress, {*items[k].first, format_count(k + 1), total}); },
        [&](std::size_t k) { each(*items[k].first, *items[k].second); });
}

// Runs a method's body under its own failure report (the status is 0 unless the body sets it).
HandlesAndStatus run_method(Runtime& rt, Handles handles, const char* name, const std::function<int(Handles&)>& body);

// A method that normalizes every subject on its own: status 1, or -1 when the user cancelled.
HandlesAndStatus per_subject_method(Runtime& rt, Handles handles, const char* name, const std::string& category,
                                    const std::function<void(SubjectRecord&)>& each) {
    return run_method(rt, std::move(handles), name, [&](Handles& h) {
        if (!each_subject(rt, h, category, [&](const std::string&, SubjectRecord& subject) { each(subject); }))
            return -1;
        rt.store(h);
        return 1;
    });
}

// Runs a method's body under its own failure report (the status is 0 unless the body sets it).
HandlesAndStatus run_method(Runtime& rt, Handles handles, const char* name,
                            const std::function<int(Handles&)>& body) {
    int status = 0;
    guarded(rt, ReportForm::B, name, [&] { status = body(handles); });
    return {std::move(handles), status};
}

// The targets named by the user that are not one of `common`, each with its message; true when there is none.
bool all_common(const Runtime& rt, const TextList& common, const std::string& title,
                const std::array<std::string, 2>& chosen) {
    bool accepted = true;
    for (std::size_t k = 0; k < 2; ++k)
        if (std::find(common.begin(), common.end(), chosen[k]) == common.end()) {
            show_and_wait(rt, fill(kNotCommon, {chosen[k], std::to_string(k + 1)}), title);
            accepted = false;
        }
    return accepted;
}

// The extreme targets of a request when every subject has them; else their messages and nothing.
std::optional<std::pair<std::string, std::string>> checked_extremes(const Runtime& rt, const TextList& common,
                                                                    const std::string& column,
                                                                    const std::pair<std::string, std::string>& given) {
    if (!all_common(rt, common, fill(kSelectTitle, {column}), {given.first, given.second}))
        return std::nullopt;
    return given;
}

// The two extreme targets the user names, each one of `common`; nothing when the user cancels.
std::optional<std::pair<std::string, std::string>> ask_extremes(const Runtime& rt, const TextList& common,
                                                                const std::string& column) {
    TextList question{kQuestionLead, " "};
    question.insert(question.end(), common.begin(), common.end());
    question.insert(question.end(), {" ", kQuestionAsk, " "});
    if (rt.dialogs().question(join_lines(question), kQuestionTitle, kContinue, kCancel, kContinue) == kCancel)
        return std::nullopt;

    std::string targetText;
    for (const auto& t : common)
        targetText += " " + t;
    const std::string title = fill(kSelectTitle, {column});
    const TextList prompts{fill(kFirstPrompt, {column, targetText}), kSecondPrompt};
    for (;;) {
        const TextList answers = rt.dialogs().input(prompts, title, 2);
        if (answers.empty()) {
            show_and_wait(rt, kSelectCancelled, title);
            return std::nullopt;
        }
        std::array<std::string, 2> chosen;
        for (std::size_t k = 0; k < 2; ++k)
            chosen[k] = k < answers.size() ? answers[k] : "";
        if (all_common(rt, common, title, chosen))
            return std::pair{chosen[0], chosen[1]};
    }
}

} // namespace

HandlesAndStatus normalize_do_not_normalize(Runtime& rt, Handles handles, const std::string& category) {
    return per_subject_method(rt, std::move(handles), "normalize_do_not_normalize", category, [&](SubjectRecord& subject) {
        write_normalized(subject, category, category_values(subject, category));
    });
}

HandlesAndStatus normalize_spectral_zscore(Runtime& rt, Handles handles, const std::string& category) {
    return per_subject_method(rt, std::move(handles), "normalize_spectral_zscore", category, [&](SubjectRecord& subject) {
        write_normalized(subject, category, spectral_zscore(category_values(subject, category)).normalized);
    });
}

HandlesAndStatus normalize_spectral_logarithmic(Runtime& rt, Handles handles, const std::string& category) {
    return per_subject_method(rt, std::move(handles), "normalize_spectral_logarithmic", category, [&](SubjectRecord& subject) {
        const LogShift r = spectral_logarithmic(category_values(subject, category));
        write_logs(subject, category, r.logs);
        write_normalized(subject, category, r.normalized);
    });
}

HandlesAndStatus normalize_spectral_known_extremes(Runtime& rt, Handles handles, const std::string& category,
                                                   const std::optional<std::pair<std::string, std::string>>& given) {
    return run_method(rt, std::move(handles), "normalize_spectral_known_extremes", [&](Handles& h) {
        std::vector<TextList> targets;
        for (const auto& [name, subject] : h.dataSubject)
            targets.push_back(subject.vowelTargets.keys());
        const TextList common = common_targets(targets);
        const std::string column = header_name(h.HeaderName, category);
        const auto extremes = given ? checked_extremes(rt, common, column, *given) : ask_extremes(rt, common, column);
        if (!extremes)
            return -1;
        if (!each_subject(rt, h, category, [&](const std::string&, SubjectRecord& subject) {
                const LogShift r =
                    spectral_known_extremes(category_values(subject, category),
                                            token_values(subject.vowelTargets.at(extremes->first), category),
                                            token_values(subject.vowelTargets.at(extremes->second), category));
                write_logs(subject, category, r.logs);
                write_normalized(subject, category, r.normalized);
                subject.normalization[category].grandmean = r.G;
            }))
            return -1;
        rt.store(h);
        return 1;
    });
}

HandlesAndStatus normalize_spectral_log_mean_shared(Runtime& rt, Handles handles, const std::string& category) {
    return per_subject_method(rt, std::move(handles), "normalize_spectral_log_mean_shared", category, [&](SubjectRecord& subject) {
        const LogShift r = spectral_log_mean_shared(category_values(subject, category),
                                                    category_values(subject, "F1"),
                                                    category_values(subject, "F2"));
        write_logs(subject, category, r.logs);
        write_normalized(subject, category, r.normalized);
        subject.normalization[category].grandmean = r.G;
    });
}

std::optional<std::pair<std::string, std::string>> watt_corners(Runtime& rt, const Handles& h,
                                                                const std::optional<std::pair<std::string, std::string>>& given) {
    std::vector<TextList> targets;
    for (const auto& [name, subject] : h.dataSubject)
        targets.push_back(subject.vowelTargets.keys());
    const TextList common = common_targets(targets);
    std::array<std::string, 2> chosen;
    if (given) {
        chosen = {given->first, given->second};
    } else {
        const TextList answers =
            rt.dialogs().input({fill(kCornerIPrompt, {join_lines(common)}), kCornerAPrompt}, kCornersTitle, 1);
        if (answers.size() != 2) {
            show_and_wait(rt, kSelectCancelled, kCornersTitle);
            return std::nullopt;
        }
        chosen = {answers[0], answers[1]};
    }
    if (!all_common(rt, common, kCornersTitle, chosen))
        return std::nullopt;
    return std::pair{chosen[0], chosen[1]};
}

HandlesAndStatus normalize_spectral_watt_fabricius(Runtime& rt, Handles handles, const std::string& category,
                                                   const std::pair<std::string, std::string>& corners) {
    return per_subject_method(rt, std::move(handles), "normalize_spectral_watt_fabricius", category, [&](SubjectRecord& subject) {
        const VowelTarget& i = subject.vowelTargets.at(corners.first);
        const Scaled r = spectral_watt_fabricius(category_values(subject, category), token_values(i, category),
                                                 token_values(subject.vowelTargets.at(corners.second), category),
                                                 token_values(i, "F1"));
        write_normalized(subject, category, r.normalized);
        subject.normalization[category].grandmean = r.S;
    });
}

HandlesAndStatus normalize_spectral_bark(Runtime& rt, Handles handles, const std::string& category) {
    return per_subject_method(rt, std::move(handles), "normalize_spectral_bark", category, [&](SubjectRecord& subject) {
        write_normalized(subject, category, spectral_bark(category_values(subject, category)));
    });
}

HandlesAndStatus normalize_duration_zscore(Runtime& rt, Handles handles) {
    return run_method(rt, std::move(handles), "normalize_duration_zscore", [&](Handles& h) {
        Warnings invalid(kZscoreInvalidTitle);
        if (!each_subject(rt, h, "Duration", [&](const std::string& name, SubjectRecord& subject) {
                const DurationZscore r = duration_zscore(category_values(subject, "Duration"));
                const TextList vowels = subject.vowelTargets.keys();
                for (std::size_t v = 0; v < vowels.size(); ++v)
                    if (r.invalid[v])
                        invalid.add(fill(kZscoreInvalid, {name, vowels[v]}));
                write_normalized(subject, "Duration", r.normalized);
                subject.normalization[kDurationStats].grandmean = r.D;
                subject.grandmeanDuration = r.D;
                subject.stdDuration = r.S;
            }))
            return -1;
        h = invalid.report(rt, std::move(h));
        rt.store(h);
        return 1;
    });
}

HandlesAndStatus normalize_duration_phrase_duration(Runtime& rt, Handles handles) {
    return run_method(rt, std::move(handles), "normalize_duration_phrase_duration", [&](Handles& h) {
        if (h.HeaderName.PhraseDuration == kNotAvailable) {
            rt.dialogs().warning({kNoPhrase}, kNoPhraseTitle, true);
            return 0;
        }
        Warnings invalid(kPhraseInvalidTitle);
        if (!each_subject(rt, h, "Duration", [&](const std::string& name, SubjectRecord& subject) {
                const PhraseDuration r = duration_phrase_duration(category_values(subject, "Duration"),
                                                                  category_values(subject, "PhraseDuration"));
                const TextList vowels = subject.vowelTargets.keys();
                for (std::size_t v = 0; v < vowels.size(); ++v) {
                    if (r.invalidDuration[v])
                        invalid.add(fill(kPhraseInvalidDuration, {name, vowels[v]}));
                    if (r.invalidPhrase[v])
                        invalid.add(fill(kPhraseInvalidPhrase, {name, vowels[v]}));
                }
                write_normalized(subject, "Duration", r.normalized);
            }))
            return -1;
        h = invalid.report(rt, std::move(h));
        rt.store(h);
        return 1;
    });
}

} // namespace tarvik
