// Session files as text and on disk: what comes back equals what went in, number for number and byte for
// byte, and anything that is not a sound session of this version is refused with a reason.
#include "app/session_file.h"

#include "app/session.h"
#include "app/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <unistd.h>

#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The same double, NaN included: the bits of a number, the NaN-ness of a NaN.
bool same_number(double a, double b) {
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Session text of a started session with `change` applied to its record, and the record read back.
class SessionText : public StartedSession {
  protected:
    std::string text_of(const Handles& h) const { return session_to_text(s.fig(), h); }
    Handles round_trip(const Handles& h) const { return *session_from_text(text_of(h))->retrieve(); }
    Json json_of(const Handles& h) const { return Json::parse(text_of(h)); }
};

TEST_F(SessionText, AFreshWindowComesBackEqualInEveryObjectAndField) {
    const std::string text = session_to_text(s.fig(), s.record());
    const auto loaded = session_from_text(text);

    EXPECT_EQ(loaded->window(), s.fig().window());
    ASSERT_EQ(loaded->objects().size(), s.fig().objects().size());
    for (std::size_t i = 0; i < loaded->objects().size(); ++i) {
        SCOPED_TRACE(s.fig().objects()[i].tag);
        EXPECT_EQ(loaded->objects()[i], s.fig().objects()[i]);
    }
    ASSERT_TRUE(loaded->retrieve());
    EXPECT_EQ(*loaded->retrieve(), s.record());
    EXPECT_TRUE(loaded->alive());
    // Reading it back and writing it again gives the same text.
    EXPECT_EQ(session_to_text(*loaded, *loaded->retrieve()), text);
}

TEST_F(SessionText, TheDocumentNamesItsFormatAndVersion) {
    const Json doc = json_of(s.record());
    EXPECT_EQ(doc.at("format"), "tarvik3d-session");
    EXPECT_EQ(doc.at("version"), 1);
    const std::vector<std::string> keys = {"format", "version", "program", "window", "objects", "record"};
    std::vector<std::string> got;
    for (auto it = doc.begin(); it != doc.end(); ++it)
        got.push_back(it.key());
    EXPECT_EQ(got, keys);
}

// ------------------------------------------------------------------------------------------------
// Numbers: every double comes back as the same double; JSON's missing NaN and infinities are texts.

struct NumberCase {
    const char* name;
    double value;
    const char* written; // the JSON token, or "" for any JSON number
};
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.name;
}

class SessionNumbers : public ::testing::TestWithParam<NumberCase> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(SessionNumbers, ComeBackAsTheSameDoubleWherever) {
    const double x = GetParam().value;
    Handles h = s.record();
    h.stdmult = x;
    h.v[0].avg2D = std::vector<double>{1, x, 3};
    h.v[0].A2D = x;
    h.v[1].data = Matrix(1, 2, x);
    h.dataNormalizedColumn = OrderedMap<std::vector<Cell>>{};
    h.dataNormalizedColumn.edit()["F1"] = {Cell{x}, Cell{std::string("750")}};
    h.overlap[{1, 2}].value2D = x;
    h.overlap[{1, 2}].Bothcoordx2D = SharedValues(std::vector<double>{x});

    const auto loaded = session_from_text(session_to_text(s.fig(), h));
    const Handles& back = *loaded->retrieve();
    EXPECT_TRUE(same_number(back.stdmult, x));
    ASSERT_TRUE(back.v[0].avg2D);
    EXPECT_TRUE(same_number((*back.v[0].avg2D)[1], x));
    EXPECT_TRUE(same_number(*back.v[0].A2D, x));
    EXPECT_TRUE(same_number(back.v[1].data(0, 1), x));
    EXPECT_TRUE(same_number(std::get<double>(back.dataNormalizedColumn->at("F1")[0]), x));
    EXPECT_EQ(std::get<std::string>(back.dataNormalizedColumn->at("F1")[1]), "750");
    EXPECT_TRUE(same_number(*back.overlap.at({1, 2}).value2D, x));
    EXPECT_TRUE(same_number(back.overlap.at({1, 2}).Bothcoordx2D->get().at(0), x));

    const Json written = Json::parse(session_to_text(s.fig(), h)).at("record").at("stdmult");
    if (*GetParam().written)
        EXPECT_EQ(written.dump(), GetParam().written);
    else
        EXPECT_TRUE(written.is_number()) << written.dump();
}

