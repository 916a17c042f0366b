// Hostile session files through File > Open Session on the headless main window: each is refused with
// the reason in the error report, and the session that was running goes on exactly as it was.
#include "app/session_menu.h"

#include "support/session.h"
#include "app/session_file.h"
#include "support/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik::testing {
namespace {

using Json = nlohmann::ordered_json;

const char* const kReportTitle = "Let Quillon know: \"menuItem_openSession_Callback\"";

class HostileSession : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.rt.onWindowCreated = [this](const std::shared_ptr<Figure>&) { ++created_; };

        // Work worth keeping: a study loaded and mapped, in step 2.
        run_step_1(s, {.file = "wiz_vowels.txt", .withDuration = true});
        ASSERT_EQ(s.record().currStep, 2);

        // The same work as a sound session file, saved from the File menu.
        s.scripted.fileAnswers.push_back(FileChoice{"sound", dir_.path().string()});
        dispatch_event(s.rt, "menuItem_saveSession");
        sound_ = file_contents(dir_ / "sound.tarvik");
        ASSERT_GT(sound_.size(), 1000u);

        s.scripted.dialogs.clear();
        window_ = s.rt.main_window();
        objects_ = s.fig().objects();
        record_ = session_to_text(s.fig(), s.record());
    }

    // Opens `content` as bad.tarvik from the File menu; returns the reason the report gives, or what
    // happened instead.
    std::string open(const std::string& content) {
        write_contents(dir_ / "bad.tarvik", content);
        s.scripted.dialogs.clear();
        s.scripted.fileAnswers.push_back(FileChoice{"bad.tarvik", dir_.path().string()});
        dispatch_event(s.rt, "menuItem_openSession");
        if (s.scripted.dialogs.size() != 2)
            return "(" + std::to_string(s.scripted.dialogs.size()) + " dialogs)";
        const DialogRecord& report = s.scripted.last();
        const std::string lead =
            "Function Error:\n\n Could not open the session file \"" + (dir_ / "bad.tarvik") + "\": ";
        if (report.kind != "warning" || report.title != kReportTitle || !report.modal || !report.waited ||
            report.text.size() != 1 || report.text[0].rfind(lead, 0) != 0)
            return "(another dialog: " + report.title + ")";
        return report.text[0].substr(lead.size());
    }

    // The running session is the one from before: the same window, controls and record.
    void expect_unchanged() const {
        ASSERT_EQ(s.rt.main_window(), window_);
        EXPECT_TRUE(window_->alive());
        EXPECT_EQ(s.fig().objects(), objects_);
        EXPECT_EQ(session_to_text(s.fig(), s.record()), record_);
        EXPECT_EQ(created_, 0);
    }

    TestFolder dir_{"tarvik_hostile_session"};
    std::string sound_;
    std::shared_ptr<Figure> window_;
    std::vector<Control> objects_;
    std::string record_;
    int created_ = 0;
};

// The file every case below changes opens as it is, with no dialog but the file dialog.
TEST_F(HostileSession, TheSoundFileOpens) {
    open(sound_);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "open");
    EXPECT_EQ(created_, 1);
    EXPECT_NE(s.rt.main_window(), window_);
    EXPECT_EQ(s.record().currStep, 2);
}

TEST_F(HostileSession, AFileCutShortAtEveryTenthByteIsIncomplete) {
    // Every cut ends inside the document, whose last character is its closing brace.
    ASSERT_EQ(sound_.substr(sound_.size() - 2), "}\n");
    for (std::size_t cut = 0; cut + 1 < sound_.size(); cut += 10)
        ASSERT_EQ(open(sound_.substr(0, cut)),
                  cut == 0 ? "the file is empty."
                           : "the file is incomplete: it ends before the session does.")
            << "cut at byte " << cut;
    expect_unchanged();
}

// ------------------------------------------------------------------------------------------------
// Changed documents: wrong types, huge lists, names of controls that do not exist.

