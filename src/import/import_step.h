#pragma once

#include "app/step.h"

#include <nlohmann/json.hpp>

#include <string>

// Step 1 as requests: load a data file, then give its columns their roles.
namespace tarvik {

struct LoadRequest {
    std::string path; // the data file
    friend bool operator==(const LoadRequest&, const LoadRequest&) = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(LoadRequest, path)

// The column of each role, by header name; an empty duration or phrase duration is "(not available)".
struct ColumnRoles {
    std::string subject, vowel, f1, f2, duration, phraseDuration;
    friend bool operator==(const ColumnRoles&, const ColumnRoles&) = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(ColumnRoles, subject, vowel, f1, f2, duration, phraseDuration)

// Reads and checks the file and, when it is a data table, replaces the session's table with it (see
// load_file). Done when the file was loaded.
StepReport load_data(Runtime& rt, const LoadRequest& request);

// Gives the loaded table's columns their roles, shows the choice in step 1's menus and prepares step 2
// (subjects, categories, the normalization menus). Done when step 2 is reached. A column the table does
// not have, a required role without a column, two roles on one column and a measurement column without a
// number are refused with a message.
StepReport map_columns(Runtime& rt, const ColumnRoles& roles);

} // namespace tarvik
