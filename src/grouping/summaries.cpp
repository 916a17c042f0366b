#include "grouping/summaries.h"

#include "core/format.h"

namespace tarvik {

namespace {

const char* const kSubjectsLine = "Detected %s SUBJECT types:";
const char* const kSubjectLine = "   SUBJECT: %s";
const char* const kTargetsLine = "   (with the following %s targets:)";
const char* const kTargetLine = "      TARGET: %s (with %s tokens)";
const char* const kValuesLine = "         (with F1, F2, & Duration values:)";
const char* const kTokenLine = "         %s   %s   %s";

const char* const kGroupsLine = "You have defined %s VOWEL groups:";
const char* const kGroupLine = "   GROUP %s: %s";
const char* const kDefinedBy = "   (defined by:)";
const char* const kConstraintLine = "   %s";
const char* const kTokensLine = "      (with %s tokens:)";
const char* const kGroupToken3D = "      %s   %s   %s";
const char* const kGroupToken2D = "      %s   %s";

std::string count_text(std::size_t n) {
    return format_int(static_cast<double>(n));
}
std::string value_text(double x) {
    return format_fixed(x, 7, 3);
}

} // namespace

TextList subject_listing(const OrderedMap<SubjectRecord>& subjects) {
    TextList lines{fill(kSubjectsLine, {count_text(subjects.size())})};
    for (const auto& [subject, record] : subjects) {
        lines.insert(lines.end(), {"", "", fill(kSubjectLine, {subject}), ""});
        lines.push_back(fill(kTargetsLine, {count_text(record.vowelTargets.size())}));
        for (const auto& [vowel, target] : record.vowelTargets) {
            lines.emplace_back();
            lines.push_back(fill(kTargetLine, {vowel, count_text(target.F1.size())}));
            lines.insert(lines.end(), {kValuesLine, ""});
            for (std::size_t k = 0; k < target.F1.size(); ++k)
                lines.push_back(fill(kTokenLine, {value_text(target.F1[k]), value_text(target.F2.at(k)),
                                                  value_text(target.Duration.at(k))}));
        }
    }
    return lines;
}

TextList group_listing(const GroupList& groups, bool withDuration) {
    TextList lines{fill(kGroupsLine, {count_text(groups.size())})};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const VowelGroup& g = *groups[i];
        lines.insert(lines.end(), {"", "", fill(kGroupLine, {count_text(i + 1), g.name}), "", kDefinedBy, ""});
        for (const auto& entry : g.constraintList)
            lines.push_back(fill(kConstraintLine, {entry}));
        lines.emplace_back();
        lines.push_back(fill(kTokensLine, {count_text(g.data.rows)}));
        lines.emplace_back();
        for (std::size_t k = 0; k < g.data.rows; ++k) {
            if (withDuration)
                lines.push_back(fill(kGroupToken3D, {value_text(g.data(k, 0)), value_text(g.data(k, 1)),
                                                     value_text(g.data(k, 2))}));
            else
                lines.push_back(fill(kGroupToken2D, {value_text(g.data(k, 0)), value_text(g.data(k, 1))}));
        }
    }
    return lines;
}

} // namespace tarvik
