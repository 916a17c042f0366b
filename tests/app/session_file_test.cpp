// Session files as text and on disk: what comes back equals what went in, number for number and byte for
// byte, and anything that is not a sound session of this version is refused with a reason.
#include "app/session_file.h"

#include "support/session.h"
#include "support/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <bit>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <limits>

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

// The session text of a started session with a record of the test's, and that record read back.
class SessionText : public StartedSession {
  protected:
    std::string text_of(const Handles& h) const { return session_to_text(s.fig(), h); }
    Handles round_trip(const Handles& h) const { return *session_from_text(text_of(h))->retrieve(); }
    Json json_of(const Handles& h) const { return Json::parse(text_of(h)); }
};

TEST_F(SessionText, AWindowComesBackEqualInEveryPropertyOfEveryObjectAndField) {
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

    const std::string text = session_to_text(f, s.record());
    const auto loaded = session_from_text(text);
    EXPECT_EQ(loaded->window(), f.window());
    ASSERT_EQ(loaded->objects().size(), f.objects().size());
    for (std::size_t i = 0; i < loaded->objects().size(); ++i) {
        SCOPED_TRACE(f.objects()[i].tag);
        EXPECT_EQ(loaded->objects()[i], f.objects()[i]);
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
    std::vector<std::string> keys;
    for (auto it = doc.begin(); it != doc.end(); ++it)
        keys.push_back(it.key());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"format", "version", "program", "window", "objects", "record"}));
}

// Every double comes back as the same double; JSON's missing NaN and infinities are written as texts, and
// a number cell stays apart from a text cell that reads the same.
TEST_F(SessionText, NumbersComeBackAsTheSameDoubleWherever) {
    using limits = std::numeric_limits<double>;
    const double numbers[] = {kNaN,
                              kInf,
                              -kInf,
                              -0.0,
                              0.1,
                              1.0 / 3.0,
                              limits::denorm_min(),
                              limits::min(),
                              limits::max(),
                              limits::lowest(),
                              20.0,
                              9007199254740994.0,
                              2345.6789012345678};
    const std::string texts[] = {"\"NaN\"", "\"Infinity\"", "\"-Infinity\""}; // of the first three
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        const double x = numbers[i];
        SCOPED_TRACE(::testing::PrintToString(x));
        Handles h = s.record();
        h.stdmult = x;
        h.v[0].avg2D = std::vector<double>{1, x, 3};
        h.v[0].A2D = x;
        h.v[1].data = Matrix(1, 2, x);
        h.dataNormalizedColumn.edit()["F1"] = {Cell{x}, Cell{std::string("NaN")}, Cell{},
                                               Cell{std::string()}};
        h.overlap[{1, 2}].value2D = x;
        h.overlap[{1, 2}].Bothcoordx2D = SharedValues(std::vector<double>{x});

        const Handles back = round_trip(h);
        EXPECT_TRUE(same_number(back.stdmult, x));
        ASSERT_TRUE(back.v[0].avg2D);
        EXPECT_TRUE(same_number((*back.v[0].avg2D)[1], x));
        EXPECT_TRUE(same_number(*back.v[0].A2D, x));
        EXPECT_TRUE(same_number(back.v[1].data(0, 1), x));
        const auto& cells = back.dataNormalizedColumn->at("F1");
        ASSERT_EQ(cells.size(), 4u);
        EXPECT_TRUE(same_number(std::get<double>(cells[0]), x));
        EXPECT_EQ(std::get<std::string>(cells[1]), "NaN");
        EXPECT_TRUE(std::holds_alternative<std::monostate>(cells[2]));
        EXPECT_EQ(std::get<std::string>(cells[3]), "");
        EXPECT_TRUE(same_number(*back.overlap.at({1, 2}).value2D, x));
        EXPECT_TRUE(same_number(back.overlap.at({1, 2}).Bothcoordx2D->get().at(0), x));

        const Json written = json_of(h).at("record").at("stdmult");
        if (i < std::size(texts))
            EXPECT_EQ(written.dump(), texts[i]);
        else
            EXPECT_TRUE(written.is_number()) << written.dump();
    }
}

