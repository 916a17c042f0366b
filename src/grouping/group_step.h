#pragma once

#include "app/step.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// Step 3 as requests: the vowel groups (names and constraints), then their fits.
namespace tarvik {

// Per category, the types that are alternatives; a group takes the tokens that match one type of
// every category it names.
struct GroupConstraint {
    std::string category;
    std::vector<std::string> types;
    friend bool operator==(const GroupConstraint&, const GroupConstraint&) = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(GroupConstraint, category, types)

struct GroupDefinition {
    std::string name;
    std::vector<GroupConstraint> constraints;
    friend bool operator==(const GroupDefinition&, const GroupDefinition&) = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(GroupDefinition, name, constraints)

struct GroupsRequest {
    std::vector<GroupDefinition> groups; // in list order: the first ones existing groups, then new ones
    friend bool operator==(const GroupsRequest&, const GroupsRequest&) = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(GroupsRequest, groups)

// Defines the groups in step 3 as the list, name field and Add button do: group k of the request is
// the k-th of the list (created when missing), named and given each constraint in turn. A category or
// type the data do not have is refused with a message naming it. Done when every constraint was added.
StepReport define_groups(Runtime& rt, const GroupsRequest& request);

// Step 3's Continue: selects every group's tokens and fits them, then opens step 4. Done in step 4.
StepReport fit_groups(Runtime& rt);

} // namespace tarvik
