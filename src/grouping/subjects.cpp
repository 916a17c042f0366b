#include "grouping/subjects.h"

#include "core/number.h"

#include <stdexcept>

namespace tarvik {

namespace {

const char* const kMissingCell = "NULL";
const char* const kNotAvailable = "(not available)";

const std::string& required(const std::optional<std::string>& column, const char* role) {
    if (!column)
        throw std::invalid_argument(std::string("No data column has been chosen for ") + role + ".");
    return *column;
}

} // namespace

SubjectColumns subject_columns(const HeaderNames& names, bool onlyAllow2D) {
    SubjectColumns c;
    c.subject = required(names.Subject, "Subject");
    c.vowel = required(names.Vowel, "Vowel");
    c.f1 = required(names.F1, "F1");
    c.f2 = required(names.F2, "F2");
    if (!onlyAllow2D)
        c.duration = required(names.Duration, "Duration");
    if (names.PhraseDuration && *names.PhraseDuration != kNotAvailable)
        c.phraseDuration = names.PhraseDuration;
    return c;
}

OrderedMap<SubjectRecord> build_subject_records(const OrderedMap<TextList>& table, const SubjectColumns& columns) {
    // Every column is looked up before anything is built, so a missing one leaves no half-written token.
    const TextList& subjectCells = table.at(columns.subject);
    const std::size_t rows = subjectCells.size();
    const auto column = [&](const std::string& name) -> const TextList& {
        const TextList& cells = table.at(name);
        if (cells.size() < rows)
            throw std::out_of_range("The column '" + name + "' is shorter than the Subject column.");
        return cells;
    };
    const TextList& vowels = column(columns.vowel);
    const TextList& f1s = column(columns.f1);
    const TextList& f2s = column(columns.f2);
    const TextList* durations = columns.duration ? &column(*columns.duration) : nullptr;
    const TextList* phrases = columns.phraseDuration ? &column(*columns.phraseDuration) : nullptr;

    OrderedMap<SubjectRecord> subjects;
    // Subjects first, so that their order follows the Subject column even when a subject's first row
    // has no vowel.
    for (const std::string& subject : subjectCells)
        if (subject != kMissingCell)
            subjects[subject];
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string& subject = subjectCells[r];
        const std::string& vowel = vowels[r];
        if (vowel == kMissingCell || subject == kMissingCell)
            continue;
        const double f1 = to_number(f1s[r]);
        const double f2 = to_number(f2s[r]);
        const double duration = durations ? to_number((*durations)[r]) : 0.0;
        std::optional<double> phrase;
        if (phrases)
            phrase = to_number((*phrases)[r]);

        VowelTarget& target = subjects.at(subject).vowelTargets[vowel];
        target.F1.push_back(f1);
        target.F2.push_back(f2);
        target.Duration.push_back(duration);
        if (phrase) {
            if (!target.PhraseDuration)
                target.PhraseDuration.emplace();
            target.PhraseDuration->push_back(*phrase);
        }
        target.RowLocation.push_back(static_cast<double>(r + 1));
    }
    return subjects;
}

} // namespace tarvik