// Texts come back byte for byte, also when they are not UTF-8 (file names and lines in other encodings).
TEST_F(SessionText, TextsComeBackByteForByte) {
    const std::vector<std::string> utf8 = {"", "(change my name)", "say \"i\"\t\\ \n end",
                                           "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80",
                                           std::string("a\0b", 3)};
    const std::vector<std::string> other = {
        "caf\xe9" /* Latin-1 */,        "\xc0\xaf" /* overlong */,
        "\xed\xa0\x80" /* surrogate */, "\xf4\x90\x80\x80" /* beyond Unicode */,
        "\xe2\x82" /* cut short */,     "\x80z" /* lone continuation byte */};
    for (bool isUtf8 : {true, false})
        for (const std::string& t : isUtf8 ? utf8 : other) {
            SCOPED_TRACE(::testing::PrintToString(t));
            Handles h = s.record();
            h.v[0].name = t;
            h.dataColumn.edit()[t] = {t, "x"};
            s.fig().append_strings("listbox_log", {t});

            const std::string text = text_of(h);
            const auto loaded = session_from_text(text);
            const Handles& back = *loaded->retrieve();
            EXPECT_EQ(back.v[0].name, t);
            ASSERT_EQ(back.dataColumn->keys().back(), t);
            EXPECT_EQ(back.dataColumn->at(t), (TextList{t, "x"}));
            EXPECT_EQ(loaded->control("listbox_log").string.back(), t);

            const Json written = Json::parse(text).at("record").at("v").at(0).at("name");
            EXPECT_EQ(written.is_string(), isUtf8) << written.dump();
        }
}

// A record with every field written and every optional field present: a study taken through every step,
// overlaps included, and what only other ways (plots, other normalizations, a phrase duration column) fill
// in; and keyed records with keys in no sorted order, of any text, and more of them than the size where a
// map builds its index.
TEST_F(SessionText, ARecordWithEveryFieldWrittenComesBackEqualKeysInTheirOrder) {
    run_steps_1_to_3(s, {.file = "plot_vowels.txt", .overlaps = true});
    Handles h = s.record();
    const VowelGroup& g = h.v[1];
    ASSERT_TRUE(g.avg2D && g.star && g.xstar && g.ystar && g.theta2D && g.rottheta2D && g.A2D && g.B2D &&
                g.ellps2D && g.avg && g.dubstar && g.xdubstar && g.ydubstar && g.zdubstar && g.theta &&
                g.phi && g.rottheta && g.rotphi && g.A && g.B && g.C && g.ellps3D && g.Ecoordx2D &&
                g.Ecoordy2D && g.Ecoordx && g.Ecoordy && g.Ecoordz);
    const OverlapCell& cell = h.overlap.at({1, 3});
    ASSERT_TRUE(cell.value && cell.E1ovfrac && cell.E2ovfrac && cell.Bothcoordx && cell.Bothcoordy &&
                cell.Bothcoordz && cell.E1sum && cell.E2sum && cell.Ebothsum && cell.value2D &&
                cell.E1ovfrac2D && cell.E2ovfrac2D && cell.Bothcoordx2D && cell.Bothcoordy2D &&
                cell.E1sum2D && cell.E2sum2D && cell.Ebothsum2D);
    ASSERT_TRUE(h.dataLine && h.currentSelectedGroup && h.currentSelectedType && h.axes2D &&
                h.axes2DOriginal);
    h.dataNormalizedColumn.edit()["F1"] = {Cell{-0.75}, Cell{std::string("NULL")}, Cell{}};
    h.onlyAllow2D = 1;
    h.waitbar = ControlRef{"waitbar1"};
    h.plotFigure = {ControlRef{"plot1"}, ControlRef{"plot2"}};
    h.currentAxes = ControlRef{"axes2"};
    h.web.isWorking = 0;
    for (const char* key : {"z9", "a1", "", "m \"q\"", "NULL"}) {
        SubjectRecord& subject = h.dataSubject.edit()[key];
        VowelTarget& target = subject.vowelTargets["i"];
        target = {{300, 320}, {2300, 2200}, {100, 120}, std::vector<double>{1000, 1100}, {1, 2}, {}};
        target.log["F1"] = {2.477, 2.505};
        subject.normalizedTargets["i"]["F1"] = {-0.7, 0.7};
        subject.normalization["F1"].grandmean = 310;
        subject.normalization["duration"];
        subject.grandmeanDuration = 110;
        subject.stdDuration = 14.1;
    }
    for (int i = 0; i < 40; ++i)
        h.subgroup["cat" + std::to_string(39 - i)] = {"t"};
    EXPECT_EQ(round_trip(h), h);
}

