// Hostile data files through "Load File" and step 1's Continue on the headless main window: every one
// ends in the file's table or in a message, and a file that does not load leaves the table loaded before
// it exactly as it was. Big inputs are made here, in a temporary folder.
#include "support/session.h"
#include "app/entry.h"
#include "support/test_folder.h"
#include "import/data_file.h"

#include "import_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const char* const kEarlierFile = "wiz_vowels.txt";
const std::size_t kTenMegabytes = 10u << 20;
const std::string kFailed = "Data failed to load";

// No file of these takes long to read: the slowest case (ten thousand vowels through Continue) takes well
// under a second here, so a limit this wide catches only work that grows out of proportion.
constexpr auto kPatience = std::chrono::seconds(30);

std::string repeated(const std::string& piece, std::size_t times) {
    // Doubling: a few copies of megabytes rather than millions of small appends.
    std::string out;
    out.reserve(piece.size() * times);
    std::string block = piece;
    for (std::size_t n = times; n > 0; n /= 2, block += block)
        if (n % 2 == 1)
            out += block;
    return out;
}

// "prefix1<sep>prefix2<sep>...prefixN"
std::string numbered(const std::string& prefix, std::size_t n, const std::string& sep) {
    std::string out;
    for (std::size_t i = 1; i <= n; ++i)
        out += (i > 1 ? sep : "") + prefix + std::to_string(i);
    return out;
}

// The dialog shown with this title.
const DialogRecord& dialog(const Session& s, const std::string& title) {
    for (const auto& d : s.scripted.dialogs)
        if (d.title == title)
            return d;
    throw std::logic_error("no dialog " + title);
}

// A long piece shortened the way messages show it.
std::string shown(const std::string& text, std::size_t total) {
    return text.substr(0, 1000) + "... (" + std::to_string(total) + " characters)";
}

class HostileData : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        dir_ = make_test_folder("tarvik_hostile");
        // The earlier work: a small study loaded and its file name shown.
        s.scripted.fileAnswers.push_back(FileChoice{kEarlierFile, TARVIK_TEST_DATA_DIR});
        dispatch_event(s.rt, "button_load_file");
        ASSERT_EQ(s.control("text_filename").string, TextList{kEarlierFile});
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Loads `content` as hostile.txt and says how long it took.
    std::chrono::steady_clock::duration load(const std::string& content) {
        std::ofstream(dir_ / "hostile.txt", std::ios::binary) << content;
        s.scripted.fileAnswers.push_back(FileChoice{"hostile.txt", dir_.string()});
        const auto start = std::chrono::steady_clock::now();
        dispatch_event(s.rt, "button_load_file");
        return std::chrono::steady_clock::now() - start;
    }

    // Titles of the dialogs shown since the earlier load, the file dialog as "(open)".
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& d : s.scripted.dialogs)
            out.push_back(d.kind == "open" ? "(open)" : d.title);
        return out;
    }

    // Step 1's Continue with the roles chosen by their popup entries (1-based, as the user picks them).
    void map_and_continue(const std::array<double, 6>& entries) {
        for (std::size_t k = 0; k < entries.size(); ++k)
            s.fig().set_value(kRolePopups[k], entries[k]);
        s.scripted.dialogs.clear();
        dispatch_event(s.rt, "button_continue_to_normalize");
    }

    fs::path dir_;
};

// ------------------------------------------------------------------------------------------------
// The table: what each hostile file gets from "Load File".

struct HostileFile {
    const char* name;
    std::function<std::string()> content;
    std::vector<std::string> titles; // the dialogs after the file dialog
    // Checks the outcome; for a refused file the earlier table is checked by the test itself.
    std::function<void(const Session&)> check = {};
    const char* answer = ""; // to "Are the data okay?"; empty: the default
};
void PrintTo(const HostileFile& c, std::ostream* os) {
    *os << c.name;
}

class HostileFiles : public HostileData, public ::testing::WithParamInterface<HostileFile> {};

