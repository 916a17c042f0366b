// Hostile data files through "Load File" and step 1's Continue on the headless main window: every one
// ends in the file's table or in a message, and a file that does not load leaves the table loaded before
// it exactly as it was. Big inputs are made here, in the test's folder.
#include "import/data_file.h"
#include "import/load_file.h"

#include "import_session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
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
    std::string message = {}; // the first line of a refused file's reason or of a loaded file's warning
    std::function<void(const Handles&)> check = {};              // of a loaded file: its table
    std::function<void(const std::string& path)> whileRead = {}; // changes the file as it is read
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
const std::vector<std::string> kUtf16 = {"(open)", "Data File Encoding Error", kFailed};
const std::vector<std::string> kDuplicate = {"(open)", "Duplicate field name", kFailed};
const std::vector<std::string> kChanged = {"(open)", "File changed while loading", kFailed};
const std::vector<std::string> kLatin1 = {"(open)", "Are the data okay?", "File read as Latin-1"};
const std::string kIllegalText = "Illegal header name. Please rename the header field: ";
const std::string kUtf16Text = "The file is UTF-16 text; save it as UTF-8 (or plain text) and load it again.";
const std::string kTwoNamedA =
    "Two columns are named A. Please rename one of them: each column needs a name of its own.";
const std::string kChangedText =
    "hostile.txt changed while it was being read (its size or modification time is not what it was when "
    "reading began), so nothing of it was loaded. Load it again once the program that writes it has "
    "finished.";
std::string latin1_warning(const std::string& line) {
    return "hostile.txt is not UTF-8 text: line " + line +
           " is the first that holds a byte sequence that is not UTF-8. The file was read as Latin-1 (ISO "
           "8859-1), each byte one character; if labels look wrong, save the file as UTF-8 and load it "
           "again.";
}
// ASCII text as UTF-16, little or big endian, with or without a byte-order mark.
std::string utf16(const std::string& ascii, bool bigEndian, bool mark) {
    std::string out = mark ? (bigEndian ? "\xfe\xff" : "\xff\xfe") : "";
    for (const char c : ascii)
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}
const std::string kLine3 = "Mismatch number of fields in data on file line number 3";

class HostileFiles : public HostileData, public ::testing::WithParamInterface<HostileFile> {};

