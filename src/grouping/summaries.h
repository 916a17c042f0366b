#pragma once

#include "core/handles.h"

namespace tarvik {

// The log block that documents the raw values of every subject, vowel and token ("%7.3f" columns
// F1, F2, Duration; NaN printed "    NaN"). Throws std::out_of_range when a target's value lists have
// different lengths.
TextList subject_listing(const OrderedMap<SubjectRecord>& subjects);

// The log block that documents every vowel group: its name, constraints and normalized tokens ("%7.3f"
// columns F2, F1 and, when durations are part of the analysis, duration).
TextList group_listing(const GroupList& groups, bool withDuration);

} // namespace tarvik