TEST_P(HostileFiles, EndInTheirTableOrInAMessageAndNeverLoseTheEarlierOne) {
    const Handles before = s.record();
    const TextList logBefore = s.log();

    if (*GetParam().answer)
        s.scripted.questionAnswers.push_back(GetParam().answer);
    const auto took = load(GetParam().content());
    EXPECT_LT(took, kPatience);

    std::vector<std::string> expected = {"(open)"};
    expected.insert(expected.end(), GetParam().titles.begin(), GetParam().titles.end());
    ASSERT_EQ(titles(), expected);
    const bool loaded = s.control("text_filename").string == TextList{"hostile.txt"};
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
    if (!s.scripted.progress.empty()) {
        EXPECT_EQ(s.scripted.progress.back().kind, "close");
    }
    if (expected.back() == kFailed) {
        EXPECT_FALSE(loaded);
        EXPECT_EQ(s.scripted.last().text, TextList{kFailedText});
        EXPECT_TRUE(s.scripted.last().waited);
        // The earlier table, word for word, and the window still showing its file.
        const Handles after = s.record();
        EXPECT_EQ(after.header, before.header);
        EXPECT_EQ(after.dataLine, before.dataLine);
        EXPECT_EQ(after.dataRow, before.dataRow);
        EXPECT_EQ(after.dataColumn, before.dataColumn);
        EXPECT_EQ(s.control("text_filename").string, TextList{kEarlierFile});
        EXPECT_EQ(s.control("popupmenu_header_subject").string.size(), 2 + before.header.size());
        // Only the mismatch message writes to the log: a blank line and its two lines. A file refused before
        // its data are read opens no progress dialog.
        if (std::find(expected.begin(), expected.end(), "Data File Format Error") == expected.end()) {
            EXPECT_EQ(s.log(), logBefore);
            EXPECT_TRUE(s.scripted.progress.empty());
        } else {
            EXPECT_EQ(s.log().size(), logBefore.size() + 3);
        }
    } else {
        EXPECT_TRUE(loaded);
        EXPECT_EQ(s.log().back(), "Successfully loaded the data from file: hostile.txt");
        EXPECT_EQ(s.control("button_continue_to_normalize").enable, Enable::On);
    }
    if (GetParam().check)
        GetParam().check(s);
}

const std::vector<std::string> kRefused = {kFailed};
const std::vector<std::string> kAsked = {"Are the data okay?"};
const std::vector<std::string> kIllegal = {"Illegal field name", kFailed};
const std::vector<std::string> kMismatch = {"Are the data okay?", "Data File Format Error", kFailed};

void expect_header(const Session& s, const TextList& header) {
    EXPECT_EQ(s.record().header, header);
}
void expect_column(const Session& s, const std::string& name, const TextList& cells) {
    EXPECT_EQ(s.record().dataColumn.at(name), cells);
}

