#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The fixed menus of the main window, each written once: its entries in menu order, what each entry
// means (a value of the enum the steps take) and the name the batch tool's option gives it. The layout
// fills the menus from these tables, the handlers turn a menu's position into its meaning with them, and
// the batch options offer and check the same names. A menu's first entry may be a prompt that means
// nothing yet ("(please select)"): its meaning is empty.
namespace tarvik {

// Entries are appended, never reordered: a menu's stored position keeps its meaning in saved sessions.
enum class SpectralMethod { None, ZScore, Logarithmic, KnownExtremes, LogMeanShared, WattFabricius, Bark };
enum class DurationMethod { None, ZScore, PhraseDuration };
enum class PlotKind { Original, Normalized, Shapes, Volumes, Overlap };

template <class Meaning> struct MenuEntry {
    std::optional<Meaning> meaning; // empty for a prompt
    std::string_view label;         // the text the menu shows
    std::string_view batchName;     // the batch option's word; empty for a prompt
    std::string_view alias = {};    // another word the batch option takes for it (the literature's name)
};

inline constexpr std::array<MenuEntry<SpectralMethod>, 8> kSpectralMenu{{
    {std::nullopt, "(please select)", ""},
    {SpectralMethod::None, "Do not normalize - Already normalized", "none"},
    {SpectralMethod::ZScore, "Apply Z-score (Lobanov) normalization", "zscore", "lobanov"},
    {SpectralMethod::Logarithmic, "Apply Logarithmic (Nearey 1) normalization", "log", "nearey1"},
    {SpectralMethod::KnownExtremes, "Apply Known Extremes normalization", "extremes"},
    {SpectralMethod::LogMeanShared, "Apply Log-mean, shared (Nearey 2) normalization", "nearey2"},
    {SpectralMethod::WattFabricius, "Apply Watt-Fabricius normalization", "watt"},
    {SpectralMethod::Bark, "Apply Bark normalization (no speaker normalization)", "bark"},
}};

inline constexpr std::array<MenuEntry<DurationMethod>, 4> kDurationMenu{{
    {std::nullopt, "(please select)", ""},
    {DurationMethod::None, "Do not normalize - Already normalized", "none"},
    {DurationMethod::ZScore, "Apply Z-score normalization", "zscore"},
    {DurationMethod::PhraseDuration, "Apply Phrase Duration normalization", "phrase"},
}};

inline constexpr std::array<MenuEntry<PlotKind>, 5> kPlotKindMenu{{
    {PlotKind::Original, "Original data", "original"},
    {PlotKind::Normalized, "Normalized data", "normalized"},
    {PlotKind::Shapes, "Ellipsoid/Ellipse", "shapes"},
    {PlotKind::Volumes, "Volumes/Spheres", "volumes"},
    {PlotKind::Overlap, "Overlap (Group A & B Only)", "overlap"},
}};

// The labels of a menu, in order, as its control's item list.
template <class Meaning, std::size_t N>
std::vector<std::string> menu_labels(const std::array<MenuEntry<Meaning>, N>& menu) {
    std::vector<std::string> labels;
    for (const auto& e : menu)
        labels.emplace_back(e.label);
    return labels;
}

// The batch names of a menu's meaningful entries, in order, each followed by its alias if it has one.
template <class Meaning, std::size_t N>
std::vector<std::string> menu_batch_names(const std::array<MenuEntry<Meaning>, N>& menu) {
    std::vector<std::string> names;
    for (const auto& e : menu)
        if (e.meaning) {
            names.emplace_back(e.batchName);
            if (!e.alias.empty())
                names.emplace_back(e.alias);
        }
    return names;
}

// The entry at the menu's 1-based position `value` (a control's value); none for a position outside
// the menu.
template <class Meaning, std::size_t N>
const MenuEntry<Meaning>* menu_entry(const std::array<MenuEntry<Meaning>, N>& menu, double value) {
    if (!(value >= 1 && value <= static_cast<double>(N)) || value != static_cast<double>(static_cast<std::size_t>(value)))
        return nullptr;
    return &menu[static_cast<std::size_t>(value) - 1];
}

// The meaning of the menu's 1-based position `value` (a control's value); empty for a prompt or a
// position outside the menu.
template <class Meaning, std::size_t N>
std::optional<Meaning> menu_meaning(const std::array<MenuEntry<Meaning>, N>& menu, double value) {
    const MenuEntry<Meaning>* entry = menu_entry(menu, value);
    return entry ? entry->meaning : std::nullopt;
}

// True when the menu's 1-based position `value` is its prompt: nothing has been chosen yet.
template <class Meaning, std::size_t N>
bool menu_prompting(const std::array<MenuEntry<Meaning>, N>& menu, double value) {
    const MenuEntry<Meaning>* entry = menu_entry(menu, value);
    return entry && !entry->meaning;
}

// The 1-based position of a meaning in the menu (what a control holds when it is chosen).
template <class Meaning, std::size_t N>
double menu_value(const std::array<MenuEntry<Meaning>, N>& menu, Meaning meaning) {
    for (std::size_t i = 0; i < N; ++i)
        if (menu[i].meaning == meaning)
            return static_cast<double>(i + 1);
    return 0;
}

// The meaning a batch name stands for; empty for a name the menu does not have.
template <class Meaning, std::size_t N>
std::optional<Meaning> menu_meaning_named(const std::array<MenuEntry<Meaning>, N>& menu, std::string_view name) {
    for (const auto& e : menu)
        if (e.meaning && (e.batchName == name || (!e.alias.empty() && e.alias == name)))
            return e.meaning;
    return std::nullopt;
}

// The batch name of a meaning.
template <class Meaning, std::size_t N>
std::string_view menu_batch_name(const std::array<MenuEntry<Meaning>, N>& menu, Meaning meaning) {
    for (const auto& e : menu)
        if (e.meaning == meaning)
            return e.batchName;
    return {};
}

} // namespace tarvik
