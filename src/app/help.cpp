#include "app/help.h"

#include "app/file_menu.h"
#include "app/guarded.h"

#include <algorithm>

namespace tarvik {

namespace {

const char* const kHelpLabel = "?";
const std::size_t kTagPrefixLength = 7; // "button_"

const char* const kConnectTitle = "Continue now?";
const char* const kConnectText =
    "We are currently revamping the structure and names of the TARVIK3D help pages. In an upcoming release"
    "you will be taken directly to the correct help page. For now, you'll be taken to the main site. We "
    "apologize for the inconvenience.";
const char* const kConnectButton = "Connect to web";
const char* const kCancelButton = "Cancel";

const char* const kNoBrowserTitle = "Browser not found";
const char* const kNoBrowserText =
    "There was no default browser detected. TARVIK will now try to load your local help pages.";

// The local pages lie in the folder help below the working folder; Windows opens them in Notepad.
const char* const kLocalPageCommand = "notepad help/";

const char* const kHelpButtonHandlers[] = {
    "button_help_loading_data_Callback",       "button_help_normalization_Callback",
    "button_help_normalize_spectral_Callback", "button_help_normalize_duration_Callback",
    "button_help_groupings_Callback",          "button_help_types_Callback",
    "button_help_constraints_Callback",
};

void set_help_boxes_visible(Runtime& rt, const Handles& handles, bool visible) {
    Figure& fig = rt.figure();
    for (const auto& tag : fig.find(Property::String, kHelpLabel))
        fig.set_visible(tag, visible);
    rt.store(handles);
}

} // namespace

std::string help_page(const std::string& helpTag, const std::string& extension) {
    return helpTag.substr(std::min(kTagPrefixLength, helpTag.size())) + extension;
}

void getHelp(Runtime& rt, const std::string& helpPage, Handles handles) {
    guarded(rt, ReportForm::B, "getHelp", [&] {
        const std::string page = help_page(helpPage, handles.web.extension);
        const std::string answer =
            rt.dialogs().question(kConnectText, kConnectTitle, kConnectButton, kCancelButton, kConnectButton);
        if (answer == kCancelButton)
            return;

        // The site's main page whatever was asked: the pages on the site are being renamed.
        if (handles.web.isWorking == 1) {
            BrowserService* browser = rt.services().browser;
            if (!browser || browser->open(handles.web.homepage) != 0) {
                const DialogRef d = rt.dialogs().message({kNoBrowserText}, kNoBrowserTitle, Icon::Warn,
                                                         WindowStyle::NonModal);
                rt.dialogs().wait(d);
                handles.web.isWorking = 0;
            }
        }
        if (handles.web.isWorking == 0) {
            if (rt.services().isWindows && rt.services().shell)
                rt.services().shell->run(kLocalPageCommand + page);
            else
                not_yet(rt);
        }
    });
}

void menuitem_showHelpBoxes_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "menuitem_showHelpBoxes_Callback",
            [&] { set_help_boxes_visible(rt, handles, true); });
}

void menuitem_hideHelpBoxes_Callback(Runtime& rt, const ControlRef&, Handles handles) {
    guarded(rt, ReportForm::B, "menuitem_hideHelpBoxes_Callback",
            [&] { set_help_boxes_visible(rt, handles, false); });
}

void register_help_handlers(HandlerTable& table) {
    // Each help button asks for help on itself: the page follows from the tag of the button that fired.
    for (const char* name : kHelpButtonHandlers)
        table.emplace(name, [](Runtime& rt, const ControlRef& object, Handles handles) {
            getHelp(rt, object.tag, std::move(handles));
        });
    table.emplace("menuitem_showHelpBoxes_Callback", menuitem_showHelpBoxes_Callback);
    table.emplace("menuitem_hideHelpBoxes_Callback", menuitem_hideHelpBoxes_Callback);
}

} // namespace tarvik