Json& rec(Json& d) {
    return d["record"];
}
// The place of the control `tag` in the document's objects, and that object.
std::size_t index_of(const Json& d, const std::string& tag) {
    for (std::size_t i = 0; i < d["objects"].size(); ++i)
        if (d["objects"][i]["tag"] == tag)
            return i;
    throw std::logic_error("no object " + tag);
}
Json& by_tag(Json& d, const std::string& tag) {
    return d["objects"][index_of(d, tag)];
}
// The value under `key` in a keyed record, which is written as a list of [key, value] pairs.
Json& keyed(Json& list, const std::string& key) {
    for (auto& pair : list)
        if (pair[0] == key)
            return pair[1];
    throw std::logic_error("no key " + key);
}
std::string set(Json& at, Json value) {
    at = std::move(value);
    return "";
}
// A list of n copies of `item`.
Json many(std::size_t n, const Json& item) {
    return Json(std::vector<Json>(n, item));
}
// A vowel group as a session file writes it, with every field empty.
Json a_group() {
    Handles h;
    h.v.resize(1);
    return Json::parse(
        session_to_text(Figure(main_window_properties(), main_window_layout()), h))["record"]["v"][0];
}
std::string nested(std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}
// The document's text with `value` as the text of its "program" field.
std::string with_program(const Json& d, const std::string& value) {
    std::string t = d.dump();
    const std::string field = "\"program\":";
    const auto at = t.find(field) + field.size();
    return t.replace(at, t.find(',', at) - at, value);
}

struct BadSession {
    const char* name;
    std::function<std::string(Json&)> make; // changes the sound document, or returns a text of its own
    std::string reason; // the report's reason, after the file's name; "%" is the place of `tag` in the window
    const char* tag = "";
};
void PrintTo(const BadSession& c, std::ostream* os) {
    *os << c.name;
}

class HostileSessions : public HostileSession, public ::testing::WithParamInterface<BadSession> {};

TEST_P(HostileSessions, AreRefusedWithTheirFaultAndLeaveTheSession) {
    Json doc = Json::parse(sound_);
    std::string text = GetParam().make(doc);
    if (text.empty())
        text = doc.dump();
    const auto start = std::chrono::steady_clock::now();
    std::string reason = GetParam().reason;
    if (const auto mark = reason.find('%'); mark != std::string::npos)
        reason.replace(mark, 1, std::to_string(index_of(Json::parse(sound_), GetParam().tag)));
    EXPECT_EQ(open(text), reason);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    expect_unchanged();
    // The window goes on working with its own record.
    run_step_2(s);
    EXPECT_EQ(s.record().currStep, 3);
}

