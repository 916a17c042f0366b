// Start-up through the entry, the activity log's first lines, command-line pairs and callback dispatch.
#include "app/log.h"
#include "app/session.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

const Color kWhite{1, 1, 1};

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

TEST_F(StartUp, HelpButtonsAreHiddenWithTheirTooltip) {
    const TextList help = {"button_help_loading_data",       "button_help_normalization",
                           "button_help_normalize_spectral", "button_help_normalize_duration",
                           "button_help_groupings",          "button_help_types",
                           "button_help_constraints"};
    EXPECT_EQ(s.fig().find(Property::String, "?").size(), help.size());
    for (const auto& tag : help) {
        EXPECT_FALSE(s.control(tag).visible) << tag;
        EXPECT_EQ(s.control(tag).tooltip, "Get help on this option.") << tag;
    }
}

TEST_F(StartUp, OpeningTouchesOfSingleControls) {
    EXPECT_EQ(s.control("button_load_file").tooltip,
              "Click here to load a data file. Your data\n file should be a tab delimited textfile.\n"
              "See section 1.1 on the web for help.");
    EXPECT_EQ(s.control("button_add").alignment, Align::Right);
    EXPECT_EQ(s.control("button_del").alignment, Align::Right);
    EXPECT_EQ(s.control("button_add_to_all").alignment, Align::Center);
}

TEST_F(StartUp, OnlyTheLoadButtonOfTheStepControlsIsEnabled) {
    for (const auto& step : s.record().stepObjects)
        for (const auto& ref : step)
            EXPECT_EQ(s.control(ref.tag).enable, ref.tag == "button_load_file" ? Enable::On : Enable::Off)
                << ref.tag;
}

struct LogCase {
    const char* name;
    LogEntry entry;
    TextList added;
};
void PrintTo(const LogCase& c, std::ostream* os) {
    *os << c.name;
}

class UpdateLog : public ::testing::TestWithParam<LogCase> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(UpdateLog, AppendsTheEntryAfterItsSeparatorLines) {
    const TextList before = s.log();
    Handles h = s.record();
    h.stdmult = 3; // a change of the caller's that update_log must store with the window
    const Handles out = update_log(s.rt, h, GetParam().entry);

    TextList expected = before;
    expected.insert(expected.end(), GetParam().added.begin(), GetParam().added.end());
    EXPECT_EQ(s.log(), expected);
    EXPECT_EQ(out, h);
    EXPECT_EQ(s.record().stdmult, 3);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(Entries, UpdateLog,
                         ::testing::Values(LogCase{"Text", std::string("Loaded."), {"", "", "Loaded."}},
                                           LogCase{
                                               "ThreeLines", TextList{"a", "b", "c"}, {"", "a", "b", "c"}},
                                           LogCase{"EmptyText", std::string(), {"", "", ""}},
                                           LogCase{"Nothing", std::monostate{}, {""}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateLogWithoutWindow, WarnsAndReturnsTheRecordAsReceived) {
    Session s;
    s.start();
    Handles h = s.record();
    s.rt.delete_main_window();
    h.currStep = 3;
    const Handles out = update_log(s.rt, h, std::string("late line"));
    EXPECT_EQ(out, h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.title, "Function \"update_log\"");
    ASSERT_EQ(d.text.size(), 1u);
    EXPECT_EQ(d.text[0].rfind("Let Quillon know about this error:\n\n ", 0), 0u) << d.text[0];
    EXPECT_GT(d.text[0].size(), std::string("Let Quillon know about this error:\n\n ").size());
    EXPECT_TRUE(d.modal);
    EXPECT_TRUE(d.waited);
}

struct PairsCase {
    const char* name;
    std::vector<EntryArg> args;
    bool visible;
    const char* windowName;
};
void PrintTo(const PairsCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLinePairs : public ::testing::TestWithParam<PairsCase> {};

TEST_P(CommandLinePairs, DecideVisibilityAndSetWindowProperties) {
    Session s;
    EXPECT_EQ(s.start(GetParam().args), ControlRef{"figure1"});
    EXPECT_EQ(s.fig().window().visible, GetParam().visible);
    EXPECT_EQ(s.fig().window().name, GetParam().windowName);
    EXPECT_EQ(s.log().size(), 6u);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

const std::string kOff = "off";
INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLinePairs,
    ::testing::Values(
        PairsCase{"None", {}, true, "ZERIVIzi"},
        PairsCase{"VisibleOn", {std::string("Visible"), std::string("on")}, true, "ZERIVIzi"},
        PairsCase{"VisibleOff", {std::string("visible"), kOff}, false, "ZERIVIzi"},
        PairsCase{"AbbreviatedVisOf", {std::string("vis"), std::string("of")}, false, "ZERIVIzi"},
        PairsCase{"UpperVISOF", {std::string("VIS"), std::string("OF")}, false, "ZERIVIzi"},
        PairsCase{"MixedCase", {std::string("ViSiBlE"), std::string("oFf")}, false, "ZERIVIzi"},
        PairsCase{"ValueTooShort", {std::string("visible"), std::string("o")}, true, "ZERIVIzi"},
        PairsCase{"NameThenHidden",
                  {std::string("Name"), std::string("Other"), std::string("visible"), kOff},
                  false,
                  "Other"},
        PairsCase{"RefusedPairStopsLaterOnes",
                  {std::string("bogus"), std::string("x"), std::string("Name"), std::string("Other")},
                  true,
                  "ZERIVIzi"},
        PairsCase{
            "UnpairedLastIgnored", {std::string("visible"), kOff, std::string("Name")}, false, "ZERIVIzi"}),
    [](const auto& info) { return std::string(info.param.name); });

class CallbackText : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(CallbackText, ReachesTheHandlerWhateverTheCaseOfTheEntryName) {
    run_callback_text(s.rt, GetParam() + "('menuItem_about_Callback',gcbo,[],guidata(gcbo))",
                      ControlRef{"menuItem_about"});
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.title, "About ZERIVIzi");
    EXPECT_EQ(d.icon, Icon::None);
    EXPECT_TRUE(d.modal);
    EXPECT_TRUE(d.waited);
    EXPECT_EQ(d.text, s.record().aboutMessage);
    EXPECT_EQ(d.text.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(EntrySpellings, CallbackText,
                         ::testing::Values("ZERIVIzi_export", "zerivizi_EXPORT", "zerivizi_export"));

using Dispatch = StartedSession;

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

TEST_F(Dispatch, DisabledOrInactiveItemDoesNothing) {
    for (Enable e : {Enable::Off, Enable::Inactive}) {
        s.fig().set_enable("menuItem_about", e);
        dispatch_event(s.rt, "menuItem_about");
    }
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

class QuietEvent : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(QuietEvent, LeavesWindowRecordAndLogAlone) {
    const Handles record = s.record();
    const auto objects = s.fig().objects();
    dispatch_event(s.rt, GetParam());
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), record);
    EXPECT_EQ(s.fig().objects(), objects);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, QuietEvent,
    ::testing::Values("text8",                  // no handler
                      "button_save_vowelGroup", // disabled, its handler would show a note
                      "button_step_4",          // inactive
                      "no_such_control"));

} // namespace
} // namespace tarvik::testing