// ------------------------------------------------------------------------------------------------
// Refused texts: each names its fault; nothing is half read. (Empty and cut files, and more damaged
// ones, are opened from the File menu in hostile_session_test.cpp.)

// Shortcuts into a sound document; each change returns "" for "the changed document".
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
    return Json{{"rows", rows}, {"cols", cols}, {"values", values}};
}
std::string set(Json& at, Json value) {
    at = std::move(value);
    return "";
}
template <class Key> std::string drop(Json& at, Key key) {
    at.erase(key);
    return "";
}
std::string swapped(Json& a, Json& b) {
    std::swap(a, b);
    return "";
}
std::string push(Json& list, Json item) {
    list.push_back(std::move(item));
    return "";
}

struct BadCase {
    const char* name;
    std::function<std::string(Json&)> make; // changes a sound document, or returns a text of its own
    std::string reason;                     // a part of the error's text
};
void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedSessions : public StartedSession, public ::testing::WithParamInterface<BadCase> {};

TEST_P(RefusedSessions, NameTheirFault) {
    Handles h = s.record();
    h.overlap[{1, 2}].value = 0.5;
    Json doc = Json::parse(session_to_text(s.fig(), h));
    std::string text = GetParam().make(doc);
    if (text.empty())
        text = doc.dump();
    try {
        session_from_text(text);
        ADD_FAILURE() << "accepted";
    } catch (const SessionFileError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

const BadCase kRefused[] = {
    {"DataFileNotJson", [](Json&) { return std::string("Speaker\tVowel\tF1\ns1\ti\t300\n"); },
     "it is not a TARVIK3D session file (it is not JSON text)."},
    {"TrailingGarbage", [](Json& d) { return d.dump() + "}"; }, "it is not JSON text"},
    {"ForeignJson", [](Json&) { return std::string(R"({"format":"tarvik3d-overlap","version":1})"); },
     "it is not a TARVIK3D session file."},
    {"JsonList", [](Json&) { return std::string("[1, 2, 3]"); }, "it is not a TARVIK3D session file."},
    {"NewerVersion", [](Json& d) { return set(d["version"], 2); },
     "it was written by a newer version of TARVIK3D (session format 2; this version reads format 1)."},
    {"VersionAsText", [](Json& d) { return set(d["version"], "1"); },
     "damaged at version: expected the format version"},
    {"VersionZero", [](Json& d) { return set(d["version"], 0); }, "damaged at version"},
    {"MissingRecord", [](Json& d) { return drop(d, "record"); },
     "damaged at the top: the field \"record\" is missing."},
    {"MissingField", [](Json& d) { return drop(rec(d), "stdmult"); },
     "damaged at record: the field \"stdmult\" is missing."},
    {"UnknownField", [](Json& d) { return set(rec(d)["stdMult"], 2); },
     "damaged at record: unknown field \"stdMult\"."},
    {"UnknownTopField", [](Json& d) { return set(d["plots"], Json::array()); },
     "damaged at the top: unknown field \"plots\"."},
    {"ListAsText", [](Json& d) { return set(rec(d)["header"], "F1"); },
     "damaged at record.header: expected a list."},
    {"MissingControl", [](Json& d) { return drop(d["objects"], d["objects"].size() - 1); },
     "of the main window is missing."},
    {"ControlTwice", [](Json& d) { return push(d["objects"], obj(d, 30)); }, "appears twice."},
    {"ControlsSwapped", [](Json& d) { return swapped(obj(d, 10), obj(d, 11)); }, "is out of place"},
    {"RewiredHandler", [](Json& d) { return set(obj(d, 1)["callback"], "menuItem_exit_Callback"); },
     "has a handler other than this version's."},
    {"ChangedStyle", [](Json& d) { return set(by_tag(d, "button_load_file")["style"], "frame"); },
     "has a style other than this version's."},
    {"UnknownStyle", [](Json& d) { return set(obj(d, 40)["style"], "slider"); },
     "damaged at objects[40].style: expected a control style."},
    {"UnknownEnable", [](Json& d) { return set(obj(d, 40)["enable"], "maybe"); },
     "expected \"on\", \"off\" or \"inactive\"."},
    {"ValueNaN", [](Json& d) { return set(by_tag(d, "popupmenu_overlap_group_a")["value"][0], "NaN"); },
     "value[0]: expected a whole number from 0 to 2147483647."},
    {"ValueVast",
     [](Json& d) {
         return set(by_tag(d, "listbox_log")["value"], Json::array({1, 1e300}));
     },
     "value[1]: expected a whole number from 0 to 2147483647."},
    {"ValueFraction", [](Json& d) { return set(by_tag(d, "checkbox_show_legend")["value"][0], 0.5); },
     "value[0]: expected a whole number from 0 to 2147483647."},
    {"MaxInfinite", [](Json& d) { return set(by_tag(d, "listbox_log")["max"], "Infinity"); },
     ".max: expected a finite number."},
    {"PositionNaN", [](Json& d) { return set(obj(d, 12)["position"][0], "NaN"); },
     "damaged at objects[12].position[0]: expected a finite number."},
    {"PositionShort",
     [](Json& d) {
         return set(obj(d, 12)["position"], Json::array({0, 0, 1}));
     },
     "expected a position [left, bottom, width, height]."},
    {"ColourOutOfRange",
     [](Json& d) {
         return set(rec(d)["frameColor"], Json::array({2, 0, 0}));
     },
     "damaged at record.frameColor[0]: expected a colour component between 0 and 1."},
    {"VastMatrix",
     [](Json& d) { return set(rec(d)["v"][0]["data"], matrix(4294967296ull, 4294967296ull, Json::array())); },
     "damaged at record.v[0].data: the shape 4294967296 x 4294967296 does not hold 0 values."},
    {"OverflowingShape",
     [](Json& d) {
         return set(rec(d)["v"][0]["data"], matrix(9223372036854775808ull, 2, Json::array({1, 2, 3, 4})));
     },
     "does not hold 4 values."},
    {"MatrixShortOfValues",
     [](Json& d) {
         return set(rec(d)["v"][0]["data"], matrix(2, 2, Json::array({1, 2, 3})));
     },
     "the shape 2 x 2 does not hold 3 values."},
    {"NegativeRows", [](Json& d) { return set(rec(d)["v"][0]["data"], matrix(-1, 0, Json::array())); },
     "damaged at record.v[0].data.rows: expected a whole number that is not negative."},
    {"StepOutOfRange", [](Json& d) { return set(rec(d)["currStep"], 7); },
     "damaged at record.currStep: the wizard has steps 1 to 4."},
    {"StepListsShort", [](Json& d) { return drop(rec(d)["stepObjects"], 3); },
     "damaged at record.stepObjects: expected a list of 4 entries."},
    {"OverlapIndexZero", [](Json& d) { return set(rec(d)["overlap"], Json::parse(R"([[[0, 1], {}]])")); },
     "damaged at record.overlap[0][0]: group indices count from 1."},
    {"OverlapLargerFirst", [](Json& d) { return set(rec(d)["overlap"], Json::parse(R"([[[2, 1], {}]])")); },
     "the smaller group index comes first."},
    {"OverlapPairTwice", [](Json& d) { return push(rec(d)["overlap"], rec(d)["overlap"][0]); },
     "damaged at record.overlap[1][0]: the pair [1, 2] appears twice."},
    {"KeyTwice",
     [](Json& d) { return set(rec(d)["subgroup"], Json::parse(R"([["Vowel", []], ["Vowel", []]])")); },
     "damaged at record.subgroup[1]: the key \"Vowel\" appears twice."},
    {"BadBytes", [](Json& d) { return set(rec(d)["header"], Json::parse(R"([{"bytes": "zz"}])")); },
     "damaged at record.header[0]: expected lower-case hexadecimal digits."},
    {"NumberOverflow",
     [](Json& d) {
         std::string t = d.dump();
         return t.replace(t.find("\"stdmult\":2.0"), 13, "\"stdmult\":1e999");
     },
     "it is not JSON text"}};

INSTANTIATE_TEST_SUITE_P(Faults, RefusedSessions, ::testing::ValuesIn(kRefused), kCaseName);

// ------------------------------------------------------------------------------------------------
// Files.

class SessionFiles : public StartedSession {
  protected:
    std::string path(const std::string& name) const { return dir_ / name; }
    void save(const std::string& name) const { save_session_file(path(name), s.fig(), s.record()); }
    // What a SessionFileError says, of `f`.
    static std::string message_of(const std::function<void()>& f) {
        try {
            f();
        } catch (const SessionFileError& e) {
            return e.what();
        }
        return "(no error)";
    }
    TestFolder dir_{"tarvik_session"};
};

TEST_F(SessionFiles, ASavedFileReplacesAnEarlierOneLeavesNoTemporaryAndOpensAsTheSameWindowAndRecord) {
    write_contents(path("study1.tarvik"), "an earlier session");
    save("study1.tarvik");
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    EXPECT_EQ(file_contents(path("study1.tarvik")), session_to_text(s.fig(), s.record()));
    const auto loaded = load_session_file(path("study1.tarvik"));
    EXPECT_EQ(loaded->objects(), s.fig().objects());
    EXPECT_EQ(*loaded->retrieve(), s.record());
}

// A folder of the file's name: session_menu_test.cpp.
TEST_F(SessionFiles, ASaveThatCannotBeWrittenSaysWhyAndLeavesTheFolderAsItWas) {
    EXPECT_EQ(message_of([&] { save("no_such_folder/study1.tarvik"); }),
              "Could not save the session to \"" + path("no_such_folder/study1.tarvik") +
                  "\": No such file or directory.");
    EXPECT_TRUE(dir_.names().empty());
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
    write_contents(path("study1.tarvik"), earlier);
    std::string message;
    {
        const FileSizeLimit full(1024);
        message = message_of([&] { save("study1.tarvik"); });
    }
    EXPECT_EQ(message, "Could not save the session to \"" + path("study1.tarvik") + "\": File too large.");
    EXPECT_EQ(file_contents(path("study1.tarvik")), earlier);
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
}
#endif

TEST_F(SessionFiles, FilesThatCannotBeOpenedNameThemselvesAndTheFault) {
    const auto open_error = [&](const std::string& name) {
        return message_of([&] { load_session_file(path(name)); });
    };
    const std::string prefix = "Could not open the session file \"";
    EXPECT_EQ(open_error("absent.tarvik"), prefix + path("absent.tarvik") + "\": there is no such file.");
    fs::create_directory(path("folder.tarvik"));
    EXPECT_EQ(open_error("folder.tarvik"), prefix + path("folder.tarvik") + "\": it is not a file.");
}

TEST(SessionNames, GetTheExtensionUnlessTheyContainIt) {
    EXPECT_EQ(with_session_extension("study1"), "study1.tarvik");
    EXPECT_EQ(with_session_extension("study1.tarvik"), "study1.tarvik");
    EXPECT_EQ(with_session_extension("study1.tarvik.bak"), "study1.tarvik.bak");
    EXPECT_EQ(with_session_extension("old.tarvikish"), "old.tarvikish");
    EXPECT_EQ(with_session_extension("Study.TARVIK"), "Study.TARVIK.tarvik");
    EXPECT_EQ(with_session_extension("study.tar"), "study.tar.tarvik");
}

} // namespace
} // namespace tarvik::testing
