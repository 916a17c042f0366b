// Saving and opening sessions from the File menu on the headless main window: the reopened window is the
// saved one in every control and field and goes on working; cancelled dialogs, unwritable files and damaged,
// hostile or foreign files leave the running session exactly as it was, and the last are refused with
// their fault named in the error report.
#include "session/session_file.h"
#include "support/session.h"
#include "support/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

class SessionMenu : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.rt.onWindowCreated = [this](const std::shared_ptr<Figure>& w) {
            created_.push_back(w);
            // What a view sees when it is made for the window: its controls and its record.
            EXPECT_TRUE(w->retrieve().has_value());
        };
        before_ = snapshot();
    }
    // A sound session file of other work than the running session's: a study loaded and mapped, in
    // step 2, with one overlap result.
    static const std::string& sound() {
        static const std::string text = [] {
            Session other;
            other.start();
            run_step_1(other);
            Handles h = other.record();
            h.overlap[{1, 2}].value = 0.5;
            return session_to_text(other.fig(), h);
        }();
        return text;
    }
    std::size_t overlap_lines() const {
        return static_cast<std::size_t>(
            std::count_if(s.log().begin(), s.log().end(),
                          [](const std::string& l) { return l.find("VOWEL OVERLAP") != std::string::npos; }));
    }
    void choose(const std::string& name, const std::string& menuItem) {
        s.scripted.dialogs.clear();
        s.scripted.fileAnswers.push_back(FileChoice{name, dir_.path().string()});
        dispatch_event(s.rt, menuItem);
    }
    // Opens `content` as bad.tarvik; returns the reason the error report gives, or what happened instead.
    std::string open_text(const std::string& content) {
        write_contents(dir_ / "bad.tarvik", content);
        choose("bad.tarvik", "menuItem_openSession");
        if (s.scripted.dialogs.size() != 2)
            return "(" + std::to_string(s.scripted.dialogs.size()) + " dialogs)";
        return failure_report(s.scripted.last(), "Let Quillon know: \"menuItem_openSession_Callback\"",
                              "Function Error:\n\n Could not open the session file \"" +
                                  (dir_ / "bad.tarvik") + "\": ");
    }
    // The running session: its window, and that window with its controls and record written out.
    std::pair<std::shared_ptr<Figure>, std::string> snapshot() const {
        return {s.rt.main_window(), session_to_text(s.fig(), s.record())};
    }
    void expect_unchanged(const std::pair<std::shared_ptr<Figure>, std::string>& before) const {
        ASSERT_EQ(s.rt.main_window(), before.first);
        EXPECT_TRUE(before.first->alive());
        EXPECT_EQ(snapshot().second, before.second);
    }
    // Nothing has changed since the test began.
    void expect_unchanged() const {
        expect_unchanged(before_);
        EXPECT_TRUE(created_.empty());
    }

    TestFolder dir_{"tarvik_session_menu"};
    std::pair<std::shared_ptr<Figure>, std::string> before_;
    std::vector<std::shared_ptr<Figure>> created_;
};

