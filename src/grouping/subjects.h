#pragma once

#include "core/handles.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The data columns the subject record is read from.
struct SubjectColumns {
    std::string subject, vowel, f1, f2;
    std::optional<std::string> duration;       // empty when only 2D work is allowed: every duration is 0
    std::optional<std::string> phraseDuration; // empty when no phrase-duration column is mapped
};

// The columns named by the role mapping. Throws std::invalid_argument when Subject, Vowel, F1 or F2 has no
// column, or when durations are needed and Duration has none. A phrase duration of "(not available)" (or
// none at all) means it is not mapped.
SubjectColumns subject_columns(const HeaderNames& names, bool onlyAllow2D);

// The per-subject token records: subjects in order of first appearance in the Subject column, each
// subject's vowels in order of first appearance among its rows, tokens in row order with their 1-based
// row numbers. Rows whose Subject or Vowel is "NULL" belong to no subject and no vowel (a subject all of
// whose vowels are "NULL" still exists, with no vowel targets). Cells convert with to_number, so text that
// is not a number becomes NaN and is kept. Subject and vowel labels are used as they are, whatever
// characters they hold. Throws std::out_of_range when a column is missing or shorter than the Subject
// column.
OrderedMap<SubjectRecord> build_subject_records(const OrderedMap<TextList>& table, const SubjectColumns& columns);

} // namespace tarvik
