// Session files as text and on disk: what comes back equals what went in, number for number and byte for
// byte, under the member names of the format; a save goes through a temporary file, so a failed one leaves
// an earlier file whole. (Damaged files: hostile_session_test.cpp.)
#include "app/session_file.h"
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

namespace tarvik::testing {
namespace {

using Json = nlohmann::ordered_json;

// The same double, NaN included: the bits of a number, the NaN-ness of a NaN.
bool same_number(double a, double b) {
    return std::isnan(a) ? std::isnan(b) : std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The member names of a JSON object, in order, separated by blanks.
std::string members(const Json& object) {
    std::string out;
    for (auto it = object.begin(); it != object.end(); ++it)
        out += (out.empty() ? "" : " ") + it.key();
    return out;
}

using SessionText = StartedSession;

// A study taken through every step, overlaps included, with what only other ways fill in (plots, other
// normalizations, keyed records with keys of any text in no sorted order and more of them than the size
// where a map builds its index), in a window whose properties of every kind were changed.
TEST_F(SessionText, AStudyThroughEveryStepComesBackEqualUnderTheFormatsMemberNames) {
    run_steps_1_to_3(s, {.file = "plot_vowels.txt", .overlaps = true});
    Figure& f = s.fig();
    f.set_string("listbox_log", {"Welcome!", "", "line with \"quotes\""});
    f.set_value("listbox_groupings", std::vector<double>{1, 3});
    f.set_enable("button_load_file", Enable::Inactive);
    f.set_background("frame_step_3a", std::nullopt);
    f.set_foreground("button_step_2", Color{0.25, 0.5, 1});
    f.set_bold("button_step_4", true);
    f.set_tooltip("button_add", "tip\nwith two lines");
    f.set_alignment("button_del", Align::Left);
    f.set_max("listbox_types", 7);
    f.set_name("ZERIVIzi - study");
    f.set_color(std::nullopt);
    f.set_pointer(Pointer::Watch);
    f.set_pixel_position({12, 34, 1100, 700});
    Handles h = s.record();
    h.dataNormalizedColumn.edit()["F1"] = {Cell{-0.75}, Cell{std::string("NULL")}, Cell{}};
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

    const std::string text = session_to_text(f, h);
    const auto loaded = session_from_text(text);
    EXPECT_EQ(loaded->window(), f.window());
    ASSERT_EQ(loaded->objects().size(), f.objects().size());
    for (std::size_t i = 0; i < loaded->objects().size(); ++i)
        EXPECT_EQ(loaded->objects()[i], f.objects()[i]) << f.objects()[i].tag;
    EXPECT_EQ(*loaded->retrieve(), h);
    EXPECT_EQ(session_to_text(*loaded, *loaded->retrieve()), text);

    // Every member under its name, in order: files of this version must open in every later one.
    const Json doc = Json::parse(text);
    EXPECT_EQ(doc.at("format"), "tarvik3d-session");
    EXPECT_EQ(doc.at("version"), 1);
    const std::pair<const char*, const char*> names[] = {
        {"", "format version program window objects record"},
        {"/window", "name color pixelPosition visible resizable numberTitle menuBar pointer"},
        {"/objects/0", "tag style parent string value min max enable visible background foreground bold "
                       "fontSize alignment position tooltip callback createFcn buttonDownFcn separator "
                       "discardWhileBusy"},
        {"/record",
         "objects output header dataLine dataRow dataColumn dataNormalizedColumn HeaderName "
         "onlyAllow2D dataSubject groups groupsNumeric subgroup currentSelectedGroup "
         "currentSelectedType v currVowelNum totalVowelNum vowelColor vowelLineStyle "
         "vowelMarkerType stdmult overlapResolution overlap axes3D axes3DOriginal axes2D "
         "axes2DOriginal waitbar plotFigure currentAxes currStep stepObjects stepFrames frameColor "
         "frameColorHighlight web aboutMessage"},
        {"/record/HeaderName", "Subject Vowel F1 F2 Duration PhraseDuration"},
        {"/record/dataSubject/0/1",
         "vowelTargets normalizedTargets normalization grandmeanDuration stdDuration"},
        {"/record/dataSubject/0/1/vowelTargets/0/1", "F1 F2 Duration PhraseDuration RowLocation log"},
        {"/record/dataSubject/0/1/normalization/0/1", "grandmean"},
        {"/record/v/1",
         "name constraintList constraints data dataOriginal markerColor markerColorIndex "
         "markerType markerLine avg2D star xstar ystar theta2D rottheta2D A2D B2D ellps2D avg "
         "dubstar xdubstar ydubstar zdubstar theta phi rottheta rotphi A B C ellps3D Ecoordx2D "
         "Ecoordy2D Ecoordx Ecoordy Ecoordz"},
        {"/record/v/1/star", "rows cols values"},
        {"/record/overlap/0/1",
         "value E1ovfrac E2ovfrac Bothcoordx Bothcoordy Bothcoordz E1sum E2sum Ebothsum "
         "value2D E1ovfrac2D E2ovfrac2D Bothcoordx2D Bothcoordy2D E1sum2D E2sum2D "
         "Ebothsum2D"},
        {"/record/overlapResolution", "n m s"},
        {"/record/axes2D", "Xwidth Ylength"},
        {"/record/axes3D", "Xwidth Ylength Zheight"},
        {"/record/web", "homepage extension isWorking"}};
    for (const auto& [at, expected] : names) {
        const Json& object = doc.at(Json::json_pointer(at));
        EXPECT_EQ(members(object), expected) << at;
        // The study fills every field of the record, so each went through the file with a value.
        for (const auto& [name, value] : object.items())
            EXPECT_TRUE(!value.is_null() || std::string(at).rfind("/record", 0) != 0) << at << "/" << name;
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
        h.v[0].avg2D = std::vector<double>{1, x, 3};
        h.v[1].data = Matrix(1, 2, x);
        h.dataNormalizedColumn.edit()["F1"] = {Cell{x}, Cell{std::string("NaN")}, Cell{},
                                               Cell{std::string()}};
        h.overlap[{1, 2}].Bothcoordx2D = SharedValues(std::vector<double>{x});

        const std::string text = session_to_text(s.fig(), h);
        EXPECT_EQ(Json::parse(text).at("record").at("stdmult").dump(), written);
        const Handles back = *session_from_text(text)->retrieve();
        EXPECT_TRUE(same_number(back.stdmult, x));
        EXPECT_TRUE(same_number(back.v[0].avg2D.value_or(std::vector<double>{0, 0}).at(1), x));
        EXPECT_TRUE(same_number(back.v[1].data(0, 1), x));
        EXPECT_TRUE(same_number(back.overlap.at({1, 2}).Bothcoordx2D->get().at(0), x));
        const auto& cells = back.dataNormalizedColumn->at("F1");
        ASSERT_EQ(cells.size(), 4u);
        EXPECT_TRUE(same_number(std::get<double>(cells[0]), x));
        EXPECT_EQ(std::get<std::string>(cells[1]), "NaN");
        EXPECT_TRUE(std::holds_alternative<std::monostate>(cells[2]));
        EXPECT_EQ(std::get<std::string>(cells[3]), "");
    }
}

// Texts come back byte for byte, also when they are not UTF-8 (file names and lines in other encodings).
TEST_F(SessionText, TextsComeBackByteForByte) {
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
    for (const std::string& t : texts) {
        SCOPED_TRACE(::testing::PrintToString(t));
        Handles h = s.record();
        h.v[0].name = t;
        h.dataColumn.edit()[t] = {t, "x"};
        s.fig().append_strings("listbox_log", {t});
        const auto loaded = session_from_text(session_to_text(s.fig(), h));
        const Handles& back = *loaded->retrieve();
        EXPECT_EQ(back.v[0].name, t);
        EXPECT_EQ(back.dataColumn->keys().back(), t);
        EXPECT_EQ(back.dataColumn->at(t), (TextList{t, "x"}));
        EXPECT_EQ(loaded->control("listbox_log").string.back(), t);
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

TEST_F(SessionFiles, ASavedFileReplacesAnEarlierOneLeavesNoTemporaryAndOpensAsTheSameWindowAndRecord) {
    write_contents(dir_ / "study1.tarvik", "an earlier session");
    EXPECT_EQ(save("study1.tarvik"), "");
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    EXPECT_EQ(file_contents(dir_ / "study1.tarvik"), session_to_text(s.fig(), s.record()));
    const auto loaded = load_session_file(dir_ / "study1.tarvik");
    EXPECT_EQ(loaded->objects(), s.fig().objects());
    EXPECT_EQ(*loaded->retrieve(), s.record());
}

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