const BadSession kFaults[] = {
    // Wrong types where the record has texts, numbers, lists, records, control references.
    {"HeaderNameAsNumber", [](Json& d) { return set(rec(d)["header"][0], 42); },
     "the file is damaged at record.header[0]: expected a text."},
    {"CellAsList", [](Json& d) { return set(rec(d)["dataRow"][1][0][1], Json::array({"m01"})); },
     "the file is damaged at record.dataRow[1][\"Speaker\"]: expected a text."},
    {"TokenValueAsText",
     [](Json& d) { return set(rec(d)["dataSubject"][0][1]["vowelTargets"][0][1]["F1"][0], "300"); },
     "the file is damaged at record.dataSubject[\"s1\"].vowelTargets[\"i\"].F1[0]: expected a number."},
    {"RecordAsList", [](Json& d) { return set(rec(d)["HeaderName"], Json::array()); },
     "the file is damaged at record.HeaderName: expected an object."},
    {"KeyedRecordAsObject", [](Json& d) { return set(rec(d)["dataColumn"], Json::object()); },
     "the file is damaged at record.dataColumn: expected a list of [key, value] pairs."},
    {"FlagAsText", [](Json& d) { return set(by_tag(d, "listbox_log")["visible"], "yes"); },
     "the file is damaged at objects[%].visible: expected true or false.", "listbox_log"},
    {"ReferenceAsNumber", [](Json& d) { return set(rec(d)["stepObjects"][0][0], 7); },
     "the file is damaged at record.stepObjects[0][0]: expected a text."},
    {"StepAsNull", [](Json& d) { return set(rec(d)["currStep"], nullptr); },
     "the file is damaged at record.currStep: expected a number."},
    {"WholeDocumentAsText", [](Json&) { return std::string("\"tarvik3d-session\""); },
     "it is not a TARVIK3D session file."},
    // Huge lists: a shape that claims more values than any memory, a fixed-length list of a million
    // entries, a million control references, a nesting a million deep.
    {"MatrixOfVastShape",
     [](Json& d) {
         rec(d)["v"] = Json::array({a_group()});
         return set(rec(d)["v"][0]["data"],
                    Json{{"rows", 4611686018427387904ull}, {"cols", 0}, {"values", Json::array()}});
     },
     "the file is damaged at record.v[0].data: the shape 4611686018427387904 x 0 does not hold 0 values."},
    {"ColourOfAMillionComponents", [](Json& d) { return set(rec(d)["frameColor"], many(1000000, 0.5)); },
     "the file is damaged at record.frameColor: expected a colour [red, green, blue]."},
    {"AMillionStepLists", [](Json& d) { return set(rec(d)["stepObjects"], many(1000000, Json::array())); },
     "the file is damaged at record.stepObjects: expected a list of 4 entries."},
    {"AMillionReferencesToNoControl",
     [](Json& d) { return set(rec(d)["stepObjects"][2], many(1000000, "button_gone")); },
     "the file is damaged at record.stepObjects[2][0]: \"button_gone\" is not an object of the main window."},
    {"PairIndexPastAnyGroup",
     [](Json& d) { return set(rec(d)["overlap"], Json::parse(R"([[[4294967296, 4294967297], {}]])")); },
     "the file is damaged at record.overlap[0][0]: group indices count from 1."},
    // A grid that would keep the overlap busy for hours and fill the memory, or has no step at all.
    {"GridOfAMillionStepsPerAxis", [](Json& d) { return set(rec(d)["overlapResolution"]["s"], 1000000); },
     "the file is damaged at record.overlapResolution.s: expected a whole number from 1 to 1000."},
    {"GridOfHalfSteps", [](Json& d) { return set(rec(d)["overlapResolution"]["n"], 2.5); },
     "the file is damaged at record.overlapResolution.n: expected a whole number from 1 to 1000."},
    {"GridOfNoSteps", [](Json& d) { return set(rec(d)["overlapResolution"]["m"], 0); },
     "the file is damaged at record.overlapResolution.m: expected a whole number from 1 to 1000."},
    {"NestedAMillionDeep", [](Json& d) { return with_program(d, nested(1000000)); },
     "the file is damaged: its lists and records are nested more than 100 deep."},
    {"NestedAHundredAndOneDeep", [](Json& d) { return with_program(d, nested(101)); },
     "the file is damaged: its lists and records are nested more than 100 deep."},
    {"NestedAHundredDeep", [](Json& d) { return with_program(d, nested(100)); },
     "the file is damaged at program: expected a text."},
    // Controls that do not exist: in the window, as its record's references, as a handler.
    {"ControlOfNoSuchTag", [](Json& d) { return set(by_tag(d, "button_add")["tag"], "button_format_disk"); },
     "the file is damaged at objects[%]: \"button_format_disk\" is not an object of this version's main "
     "window.",
     "button_add"},
    {"RecordReferenceToNoControl",
     [](Json& d) { return set(keyed(rec(d)["objects"], "button_add"), "edit_nowhere"); },
     "the file is damaged at record.objects[\"button_add\"]: \"edit_nowhere\" is not an object of the main "
     "window."},
    {"OutputToNoControl", [](Json& d) { return set(rec(d)["output"], "figure_elsewhere"); },
     "the file is damaged at record.output: \"figure_elsewhere\" is not an object of the main window."},
    {"FrameOfNoControl", [](Json& d) { return set(rec(d)["stepFrames"][0][0], "frame_step_9"); },
     "the file is damaged at record.stepFrames[0][0]: \"frame_step_9\" is not an object of the main window."},
    {"HandlerThatDoesNotExist",
     [](Json& d) { return set(by_tag(d, "button_add")["callback"], "format_disk_Callback"); },
     "the file is damaged at objects[%]: the object \"button_add\" has a handler other than this version's.",
     "button_add"}};

INSTANTIATE_TEST_SUITE_P(Faults, HostileSessions, ::testing::ValuesIn(kFaults), kCaseName);

} // namespace
} // namespace tarvik::testing