INSTANTIATE_TEST_SUITE_P(
    Doubles, SessionNumbers,
    ::testing::Values(NumberCase{"NaN", kNaN, "\"NaN\""}, NumberCase{"PlusInfinity", kInf, "\"Infinity\""},
                      NumberCase{"MinusInfinity", -kInf, "\"-Infinity\""}, NumberCase{"MinusZero", -0.0, ""},
                      NumberCase{"OneTenth", 0.1, ""}, NumberCase{"OneThird", 1.0 / 3.0, ""},
                      NumberCase{"SmallestDenormal", std::numeric_limits<double>::denorm_min(), ""},
                      NumberCase{"SmallestNormal", std::numeric_limits<double>::min(), ""},
                      NumberCase{"Largest", std::numeric_limits<double>::max(), ""},
                      NumberCase{"MostNegative", std::numeric_limits<double>::lowest(), ""},
                      NumberCase{"WholeTwenty", 20.0, ""},
                      NumberCase{"TwoToThe53PlusTwo", 9007199254740994.0, ""},
                      NumberCase{"Formant", 2345.6789012345678, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionText, ANumberCellAndATextCellReadingNaNStayApart) {
    Handles h = s.record();
    h.dataNormalizedColumn.edit()["F1"] = {Cell{kNaN}, Cell{std::string("NaN")}, Cell{std::monostate{}},
                                           Cell{std::string("")}, Cell{-kInf}};
    const Handles back = round_trip(h);
    const auto& cells = back.dataNormalizedColumn->at("F1");
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_TRUE(std::isnan(std::get<double>(cells[0])));
    EXPECT_EQ(std::get<std::string>(cells[1]), "NaN");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(cells[2]));
    EXPECT_EQ(std::get<std::string>(cells[3]), "");
    EXPECT_EQ(std::get<double>(cells[4]), -kInf);
}

// ------------------------------------------------------------------------------------------------
// Texts come back byte for byte, also when they are not UTF-8 (file names and lines in other encodings).

struct TextCase {
    const char* name;
    std::string text;
    bool utf8;
};
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class SessionTexts : public ::testing::TestWithParam<TextCase> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(SessionTexts, ComeBackByteForByte) {
    const std::string& t = GetParam().text;
    Handles h = s.record();
    h.v[0].name = t;
    h.dataColumn.edit()[t] = {t, "x"};
    s.fig().append_strings("listbox_log", {t});

    const std::string text = session_to_text(s.fig(), h);
    const auto loaded = session_from_text(text);
    const Handles& back = *loaded->retrieve();
    EXPECT_EQ(back.v[0].name, t);
    ASSERT_EQ(back.dataColumn->keys().back(), t);
    EXPECT_EQ(back.dataColumn->at(t), (TextList{t, "x"}));
    EXPECT_EQ(loaded->control("listbox_log").string.back(), t);

    const Json name = Json::parse(text).at("record").at("v").at(0).at("name");
    EXPECT_EQ(name.is_string(), GetParam().utf8) << name.dump();
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, SessionTexts,
    ::testing::Values(TextCase{"Empty", "", true}, TextCase{"Plain", "(change my name)", true},
                      TextCase{"QuotesAndControls", "say \"i\"\t\\ \n end", true},
                      TextCase{"Utf8Accent", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", true},
                      TextCase{"EmbeddedNul", std::string("a\0b", 3), true},
                      TextCase{"Latin1Byte", "caf\xe9", false}, TextCase{"Overlong", "\xc0\xaf", false},
                      TextCase{"Surrogate", "\xed\xa0\x80", false},
                      TextCase{"BeyondUnicode", "\xf4\x90\x80\x80", false},
                      TextCase{"CutSequence", "\xe2\x82", false},
                      TextCase{"LoneContinuation", "\x80z", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionText, KeyedRecordsKeepTheirOrderAndAnyKey) {
    Handles h = s.record();
    auto& subjects = h.dataSubject.edit();
    for (const char* key : {"z9", "a1", "", "m \"q\"", "NULL"})
        subjects[key].vowelTargets["i"].F1 = {300};
    // Past the size where the map builds its index.
    for (int i = 0; i < 40; ++i)
        h.subgroup["cat" + std::to_string(39 - i)] = {"t"};
    const Handles back = round_trip(h);
    EXPECT_EQ(back.dataSubject->keys(), h.dataSubject->keys());
    EXPECT_EQ(back.subgroup.keys(), h.subgroup.keys());
    EXPECT_EQ(back, h);
}

// A record with every field written and every optional field present.
Handles every_field_set(Handles h) {
    h.header = {"Speaker", "Vowel", "F1", "F2", "Dur", "Phrase"};
    h.dataLine = Shared<TextList>(TextList{"s1\ti\t300\t2300\t100\t1000"});
    DataRow row;
    row["Speaker"] = "s1";
    row["Vowel"] = "i";
    h.dataRow = std::vector<DataRow>{row, row};
    h.dataColumn.edit()["Speaker"] = {"s1", "s2"};
    h.dataNormalizedColumn.edit()["F1"] = {Cell{-0.75}, Cell{std::string("NULL")}, Cell{}};
    h.HeaderName = {"Speaker", "Vowel", "F1", "F2", "Dur", "Phrase"};
    h.onlyAllow2D = 1;
    SubjectRecord subject;
    VowelTarget target{{300, 320}, {2300, 2200}, {100, 120}, std::vector<double>{1000, 1100}, {1, 2}, {}};
    target.log["F1"] = {2.477, 2.505};
    subject.vowelTargets["i"] = target;
    subject.normalizedTargets["i"]["F1"] = {-0.7, 0.7};
    subject.normalization["F1"].grandmean = 310;
    subject.normalization["duration"];
    subject.grandmeanDuration = 110;
    subject.stdDuration = 14.1;
    h.dataSubject.edit()["s1"] = subject;
    h.groups = {"Group", "Vowel"};
    h.groupsNumeric = {"F1", "F2"};
    h.subgroup["Vowel"] = {"i", "a"};
    h.currentSelectedGroup = "Vowel";
    h.currentSelectedType = "i";
    VowelGroup& g = h.v[0];
    g.name = "front";
    g.constraintList = {"Vowel : i"};
    g.constraints["Vowel"] = {"i"};
    g.data = Matrix(2, 3, 1.5);
    g.dataOriginal = Matrix(2, 3, 2.5);
    g.avg2D = std::vector<double>{2250, 310};
    g.star = Matrix(2, 2, 0.5);
    g.xstar = std::vector<double>{1, 0};
    g.ystar = std::vector<double>{0, 1};
    g.theta2D = 0.25;
    g.rottheta2D = Matrix(2, 2, 0.25);
    g.A2D = 40;
    g.B2D = 20;
    g.ellps2D = Matrix(3, 2, 7);
    g.avg = std::vector<double>{2250, 310, 110};
    g.dubstar = Matrix(3, 3, 0.1);
    g.xdubstar = std::vector<double>{1, 0, 0};
    g.ydubstar = std::vector<double>{0, 1, 0};
    g.zdubstar = std::vector<double>{0, 0, 1};
    g.theta = 0.1;
    g.phi = 0.2;
    g.rottheta = Matrix(3, 3, 0.3);
    g.rotphi = Matrix(3, 3, 0.4);
    g.A = 50;
    g.B = 30;
    g.C = 10;
    g.ellps3D = Matrix(4, 3, 9);
    g.Ecoordx2D = SharedValues(std::vector<double>{1, 2});
    g.Ecoordy2D = SharedValues(std::vector<double>{3, 4});
    g.Ecoordx = SharedValues(std::vector<double>{5});
    g.Ecoordy = SharedValues(std::vector<double>{6});
    g.Ecoordz = SharedValues(std::vector<double>{7});
    h.currVowelNum = 2;
    OverlapCell cell;
    cell.value = 0.5;
    cell.E1ovfrac = 0.25;
    cell.E2ovfrac = 0.5;
    cell.Bothcoordx = SharedValues(std::vector<double>{1});
    cell.Bothcoordy = SharedValues(std::vector<double>{2});
    cell.Bothcoordz = SharedValues(std::vector<double>{3});
    cell.E1sum = 8;
    cell.E2sum = 4;
    cell.Ebothsum = 2;
    cell.value2D = 0.75;
    cell.E1ovfrac2D = 0.5;
    cell.E2ovfrac2D = 0.75;
    cell.Bothcoordx2D = SharedValues(std::vector<double>{4});
    cell.Bothcoordy2D = SharedValues(std::vector<double>{5});
    cell.E1sum2D = 6;
    cell.E2sum2D = 4;
    cell.Ebothsum2D = 3;
    h.overlap[{1, 2}] = cell;
    h.overlap[{2, 2}].value2D = 1;
    h.axes3D = {1, 2, 3};
    h.axes3DOriginal = {4, 5, 6};
    h.axes2D = Axes2D{7, 8};
    h.axes2DOriginal = Axes2D{9, 10};
    h.waitbar = ControlRef{"waitbar1"};
    h.plotFigure = {ControlRef{"plot1"}, ControlRef{"plot2"}};
    h.currentAxes = ControlRef{"axes2"};
    h.currStep = 4;
    h.web.isWorking = 0;
    return h;
}

TEST_F(SessionText, ARecordWithEveryFieldWrittenComesBackEqual) {
    const Handles h = every_field_set(s.record());
    const Handles back = round_trip(h);
    EXPECT_EQ(back, h);
    EXPECT_EQ(back.v[0], h.v[0]);
    EXPECT_EQ(back.overlap, h.overlap);
    EXPECT_EQ(back.dataSubject, h.dataSubject);
    EXPECT_EQ(back.dataRow, h.dataRow);
    EXPECT_EQ(back.stepObjects, h.stepObjects);
}

TEST_F(SessionText, EveryControlPropertyComesBack) {
    Figure& f = s.fig();
    f.set_string("listbox_log", {"Welcome!", "", "line with \"quotes\""});
    f.set_value("listbox_log", std::vector<double>{});
    f.set_value("listbox_groupings", std::vector<double>{1, 3});
    f.set_enable("button_load_file", Enable::Inactive);
    f.set_visible("button_help_groupings", true);
    f.set_background("frame_step_3a", std::nullopt);
    f.set_foreground("button_step_2", Color{0.25, 0.5, 1});
    f.set_bold("button_step_4", true);
    f.set_position("listbox_log", {0.018, 0.057, 0.764, 0.938});
    f.set_tooltip("button_add", "tip\nwith two lines");
    f.set_alignment("button_del", Align::Left);
    f.set_max("listbox_types", 7);
    f.set_name("ZERIVIzi - study");
    f.set_color(std::nullopt);
    f.set_pointer(Pointer::Watch);
    f.set_pixel_position({12, 34, 1100, 700});

    const auto loaded = session_from_text(session_to_text(f, s.record()));
    EXPECT_EQ(loaded->window(), f.window());
    for (const auto& c : f.objects()) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(loaded->control(c.tag), c);
    }
}

// ------------------------------------------------------------------------------------------------
// Refused texts: each names its fault; nothing is half read.

struct BadCase {
    const char* name;
    std::function<std::string(Json&)> make; // changes a sound document, or returns a text of its own
    std::string reason;
};
void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedSessions : public ::testing::TestWithParam<BadCase> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(RefusedSessions, NameTheirFault) {
    Handles h = s.record();
    h.overlap[{1, 2}].value = 0.5;
    const std::string sound = session_to_text(s.fig(), h);
    Json doc = Json::parse(sound);
    std::string text = GetParam().make(doc);
    if (text.empty())
        text = doc.dump();
    if (text == "<half>")
        text = sound.substr(0, sound.size() / 2);
    if (text == "<nothing>")
        text.clear();
    try {
        session_from_text(text);
        ADD_FAILURE() << "accepted";
    } catch (const SessionFileError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

// Shortcuts into the sound document.
Json& rec(Json& d) {
    return d["record"];
}
Json& obj(Json& d, std::size_t i) {
    return d["objects"][i];
}
Json& by_tag(Json& d, const std::string& tag) {
    for (auto& o : d["objects"])
        if (o["tag"] == tag)
            return o;
    throw std::logic_error("no object " + tag);
}
Json matrix(Json rows, Json cols, Json values) {
    Json m = Json::object();
    m["rows"] = rows;
    m["cols"] = cols;
    m["values"] = values;
    return m;
}
std::string set(Json& at, Json value) {
    at = std::move(value);
    return "";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RefusedSessions,
    ::testing::Values(
        BadCase{"EmptyFile", [](Json&) { return std::string("<nothing>"); }, "the file is empty."},
        BadCase{"DataFileNotJson", [](Json&) { return std::string("Speaker\tVowel\tF1\ns1\ti\t300\n"); },
                "it is not a TARVIK3D session file (it is not JSON text)."},
        BadCase{"Truncated", [](Json&) { return std::string("<half>"); },
                "the file is incomplete: it ends before the session does."},
        BadCase{"TrailingGarbage", [](Json& d) { return d.dump() + "}"; }, "it is not JSON text"},
        BadCase{"ForeignJson", [](Json&) { return std::string(R"({"format":"tarvik3d-overlap","version":1})"); },
                "it is not a TARVIK3D session file."},
        BadCase{"JsonList", [](Json&) { return std::string("[1, 2, 3]"); }, "it is not a TARVIK3D session file."},
        BadCase{"NewerVersion", [](Json& d) { return set(d["version"], 2); },
                "it was written by a newer version of TARVIK3D (session format 2; this version reads format 1)."},
        BadCase{"VersionAsText", [](Json& d) { return set(d["version"], "1"); },
                "damaged at version: expected the format version"},
        BadCase{"VersionZero", [](Json& d) { return set(d["version"], 0); }, "damaged at version"},
        BadCase{"MissingRecord",
                [](Json& d) {
                    d.erase("record");
                    return std::string();
                },
                "damaged at the top: the field \"record\" is missing."},
        BadCase{"MissingField",
                [](Json& d) {
                    rec(d).erase("stdmult");
                    return std::string();
                },
                "damaged at record: the field \"stdmult\" is missing."},
        BadCase{"UnknownField", [](Json& d) { return set(rec(d)["stdMult"], 2); },
                "damaged at record: unknown field \"stdMult\"."},
        BadCase{"UnknownTopField", [](Json& d) { return set(d["plots"], Json::array()); },
                "damaged at the top: unknown field \"plots\"."},
        BadCase{"NumberAsWord", [](Json& d) { return set(rec(d)["currStep"], "four"); },
                "damaged at record.currStep: expected a number."},
        BadCase{"FlagAsNumber", [](Json& d) { return set(obj(d, 3)["visible"], 1); },
                "damaged at objects[3].visible: expected true or false."},
        BadCase{"TextAsNumber", [](Json& d) { return set(rec(d)["v"][1]["name"], 7); },
                "damaged at record.v[1].name: expected a text."},
        BadCase{"ListAsText", [](Json& d) { return set(rec(d)["header"], "F1"); },
                "damaged at record.header: expected a list."},
        BadCase{"UnknownControlTag", [](Json& d) { return set(obj(d, 20)["tag"], "button_self_destruct"); },
                "damaged at objects[20]: \"button_self_destruct\" is not an object of this version's main window."},
        BadCase{"MissingControl",
                [](Json& d) {
                    d["objects"].erase(d["objects"].size() - 1);
                    return std::string();
                },
                "of the main window is missing."},
        BadCase{"ControlTwice",
                [](Json& d) {
                    d["objects"].push_back(obj(d, 30));
                    return std::string();
                },
                "appears twice."},
        BadCase{"ControlsSwapped",
                [](Json& d) {
                    std::swap(obj(d, 10), obj(d, 11));
                    return std::string();
                },
                "is out of place"},
        BadCase{"RewiredHandler", [](Json& d) { return set(obj(d, 1)["callback"], "menuItem_exit_Callback"); },
                "has a handler other than this version's."},
        BadCase{"ChangedStyle", [](Json& d) { return set(by_tag(d, "button_load_file")["style"], "frame"); },
                "has a style other than this version's."},
        BadCase{"UnknownStyle", [](Json& d) { return set(obj(d, 40)["style"], "slider"); },
                "damaged at objects[40].style: expected a control style."},
        BadCase{"UnknownEnable", [](Json& d) { return set(obj(d, 40)["enable"], "maybe"); },
                "expected \"on\", \"off\" or \"inactive\"."},
        BadCase{"ValueNaN", [](Json& d) { return set(by_tag(d, "popupmenu_overlap_group_a")["value"][0], "NaN"); },
                "value[0]: expected a whole number from 0 to 2147483647."},
        BadCase{"ValueVast", [](Json& d) { return set(by_tag(d, "listbox_log")["value"], Json::array({1, 1e300})); },
                "value[1]: expected a whole number from 0 to 2147483647."},
        BadCase{"ValueFraction", [](Json& d) { return set(by_tag(d, "checkbox_show_legend")["value"][0], 0.5); },
                "value[0]: expected a whole number from 0 to 2147483647."},
        BadCase{"MaxInfinite", [](Json& d) { return set(by_tag(d, "listbox_log")["max"], "Infinity"); },
                ".max: expected a finite number."},
        BadCase{"PositionNaN", [](Json& d) { return set(obj(d, 12)["position"][0], "NaN"); },
                "damaged at objects[12].position[0]: expected a finite number."},
        BadCase{"PositionShort", [](Json& d) { return set(obj(d, 12)["position"], Json::array({0, 0, 1})); },
                "expected a position [left, bottom, width, height]."},
        BadCase{"ColourOutOfRange", [](Json& d) { return set(rec(d)["frameColor"], Json::array({2, 0, 0})); },
                "damaged at record.frameColor[0]: expected a colour component between 0 and 1."},
        BadCase{"VastMatrix",
                [](Json& d) {
                    return set(rec(d)["v"][0]["data"], matrix(4294967296ull, 4294967296ull, Json::array()));
                },
                "damaged at record.v[0].data: the shape 4294967296 x 4294967296 does not hold 0 values."},
        BadCase{"VastEmptyMatrix",
                [](Json& d) { return set(rec(d)["v"][0]["data"], matrix(1000000000000ull, 0, Json::array())); },
                "does not hold 0 values."},
        BadCase{"OverflowingShape",
                [](Json& d) {
                    return set(rec(d)["v"][0]["data"],
                               matrix(9223372036854775808ull, 2, Json::array({1, 2, 3, 4})));
                },
                "does not hold 4 values."},
        BadCase{"MatrixShortOfValues",
                [](Json& d) { return set(rec(d)["v"][0]["data"], matrix(2, 2, Json::array({1, 2, 3}))); },
                "the shape 2 x 2 does not hold 3 values."},
        BadCase{"NegativeRows",
                [](Json& d) { return set(rec(d)["v"][0]["data"], matrix(-1, 0, Json::array())); },
                "damaged at record.v[0].data.rows: expected a whole number that is not negative."},
        BadCase{"StepOutOfRange", [](Json& d) { return set(rec(d)["currStep"], 7); },
                "damaged at record.currStep: the wizard has steps 1 to 4."},
        BadCase{"StepListsShort",
                [](Json& d) {
                    rec(d)["stepObjects"].erase(3);
                    return std::string();
                },
                "damaged at record.stepObjects: expected a list of 4 entries."},
        BadCase{"ReferenceToNoControl", [](Json& d) { return set(rec(d)["stepObjects"][1][0], "button_nowhere"); },
                "damaged at record.stepObjects[1][0]: \"button_nowhere\" is not an object of the main window."},
        BadCase{"FrameThatIsNoControl", [](Json& d) { return set(rec(d)["stepFrames"][3][2], "frame_gone"); },
                "\"frame_gone\" is not an object of the main window."},
        BadCase{"OverlapIndexZero",
                [](Json& d) { return set(rec(d)["overlap"], Json::parse(R"([[[0, 1], {}]])")); },
                "damaged at record.overlap[0][0]: group indices count from 1."},
        BadCase{"OverlapLargerFirst",
                [](Json& d) { return set(rec(d)["overlap"], Json::parse(R"([[[2, 1], {}]])")); },
                "the smaller group index comes first."},
        BadCase{"OverlapPairTwice",
                [](Json& d) {
                    rec(d)["overlap"].push_back(rec(d)["overlap"][0]);
                    return std::string();
                },
                "damaged at record.overlap[1][0]: the pair [1, 2] appears twice."},
        BadCase{"KeyTwice", [](Json& d) { return set(rec(d)["subgroup"], Json::parse(R"([["Vowel", []], ["Vowel", []]])")); },
                "damaged at record.subgroup[1]: the key \"Vowel\" appears twice."},
        BadCase{"BadBytes", [](Json& d) { return set(rec(d)["header"], Json::parse(R"([{"bytes": "zz"}])")); },
                "damaged at record.header[0]: expected lower-case hexadecimal digits."},
        BadCase{"NumberOverflow",
                [](Json& d) {
                    std::string t = d.dump();
                    return t.replace(t.find("\"stdmult\":2.0"), 13, "\"stdmult\":1e999");
                },
                "it is not JSON text"}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------------------------------------
// Files.

class SessionFiles : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        dir_ = make_test_folder("tarvik_session");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::vector<std::string> folder() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    static void write(const std::string& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    std::string message_of(const std::function<void()>& f) const {
        try {
            f();
        } catch (const SessionFileError& e) {
            return e.what();
        }
        return "(no error)";
    }
    fs::path dir_;
};

TEST_F(SessionFiles, ASavedFileOpensAsTheSameWindowAndRecord) {
    save_session_file(path("study1.tarvik"), s.fig(), s.record());
    EXPECT_EQ(folder(), std::vector<std::string>{"study1.tarvik"});
    const auto loaded = load_session_file(path("study1.tarvik"));
    EXPECT_EQ(loaded->objects(), s.fig().objects());
    EXPECT_EQ(*loaded->retrieve(), s.record());
}

TEST_F(SessionFiles, SavingReplacesAnEarlierFileAndLeavesNoTemporaryBehind) {
    write(path("study1.tarvik"), "an earlier session");
    save_session_file(path("study1.tarvik"), s.fig(), s.record());
    EXPECT_EQ(folder(), std::vector<std::string>{"study1.tarvik"});
    EXPECT_EQ(read(path("study1.tarvik")), session_to_text(s.fig(), s.record()));
}

TEST_F(SessionFiles, ASaveThatCannotBeWrittenSaysWhyAndLeavesTheFolderAsItWas) {
    const std::string missing = path("no_such_folder/study1.tarvik");
    EXPECT_EQ(message_of([&] { save_session_file(missing, s.fig(), s.record()); }),
              "Could not save the session to \"" + missing + "\": No such file or directory.");
    fs::create_directory(path("study2.tarvik"));
    EXPECT_EQ(message_of([&] { save_session_file(path("study2.tarvik"), s.fig(), s.record()); }),
              "Could not save the session to \"" + path("study2.tarvik") + "\": a folder has that name.");
    EXPECT_EQ(folder(), std::vector<std::string>{"study2.tarvik"});
    EXPECT_TRUE(fs::is_directory(path("study2.tarvik")));
}

#if defined(__unix__)
// Files may grow no larger than `bytes` while this lives (a full disk, as far as the writer can tell).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(SessionFiles, ASaveCutShortNeverDestroysTheEarlierFile) {
    const std::string earlier = "an earlier session, kept";
    write(path("study1.tarvik"), earlier);
    std::string message;
    {
        const FileSizeLimit full(1024);
        message = message_of([&] { save_session_file(path("study1.tarvik"), s.fig(), s.record()); });
    }
    EXPECT_EQ(message, "Could not save the session to \"" + path("study1.tarvik") +
                           "\": File too large.");
    EXPECT_EQ(read(path("study1.tarvik")), earlier);
    EXPECT_EQ(folder(), std::vector<std::string>{"study1.tarvik"});
}
#endif

TEST_F(SessionFiles, FilesThatCannotBeOpenedNameThemselvesAndTheFault) {
    const std::string prefix = "Could not open the session file \"";
    EXPECT_EQ(message_of([&] { load_session_file(path("absent.tarvik")); }),
              prefix + path("absent.tarvik") + "\": there is no such file.");
    fs::create_directory(path("folder.tarvik"));
    EXPECT_EQ(message_of([&] { load_session_file(path("folder.tarvik")); }),
              prefix + path("folder.tarvik") + "\": it is not a file.");
    const std::string text = session_to_text(s.fig(), s.record());
    write(path("cut.tarvik"), text.substr(0, text.size() - 10));
    EXPECT_EQ(message_of([&] { load_session_file(path("cut.tarvik")); }),
              prefix + path("cut.tarvik") + "\": the file is incomplete: it ends before the session does.");
}

// ------------------------------------------------------------------------------------------------

struct NameCase {
    const char* chosen;
    const char* saved;
};
void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.chosen;
}

class SessionNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(SessionNames, GetTheExtensionUnlessTheyContainIt) {
    EXPECT_EQ(with_session_extension(GetParam().chosen), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Names, SessionNames,
                         ::testing::Values(NameCase{"study1", "study1.tarvik"},
                                           NameCase{"study1.tarvik", "study1.tarvik"},
                                           NameCase{"study1.tarvik.bak", "study1.tarvik.bak"},
                                           NameCase{"old.tarvikish", "old.tarvikish"},
                                           NameCase{"Study.TARVIK", "Study.TARVIK.tarvik"},
                                           NameCase{"study.tar", "study.tar.tarvik"}));

} // namespace
} // namespace tarvik::testing
