// Session files as text and on disk: what comes back equals what went in, number for number and byte for
// byte, under member names the format describes; a save goes through a temporary file, so a failed one
// leaves an earlier file whole. (Saving from the menu, and damaged files: session_menu_test.cpp.)
#include "session/session_file.h"
#include "ui/layout.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/resource.h>

#include <bit>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <limits>
#include <regex>
#include <set>

namespace tarvik::testing {
namespace {

using Json = nlohmann::ordered_json;

// The same double, NaN included: the bits of a number, the NaN-ness of a NaN.
bool same_number(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The member names of every object in `j`, at any depth.
void collect_members(const Json& j, std::set<std::string>& out) {
    for (auto it = j.begin(); j.is_structured() && it != j.end(); ++it) {
        if (j.is_object())
            out.insert(it.key());
        collect_members(*it, out);
    }
}

// The names the format's description sets in code quotes (`name`, `{a, b}`).
std::set<std::string> described_members() {
    const std::string text = file_contents(TARVIK_TEST_DATA_DIR "/../../docs/session-format.md");
    const std::regex quoted("`([^`]*)`"), name("[A-Za-z_][A-Za-z0-9_]*");
    std::set<std::string> out;
    for (std::sregex_iterator q(text.begin(), text.end(), quoted), end; q != end; ++q) {
        const std::string inside = (*q)[1];
        for (std::sregex_iterator n(inside.begin(), inside.end(), name); n != end; ++n)
            out.insert(n->str());
    }
    return out;
}

// The document as a file of an older format holds it: without step 4's options within subjects and for
// intervals (format 6 and earlier) and without its "Show results table" (format 5 and earlier), among the
// objects, the record's references and its step objects.
void make_older(Json& doc, int version) {
    std::vector<std::string> tags(std::begin(kSpreadControls), std::end(kSpreadControls));
    if (version <= 5)
        tags.push_back(kShowResultsTag);
    const auto listed = [&](const Json& tag) { return std::find(tags.begin(), tags.end(), tag) != tags.end(); };
    const auto remove = [](Json& list, const auto& pred) {
        list.erase(std::remove_if(list.begin(), list.end(), pred), list.end());
    };
    remove(doc["objects"], [&](const Json& o) { return listed(o["tag"]); });
    remove(doc["record"]["objects"], [&](const Json& r) { return listed(r[0]); });
    remove(doc["record"]["stepObjects"][3], listed);
    doc["version"] = version;
}

using SessionText = StartedSession;

// A study taken through every step, overlaps included, with what only other ways fill in (plots, other
// normalizations, keyed records with keys of any text in no sorted order and more of them than the size
// where a map builds its index), in a window whose properties of every kind were changed (values, texts,
// enable states and bold ones by the steps themselves).
TEST_F(SessionText, AStudyThroughEveryStepComesBackEqualUnderMemberNamesTheFormatDescribes) {
    run_steps_1_to_3(s, {.file = "plot_vowels.txt", .overlaps = true});
    Figure& f = s.fig();
    f.set_background("frame_step_3a", std::nullopt);
    f.set_foreground("button_step_2", Color{0.25, 0.5, 1});
    f.set_tooltip("button_add", "tip\nwith two lines");
    f.set_alignment("button_del", Align::Left);
    f.set_max("listbox_types", 7);
    f.set_name("ZERIVIzi - study");
    f.set_color(std::nullopt);
    f.set_pointer(Pointer::Watch);
    f.set_pixel_position({12, 34, 1100, 700});
    Handles h = s.record();
    h.dataNormalizedColumn.edit()["F1"] = {Cell{-0.75}, Cell{std::string("NULL")}, Cell{},
                                           Cell{std::string()}};
    h.onlyAllow2D = 1;
    h.waitbar = ControlRef{"waitbar1"};
    h.plotFigure = {ControlRef{"plot1"}, ControlRef{"plot2"}};
    h.currentAxes = ControlRef{"axes2"};
    SubjectRecord subject = h.dataSubject->at("s1");
    subject.vowelTargets["i"].PhraseDuration = std::vector<double>{1000, 1100};
    subject.normalization["F1"].grandmean = 310;
    subject.grandmeanDuration = 110;
    subject.stdDuration = 14.1;
    h.dataSubject.edit() = {};
    for (const char* key : {"z9", "a1", "", "m \"q\"", "NULL"})
        h.dataSubject.edit()[key] = subject;
    for (int i = 0; i < 40; ++i)
        h.subgroup["cat" + std::to_string(39 - i)] = {"t"};
    // Texts come back byte for byte, also when they are not UTF-8 (file names and lines in other encodings).
    const std::string texts[] = {"",
                                 "say \"i\"\t\\ \n end",
                                 "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
                                 std::string("a\0b", 3),
                                 "caf\xe9" /* Latin-1 */,
                                 "\xc0\xaf" /* overlong */,
                                 "\xed\xa0\x80" /* surrogate */,
                                 "\xf4\x90\x80\x80" /* beyond Unicode */,
                                 "\xe2\x82" /* cut short */,
                                 "\x80z" /* lone continuation byte */};
    for (const std::string& t : texts)
        h.dataColumn.edit()[t] = {t, "x"};
    h.v[0].edit().name = texts[4];
    f.append_strings("listbox_log", TextList(std::begin(texts), std::end(texts)));

    const std::string text = session_to_text(f, h);
    const auto loaded = session_from_text(text);
    EXPECT_EQ(loaded->window(), f.window());
    EXPECT_EQ(loaded->objects(), f.objects());
    EXPECT_EQ(*loaded->retrieve(), h);
    EXPECT_EQ(session_to_text(*loaded, *loaded->retrieve()), text);

    // Every member is one the format describes, so a member renamed on both sides, which the round trip
    // cannot see, is caught: files of this version must open in every later one.
    const Json doc = Json::parse(text);
    EXPECT_EQ(doc.at("format"), "tarvik3d-session");
    EXPECT_EQ(doc.at("version"), 7);
    const std::set<std::string> described = described_members();
    std::set<std::string> written;
    collect_members(doc, written);
    for (const std::string& name : written)
        EXPECT_TRUE(described.count(name)) << name;
    // The study fills every field of the record, so each went through the file with a value.
    for (const auto& [name, value] : doc.at("record").items())
        EXPECT_FALSE(value.is_null()) << name;

    // A file of version 3 held the grid points of the overlap, and one of version 2 the table also as
    // lines and rows. Both open to the same session, but for the groups' grids, which they do not have.
    Handles upgraded = h;
    for (Shared<VowelGroup>& g : upgraded.v)
        g.edit().Egrid2D.reset(), g.edit().Egrid.reset();
    // Written in full, the same session comes back too. The compact text leaves out what derives again
    // (here the groups' fit coordinates; the changed table and subjects do not) and the overlap's shares.
    const std::string full = session_to_text(f, h, SessionDetail::Full);
    EXPECT_EQ(*session_from_text(full)->retrieve(), h);
    EXPECT_NE(text.find(R"("star":"derived")"), std::string::npos);
    EXPECT_EQ(text.find(R"("data":"derived")"), std::string::npos);
    EXPECT_EQ(doc.at("record").at("overlap").at(0).size(), 3u);
    Json older = Json::parse(full);
    for (Json& g : older["record"]["v"]) {
        g.erase("Egrid2D"), g.erase("Egrid");
        for (const char* list : {"Ecoordx2D", "Ecoordy2D", "Ecoordx", "Ecoordy", "Ecoordz"})
            g[list] = Json::array({0.5});
    }
    for (Json& entry : older["record"]["overlap"])
        for (const char* list : {"Bothcoordx", "Bothcoordy", "Bothcoordz", "Bothcoordx2D", "Bothcoordy2D"})
            entry[1][list] = nullptr;
    for (const int version : {3, 2}) {
        make_older(older, version);
        if (version == 2) {
            older["record"]["dataLine"] = nullptr;
            older["record"]["dataRow"] = Json::array({Json::array({Json::array({"Speaker", "s1"})})});
        }
        EXPECT_EQ(*session_from_text(older.dump())->retrieve(), upgraded) << version;
    }
}

// A file of format 6 or earlier gets step 4's options within subjects and for intervals, and one of format
// 5 or earlier "Show results table", at their places, the button enabled when its overlap table has a
// cell: it opens to the window and record this version writes, whatever upgrades ran before.
TEST_F(SessionText, AnOlderFileGetsStep4sNewerControlsAtTheirPlaces) {
    struct Case {
        int version;
        bool overlaps;
    };
    for (const Case c : {Case{6, true}, Case{5, true}, Case{4, true}, Case{5, false}}) {
        SCOPED_TRACE(c.version);
        Session study;
        study.start();
        run_steps_1_to_3(study, {.file = "plot_vowels.txt", .overlaps = c.overlaps});
        EXPECT_EQ(study.control(kShowResultsTag).enable, c.overlaps ? Enable::On : Enable::Off);
        const std::string text = session_to_text(study.fig(), study.record());
        // Format 4 left nothing out.
        Json older = Json::parse(
            c.version == 4 ? session_to_text(study.fig(), study.record(), SessionDetail::Full) : text);
        make_older(older, c.version);
        const auto opened = session_from_text(older.dump());
        EXPECT_EQ(opened->objects(), study.fig().objects());
        EXPECT_EQ(session_to_text(*opened, *opened->retrieve()), text);
    }
}

// Every double comes back as the same double, written with the shortest digits that do so; JSON's missing
// NaN and infinities are written as texts, and a number cell stays apart from a text cell that reads the
// same.
TEST_F(SessionText, NumbersComeBackAsTheSameDoubleWherever) {
    using limits = std::numeric_limits<double>;
    const double nan = limits::quiet_NaN(), inf = limits::infinity();
    const std::pair<double, const char*> numbers[] = {{nan, "\"NaN\""},
                                                      {inf, "\"Infinity\""},
                                                      {-inf, "\"-Infinity\""},
                                                      {-0.0, "-0.0"},
                                                      {0.1, "0.1"},
                                                      {1.0 / 3.0, "0.3333333333333333"},
                                                      {20.0, "20.0"},
                                                      {2345.6789012345678, "2345.678901234568"},
                                                      {9007199254740994.0, "9.007199254740994e+15"},
                                                      {limits::denorm_min(), "5e-324"},
                                                      {limits::lowest(), "-1.7976931348623157e+308"}};
    for (const auto& [x, written] : numbers) {
        SCOPED_TRACE(written);
        Handles h = s.record();
        h.stdmult = x;
        h.v[0].edit().avg2D = std::vector<double>{1, x, 3};
        h.v[1].edit().data = Matrix(1, 2, x);
        h.dataNormalizedColumn.edit()["F1"] = {Cell{x}, Cell{std::string("NaN")}};
        h.v[0].edit().Egrid2D = InsideGrid{{x, 0, 0}, {1, 1, 0}, {20, 20, 1}};

        const std::string text = session_to_text(s.fig(), h);
        EXPECT_EQ(Json::parse(text).at("record").at("stdmult").dump(), written);
        const Handles back = *session_from_text(text)->retrieve();
        EXPECT_TRUE(same_number(back.stdmult, x));
        EXPECT_TRUE(same_number(back.v[0]->avg2D.value_or(std::vector<double>{0, 0}).at(1), x));
        EXPECT_TRUE(same_number(back.v[1]->data(0, 1), x));
        EXPECT_TRUE(same_number(back.v[0]->Egrid2D.value_or(InsideGrid{}).min[0], x));
        const auto& cells = back.dataNormalizedColumn->at("F1");
        ASSERT_EQ(cells.size(), 2u);
        EXPECT_TRUE(same_number(std::get<double>(cells[0]), x));
        EXPECT_EQ(std::get<std::string>(cells[1]), "NaN");
    }
}

// ------------------------------------------------------------------------------------------------
// Files.

class SessionFiles : public StartedSession {
  protected:
    // What saving as `name` or opening `name` in the folder says, "" when it succeeds.
    std::string message_of(bool saving, const std::string& name) const {
        try {
            if (saving)
                save_session_file(dir_ / name, s.fig(), s.record());
            else
                load_session_file(dir_ / name);
        } catch (const SessionFileError& e) {
            return e.what();
        }
        return "";
    }
    std::string save(const std::string& name) const { return message_of(true, name); }
    TestFolder dir_{"tarvik_session"};
};

// A save that stops part way (here: the disk fills up after 1024 bytes of a far longer session) must not
// have touched the earlier file: the text goes to a temporary file that is renamed over it only when whole.
TEST_F(SessionFiles, ASaveCutShortNeverDestroysTheEarlierFile) {
    write_contents(dir_ / "study1.tarvik", "an earlier session, kept");
    ASSERT_GT(session_to_text(s.fig(), s.record()).size(), 4096u);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit full = previous;
    full.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &full);
    const std::string message = save("study1.tarvik");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, "Could not save the session to \"" + (dir_ / "study1.tarvik") + "\": File too large.");
    EXPECT_EQ(file_contents(dir_ / "study1.tarvik"), "an earlier session, kept");
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
}

// A folder of the file's name: session_menu_test.cpp.
TEST_F(SessionFiles, FilesThatCannotBeWrittenOrOpenedNameThemselvesAndTheFault) {
    EXPECT_EQ(save("no_such_folder/study1.tarvik"), "Could not save the session to \"" +
                                                        (dir_ / "no_such_folder/study1.tarvik") +
                                                        "\": No such file or directory.");
    EXPECT_TRUE(dir_.names().empty());
    std::filesystem::create_directory(dir_ / "folder.tarvik");
    const std::string prefix = "Could not open the session file \"";
    EXPECT_EQ(message_of(false, "absent.tarvik"),
              prefix + (dir_ / "absent.tarvik") + "\": there is no such file.");
    EXPECT_EQ(message_of(false, "folder.tarvik"),
              prefix + (dir_ / "folder.tarvik") + "\": it is not a file.");
}

// Case matters; the menu saves under this name (session_menu_test.cpp).
TEST(SessionNames, GetTheExtensionUnlessTheyContainIt) {
    EXPECT_EQ(with_session_extension("study1"), "study1.tarvik");
    EXPECT_EQ(with_session_extension("study1.tarvik.bak"), "study1.tarvik.bak");
    EXPECT_EQ(with_session_extension("old.tarvikish"), "old.tarvikish");
    EXPECT_EQ(with_session_extension("Study.TARVIK"), "Study.TARVIK.tarvik");
}

} // namespace
} // namespace tarvik::testing