// Written in octal, so that a letter after an escape stays a letter.
const std::string kInvalidUtf8 = "Sp\377eaker\tF\303\nm\342\202\001\t\300\200\n";
const std::string kName63 = "F" + repeated("1", 62);
const std::string kName64 = "F" + repeated("1", 63);

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileFiles,
    ::testing::Values(
        // No header text: nothing, a lone line feed, an empty first line, only a tab.
        HostileFile{"EmptyFile", [] { return ""s; }, kRefused},
        HostileFile{"OnlyALineFeed", [] { return "\n"s; }, kRefused},
        HostileFile{"FirstLineEmpty", [] { return "\nSpeaker\tF1\nm01\t500\n"s; }, kRefused},
        HostileFile{"HeaderOfTabsOnly", [] { return "\t\nm01\n"s; }, kRefused},
        HostileFile{"ReservedWordAsName", [] { return "Vowel\tend\nae\t1\n"s; }, kIllegal},
        HostileFile{"CancelledAtTheQuestion",
                    [] { return "Speaker\tF1\nm01\t500\n"s; },
                    {"Are the data okay?", kFailed},
                    {},
                    "cancel"},
        HostileFile{"LineOfBlanksUnderTwoNames", [] { return "Speaker\tF1\n  \n"s; }, kMismatch},
        // Bytes no text file holds: a picture, a text in UTF-16 (every other byte is NUL), one NUL in a cell.
        HostileFile{"BinaryFile",
                    [] { return "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0"s + repeated("\xff\x00", 512); },
                    kRefused},
        HostileFile{
            "Utf16WithByteOrderMark",
            [] { return "\xff\xfeS\0p\0e\0a\0k\0e\0r\0\t\0F\0001\0\r\0\n\0m\0000\0001\0\t\0005\0\r\0\n\0"s; },
            kRefused},
        HostileFile{"NulByteInACell", [] { return "Speaker\tF1\nm01\t5\0"s + "00\n"; }, kRefused},
        // A single line of 10 MB: one cell under one name loads as it is; as a header it is one illegal
        // name, shown shortened; as a data line with too many cells it is logged shortened.
        HostileFile{"TenMegabyteCell", [] { return "Note\n" + std::string(kTenMegabytes, 'x') + "\n"; },
                    kAsked,
                    [](const Session& s) {
                        expect_header(s, {"Note"});
                        ASSERT_EQ(s.record().dataColumn.at("Note").size(), 1u);
                        EXPECT_EQ(s.record().dataColumn.at("Note")[0].size(), kTenMegabytes);
                    }},
        HostileFile{
            "TenMegabyteHeaderLine", [] { return std::string(kTenMegabytes, 'a') + "\nx\n"; }, kIllegal,
            [](const Session& s) {
                EXPECT_EQ(dialog(s, "Illegal field name").text,
                          (TextList{"Illegal header name. Please rename the header field: " +
                                        shown(std::string(1000, 'a'), kTenMegabytes),
                                    "If the field is a number, make sure you actually have a header row."}));
            }},
        HostileFile{
            "TenMegabyteLineOfCells",
            [] { return "A\tB\nm01\t1\n" + repeated("x\t", kTenMegabytes / 2) + "\n"; }, kMismatch,
            [](const Session& s) {
                EXPECT_EQ(dialog(s, "Data File Format Error").text,
                          TextList{"Mismatch number of fields in data on file line number 3"});
                const TextList& log = s.log();
                ASSERT_GE(log.size(), 2u);
                EXPECT_EQ(log[log.size() - 2],
                          "Failed to load hostile.txt due to mismatched number of fields on row number 3: ");
                // The cleaned line ends in a tab and NULL; only its start is logged.
                EXPECT_EQ(log.back(), shown(repeated("x\t", 500), kTenMegabytes + 4));
            }},
        // A byte-order mark: gone at the start of the file (here with CRLF line ends), one "_" inside it.
        HostileFile{"ByteOrderMarkAndCrlf",
                    [] { return "\xef\xbb\xbfSpeaker\tF1\r\nm01\t500\r\n\xef\xbb\xbfm02\t600\r\n"s; }, kAsked,
                    [](const Session& s) {
                        expect_header(s, {"Speaker", "F1"});
                        expect_column(s, "Speaker", {"m01", "_m02"});
                        expect_column(s, "F1", {"500", "600"});
                    }},
        // Carriage returns alone end no line: the whole file is its header line, and every piece of it is a
        // header name. The question lists them all before anything is stored.
        HostileFile{"CarriageReturnLineEnds", [] { return "Speaker\tVowel\rs1\ti\rs2\ta\r"s; }, kAsked,
                    [](const Session& s) {
                        expect_header(s, {"Speaker", "Vowel", "s1", "i", "s2", "a"});
                        EXPECT_TRUE(s.record().dataRow.empty());
                        EXPECT_EQ(
                            dialog(s, "Are the data okay?").text,
                            TextList{"Would you like to group the data into these headers?\n \nSpeaker\n"
                                     "Vowel\ns1\ni\ns2\na\n "});
                    }},
        // Stray bytes, truncated and overlong sequences: each byte becomes one "_"; a lone one between two
        // tabs is an empty cell.
        HostileFile{"InvalidUtf8", [] { return kInvalidUtf8 + "m02\t\355\240\200\t\n"; }, kMismatch,
                    [](const Session& s) {
                        EXPECT_EQ(dialog(s, "Data File Format Error").text,
                                  TextList{"Mismatch number of fields in data on file line number 3"});
                    }},
        HostileFile{"InvalidUtf8Loading", [] { return kInvalidUtf8; }, kAsked,
                    [](const Session& s) {
                        expect_header(s, {"Sp_eaker", "F_"});
                        expect_column(s, "Sp_eaker", {"m___"});
                        expect_column(s, "F_", {"__"});
                    }},
        HostileFile{"TenThousandColumns",
                    [] { return numbered("c", 10000, "\t") + "\n" + numbered("v", 10000, "\t") + "\n"; },
                    kAsked,
                    [](const Session& s) {
                        const Handles h = s.record();
                        ASSERT_EQ(h.header.size(), 10000u);
                        EXPECT_EQ(h.header.back(), "c10000");
                        EXPECT_EQ(h.dataColumn.at("c10000"), TextList{"v10000"});
                        EXPECT_EQ(h.dataRow.at(0).size(), 10000u);
                        EXPECT_EQ(s.control("popupmenu_header_f2").string.size(), 10002u);
                        EXPECT_EQ(s.control("popupmenu_header_f2").string.back(), "c10000");
                    }},
        HostileFile{"TenThousandDuplicateNames",
                    [] { return repeated("A\t", 9999) + "A\n" + numbered("v", 10000, "\t") + "\n"; }, kAsked,
                    [](const Session& s) {
                        const Handles h = s.record();
                        EXPECT_EQ(h.header.size(), 10000u);
                        EXPECT_EQ(h.dataColumn.keys(), TextList{"A"});
                        EXPECT_EQ(h.dataColumn.at("A"), TextList{"v10000"});
                    }},
        HostileFile{"HeaderNameOf63Characters", [] { return kName63 + "\tF2\n1\t2\n"; }, kAsked,
                    [](const Session& s) {
                        expect_header(s, {kName63, "F2"});
                    }},
        HostileFile{"HeaderNameOf64Characters", [] { return kName64 + "\tF2\n1\t2\n"; }, kIllegal,
                    [](const Session& s) {
                        EXPECT_EQ(dialog(s, "Illegal field name").text.at(0),
                                  "Illegal header name. Please rename the header field: " + kName64);
                    }},
        HostileFile{"DuplicateHeaderNames", [] { return "A\tB\tA\n1\t2\t3\n"s; }, kAsked,
                    [](const Session& s) {
                        expect_header(s, {"A", "B", "A"});
                        expect_column(s, "A", {"3"});
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// How messages shorten a long piece: whole characters only, and the length said in characters.
TEST(Excerpts, KeepWholeCharactersAndSayHowLongTheTextWas) {
    struct Case {
        std::string text;
        std::size_t most;
        std::string shown;
    };
    for (const Case& c :
         {Case{"abc", 5, "abc"}, Case{"abcde", 5, "abcde"}, Case{"abcdef", 5, "abcde... (6 characters)"},
          Case{"", 0, ""}, Case{"ab", 0, "... (2 characters)"},
          // e acute is two bytes and one character; stray bytes are one character each
          Case{"\xc3\xa9\xc3\xa9\xc3\xa9", 2, "\xc3\xa9\xc3\xa9... (3 characters)"},
          Case{"\xff\xfe\xfd", 1, "\xff... (3 characters)"}})
        EXPECT_EQ(excerpt(c.text, c.most), c.shown) << ::testing::PrintToString(c.text);
}

// ------------------------------------------------------------------------------------------------
// Past the load: the column mapping and the subject records.

// Numbers written as text in F1: what the subject record holds for each (hand-checked against IEEE
// doubles: 1e308 is finite, 1e309 is past the largest double, 1e-400 below the smallest).
struct NumberCase {
    std::string text;
    double value;
};
using N = NumberCase;

TEST_F(HostileData, NumbersAtTheEdgesOfDoublesReadAsTheirValueOrNaN) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<NumberCase> cases = {
        N{"1e308", 1e308}, N{"-1e308", -1e308},
        N{"1.7976931348623157e308", std::numeric_limits<double>::max()}, N{"1e309", inf}, N{"-1e309", -inf},
        N{"4.9e-324", std::numeric_limits<double>::denorm_min()}, N{"1e-400", 0.0}, N{"-1e-400", -0.0},
        N{"-0", -0.0}, N{"0e999999999999", 0.0}, N{"1e99999999999999999999", inf},
        N{"1e-99999999999999999999", 0.0},
        // Many digits: the place of the first significant digit decides between zero and infinity.
        N{"0." + repeated("0", 400) + "1", 0.0}, N{"-0." + repeated("0", 400) + "1", -0.0},
        N{"1" + repeated("0", 400), inf}, N{"1" + repeated("0", 500) + "e-100", inf},
        N{"0." + repeated("0", 200) + "1e-200", 0.0}, N{"0." + repeated("0", 100) + "1e500", inf},
        // Not numbers: words, and the forms the cleaning changes ("+" becomes "_").
        N{"Inf", nan}, N{"-Inf", nan}, N{"Infinity", nan}, N{"NaN", nan}, N{"nan", nan}, N{"1e+308", nan},
        N{"0x1p3", nan}, N{"1.5.2", nan}, N{"--1", nan}};
    std::string file = "Speaker\tVowel\tF1\tF2\n";
    for (const auto& c : cases)
        file += "s1\ti\t" + c.text + "\t1000\n";
    load(file);
    ASSERT_EQ(titles(), (std::vector<std::string>{"(open)", "Are the data okay?"}));
    map_and_continue({3, 4, 5, 6, 2, 2});
    const Handles h = s.record();
    ASSERT_EQ(h.currStep, 2);
    const std::vector<double>& f1 = h.dataSubject.at("s1").vowelTargets.at("i").F1;
    ASSERT_EQ(f1.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].text.substr(0, 40));
        if (std::isnan(cases[i].value)) {
            EXPECT_TRUE(std::isnan(f1[i])) << f1[i];
        } else {
            EXPECT_EQ(f1[i], cases[i].value);
            EXPECT_EQ(std::signbit(f1[i]), std::signbit(cases[i].value));
        }
    }
    // The column stays numeric (its first value is a number), so F1 is no category.
    EXPECT_EQ(h.groupsNumeric, (TextList{"F1", "F2"}));
}

