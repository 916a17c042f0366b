// Start-up through the entry, the activity log's first lines, command-line pairs and callback dispatch.
#include "app/log.h"
#include "support/session.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

const Color kWhite{1, 1, 1};
const std::string kFormALead = "Let Quillon know about this error:\n\n ";

std::vector<EntryArg> texts(std::initializer_list<const char*> args) {
    return {args.begin(), args.end()};
}

using StartUp = StartedSession;

TEST_F(StartUp, LogOpensWithTheWelcomeBlockAndTheSessionLine) {
    EXPECT_EQ(s.log(),
              (TextList{"Welcome!", "", "ZERIVIzi LOG:", "", "", "Session started: 05-Dec-2026 11:54:46"}));
}

TEST_F(StartUp, ItemListsAndEditFieldsAreWhite) {
    int seen = 0;
    for (const Control* c : s.fig().controls()) {
        if (c->style != Style::PopupMenu && c->style != Style::ListBox && c->style != Style::Edit)
            continue;
        ++seen;
        EXPECT_EQ(c->background, kWhite) << c->tag;
    }
    EXPECT_EQ(seen, 18 + 5 + 9); // popup menus, list boxes, edit fields
    // The layout gives this one a dark red and the panel colour to the file name field.
    EXPECT_EQ(s.control("popupmenu_header_subject").background, kWhite);
    EXPECT_EQ(s.control("text_filename").background, kWhite);
    // The window itself loses the layout's colour for the platform's default.
    EXPECT_NE(s.fig().window().color, main_window_properties().color);
}

TEST_F(StartUp, OpeningTouchesOfSingleControls) {
    const auto help = s.fig().find(Property::String, "?"); // their tags: help_test.cpp
    EXPECT_EQ(help.size(), 7u);
    for (const auto& tag : help) {
        EXPECT_FALSE(s.control(tag).visible) << tag;
        EXPECT_EQ(s.control(tag).tooltip, "Get help on this option.") << tag;
    }
    EXPECT_EQ(s.control("button_load_file").tooltip,
              "Click here to load a data file. Your data\n file should be a tab delimited textfile.\n"
              "See section 1.1 on the web for help.");
    EXPECT_EQ(s.control("button_add").alignment, Align::Right);
    EXPECT_EQ(s.control("button_del").alignment, Align::Right);
    EXPECT_EQ(s.control("button_add_to_all").alignment, Align::Center);
    // Of the step controls only the load button is enabled.
    for (const auto& step : s.record().stepObjects)
        for (const auto& ref : step)
            EXPECT_EQ(s.control(ref.tag).enable, ref.tag == "button_load_file" ? Enable::On : Enable::Off)
                << ref.tag;
}

