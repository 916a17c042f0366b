#include "ui/figure.h"

#include "core/format.h"

#include <stdexcept>
#include <utility>

namespace tarvik {

Figure::Figure(WindowProps window, std::vector<Control> objects)
    : window_(std::move(window)), objects_(std::move(objects)) {
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        if (!index_.emplace(objects_[i].tag, i).second)
            throw std::invalid_argument("Duplicate tag in window layout: " + objects_[i].tag);
    }
}

const Control& Figure::control(const std::string& tag) const {
    auto it = index_.find(tag);
    if (it == index_.end())
        throw std::out_of_range("Invalid handle: no object with tag '" + tag + "'.");
    return objects_[it->second];
}

Control& Figure::mutable_control(const std::string& tag) { return const_cast<Control&>(control(tag)); }

std::vector<const Control*> Figure::controls() const {
    std::vector<const Control*> out;
    for (const auto& c : objects_)
        if (c.style != Style::Menu)
            out.push_back(&c);
    return out;
}

#define TARVIK_SETTER(method, type, field, prop)                                                          \
    void Figure::method(const std::string& tag, type v) {                                                \
        auto& c = mutable_control(tag);                                                                  \
        if (c.field == v)                                                                                \
            return;                                                                                      \
        c.field = std::move(v);                                                                          \
        notify(tag, Property::prop);                                                                     \
    }

TARVIK_SETTER(set_string, TextList, string, String)
TARVIK_SETTER(set_value, std::vector<double>, value, Value)
TARVIK_SETTER(set_enable, Enable, enable, Enable)
TARVIK_SETTER(set_visible, bool, visible, Visible)
TARVIK_SETTER(set_background, std::optional<Color>, background, BackgroundColor)
TARVIK_SETTER(set_foreground, std::optional<Color>, foreground, ForegroundColor)
TARVIK_SETTER(set_bold, bool, bold, FontWeight)
TARVIK_SETTER(set_position, Rect, position, Position)
TARVIK_SETTER(set_tooltip, std::string, tooltip, TooltipString)
TARVIK_SETTER(set_alignment, Align, alignment, HorizontalAlignment)
TARVIK_SETTER(set_max, double, max, Max)

#undef TARVIK_SETTER

void Figure::append_strings(const std::string& tag, TextList items) {
    auto& c = mutable_control(tag);
    if (items.empty())
        return;
    if (c.string.empty())
        c.string = std::move(items);
    else
        c.string.insert(c.string.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    notify(tag, Property::Appended);
}

void Figure::set_name(std::string name) {
    window_.name = std::move(name);
    notify(kWindowTag, Property::Name);
}

void Figure::set_color(std::optional<Color> color) {
    window_.color = color;
    notify(kWindowTag, Property::Color);
}

void Figure::set_window_visible(bool visible) {
    window_.visible = visible;
    notify(kWindowTag, Property::Visible);
}

void Figure::set_pointer(Pointer pointer) {
    if (window_.pointer == pointer)
        return;
    window_.pointer = pointer;
    notify(kWindowTag, Property::Pointer);
}

void Figure::set_pixel_position(Rect position) {
    window_.pixelPosition = position;
    notify(kWindowTag, Property::WindowPosition);
}

namespace {

// A property name matches when it is a case-insensitive prefix of the full name.
bool names_property(const std::string& given, std::string_view full) {
    return !given.empty() && given.size() <= full.size() && iequals(given, full.substr(0, given.size()));
}

bool on_off(const std::string& value, bool& out) {
    if (iequals(value, "on")) {
        out = true;
        return true;
    }
    if (iequals(value, "off")) {
        out = false;
        return true;
    }
    return false;
}

} // namespace

bool Figure::apply_window_property(const std::string& name, const std::string& value) {
    if (name.size() < 2)
        return false;
    bool flag = false;
    if (names_property(name, "visible")) {
        if (!on_off(value, flag))
            return false;
        set_window_visible(flag);
        return true;
    }
    if (names_property(name, "name")) {
        set_name(value);
        return true;
    }
    if (names_property(name, "numbertitle")) {
        if (!on_off(value, flag))
            return false;
        window_.numberTitle = flag;
        return true;
    }
    if (names_property(name, "resize")) {
        if (!on_off(value, flag))
            return false;
        window_.resizable = flag;
        return true;
    }
    if (names_property(name, "pointer")) {
        if (iequals(value, "arrow"))
            set_pointer(Pointer::Arrow);
        else if (iequals(value, "watch"))
            set_pointer(Pointer::Watch);
        else
            return false;
        return true;
    }
    return false;
}

std::vector<std::string> Figure::find(Property property, const std::string& value) const {
    std::vector<std::string> out;
    for (const auto& c : objects_) {
        bool match = false;
        if (property == Property::String)
            match = c.string.size() == 1 && c.string.front() == value;
        else if (property == Property::TooltipString)
            match = c.tooltip == value;
        if (match)
            out.push_back(c.tag);
    }
    return out;
}

std::vector<std::string> Figure::find_style(Style style) const {
    std::vector<std::string> out;
    for (const auto& c : objects_)
        if (c.style == style)
            out.push_back(c.tag);
    return out;
}

void Figure::destroy() {
    if (!alive_)
        return;
    alive_ = false;
    window_.visible = false;
    notify(kWindowTag, Property::All);
}

int Figure::subscribe(Listener listener) {
    const int id = nextListener_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void Figure::unsubscribe(int id) { listeners_.erase(id); }

void Figure::notify(const std::string& tag, Property property) {
    // Listeners may unsubscribe while being told; walk a copy.
    auto current = listeners_;
    for (auto& [id, listener] : current)
        listener(tag, property);
}

void Figure::mark_saved(const std::string& logTag) {
    saved_ = stored_;
    savedLogLines_ = has(logTag) ? control(logTag).string.size() : 0;
}

bool Figure::changed_since_saved(const std::string& logTag) const {
    // A record holding NaN never equals itself: such a session counts as changed, which only asks once
    // too often.
    return !saved_ || saved_ != stored_ || (has(logTag) ? control(logTag).string.size() : 0) != savedLogLines_;
}

} // namespace tarvik
