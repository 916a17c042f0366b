#pragma once

#include "core/handles.h"

#include <cstddef>
#include <functional>

namespace tarvik {

// A vowel target's token values of one category ("F1", "F2", "Duration", "PhraseDuration"). Throws
// std::runtime_error for another category, or PhraseDuration when the target has none.
const std::vector<double>& token_values(const VowelTarget& target, const std::string& category);

// The normalized data table: every cell of the data table as read, with the F1, F2 and duration cells of
// each token of the subjects' vowel targets replaced by the subject's normalized values (duration 0.5 for
// data without durations). `beforeSubject` is told the index of each subject before it is written (for a
// progress bar). Throws std::out_of_range when a subject has fewer normalized values than tokens.
OrderedMap<std::vector<Cell>> normalized_table(const OrderedMap<TextList>& dataColumn,
                                               const OrderedMap<SubjectRecord>& subjects, const HeaderNames& roles,
                                               bool twoD,
                                               const std::function<void(std::size_t)>& beforeSubject = {});

} // namespace tarvik