TEST_F(StartUp, UpdateLogAppendsTheEntryAfterItsSeparatorLinesAndStoresTheRecord) {
    const std::pair<LogEntry, TextList> entries[] = {{std::string("Loaded."), {"", "", "Loaded."}},
                                                     {TextList{"a", "b", "c"}, {"", "a", "b", "c"}},
                                                     {std::string(), {"", "", ""}},
                                                     {std::monostate{}, {""}}};
    for (const auto& [entry, added] : entries) {
        TextList expected = s.log();
        expected.insert(expected.end(), added.begin(), added.end());
        Handles h = s.record();
        h.stdmult += 1; // a change of the caller's that update_log must store with the window
        EXPECT_EQ(update_log(s.rt, h, entry), h);
        EXPECT_EQ(s.log(), expected);
        EXPECT_EQ(s.record(), h);
    }
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(StartUp, UpdateLogWithoutWindowWarnsAndReturnsTheRecordAsReceived) {
    Handles h = s.record();
    s.rt.delete_main_window();
    h.currStep = 3;
    EXPECT_EQ(update_log(s.rt, h, std::string("late line")), h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_NE(failure_report(s.scripted.last(), "Function \"update_log\"", kFormALead), "");
}

TEST(CommandLinePairs, DecideVisibilityAndSetWindowProperties) {
    const struct {
        const char* name;
        std::vector<EntryArg> args;
        bool visible;
        const char* windowName;
    } cases[] = {
        {"none", {}, true, "ZERIVIzi"},
        {"visible on", texts({"Visible", "on"}), true, "ZERIVIzi"},
        {"visible off", texts({"visible", "off"}), false, "ZERIVIzi"},
        {"abbreviated", texts({"vis", "of"}), false, "ZERIVIzi"},
        {"upper case", texts({"VIS", "OF"}), false, "ZERIVIzi"},
        {"mixed case", texts({"ViSiBlE", "oFf"}), false, "ZERIVIzi"},
        {"value too short", texts({"visible", "o"}), true, "ZERIVIzi"},
        {"name then hidden", texts({"Name", "Other", "visible", "off"}), false, "Other"},
        {"a refused pair stops later ones", texts({"bogus", "x", "Name", "Other"}), true, "ZERIVIzi"},
        {"an unpaired last is ignored", texts({"visible", "off", "Name"}), false, "ZERIVIzi"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        EXPECT_EQ(s.start(c.args), ControlRef{"figure1"});
        EXPECT_EQ(s.fig().window().visible, c.visible);
        EXPECT_EQ(s.fig().window().name, c.windowName);
        EXPECT_EQ(s.log().size(), 6u);
        EXPECT_TRUE(s.scripted.dialogs.empty());
    }
}

using Dispatch = StartedSession;

TEST_F(Dispatch, CallbackTextReachesTheHandlerWhateverTheCaseOfTheEntryName) {
    for (const char* entry : {"ZERIVIzi_export", "zerivizi_EXPORT", "zerivizi_export"}) {
        s.scripted.dialogs.clear();
        run_callback_text(s.rt, std::string(entry) + "('menuItem_about_Callback',gcbo,[],guidata(gcbo))",
                          ControlRef{"menuItem_about"});
        ASSERT_EQ(s.scripted.dialogs.size(), 1u) << entry;
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.kind, "message");
        EXPECT_EQ(d.title, "About ZERIVIzi");
        EXPECT_EQ(d.icon, Icon::None);
        EXPECT_TRUE(d.modal);
        EXPECT_TRUE(d.waited);
        EXPECT_EQ(d.text, s.record().aboutMessage);
        EXPECT_EQ(d.text.size(), 6u);
    }
}

TEST_F(Dispatch, UnknownEntryOrHandlerNameThrows) {
    const ControlRef about{"menuItem_about"};
    EXPECT_ANY_THROW(
        run_callback_text(s.rt, "zerivizi_exports('menuItem_about_Callback',gcbo,[],guidata(gcbo))", about));
    EXPECT_ANY_THROW(
        run_callback_text(s.rt, "other_entry('menuItem_about_Callback',gcbo,[],guidata(gcbo))", about));
    EXPECT_ANY_THROW(run_callback_text(s.rt, callback_text("no_such_handler_Callback"), about));
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(Dispatch, HandlerReceivesTheRecordStoredWithTheWindow) {
    Handles h = s.record();
    h.aboutMessage = {"only line"};
    s.fig().store(h);
    dispatch_event(s.rt, "menuItem_about");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().text, TextList{"only line"});
}

TEST_F(Dispatch, ThreeArgumentCallIsACreationCall) {
    const auto before = s.rt.main_window();
    const auto result = zerivizi_export(
        s.rt, {std::string("menuItem_about_Callback"), ControlRef{"menuItem_about"}, std::monostate{}});
    EXPECT_EQ(result, ControlRef{"figure1"});
    EXPECT_EQ(s.rt.main_window(), before);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(Dispatch, QuietEventsLeaveWindowRecordAndLogAlone) {
    for (Enable e : {Enable::Off, Enable::Inactive}) { // a disabled or inactive item does nothing
        s.fig().set_enable("menuItem_about", e);
        dispatch_event(s.rt, "menuItem_about");
    }
    const Handles record = s.record();
    const auto objects = s.fig().objects();
    for (const char* tag : {"text8",                  // no handler
                            "menu_file",              // opening the File menu
                            "button_save_vowelGroup", // disabled, its handler would show a note
                            "button_step_4",          // inactive
                            "no_such_control"})
        dispatch_event(s.rt, tag);
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), record);
    EXPECT_EQ(s.fig().objects(), objects);
}

} // namespace
} // namespace tarvik::testing
