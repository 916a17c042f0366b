#pragma once

// What a session file leaves out because opening derives it again, bit for bit, from what the file keeps:
// the subjects' tokens (from the data table and the column roles), the normalized data table (from the data
// table and the subjects' normalized values), and of each group its tokens (from its constraints) and the
// coordinates and outlines of its fits (from its tokens and the fit parameters, which the file keeps).
//
// Saving derives each part from the record as it stands and compares it with the record's own, bit for
// bit; only a part that comes back exactly is left out. Anything else (a record of an older version, data
// changed after a fit) is written in full, so a file always opens to the record it was saved from.
#include "core/handles.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarvik {

struct DerivedParts {
    // Subjects whose vowel targets are their tokens in the data table, with the base-10 logarithms of the
    // listed categories ("F1", ...) beside them.
    std::map<std::string, TextList> subjectTokens;
    bool normalizedTable = false;
    // Per group (in order), the fields derived: "data", "dataOriginal", and the fits' coordinates and
    // outlines (kDerivedGroupFields).
    std::vector<std::set<std::string>> groupFields;

    friend bool operator==(const DerivedParts&, const DerivedParts&) = default;
};

// Two numbers as a file holds them: the same bits (so -0.0 is not 0.0), or both NaN, of which a file holds
// only one.
bool same_number(double a, double b);

// The group fields that can be derived, in the order opening derives them.
extern const std::vector<std::string> kDerivedGroupFields;

// The parts of `handles` that derive again exactly from the rest.
DerivedParts derivable_parts(const Handles& handles);

// Fills in the parts a file left out, in the order they depend on each other. Throws std::runtime_error
// naming the part when one cannot be derived (a damaged file).
void derive_parts(Handles& handles, const DerivedParts& parts);

} // namespace tarvik
