#pragma once

#include "core/color.h"
#include "core/handles.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

enum class Style { Menu, PushButton, Text, Edit, PopupMenu, ListBox, CheckBox, Frame };
enum class Enable { On, Off, Inactive };
enum class Align { Left, Center, Right };
enum class Pointer { Arrow, Watch };

// Names of the properties that handlers read and write; the view refreshes what a change names.
enum class Property {
    String,
    Appended, // items added at the end of String, nothing else changed

    Value,
    Enable,
    Visible,
    BackgroundColor,
    ForegroundColor,
    FontWeight,
    Position,
    TooltipString,
    HorizontalAlignment,
    Max,
    Name,
    Pointer,
    Color,
    WindowPosition,
    All
};

// Normalized position: fractions of the window's inner width and height from its lower-left corner.
struct Rect {
    double left = 0, bottom = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// One control or menu item of the main window with every property the program reads or writes.
// Callbacks are handler names; the dispatcher turns them into calls.
struct Control {
    std::string tag;
    Style style = Style::Text;
    std::string parent = "figure1";
    TextList string;           // one text is a list of one item; a blank label is " "
    std::vector<double> value; // 1-based item indices; 0 or 1 for check boxes; empty for none
    double min = 0;
    double max = 1;
    Enable enable = Enable::On;
    bool visible = true;
    std::optional<Color> background; // empty: the platform's default
    std::optional<Color> foreground;
    bool bold = false;
    double fontSize = 0; // 0: the platform's default
    Align alignment = Align::Center;
    Rect position;
    std::string tooltip;
    std::string callback;
    std::string createFcn;
    std::string buttonDownFcn;
    bool separator = false; // menu items: a separator line above
    bool discardWhileBusy = false; // a click while another callback runs is dropped, not queued

    friend bool operator==(const Control&, const Control&) = default;
};

// The window's own properties.
struct WindowProps {
    std::string name;
    std::optional<Color> color;
    Rect pixelPosition; // left, bottom, width, height in pixels
    bool visible = false;
    bool resizable = true;
    bool numberTitle = false;
    std::string menuBar = "none";
    Pointer pointer = Pointer::Arrow;
    friend bool operator==(const WindowProps&, const WindowProps&) = default;
};

std::string_view style_name(Style s);
std::optional<Style> style_from_name(std::string_view name);
std::string_view enable_name(Enable e);
std::optional<Enable> enable_from_name(std::string_view name);
std::string_view align_name(Align a);
std::optional<Align> align_from_name(std::string_view name);

// The single text of a control's String: its first item, or "" for an empty list.
std::string first_text(const Control& c);

// The Value as one number (the first entry, 0 when empty).
double first_value(const Control& c);

} // namespace tarvik
