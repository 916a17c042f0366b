#pragma once

#include "core/handles.h"
#include "ui/control.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarvik {

// The headless main window: the window's properties, every menu item and control in creation order,
// and the record stored with the window. Handlers change controls only through this class, and every
// change is announced to the listeners (the Qt view mirrors them). It owns no widgets and no dialogs.
class Figure {
  public:
    static constexpr const char* kWindowTag = "figure1";

    using Listener = std::function<void(const std::string& tag, Property property)>;

    Figure(WindowProps window, std::vector<Control> objects);

    const WindowProps& window() const { return window_; }
    const std::vector<Control>& objects() const { return objects_; }

    bool has(const std::string& tag) const { return index_.count(tag) != 0; }
    // The object with this tag; throws std::out_of_range for an unknown tag.
    const Control& control(const std::string& tag) const;

    // Controls whose style is not Menu, in creation order.
    std::vector<const Control*> controls() const;

    void set_string(const std::string& tag, TextList items);
    // Appends items to a control's item list in place (the activity log grows long).
    void append_strings(const std::string& tag, TextList items);
    void set_value(const std::string& tag, std::vector<double> value);
    void set_value(const std::string& tag, double value) { set_value(tag, std::vector<double>{value}); }
    void set_enable(const std::string& tag, Enable enable);
    void set_visible(const std::string& tag, bool visible);
    void set_background(const std::string& tag, std::optional<Color> color);
    void set_foreground(const std::string& tag, std::optional<Color> color);
    void set_bold(const std::string& tag, bool bold);
    void set_position(const std::string& tag, Rect position);
    void set_tooltip(const std::string& tag, std::string tooltip);
    void set_alignment(const std::string& tag, Align alignment);
    void set_max(const std::string& tag, double max);

    void set_name(std::string name);
    void set_color(std::optional<Color> color);
    void set_window_visible(bool visible);
    void set_pointer(Pointer pointer);
    void set_pixel_position(Rect position);

    // Applies one name/value pair from the command line to the window, the way a property setting
    // would: the name may be abbreviated and its case does not matter. Returns false when refused.
    bool apply_window_property(const std::string& name, const std::string& value);

    // Every object whose property equals the value; String matches a single-text label, Style a style name.
    std::vector<std::string> find(Property property, const std::string& value) const;
    std::vector<std::string> find_style(Style style) const;

    // The record kept with the window.
    void store(const Handles& handles) { stored_ = handles; }
    const std::optional<Handles>& retrieve() const { return stored_; }

    // A deleted window keeps its state for late readers, but is no longer live.
    bool alive() const { return alive_; }
    void destroy();

    // Marks used by the entry while it builds and first shows the window.
    bool initialising = false;
    bool everShown = false;

    // The session as the window started, or as it was last saved or opened: its record and the number of
    // lines of the control `logTag`. Exit asks to save only when the session has changed since.
    void mark_saved(const std::string& logTag);
    bool changed_since_saved(const std::string& logTag) const;

    int subscribe(Listener listener);
    void unsubscribe(int id);

  private:
    Control& mutable_control(const std::string& tag);
    void notify(const std::string& tag, Property property);

    WindowProps window_;
    std::vector<Control> objects_;
    std::unordered_map<std::string, std::size_t> index_;
    std::optional<Handles> stored_;
    std::optional<Handles> saved_;
    std::size_t savedLogLines_ = 0;
    bool alive_ = true;
    std::map<int, Listener> listeners_;
    int nextListener_ = 1;
};

} // namespace tarvik
