// Start-up through the entry, command-line pairs, callback dispatch, the activity log's appends, the File
// menu's own handlers (About, Print, Exit, the placeholder note) and the guarded body's two failure reports.
#include "app/guarded.h"
#include "app/log.h"
#include "support/session.h"
#include "session/session_menu.h"
#include "support/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvik::testing {
namespace {

const std::string kFormALead = "Let Quillon know about this error:\n\n ";

std::vector<EntryArg> texts(std::initializer_list<const char*> args) {
    return {args.begin(), args.end()};
}

using StartUp = StartedSession;

TEST_F(StartUp, TheOpeningFunctionWritesTheFirstLogLineAndTouchesItsControls) {
    EXPECT_EQ(s.log(),
              (TextList{"Welcome!", "", "ZERIVIzi LOG:", "", "", "Session started: 05-Dec-2026 11:54:46"}));
    // Item lists and edit fields are white, the one the layout makes dark red included; the window itself
    // loses the layout's colour for the platform's default.
    for (const Control* c : s.fig().controls())
        if (c->style == Style::PopupMenu || c->style == Style::ListBox || c->style == Style::Edit) {
            EXPECT_EQ(c->background, (Color{1, 1, 1})) << c->tag;
        }
    EXPECT_NE(s.fig().window().color, main_window_properties().color);
    for (const auto& tag : s.fig().find(Property::String, "?")) {
        EXPECT_FALSE(s.control(tag).visible) << tag;
        EXPECT_EQ(s.control(tag).tooltip, "Get help on this option.") << tag;
    }
    EXPECT_EQ(s.control("button_load_file").tooltip,
              "Click here to load a data file. Your data\n file should be a tab delimited textfile.\n"
              "See section 1.1 on the web for help.");
    EXPECT_EQ(s.control("button_add").alignment, Align::Right);
    EXPECT_EQ(s.control("button_del").alignment, Align::Right);
}

// A text adds two empty lines and itself, a list one empty line and its lines, anything else one empty line.
TEST_F(StartUp, UpdateLogAppendsTheEntryAfterItsSeparatorLinesAndStoresTheRecord) {
    const std::pair<LogEntry, TextList> entries[] = {{std::string("Loaded."), {"", "", "Loaded."}},
                                                     {TextList{"a", "b", "c"}, {"", "a", "b", "c"}},
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

    // Without a window it warns and returns the record as received.
    const Handles h = s.record();
    s.rt.delete_main_window();
    EXPECT_EQ(update_log(s.rt, h, std::string("late line")), h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    failure_report(s.scripted.last(), "Function \"update_log\"", kFormALead);
}

// "visible" (or a prefix, any case) with "off" (or "of") keeps the window hidden.
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

// About shows the lines of the record stored with the window, whatever the case of the entry's name.
TEST_F(Dispatch, CallbackTextReachesTheHandlerWithTheStoredRecordWhateverTheCaseOfTheEntryName) {
    EXPECT_EQ(s.record().aboutMessage.size(), 6u);
    Handles h = s.record();
    h.aboutMessage = {"only line"};
    s.fig().store(h);
    for (const char* entry : {"ZERIVIzi_export", "zerivizi_EXPORT", "zerivizi_export"}) {
        s.scripted.dialogs.clear();
        run_callback_text(s.rt, std::string(entry) + "('menuItem_about_Callback',gcbo,[],guidata(gcbo))",
                          ControlRef{"menuItem_about"});
        ASSERT_EQ(s.scripted.dialogs.size(), 1u) << entry;
        expect_dialog(s.scripted.last(), "message", "About ZERIVIzi", {"only line"}, Icon::None, true);
        EXPECT_TRUE(s.scripted.last().modal);
    }
    const ControlRef about{"menuItem_about"};
    EXPECT_ANY_THROW(
        run_callback_text(s.rt, "zerivizi_exports('menuItem_about_Callback',gcbo,[],guidata(gcbo))", about));
    EXPECT_ANY_THROW(run_callback_text(s.rt, callback_text("no_such_handler_Callback"), about));
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

// Last, a three-argument call: a creation call, which reuses the window and returns it.
TEST_F(Dispatch, QuietEventsLeaveWindowRecordAndLogAloneAndACreationCallReusesTheWindow) {
    s.fig().set_enable("menuItem_about", Enable::Inactive);
    const auto window = s.rt.main_window();
    const Handles record = s.record();
    const auto objects = s.fig().objects();
    for (const char* tag : {"menuItem_about",         // inactive, its handler would show About
                            "text8",                  // no handler
                            "menu_file",              // opening the File menu
                            "button_save_vowelGroup", // disabled, its handler would show a note
                            "no_such_control"})
        dispatch_event(s.rt, tag);
    EXPECT_EQ(s.record(), record);
    EXPECT_EQ(s.fig().objects(), objects);
    EXPECT_EQ(zerivizi_export(s.rt, {std::string("menuItem_about_Callback"), ControlRef{"menuItem_about"},
                                     std::monostate{}}),
              ControlRef{"figure1"});
    EXPECT_EQ(s.rt.main_window(), window);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST(ExitQuestion, OnlyNoKeepsTheMainWindowAndAnExitedWindowNoLongerDispatches) {
    const std::pair<const char*, bool> answers[] = {{"No", true}, {"Yes", false}, {"", false}}; // "" closed
    for (const auto& [answer, windowStays] : answers) {
        SCOPED_TRACE(std::string("answer \"") + answer + "\"");
        Session s;
        s.start();
        run_step_1(s); // something to lose
        s.scripted.dialogs.clear();
        s.scripted.questionAnswers.push_back(answer);
        dispatch_event(s.rt, "menuItem_exit");

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        EXPECT_EQ(s.scripted.last().title, "Quit TARVIK3D?");
        EXPECT_EQ(s.scripted.last().text,
                  TextList{"Did you remember to save your session? Are you sure you want to quit now?"});
        EXPECT_EQ(s.scripted.last().buttons, (TextList{"Yes", "No", "No"}));
        EXPECT_EQ(s.rt.main_window() != nullptr, windowStays);
        dispatch_event(s.rt, "menuItem_about");
        EXPECT_EQ(s.scripted.dialogs.size(), windowStays ? 2u : 1u);
    }
}

// The two group file buttons stay disabled, so their handlers are called the way a callback text calls them.
TEST_F(Dispatch, PrintAsksThePrintServiceAndTheGroupFileButtonsShowThePlaceholderNote) {
    dispatch_event(s.rt, "menuItem_print");
    EXPECT_EQ(s.scripted.printed, 1);
    EXPECT_TRUE(s.scripted.dialogs.empty());
    for (const std::string tag : {"button_save_vowelGroup", "button_load_vowelGroup"}) {
        s.scripted.dialogs.clear();
        zerivizi_export(s.rt, {tag + "_Callback", ControlRef{tag}, std::monostate{}, s.record()});
        ASSERT_EQ(s.scripted.dialogs.size(), 1u) << tag;
        expect_dialog(
            s.scripted.last(), "message", "Just a note",
            {"Sorry, I haven't gotten to that yet. Please remind me if this is particulary important "
             "feature or if you would like to see it enacted in a special way."},
            Icon::Warn, true);
    }
}

// The message of a failing body is inserted verbatim into the form's text; the warning is waited for or
// not as the caller asks.
TEST(Guarded, AFailingBodyStopsAndShowsTheFixedFormAsAModalWarning) {
    for (const auto& [form, text, title] :
         {std::tuple{ReportForm::A, kFormALead, "Function \"plot_now\""},
          std::tuple{ReportForm::B, std::string("Function Error:\n\n "), "Let Quillon know: \"plot_now\""}})
        for (bool wait : {true, false}) {
            ScriptedServices scripted;
            Runtime rt{scripted.services()};
            const auto body = [] { throw std::runtime_error("100% of %s failed"); };
            EXPECT_FALSE(guarded(rt, form, "plot_now", body, GuardOptions{wait}));
            ASSERT_EQ(scripted.dialogs.size(), 1u);
            EXPECT_EQ(failure_report(scripted.last(), title, text, wait), "100% of %s failed");
        }
    // Memory running out is said in the user's words.
    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    EXPECT_FALSE(guarded(rt, ReportForm::B, "save", [] { throw std::bad_alloc(); }));
    EXPECT_EQ(failure_report(scripted.last(), "Let Quillon know: \"save\"", "Function Error:\n\n "),
              "There was not enough memory to finish this step. Close other programs, or try a coarser grid or "
              "fewer tokens or groups.");
}

// Exit asks only when there is something to lose: not in a window as it started, nor right after the
// session was saved; again once the work goes on.
TEST(ExitQuestion, OnlyUnsavedWorkIsAskedAbout) {
    TestFolder dir("tarvik_exit");
    for (const int stage : {0, 1, 2}) {
        SCOPED_TRACE(stage);
        Session s;
        s.start();
        if (stage > 0) {
            run_step_1(s);
            ASSERT_TRUE(save_session(s.rt, {dir / "study.tarvik"}).done);
        }
        if (stage > 1)
            run_step_2(s);
        s.scripted.dialogs.clear();
        s.scripted.questionAnswers.push_back("No");
        dispatch_event(s.rt, "menuItem_exit");
        EXPECT_EQ(s.scripted.dialogs.size(), stage > 1 ? 1u : 0u);
        EXPECT_EQ(s.rt.main_window() != nullptr, stage > 1);
    }
}

} // namespace
} // namespace tarvik::testing
