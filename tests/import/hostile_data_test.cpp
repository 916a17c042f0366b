// Hostile data files through "Load File" and step 1's Continue on the headless main window: every one
// ends in the file's table or in a message, and a file that does not load leaves the table loaded before
// it exactly as it was. Big inputs are made here, in the test's folder.
#include "import/data_file.h"

#include "import_session.h"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace tarvik::testing {
namespace {

using namespace std::string_literals;

const char* const kEarlierFile = "wiz_vowels.txt";
const std::size_t kTenMegabytes = 10u << 20;
const std::string kFailed = "Data failed to load";

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

// A session that has loaded a small study before the hostile file comes.
class HostileData : public ImportSession {
  protected:
    void SetUp() override {
        ImportSession::SetUp();
        press_load(data_file(kEarlierFile));
        forget_dialogs();
    }
    void load(const std::string& content) { press_load(write("hostile.txt", content)); }
};

// ---- the table: what each hostile file gets from "Load File" -----------------------------------------

struct HostileFile {
    const char* name;
    std::function<std::string()> content;
    std::vector<std::string> titles; // the dialogs shown, the file dialog first
    std::string message = {};        // of a refused file: the first line of the message before the last
    std::function<void(const Handles&)> check = {}; // of a loaded file: its table
};
void PrintTo(const HostileFile& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<std::string> kRefused = {"(open)", kFailed};
const std::vector<std::string> kAsked = {"(open)", "Are the data okay?"};
const std::vector<std::string> kCancelled = {"(open)", "Are the data okay?", kFailed};
const std::vector<std::string> kIllegal = {"(open)", "Illegal field name", kFailed};
const std::vector<std::string> kMismatch = {"(open)", "Are the data okay?", "Data File Format Error",
                                            kFailed};
const std::string kIllegalText = "Illegal header name. Please rename the header field: ";
const std::string kLine3 = "Mismatch number of fields in data on file line number 3";

class HostileFiles : public HostileData, public ::testing::WithParamInterface<HostileFile> {};

TEST_P(HostileFiles, EndInTheirTableOrInAMessageAndNeverLoseTheEarlierOne) {
    const HostileFile& c = GetParam();
    const Handles before = s.record();
    const TextList logBefore = s.log();
    // The row that is cancelled at "Are the data okay?" says so; closing the question goes on.
    s.scripted.questionAnswers.push_back(c.titles == kCancelled ? "cancel" : "");
    load(c.content());

    ASSERT_EQ(titles(), c.titles);
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
    EXPECT_TRUE(s.scripted.progress.empty() || s.scripted.progress.back().kind == "close");
    const Handles after = s.record();
    if (c.titles.back() == kFailed) {
        if (!c.message.empty()) {
            EXPECT_EQ(s.scripted.dialogs[s.scripted.dialogs.size() - 2].text.at(0), c.message);
        }
        // The earlier record, word for word, and the window still showing its file.
        EXPECT_EQ(after, before);
        EXPECT_EQ(s.control("text_filename").string, TextList{kEarlierFile});
        EXPECT_EQ(s.control("popupmenu_header_subject").string.size(), 2 + before.header.size());
        // Only the mismatch message writes to the log: a blank line and its two lines.
        const bool mismatch = c.titles == kMismatch;
        EXPECT_EQ(s.log().size(), logBefore.size() + (mismatch ? 3 : 0));
    } else {
        EXPECT_EQ(s.control("text_filename").string, TextList{"hostile.txt"});
        EXPECT_EQ(s.log().back(), "Successfully loaded the data from file: hostile.txt");
        if (c.check)
            c.check(after);
    }
}

// The last cell of a column.
std::string last_cell(const Handles& h, const std::string& column) {
    return h.dataColumn.at(column).back();
}

// Written in octal, so that a letter after an escape stays a letter.
const std::string kInvalidUtf8 = "Sp\377eaker\tF\303\nm\342\202\001\t\300\200\n";
const std::string kName64 = "F" + repeated("1", 63);

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileFiles,
    ::testing::Values(
        // No header text: nothing, a lone line feed, an empty first line, only a tab.
        HostileFile{"EmptyFile", [] { return ""s; }, kRefused},
        HostileFile{"OnlyALineFeed", [] { return "\n"s; }, kRefused},
        HostileFile{"FirstLineEmpty", [] { return "\nSpeaker\tF1\nm01\t500\n"s; }, kRefused},
        HostileFile{"HeaderOfTabsOnly", [] { return "\t\nm01\n"s; }, kRefused},
        // A header and no data lines: an empty table.
        HostileFile{
            "HeaderOnly", [] { return "Speaker\tF1\n"s; }, kAsked, "",
            [](const Handles& h) { EXPECT_TRUE(h.dataRow.empty() && h.dataColumn.at("F1").empty()); }},
        HostileFile{"ReservedWordAsName", [] { return "Vowel\tend\nae\t1\n"s; }, kIllegal,
                    kIllegalText + "end"},
        HostileFile{"CancelledAtTheQuestion", [] { return "Speaker\tF1\nm01\t500\n"s; }, kCancelled},
        HostileFile{"LineOfBlanksUnderOneName", [] { return "Note\n  \n"s; }, kAsked, "",
                    [](const Handles& h) { EXPECT_EQ(last_cell(h, "Note"), "_"); }},
        HostileFile{"LineOfBlanksUnderTwoNames", [] { return "Speaker\tF1\n  \n"s; }, kMismatch,
                    "Mismatch number of fields in data on file line number 2"},
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
        // name, shown shortened; as a data line with too many cells it is refused with its line number.
        HostileFile{
            "TenMegabyteCell", [] { return "Note\n" + std::string(kTenMegabytes, 'x') + "\n"; }, kAsked, "",
            [](const Handles& h) { EXPECT_EQ(last_cell(h, "Note"), std::string(kTenMegabytes, 'x')); }},
        HostileFile{"TenMegabyteHeaderLine", [] { return std::string(kTenMegabytes, 'a') + "\nx\n"; },
                    kIllegal, kIllegalText + std::string(1000, 'a') + "... (10485760 characters)"},
        HostileFile{"TenMegabyteLineOfCells",
                    [] { return "A\tB\nm01\t1\n" + repeated("x\t", kTenMegabytes / 2) + "\n"; }, kMismatch,
                    kLine3},
        // A byte-order mark: gone at the start of the file (else the first name would be illegal), here with
        // CRLF line ends; one "_" inside it.
        HostileFile{"ByteOrderMarkAndCrlf",
                    [] { return "\xef\xbb\xbfSpeaker\tF1\r\nm01\t500\r\n\xef\xbb\xbfm02\t600\r\n"s; }, kAsked,
                    "", [](const Handles& h) { EXPECT_EQ(last_cell(h, "Speaker"), "_m02"); }},
        // Carriage returns alone end no line: the whole file is its header line, and each of its six pieces
        // is a header name.
        HostileFile{"CarriageReturnLineEnds", [] { return "Speaker\tVowel\rs1\ti\rs2\ta\r"s; }, kAsked, "",
                    [](const Handles& h) { EXPECT_EQ(h.header.size(), 6u); }},
        // Stray bytes, truncated and overlong sequences: each byte becomes one "_" (a header ending in a
        // truncated sequence, F\303, loads as F_); a lone one between two tabs is an empty cell.
        HostileFile{"InvalidUtf8", [] { return kInvalidUtf8 + "m02\t\355\240\200\t\n"; }, kMismatch, kLine3},
        HostileFile{"InvalidUtf8Loading", [] { return kInvalidUtf8; }, kAsked, "",
                    [](const Handles& h) { EXPECT_EQ(last_cell(h, "F_"), "__"); }},
        HostileFile{"TenThousandColumns",
                    [] { return numbered("c", 10000, "\t") + "\n" + numbered("v", 10000, "\t") + "\n"; },
                    kAsked, "", [](const Handles& h) { EXPECT_EQ(last_cell(h, "c10000"), "v10000"); }},
        HostileFile{"TenThousandDuplicateNames",
                    [] { return repeated("A\t", 9999) + "A\n" + numbered("v", 10000, "\t") + "\n"; }, kAsked,
                    "", [](const Handles& h) { EXPECT_EQ(last_cell(h, "A"), "v10000"); }},
        HostileFile{"HeaderNameOf63Characters", [] { return "F" + repeated("1", 62) + "\tF2\n1\t2\n"; },
                    kAsked},
        HostileFile{"HeaderNameOf64Characters", [] { return kName64 + "\tF2\n1\t2\n"; }, kIllegal,
                    kIllegalText + kName64},
        HostileFile{"DuplicateHeaderNames", [] { return "A\tB\tA\n1\t2\t3\n"s; }, kAsked, "",
                    [](const Handles& h) { EXPECT_EQ(last_cell(h, "A"), "3"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- past the load: the column mapping and the subject records ---------------------------------------

// Numbers written as text in F1 and what the subject record holds for each (hand-checked against IEEE
// doubles: 1e308 is finite, 1e309 is past the largest double, 1e-400 below the smallest).
TEST_F(HostileData, NumbersAtTheEdgesOfDoublesReadAsTheirValueOrNaN) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct N {
        std::string text;
        double value;
    };
    const std::vector<N> cases = {
        N{"1e308", 1e308}, N{"-1e308", -1e308},
        N{"1.7976931348623157e308", std::numeric_limits<double>::max()}, N{"1e309", inf}, N{"-1e309", -inf},
        N{"4.9e-324", std::numeric_limits<double>::denorm_min()}, N{"1e-400", 0.0}, N{"-1e-400", -0.0},
        N{"-0", -0.0}, N{"1.5e-3", 0.0015}, N{"0e999999999999", 0.0}, N{"1e99999999999999999999", inf},
        N{"1e-99999999999999999999", 0.0},
        // Many digits: the place of the first significant digit decides between zero and infinity.
        N{"0." + repeated("0", 400) + "1", 0.0}, N{"-0." + repeated("0", 400) + "1", -0.0},
        N{"1" + repeated("0", 400), inf}, N{"1" + repeated("0", 500) + "e-100", inf},
        N{"0." + repeated("0", 200) + "1e-200", 0.0}, N{"0." + repeated("0", 100) + "1e500", inf},
        // Not numbers: words, and the forms the cleaning changes ("+" becomes "_").
        N{"Inf", nan}, N{"-Inf", nan}, N{"Infinity", nan}, N{"NaN", nan}, N{"nan", nan}, N{"1e+308", nan},
        N{" 512 ", nan}, N{"0x1p3", nan}, N{"1.5.2", nan}, N{"--1", nan}};
    std::string file = "Speaker\tVowel\tF1\tF2\n";
    for (const N& c : cases)
        file += "s1\ti\t" + c.text + "\t1000\n";
    load(file);
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
    map_and_continue({3, 4, 5, 6, 7, 2});
    const Handles h = s.record();
    EXPECT_EQ(h.subgroup.at("Vowel").size(), 10000u);
    // Rows 1, 4, 7, ... belong to s1: 3334 of them, each a vowel of its own with one token.
    EXPECT_EQ(h.dataSubject.at("s1").vowelTargets.size(), 3334u);
    EXPECT_EQ(h.dataSubject.at("s1").vowelTargets.at("v10000").RowLocation, std::vector<double>{10000});
}

TEST_F(HostileData, TwoRolesOnTwoColumnsOfTheSameNameAreRefusedAsTheSameHeader) {
    load("A\tB\tA\tF1\tF2\n"
         "s1\ti\t300\t500\t1500\n");
    const Handles before = s.record();
    // Subject the first A, Vowel the second: one column under one name, so both would read "300".
    map_and_continue({3, 5, 6, 7, 2, 2});
    EXPECT_EQ(titles(), std::vector<std::string>{"Cannot continue"});
    EXPECT_EQ(s.record(), before);
    // One of them on B goes on, and A reads the later column's cells.
    map_and_continue({3, 4, 6, 7, 2, 2});
    EXPECT_EQ(s.record().dataSubject.keys(), TextList{"300"});
}

TEST_F(HostileData, ARoleMenuWhoseValueNamesNoEntryIsReportedNotRead) {
    const Handles before = s.record();
    for (double bad : {0.0, 99.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(bad);
        map_and_continue({3, 4, 5, bad, 7, 2});
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        EXPECT_EQ(failure_report(s.scripted.last(),
                                 "Let Quillon know: \"button_continue_to_normalize_Callback\"",
                                 "Function Error:\n\n "),
                  "Index exceeds matrix dimensions.");
        EXPECT_EQ(s.record(), before);
    }
}

} // namespace
} // namespace tarvik::testing