TEST_F(HostileData, TenThousandVowelLabelsEachBecomeAVowelAndAType) {
    std::string file = "Speaker\tVowel\tF1\tF2\tDur\n";
    for (int i = 1; i <= 10000; ++i)
        file += "s" + std::to_string(i % 3) + "\tv" + std::to_string(i) + "\t500\t1500\t100\n";
    load(file);
    const auto start = std::chrono::steady_clock::now();
    map_and_continue({3, 4, 5, 6, 7, 2});
    EXPECT_LT(std::chrono::steady_clock::now() - start, kPatience);

    const Handles h = s.record();
    ASSERT_EQ(h.currStep, 2);
    EXPECT_EQ(h.groups, (TextList{"Speaker", "Vowel"}));
    const TextList& vowels = h.subgroup.at("Vowel");
    ASSERT_EQ(vowels.size(), 10000u);
    EXPECT_EQ(vowels.front(), "v1");
    EXPECT_EQ(vowels.back(), "v10000");
    ASSERT_EQ(h.dataSubject.keys(), (TextList{"s1", "s2", "s0"}));
    // Rows 1, 4, 7, ... belong to s1: 3334 of them, each a vowel of its own with one token.
    const auto& s1 = h.dataSubject.at("s1").vowelTargets;
    ASSERT_EQ(s1.size(), 3334u);
    EXPECT_EQ(s1.at("v10000").RowLocation, std::vector<double>{10000});
    EXPECT_EQ(h.dataSubject.at("s0").vowelTargets.size(), 3333u);
    EXPECT_EQ(s.control("listbox_types").string.size(), 3u); // Speaker: s1, s2, s0
}