TEST_P(HostileFiles, EndInTheirTableOrInAMessageAndNeverLoseTheEarlierOne) {
    const HostileFile& c = GetParam();
    const Handles before = s.record();
    const TextList logBefore = s.log();
    // The row that is cancelled at "Are the data okay?" says so; closing the question goes on.
    s.scripted.questionAnswers.push_back(c.titles == kCancelled ? "cancel" : "");
    beforeDataFileRead = c.whileRead;
    load(c.content());
    beforeDataFileRead = nullptr;

    ASSERT_EQ(titles(), c.titles);
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
    EXPECT_TRUE(s.scripted.progress.empty() || s.scripted.progress.back().kind == "close");
    const Handles after = s.record();
    const bool refused = c.titles.back() == kFailed;
    if (!c.message.empty()) {
        EXPECT_EQ(s.scripted.dialogs[s.scripted.dialogs.size() - (refused ? 2 : 1)].text.at(0), c.message);
    }
    if (refused) {
        // The earlier record, word for word, and the window still showing its file.
        EXPECT_EQ(after, before);
        EXPECT_EQ(s.control("text_filename").string, TextList{kEarlierFile});
        EXPECT_EQ(s.control("popupmenu_header_subject").string.size(), 2 + before.header.size());
        // Only the mismatch message writes to the log: a blank line and its two lines.
        const bool mismatch = c.titles == kMismatch;
        EXPECT_EQ(s.log().size(), logBefore.size() + (mismatch ? 3 : 0));
    } else {
        EXPECT_EQ(s.control("text_filename").string, TextList{"hostile.txt"});
        const TextList& log = s.log();
        EXPECT_NE(std::find(log.begin(), log.end(), "Successfully loaded the data from file: hostile.txt"),
                  log.end());
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
const std::string kUtf16Table = "Speaker\tF1\r\nm01\t500\r\n";
// UTF-8 labels: ɪə, ɛə, ɛ/ə, é, and Höhe as a header name.
const std::string kUtf8Labels =
    "Speaker\tVowel\tH\xC3\xB6he\nm01\t\xC9\xAA\xC9\x99\t1\nm01\t\xC9\x9B\xC9\x99\t2\n"
    "m01\t\xC9\x9B/\xC9\x99\t3\nm01\t\xC3\xA9\t4\n";
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
            [](const Handles& h) { EXPECT_TRUE(h.dataColumn.at("F1").empty()); }},
        HostileFile{"ReservedWordAsName", [] { return "Vowel\tend\nae\t1\n"s; }, kIllegal,
                    kIllegalText + "end"},
        HostileFile{"CancelledAtTheQuestion", [] { return "Speaker\tF1\nm01\t500\n"s; }, kCancelled},
        HostileFile{"LineOfBlanksUnderOneName", [] { return "Note\n  \n"s; }, kAsked, "",
                    [](const Handles& h) { EXPECT_EQ(last_cell(h, "Note"), "_"); }},
        HostileFile{"LineOfBlanksUnderTwoNames", [] { return "Speaker\tF1\n  \n"s; }, kMismatch,
                    "Mismatch number of fields in data on file line number 2"},
        // Bytes no text file holds: a picture, sound samples, one NUL in a cell; UTF-16 text (a NUL in every
        // other byte, or a byte-order mark) is refused with a message of its own.
        HostileFile{"BinaryFile",
                    [] { return "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0"s + repeated("\xff\x00", 512); },
                    kRefused},
        HostileFile{
            "Utf16WithByteOrderMark",
            [] { return "\xff\xfeS\0p\0e\0a\0k\0e\0r\0\t\0F\0001\0\r\0\n\0m\0000\0001\0\t\0005\0\r\0\n\0"s; },
            kUtf16, kUtf16Text},
        HostileFile{"Utf16BigEndianWithByteOrderMark", [] { return utf16(kUtf16Table, true, true); }, kUtf16,
                    kUtf16Text},
        HostileFile{"Utf16WithoutByteOrderMark", [] { return utf16(kUtf16Table, false, false); }, kUtf16,
                    kUtf16Text},
        HostileFile{"Utf16BigEndianWithoutByteOrderMark", [] { return utf16(kUtf16Table, true, false); },
                    kUtf16, kUtf16Text},
        // Small 16-bit numbers have a NUL in every other byte too, but also pairs of NULs.
        HostileFile{"SixteenBitSamples",
                    [] {
                        std::string samples = "RIFF";
                        for (char i = 0; i < 64; ++i)
                            samples += std::string{static_cast<char>(i % 8), '\0'};
                        return samples;
                    },
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
        // CRLF line ends; kept inside it, as every non-ASCII character.
        HostileFile{"ByteOrderMarkAndCrlf",
                    [] { return "\xef\xbb\xbfSpeaker\tF1\r\nm01\t500\r\n\xef\xbb\xbfm02\t600\r\n"s; }, kAsked,
                    "", [](const Handles& h) { EXPECT_EQ(last_cell(h, "Speaker"), "\xef\xbb\xbfm02"); }},
        // Carriage returns alone end no line: the whole file is its header line, and each of its six pieces
        // is a header name.
        HostileFile{"CarriageReturnLineEnds", [] { return "Speaker\tVowel\rs1\ti\rs2\ta\r"s; }, kAsked, "",
                    [](const Handles& h) { EXPECT_EQ(h.header.size(), 6u); }},
        // Labels of any script keep their spelling and stay distinct; ASCII punctuation still becomes "_".
        HostileFile{"Utf8Labels", [] { return kUtf8Labels; }, kAsked, "",
                    [](const Handles& h) {
                        EXPECT_EQ(h.header.back(), "H\xC3\xB6he");
                        EXPECT_EQ(h.dataColumn.at("Vowel"), (TextList{"\xC9\xAA\xC9\x99", "\xC9\x9B\xC9\x99",
                                                                      "\xC9\x9B_\xC9\x99", "\xC3\xA9"}));
                    }},
        // Not UTF-8: read as Latin-1 with a warning naming the first such line (empty lines count). Stray
        // bytes, truncated and overlong sequences are one character each: a header ending in a truncated
        // sequence, F\303, loads as FÃ; \001 is ASCII punctuation and becomes "_".
        HostileFile{"Latin1File", [] { return "Sprecher\tVokal\tH\xF6he\nm01\t\xE6\t500\n"s; }, kLatin1,
                    latin1_warning("1"),
                    [](const Handles& h) {
                        EXPECT_EQ(h.header.back(), "H\xC3\xB6he");
                        EXPECT_EQ(last_cell(h, "Vokal"), "\xC3\xA6");
                    }},
        HostileFile{"Latin1AfterUtf8Lines",
                    [] { return "Speaker\tVowel\n\nm01\t\xC3\xA6\r\nm02\t\xE6\r\n"s; }, kLatin1,
                    latin1_warning("4"),
                    [](const Handles& h) {
                        EXPECT_EQ(h.dataColumn.at("Vowel"), (TextList{"\xC3\x83\xC2\xA6", "\xC3\xA6"}));
                    }},
        HostileFile{"InvalidUtf8", [] { return kInvalidUtf8 + "m02\t\355\240\200\t\n"; }, kMismatch, kLine3},
        HostileFile{"InvalidUtf8Loading", [] { return kInvalidUtf8; }, kLatin1, latin1_warning("1"),
                    [](const Handles& h) { EXPECT_EQ(last_cell(h, "F\xC3\x83"), "\xC3\x80\xC2\x80"); }},
        // Read while another program writes it: refused, whether the size or only the time changes.
        HostileFile{
            "GrowsWhileRead",
            [] { return "Speaker\tF1\nm01\t500\n"s; },
            kChanged,
            kChangedText,
            {},
            [](const std::string& path) { write_contents(path, "Speaker\tF1\nm01\t500\nm02\t600\n"); }},
        HostileFile{"TouchedWhileRead",
                    [] { return "Speaker\tF1\nm01\t500\n"s; },
                    kChanged,
                    kChangedText,
                    {},
                    [](const std::string& path) {
                        std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                                                   std::chrono::hours(1));
                    }},
        HostileFile{"TenThousandColumns",
                    [] { return numbered("c", 10000, "\t") + "\n" + numbered("v", 10000, "\t") + "\n"; },
                    kAsked, "", [](const Handles& h) { EXPECT_EQ(last_cell(h, "c10000"), "v10000"); }},
        HostileFile{"TenThousandDuplicateNames",
                    [] { return repeated("A\t", 9999) + "A\n" + numbered("v", 10000, "\t") + "\n"; },
                    kDuplicate, kTwoNamedA},
        HostileFile{"HeaderNameOf63Characters", [] { return "F" + repeated("1", 62) + "\tF2\n1\t2\n"; },
                    kAsked},
        HostileFile{"HeaderNameOf64Characters", [] { return kName64 + "\tF2\n1\t2\n"; }, kIllegal,
                    kIllegalText + kName64},
        HostileFile{"DuplicateHeaderNames", [] { return "A\tB\tA\n1\t2\t3\n"s; }, kDuplicate, kTwoNamedA},
        HostileFile{
            "DuplicateAfterCleaning", [] { return "F1 (Hz)\tF1_(Hz)\n1\t2\n"s; }, kDuplicate,
            "Two columns are named F1__Hz_ once blanks and punctuation are turned into \"_\": \"F1 (Hz)\" "
            "and \"F1_(Hz)\". Please rename one of them: each column needs a name of its own."}),
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

// ɪə and ɛə from the file to the groups of step 3: two vowels, two types, two groups.
TEST_F(HostileData, Utf8VowelLabelsStayDistinctUpToTheGroups) {
    run_steps_1_to_3(s, {.file = "ipa_vowels.txt", .withDuration = false});
    const Handles h = s.record();
    const TextList vowels = {"\xC9\xAA\xC9\x99", "\xC9\x9B\xC9\x99", "\xC3\xA6"};
    EXPECT_EQ(h.subgroup.at("Vowel"), vowels);
    EXPECT_EQ(h.dataSubject.at("s1").vowelTargets.keys(), vowels);
    for (std::size_t g = 0; g < 3; ++g)
        EXPECT_EQ(h.v.at(g)->data.rows, 3u) << vowels[g];
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
