#pragma once

#include <array>
#include <string>

// Texts and tags that the import tests share.
namespace tarvik::testing {

inline const std::string kFailedText =
    "The file you selected failed to properly load. You should consult the help pages "
    "in order to make sure your tab delimited file is properly formatted.";

// The six role menus of step 1, in the order of the roles.
inline constexpr std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

} // namespace tarvik::testing