TEST_F(SessionMenu, AStep4SessionWithTheLogShownReopensAsItWasSavedAndGoesOnWorking) {
    run_steps_1_to_3(s, {.overlaps = true});
    s.click("checkbox_all_group_overlap", 1);
    ASSERT_EQ(overlap_lines(), 6u);
    dispatch_event(s.rt, "button_view_log");
    const auto saved = snapshot();

    write_contents(dir_ / "study1.tarvik", "an earlier session"); // replaced, leaving no temporary file
    choose("study1", "menuItem_saveSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_dialog(s.scripted.last(), "save", "Save session", {"*.tarvik"}, Icon::None, true);
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    expect_unchanged(saved); // saving changes nothing in the running session

    // Work goes on and is then thrown away by opening the saved session.
    dispatch_event(s.rt, "button_step_3");
    ASSERT_EQ(s.record().currStep, 3);
    choose("study1.tarvik", "menuItem_openSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_dialog(s.scripted.last(), "open", "Open a .tarvik session file", {"*.tarvik"}, Icon::None, true);
    const auto reopened = s.rt.main_window();
    ASSERT_NE(reopened, saved.first);
    EXPECT_FALSE(saved.first->alive());
    ASSERT_EQ(created_, std::vector<std::shared_ptr<Figure>>{reopened});

    // The same window, now shown, with every control and field as saved: step 4 with the log shown over
    // it and the popup menus hidden.
    EXPECT_TRUE(reopened->window().visible);
    reopened->set_window_visible(false);
    expect_unchanged({reopened, saved.second});

    // Its callbacks dispatch with its own record.
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(overlap_lines(), 9u);
    dispatch_event(s.rt, "button_step_3");
    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(s.control("button_continue_to_overlap").enable, Enable::On);
}

// A session saved by a version whose fits all had mirrored axes: it opens with every stored fit and
// overlap as written, the compatibility entry checked and one line in the log. Unchecking the entry fits
// every group along its lines and clears the overlaps of the earlier fits.
TEST_F(SessionMenu, AFileOfTheFirstFormatKeepsItsMirroredFitsUntilTheEntryIsUnchecked) {
    const std::string file = TARVIK_TEST_DATA_DIR "/session_format1.tarvik";
    const Json stored = Json::parse(file_contents(file));
    s.scripted.fileAnswers.push_back(FileChoice{"session_format1.tarvik", TARVIK_TEST_DATA_DIR});
    dispatch_event(s.rt, "menuItem_openSession");
    ASSERT_EQ(s.record().currStep, 4);
    EXPECT_EQ(s.record().fitOrientation, FitOrientation::Mirrored);
    EXPECT_EQ(s.control(kMirroredFitAxesTag).value, std::vector<double>{1});
    EXPECT_EQ(s.log().back(), "This session was saved before fit axes followed the data: its fits keep their "
                              "mirrored axes (File > Mirrored fit axes (compatibility) is checked).");
    const auto fit_fields = [](const VowelGroup& g) {
        return std::vector<double>{*g.theta2D, *g.A2D, *g.B2D, *g.theta, *g.phi, *g.A, *g.B, *g.C};
    };
    const Json& groups = stored.at("record").at("v");
    ASSERT_EQ(s.record().v.size(), groups.size());
    for (std::size_t k = 0; k < groups.size(); ++k) {
        std::vector<double> written;
        for (const char* name : {"theta2D", "A2D", "B2D", "theta", "phi", "A", "B", "C"})
            written.push_back(groups[k].at(name).get<double>());
        EXPECT_EQ(fit_fields(s.record().v[k]), written) << k;
    }
    EXPECT_EQ(s.record().overlap.at({1, 3}).value2D, 0.20689655172413793);
    EXPECT_EQ(s.control(kShowResultsTag).enable, Enable::On); // it has results to show

    const Handles before = s.record();
    dispatch_event(s.rt, kMirroredFitAxesTag);
    EXPECT_EQ(s.record().fitOrientation, FitOrientation::Line);
    EXPECT_EQ(s.control(kMirroredFitAxesTag).value, std::vector<double>{0});
    const Handles after = s.record();
    EXPECT_TRUE(after.overlap.empty());
    EXPECT_EQ(s.control(kShowResultsTag).enable, Enable::Off);
    for (std::size_t k = 0; k < groups.size(); ++k) {
        const VowelGroup& was = before.v[k];
        const VowelGroup& now = after.v[k];
        EXPECT_DOUBLE_EQ(*now.theta2D, -*was.theta2D) << k; // a mirror turns the sign of the angle
        EXPECT_NE(*now.ellps2D, *was.ellps2D) << k;
    }
    const TextList log = s.log();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"Fit axes: along each group's least-squares lines.",
                                        "The 3 groups were fitted again.",
                                        "3 overlap results of the earlier fits were cleared; calculate them again."}));
}

// Cancelling the open dialog says so.
TEST_F(SessionMenu, CancelledDialogsAndASaveThatFailsChangeNothingAndTheFailureIsReported) {
    dispatch_event(s.rt, "menuItem_saveSession");
    dispatch_event(s.rt, "menuItem_openSession");
    EXPECT_TRUE(dir_.names().empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 3u);
    expect_dialog(s.scripted.last(), "message", "Could not open file.",
                  {"This file is empty or you selected 'Cancel'. Please select a different file."},
                  Icon::None, true);

    fs::create_directory(dir_ / "study1.tarvik");
    choose("study1", "menuItem_saveSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(failure_report(s.scripted.last(), "Let Quillon know: \"menuItem_saveSession_Callback\"",
                             "Function Error:\n\n "),
              "Could not save the session to \"" + (dir_ / "study1.tarvik") + "\": a folder has that name.");
    EXPECT_TRUE(fs::is_directory(dir_ / "study1.tarvik"));
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    expect_unchanged();
}

// Every cut ends inside the document, whose last character is its closing brace; the whole of it, which every
// case below changes, opens.
TEST_F(SessionMenu, AFileCutShortAtEveryTenthByteIsIncomplete) {
    ASSERT_EQ(sound().substr(sound().size() - 2), "}\n");
    for (std::size_t cut = 0; cut + 1 < sound().size(); cut += 10)
        ASSERT_EQ(open_text(sound().substr(0, cut)),
                  cut == 0 ? "the file is empty."
                           : "the file is incomplete: it ends before the session does.")
            << "cut at byte " << cut;
    expect_unchanged();
    open_text(sound());
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.record().currStep, 2);
}