TEST_F(HostileData, TwoRolesOnTwoColumnsOfTheSameNameAreRefusedAsTheSameHeader) {
    load("A\tB\tA\tF1\tF2\n"
         "s1\ti\t300\t500\t1500\n");
    ASSERT_EQ(s.control("popupmenu_header_subject").string,
              (TextList{"(please select)", "(not available)", "A", "B", "A", "F1", "F2"}));
    const Handles before = s.record();

    // Subject the first A, Vowel the second: one column under one name, so both would read "300".
    map_and_continue({3, 5, 6, 7, 2, 2});
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Cannot continue");
    EXPECT_EQ(s.scripted.last().text, TextList{"Please make sure no headers are the same."});
    EXPECT_EQ(s.record(), before);
    EXPECT_EQ(s.control("button_load_file").enable, Enable::On);

    // One of them on B goes on, and A reads the later column's cells.
    map_and_continue({3, 4, 6, 7, 2, 2});
    const Handles h = s.record();
    ASSERT_EQ(h.currStep, 2);
    EXPECT_EQ(h.dataSubject.keys(), TextList{"300"});
}

TEST_F(HostileData, ARoleMenuWhoseValueNamesNoEntryIsReportedNotRead) {
    for (double bad : {0.0, 99.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        const Handles before = s.record();
        map_and_continue({3, 4, 5, bad, 7, 2});
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        EXPECT_EQ(s.scripted.last().title, "Let Quillon know: \"button_continue_to_normalize_Callback\"");
        EXPECT_EQ(s.scripted.last().text, TextList{"Function Error:\n\n Index exceeds matrix dimensions."});
        EXPECT_EQ(s.record(), before);
        EXPECT_EQ(s.record().currStep, 1);
    }
}

} // namespace
} // namespace tarvik::testing
