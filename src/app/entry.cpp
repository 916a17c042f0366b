#include "app/entry.h"

#include "app/handlers.h"
#include "app/log.h"
#include "app/record.h"
#include "core/format.h"
#include "ui/layout.h"

#include <stdexcept>

namespace tarvik {

namespace {

constexpr const char* kEntryName = "zerivizi_export";
constexpr const char* kEntryCallName = "ZERIVIzi_export";

// The colour a platform gives control backgrounds by default.
const Color kDefaultControlBackground = {0.941, 0.941, 0.941};
const Color kWhite = {1, 1, 1};

const char* const kLoadFileTooltip = "Click here to load a data file. Your data\n file should be a tab delimited "
                                     "textfile.\nSee section 1.1 on the web for help.";
const char* const kHelpTooltip = "Get help on this option.";

const std::string* text_arg(const EntryArg& a) { return std::get_if<std::string>(&a); }

// Compares the first min(n, length of a) characters of a with b, ignoring case.
bool prefix_matches(const std::string& a, std::string_view b, std::size_t n) {
    const std::size_t k = std::min(n, a.size());
    return k <= b.size() && iequals(std::string_view(a).substr(0, k), b.substr(0, k));
}

void call_handler(Runtime& rt, const std::string& name, const ControlRef& object, Handles handles) {
    const auto& table = handler_table();
    auto it = table.find(name);
    if (it == table.end())
        throw std::runtime_error("Undefined function '" + name + "'.");
    it->second(rt, object, std::move(handles));
}

} // namespace

std::shared_ptr<Figure> ZERIVIzi_export_LayoutFcn(Runtime& rt, bool reuse) {
    if (reuse) {
        if (auto live = rt.main_window())
            return live;
    }
    auto window = build_main_window();
    install_main_window(rt, window);
    return window;
}

void install_main_window(Runtime& rt, const std::shared_ptr<Figure>& window) {
    rt.set_main_window(window);
    // Each object's creation handler runs once, before any record exists.
    const auto& table = handler_table();
    for (const auto& c : window->objects()) {
        if (c.createFcn.empty())
            continue;
        if (auto it = table.find(c.createFcn); it != table.end())
            it->second(rt, ControlRef{c.tag}, Handles{});
    }
    if (rt.onWindowCreated)
        rt.onWindowCreated(window);
}

std::optional<ControlRef> zerivizi_export(Runtime& rt, const std::vector<EntryArg>& args) {
    const std::string* handlerName = args.empty() ? nullptr : text_arg(args.front());

    if (args.size() > 3 && handlerName) {
        const auto* object = std::get_if<ControlRef>(&args[1]);
        auto window = rt.main_window();
        if (object && window && (object->tag == Figure::kWindowTag || window->has(object->tag))) {
            const auto* record = std::get_if<Handles>(&args[3]);
            call_handler(rt, *handlerName, *object, record ? *record : Handles{});
            return std::nullopt;
        }
    }

    auto window = ZERIVIzi_export_LayoutFcn(rt, true);
    window->initialising = true;
    if (!window->everShown) {
        window->set_color(kDefaultControlBackground);
        Handles handles;
        handles.objects[Figure::kWindowTag] = ControlRef{Figure::kWindowTag};
        for (const auto& c : window->objects())
            handles.objects[c.tag] = ControlRef{c.tag};
        window->store(handles);
    }

    bool keepHidden = false;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string* name = text_arg(args[i]);
        const std::string* value = text_arg(args[i + 1]);
        if (name && value && value->size() >= 2 && prefix_matches(*name, "visible", 7)) {
            if (prefix_matches(*value, "off", 3))
                keepHidden = true;
            else if (prefix_matches(*value, "on", 2))
                keepHidden = false;
        }
    }
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string* name = text_arg(args[i]);
        const std::string* value = text_arg(args[i + 1]);
        if (!name || !value || !window->apply_window_property(*name, *value))
            break;
    }

    ZERIVIzi_export_OpeningFcn(rt, *window, window->retrieve().value_or(Handles{}), args);

    if (window->alive()) {
        if (!keepHidden) {
            window->set_window_visible(true);
            window->everShown = true;
        }
        window->initialising = false;
        window->mark_saved(kLogTag);
    }
    std::optional<Handles> stored;
    if (window->alive())
        stored = window->retrieve();
    return ZERIVIzi_export_OutputFcn(rt, stored);
}

void ZERIVIzi_export_OpeningFcn(Runtime& rt, Figure& window, Handles handles, const std::vector<EntryArg>&) {
    handles = initialize_variables(rt, std::move(handles));

    window.set_alignment("button_add", Align::Right);
    window.set_alignment("button_del", Align::Right);

    handles.output = ControlRef{Figure::kWindowTag};

    const std::string firstLine = "Session started: " + format_date_time(rt.services().clock->now());

    for (const auto& tag : window.find(Property::String, "?")) {
        window.set_tooltip(tag, kHelpTooltip);
        window.set_visible(tag, false);
    }
    for (Style s : {Style::PopupMenu, Style::ListBox, Style::Edit})
        for (const auto& tag : window.find_style(s))
            window.set_background(tag, kWhite);

    window.set_tooltip("button_load_file", kLoadFileTooltip);

    handles = update_log(rt, std::move(handles), firstLine);
    window.store(handles);
}

std::optional<ControlRef> ZERIVIzi_export_OutputFcn(Runtime&, const std::optional<Handles>& handles) {
    if (!handles)
        return std::nullopt;
    return handles->output;
}

std::string callback_text(const std::string& handler) {
    return std::string(kEntryCallName) + "('" + handler + "',gcbo,[],guidata(gcbo))";
}

void run_callback_text(Runtime& rt, const std::string& text, const ControlRef& object) {
    const auto open = text.find("('");
    const auto close = open == std::string::npos ? std::string::npos : text.find("'", open + 2);
    if (close == std::string::npos)
        throw std::invalid_argument("Malformed callback: " + text);
    const std::string entry = text.substr(0, open);
    if (!iequals(entry, kEntryName))
        throw std::runtime_error("Undefined function '" + entry + "'.");
    const std::string handler = text.substr(open + 2, close - open - 2);

    std::vector<EntryArg> args{handler, object, std::monostate{}};
    auto window = rt.main_window();
    if (window && window->retrieve())
        args.emplace_back(*window->retrieve());
    else
        args.emplace_back(std::monostate{});
    zerivizi_export(rt, args);
}

void dispatch_event(Runtime& rt, const std::string& tag, Event event) {
    auto window = rt.main_window();
    if (!window || !window->has(tag))
        return;
    const Control& c = window->control(tag);
    if (event != Event::CreateFcn && c.enable != Enable::On)
        return;
    const std::string& handler = event == Event::Callback    ? c.callback
                                 : event == Event::CreateFcn ? c.createFcn
                                                             : c.buttonDownFcn;
    if (handler.empty() || !handler_table().count(handler))
        return;
    if (c.discardWhileBusy && rt.callbacks_running() > 0) {
        // While a plot waits for its key a click is no second click of a double click: the user is told.
        if (rt.plot_waiting())
            tell_to_finish_first(rt);
        return;
    }
    const Runtime::CallbackScope running(rt);
    run_callback_text(rt, callback_text(handler), ControlRef{tag});
}

} // namespace tarvik
