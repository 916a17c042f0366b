#include "ui/control.h"

#include <array>
#include <utility>

namespace tarvik {

namespace {

constexpr std::array<std::pair<Style, std::string_view>, 8> kStyles = {{
    {Style::Menu, "uimenu"},
    {Style::PushButton, "pushbutton"},
    {Style::Text, "text"},
    {Style::Edit, "edit"},
    {Style::PopupMenu, "popupmenu"},
    {Style::ListBox, "listbox"},
    {Style::CheckBox, "checkbox"},
    {Style::Frame, "frame"},
}};
constexpr std::array<std::pair<Enable, std::string_view>, 3> kEnables = {{
    {Enable::On, "on"},
    {Enable::Off, "off"},
    {Enable::Inactive, "inactive"},
}};
constexpr std::array<std::pair<Align, std::string_view>, 3> kAligns = {{
    {Align::Left, "left"},
    {Align::Center, "center"},
    {Align::Right, "right"},
}};

template <typename E, std::size_t N>
std::string_view name_of(const std::array<std::pair<E, std::string_view>, N>& table, E e) {
    for (const auto& [k, n] : table)
        if (k == e)
            return n;
    return {};
}

template <typename E, std::size_t N>
std::optional<E> value_of(const std::array<std::pair<E, std::string_view>, N>& table, std::string_view name) {
    for (const auto& [k, n] : table)
        if (n == name)
            return k;
    return std::nullopt;
}

} // namespace

std::string_view style_name(Style s) { return name_of(kStyles, s); }
std::optional<Style> style_from_name(std::string_view name) { return value_of(kStyles, name); }
std::string_view enable_name(Enable e) { return name_of(kEnables, e); }
std::optional<Enable> enable_from_name(std::string_view name) { return value_of(kEnables, name); }
std::string_view align_name(Align a) { return name_of(kAligns, a); }
std::optional<Align> align_from_name(std::string_view name) { return value_of(kAligns, name); }

std::string first_text(const Control& c) { return c.string.empty() ? std::string() : c.string.front(); }

double first_value(const Control& c) { return c.value.empty() ? 0.0 : c.value.front(); }

} // namespace tarvik