// Texts that are not a session file of this version.
TEST_F(SessionMenu, OtherTextsAreRefusedAsWhatTheyAre) {
    const std::string whole = sound();
    const auto replaced = [&](const std::string& what, const std::string& with) {
        return std::string(whole).replace(whole.find(what), what.size(), with);
    };
    const std::string program = "\"program\":" + Json::parse(whole).at("program").dump();
    const std::pair<std::string, const char*> texts[] = {
        {"Speaker\tVowel\tF1\ns1\ti\t300\n", "it is not a TARVIK3D session file (it is not JSON text)."},
        {whole + "}", "it is not JSON text"},
        {replaced("\"stdmult\":2.0", "\"stdmult\":1e999"), "it is not JSON text"},
        {R"({"format":"tarvik3d-overlap","version":1})", "it is not a TARVIK3D session file."},
        {"[1, 2, 3]", "it is not a TARVIK3D session file."},
        {replaced(program, "\"program\":" + std::string(101, '[') + std::string(101, ']')),
         "the file is damaged: its lists and records are nested more than 100 deep."},
        {replaced(program, "\"program\":" + std::string(100, '[') + std::string(100, ']')),
         "the file is damaged at program: expected a text."}};
    for (const auto& [text, reason] : texts) {
        EXPECT_NE(open_text(text).find(reason), std::string::npos) << reason;
        expect_unchanged();
    }
}

// One change of the sound document: at `at` (a JSON pointer) the JSON text `value`, or a list of `copies` of
// it; an empty value removes what is there. Without `at`, `value` is a JSON patch (RFC 6902) of the
// document. Objects are counted in the layout's order, which a session file of this version keeps.
struct Change {
    const char* at;
    const char* value;
    const char* reason; // a part of the report's reason
    std::size_t copies = 0;
};

