#pragma once

#include "app/runtime.h"

#include <cstddef>
#include <utility>

namespace tarvik {

// Gives every field of a fresh record its initial value; the record holds only control references
// when this is called. Fills the item lists of the three marker-style menus.
Handles initialize_variables(Runtime& rt, Handles handles);

// The colours new groups take in turn, with their names in the colour menu: twelve that stay apart on
// screen and keep different greys in print (the Tableau 10 set, black and olive).
inline const std::pair<const char*, Color> kGroupPalette[] = {
    {"blue", rgb255(78, 121, 167)},  {"orange", rgb255(242, 142, 43)}, {"red", rgb255(225, 87, 89)},
    {"teal", rgb255(118, 183, 178)}, {"green", rgb255(89, 161, 79)},   {"yellow", rgb255(237, 201, 72)},
    {"purple", rgb255(176, 122, 161)}, {"pink", rgb255(255, 157, 167)}, {"brown", rgb255(156, 117, 95)},
    {"grey", rgb255(186, 176, 172)}, {"black", rgb255(0, 0, 0)},       {"olive", rgb255(128, 128, 0)}};
// The markers new groups take, all of them large enough to tell apart.
inline constexpr const char* kGroupMarkers = "os^vx+*<";

// The style of the n-th group (1-based) among `colours` colours and `markers` markers: 0-based indices.
// The first colours x markers groups (96 of the palette) all differ in colour, marker or both.
struct GroupStyle {
    std::size_t colour = 0, marker = 0;
};
GroupStyle group_style(std::size_t n, std::size_t colours, std::size_t markers);

// Appends a vowel group with its default name, the colour and marker of its place (group_style) and the
// next line style of the rotating queue, and stores the record.
Handles create_newVowel(Runtime& rt, Handles handles);

} // namespace tarvik
