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

OrderedMap<SubjectRecord> build_subject_records(const std::vector<DataRow>& rows,
                                                const SubjectColumns& columns) {
    OrderedMap<SubjectRecord> subjects;
    // Subjects first, so that their order follows the Subject column even when a subject's first row
    // has no vowel.
    for (const DataRow& row : rows) {
        const std::string& subject = row.at(columns.subject);
        if (subject != kMissingCell)
            subjects[subject];
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const DataRow& row = rows[r];
        const std::string& subject = row.at(columns.subject);
        const std::string& vowel = row.at(columns.vowel);
        if (vowel == kMissingCell || subject == kMissingCell)
            continue;
        // Read every cell before touching the record, so a missing column leaves no half-written token.
        const double f1 = to_number(row.at(columns.f1));
        const double f2 = to_number(row.at(columns.f2));
        const double duration = columns.duration ? to_number(row.at(*columns.duration)) : 0.0;
        std::optional<double> phrase;
        if (columns.phraseDuration)
            phrase = to_number(row.at(*columns.phraseDuration));

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