TEST_F(SessionMenu, ChangedDocumentsAreRefusedWithTheirFaultAndLeaveTheSession) {
    const Change changes[] = {
        {"/version", "8",
         "it was written by a newer version of TARVIK3D (session format 8; this version reads "
         "format 7)."},
        {"/version", "\"1\"", "the file is damaged at version: expected the format version"},
        {"/record", "", "the file is damaged at the top: the field \"record\" is missing."},
        {"/window", "[]", "at window: expected an object."},
        {"/record/stdmult", "", "at record: the field \"stdmult\" is missing."},
        {"/record/stdMult", "2", "at record: unknown field \"stdMult\"."},
        {"/record/header", "\"F1\"", "at record.header: expected a list."},
        {"/record/header/0", R"({"bytes": "zz"})",
         "at record.header[0]: expected lower-case hexadecimal digits."},
        {"/record/dataColumn/0/1/1", "[\"m01\"]", "at record.dataColumn[\"Speaker\"][1]: expected a text."},
        {"/record/dataSubject/0/1/vowelTargets", R"([["i", {"F1": ["300"]}]])",
         "at record.dataSubject[\"s1\"].vowelTargets[\"i\"].F1[0]: expected a number."},
        // Parts left out because opening derives them: a mark that is not one, or that names what the data
        // does not hold.
        {"/record/dataSubject/0/1/vowelTargets/derived", "false",
         "at record.dataSubject[\"s1\"].vowelTargets.derived: expected true."},
        {"/record/dataSubject/0/1/vowelTargets/logs", "[1]",
         "at record.dataSubject[\"s1\"].vowelTargets.logs[0]: expected a text."},
        {"/record/dataSubject/0/0", "\"s9\"", "at record: the subject \"s9\" has no tokens in the data."},
        {"/record/HeaderName/F1", "\"Nope\"",
         "at record: the subjects' tokens cannot be read from the data: "},
        {"/record/overlap/0", "[[1, 2], [3, 2.5, 1], null]",
         "at record.overlap[0][1][1]: expected a count, a whole number from 0."},
        {"/record/HeaderName", "[]", "at record.HeaderName: expected an object."},
        {"/record/dataColumn", "{}", "at record.dataColumn: expected a list of [key, value] pairs."},
        {"/record/subgroup", R"([["V", []], ["V", []]])",
         "at record.subgroup[1]: the key \"V\" appears twice."},
        {"/objects/135/visible", "\"yes\"", ".visible: expected true or false."},
        {"/record/fitOrientation", "\"sideways\"",
         "at record.fitOrientation: expected \"line\" or \"mirrored\"."},
        {"/record/currStep", "7", "at record.currStep: the wizard has steps 1 to 4."},
        // The main window's objects: none missing, extra or moved, none re-wired or re-styled.
        {"/objects/147", "", ": the object \"text115\" of the main window is missing."},
        {"", R"([{"op": "copy", "from": "/objects/31", "path": "/objects/-"}])", "appears twice."},
        {"", R"([{"op": "move", "from": "/objects/11", "path": "/objects/12"}])", "is out of place"},
        {"/objects/75/tag", "\"button_x\"", ": \"button_x\" is not an object of this version's main"},
        {"/objects/1/callback", "\"menuItem_exit_Callback\"", "has a handler other than this version's."},
        {"/objects/33/style", "\"frame\"", "has a style other than this version's."},
        {"/objects/41/style", "\"slider\"", "at objects[41].style: expected a control style."},
        {"/objects/41/enable", "\"maybe\"", "expected \"on\", \"off\" or \"inactive\"."},
        // Values out of their range.
        {"/objects/135/value", "[1, 1e300]", "value[1]: expected a whole number from 0 to 2147483647."},
        {"/objects/119/value/0", "0.5", "value[0]: expected a whole number from 0 to"},
        {"/objects/13/position/0", "\"NaN\"", "at objects[13].position[0]: expected a finite number."},
        {"/objects/13/position", "[0, 0, 1]", "expected a position [left, bottom, width, height]."},
        {"/record/frameColor", "[2, 0, 0]",
         "at record.frameColor[0]: expected a colour component between 0 and 1."},
        {"/record/overlap", "[[[0, 1], {}]]", "at record.overlap[0][0]: group indices count from 1."},
        {"/record/overlap", "[[[4294967296, 4294967297], {}]]", "group indices count from 1."},
        {"/record/overlap", "[[[2, 1], {}]]", "the smaller group index comes first."},
        {"", R"([{"op": "copy", "from": "/record/overlap/0", "path": "/record/overlap/-"}])",
         "at record.overlap[1][0]: the pair [1, 2] appears twice."},
        {"/record/overlapResolution/s", "1000000",
         "overlapResolution.s: expected a whole number from 1 to 1000."},
        {"/record/overlapResolution/n", "2.5", "overlapResolution.n: expected a whole number from 1 to"},
        {"/record/overlapResolution/m", "0", "overlapResolution.m: expected a whole number from 1 to"},
        // Matrices whose shape does not hold their values, or claims more than any memory.
        {"/record/v/0/data", R"({"rows": 2, "cols": 2, "values": [1, 2, 3]})",
         "at record.v[0].data: the shape 2 x 2 does not hold 3 values."},
        {"/record/v/0/data/rows", "-1",
         "at record.v[0].data.rows: expected a whole number that is not negative."},
        {"/record/v/0/data", R"({"rows": 4294967296, "cols": 4294967296, "values": []})",
         "the shape 4294967296 x 4294967296 does not hold 0 values."},
        {"/record/v/0/data", R"({"rows": 4611686018427387904, "cols": 0, "values": []})",
         "the shape 4611686018427387904 x 0 does not hold 0 values."},
        {"/record/v/0/data", R"({"rows": 9223372036854775808, "cols": 2, "values": [1, 2, 3, 4]})",
         "does not hold 4 values."},
        // Huge lists, and references to controls that do not exist.
        {"/record/frameColor", "0.5", "at record.frameColor: expected a colour [red, green, blue].", 1000000},
        {"/record/stepObjects", "[]", "at record.stepObjects: expected a list of 4 entries.", 1000000},
        {"/record/stepObjects/2", "\"b\"", "at record.stepObjects[2][0]: \"b\" is not an object of the",
         1000000},
        {"/record/objects/76/1", "\"e\"", "at record.objects[\"button_add\"]: \"e\" is not an object"},
        {"/record/output", "\"f\"", "at record.output: \"f\" is not an object of the main window."},
        {"/record/stepFrames/0/0", "\"g\"",
         "at record.stepFrames[0][0]: \"g\" is not an object of the main"}};
    const Json original = Json::parse(sound());
    for (const Change& c : changes) {
        SCOPED_TRACE(std::string(c.at) + " " + c.value);
        Json doc = original;
        const std::string value = c.value;
        const Json::json_pointer at(c.at);
        if (at.empty())
            doc = doc.patch(Json::parse(value));
        else if (value.empty() && doc.at(at.parent_pointer()).is_array())
            doc.at(at.parent_pointer()).erase(std::stoul(at.back()));
        else if (value.empty())
            doc.at(at.parent_pointer()).erase(at.back());
        else
            doc[at] = c.copies ? Json(std::vector<Json>(c.copies, Json::parse(value))) : Json::parse(value);
        const std::string reason = open_text(doc.dump());
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        expect_unchanged();
    }
}

} // namespace
} // namespace tarvik::testing
