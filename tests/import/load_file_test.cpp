// Loading a data file through the "Load File" button on the headless main window.
#include "support/session.h"
#include "app/log.h"
#include "support/test_folder.h"
#include "core/number.h"
#include "import/load_file.h"

#include "import_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;
using Titles = std::vector<std::string>;

const std::string kDataDir = TARVIK_TEST_DATA_DIR;

// The table of tests/data/import_basic.txt, derived by hand: header "F1 (Hz)" and "Phrase Duration" lose
// their blank and brackets; file line 3 is empty; "New York" joins, the empty F1 cell and the lone "-" fill
// with NULL, "+" and "/" become "_", the blanks around 512 become "_".
const TextList kBasicHeader = {"Speaker", "Vowel", "F1__Hz_", "F2", "Duration", "Phrase_Duration"};
const TextList kBasicLines = {"m01\tae\t663\t2012\t323\t1.5e-3", "m02\tNew_York\tNULL\t1871\t250\t1e_3",
                              "w01\ta_b\t605\tNULL\t344\t_512_"};

// How a dialog showed: kind, title, text, modal, waited for.
using Shown = std::tuple<std::string, std::string, TextList, bool, bool>;
Shown shown(const DialogRecord& d) {
    return {d.kind, d.title, d.text, d.modal, d.waited};
}

FileChoice data_file(const std::string& name) {
    return {name, kDataDir};
}

class LoadFile : public ::testing::Test {
  protected:
    void SetUp() override {
        s.start();
        s.fig().subscribe([this](const std::string&, Property p) {
            if (p == Property::Pointer)
                pointers.push_back(s.fig().window().pointer);
        });
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir.empty())
            fs::remove_all(dir, ec);
    }
    // A file written for this test, in a folder of its own.
    FileChoice write(const std::string& name, const std::string& content) {
        if (dir.empty())
            dir = make_test_folder("tarvik_import");
        std::ofstream(dir / name, std::ios::binary) << content;
        return {name, dir.string()};
    }
    // Presses "Load File", choosing `file` in the file dialog.
    void press_load(const std::optional<FileChoice>& file) {
        s.scripted.fileAnswers.push_back(file);
        dispatch_event(s.rt, "button_load_file");
    }
    // The titles of the dialogs shown, the file dialog as "(open)".
    Titles titles() const {
        Titles out;
        for (const auto& d : s.scripted.dialogs)
            out.push_back(d.kind == "open" ? "(open)" : d.title);
        return out;
    }
    void clear_recorded() {
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
        pointers.clear();
    }

    Session s;
    std::vector<Pointer> pointers;
    fs::path dir;
};

// ---- successful loads -------------------------------------------------------------------------------

TEST_F(LoadFile, AsksAboutTheHeaderThenStoresTheCleanedTable) {
    press_load(data_file("import_basic.txt"));

    ASSERT_EQ(titles(), (Titles{"(open)", "Are the data okay?"}));
    EXPECT_EQ(s.scripted.dialogs[0].text, TextList{"*.txt"});
    const DialogRecord& q = s.scripted.dialogs[1];
    EXPECT_EQ(q.kind, "question");
    EXPECT_EQ(
        q.text,
        TextList{"Would you like to group the data into these headers?\n \nSpeaker\nVowel\nF1__Hz_\nF2\n"
                 "Duration\nPhrase_Duration\n "});
    EXPECT_EQ(q.buttons, (TextList{"continue", "cancel", "continue"}));

    const Handles h = s.record();
    EXPECT_EQ(h.header, kBasicHeader);
    ASSERT_TRUE(h.dataLine);
    EXPECT_EQ(*h.dataLine, kBasicLines);
    ASSERT_EQ(h.dataRow.size(), 3u);
    EXPECT_EQ(h.dataRow[1].at("Vowel"), "New_York");
    EXPECT_EQ(h.dataRow[1].at("F1__Hz_"), "NULL");
    EXPECT_EQ(h.dataRow[2].at("Vowel"), "a_b");
    EXPECT_EQ(h.dataColumn.keys(), kBasicHeader);
    EXPECT_EQ(h.dataColumn.at("F2"), (TextList{"2012", "1871", "NULL"}));
    const TextList& phrase = h.dataColumn.at("Phrase_Duration");
    EXPECT_EQ(phrase, (TextList{"1.5e-3", "1e_3", "_512_"}));
    // Cells read as numbers only when wholly numeric.
    EXPECT_DOUBLE_EQ(to_number(phrase[0]), 0.0015);
    EXPECT_TRUE(std::isnan(to_number(phrase[1]))); // written 1e+3
    EXPECT_TRUE(std::isnan(to_number(phrase[2]))); // written " 512 "
    ASSERT_TRUE(h.waitbar);
    EXPECT_EQ(h.waitbar->tag, "waitbar");
}

TEST_F(LoadFile, ShowsTheFileOpensTheMappingAndReportsProgressPerRow) {
    EXPECT_EQ(s.control("button_continue_to_normalize").enable, Enable::Off);
    s.scripted.questionAnswers.push_back(""); // closing the question goes on
    press_load(data_file("import_basic.txt"));

    EXPECT_EQ(s.control("text_filename").string, TextList{"import_basic.txt"});
    EXPECT_EQ(s.control("button_continue_to_normalize").enable, Enable::On);
    TextList items = {"(please select)", "(not available)"};
    items.insert(items.end(), kBasicHeader.begin(), kBasicHeader.end());
    for (const char* tag : kRolePopups) {
        EXPECT_EQ(s.control(tag).string, items) << tag;
        EXPECT_EQ(s.control(tag).enable, Enable::On) << tag;
    }
    EXPECT_EQ(s.log().back(), "Successfully loaded the data from file: import_basic.txt");

    const auto& p = s.scripted.progress;
    ASSERT_EQ(p.size(), 5u); // create, one update per row (R = 3), close
    EXPECT_EQ(p[0].kind, "create");
    EXPECT_EQ(p[0].fraction, 0.0);
    EXPECT_EQ(p[0].message, "One moment while data are loaded...");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(p[i].kind, "update");
        EXPECT_DOUBLE_EQ(p[i].fraction, i / 3.0);
        EXPECT_EQ(p[i].id, p[0].id);
    }
    EXPECT_EQ(p[4].kind, "close");
    EXPECT_EQ(pointers, (std::vector<Pointer>{Pointer::Watch, Pointer::Arrow}));
}

TEST_F(LoadFile, HeaderOnlyFileLoadsAnEmptyTable) {
    press_load(data_file("import_header_only.txt"));
    const Handles h = s.record();
    EXPECT_EQ(h.header, (TextList{"Speaker", "Vowel", "F1", "F2"}));
    EXPECT_TRUE(h.dataRow.empty());
    EXPECT_TRUE(h.dataLine && h.dataLine->empty());
    EXPECT_EQ(h.dataColumn.keys(), h.header);
    EXPECT_TRUE(h.dataColumn.at("F1").empty());
    EXPECT_EQ(s.control("button_continue_to_normalize").enable, Enable::On);
    ASSERT_EQ(s.scripted.progress.size(), 2u);
    EXPECT_EQ(s.scripted.progress[1].kind, "close");

    s.scripted.fileAnswers.push_back(data_file("import_header_only.txt"));
    EXPECT_EQ(load_file(s.rt, s.record()).status, 2);
}

TEST_F(LoadFile, NonAsciiLettersAndStrayBytesBecomeOneUnderscoreEach) {
    press_load(data_file("import_utf8.txt"));
    const Handles h = s.record();
    EXPECT_EQ(h.header, (TextList{"Sprecher", "H_he", "Wert"}));
    EXPECT_EQ(h.dataColumn.at("H_he"), (TextList{"Gr__e", "NULL"}));
    EXPECT_EQ(h.dataColumn.at("Wert"), (TextList{"5_", "7"}));
}

TEST_F(LoadFile, ExampleStudyLoads) {
    press_load(FileChoice{"hillenbrand.txt", kDataDir + "/../../examples"});
    const Handles h = s.record();
    EXPECT_EQ(h.header, (TextList{"Speaker", "Vowel", "F1", "F2", "Duration", "Group"}));
    EXPECT_EQ(h.dataRow.size(), 1658u);
    EXPECT_EQ(h.dataColumn.at("F1").size(), 1658u);
    EXPECT_EQ(h.dataRow.front().at("Speaker"), "m01");
    EXPECT_EQ(h.dataRow.front().at("F1"), "663");
    EXPECT_DOUBLE_EQ(s.scripted.progress[s.scripted.progress.size() - 2].fraction, 1.0);
}

TEST_F(LoadFile, ReloadReplacesEveryColumnAndKeepsTheSelectionsThatStillFit) {
    press_load(data_file("import_basic.txt"));
    s.fig().set_value("popupmenu_header_subject", 3.0);
    s.fig().set_value("popupmenu_header_f2", 6.0);
    press_load(data_file("import_basic.txt"));
    EXPECT_EQ(first_value(s.control("popupmenu_header_subject")), 3.0);
    EXPECT_EQ(first_value(s.control("popupmenu_header_f2")), 6.0);

    s.fig().set_value("popupmenu_header_phraseduration", 8.0); // Phrase_Duration
    press_load(data_file("import_short.txt"));                 // 3 names: 5 items
    EXPECT_EQ(first_value(s.control("popupmenu_header_subject")), 3.0);
    EXPECT_EQ(first_value(s.control("popupmenu_header_f2")), 1.0);
    EXPECT_EQ(first_value(s.control("popupmenu_header_phraseduration")), 1.0);
    const Handles h = s.record();
    EXPECT_EQ(h.header, (TextList{"Speaker", "Vowel", "F1"}));
    EXPECT_EQ(h.dataColumn.keys(), h.header);
    EXPECT_EQ(h.dataRow.size(), 2u);
}

// ---- cancelled and failed loads ---------------------------------------------------------------------

TEST_F(LoadFile, CancelledFileDialogDoesNothing) {
    const Handles before = s.record();
    s.scripted.fileAnswers.push_back(std::nullopt);
    EXPECT_EQ(load_file(s.rt, before).status, 1);
    press_load(std::nullopt);
    EXPECT_EQ(titles(), (Titles{"(open)", "(open)"}));
    EXPECT_EQ(s.record(), before);
    EXPECT_TRUE(s.scripted.progress.empty());
}

TEST_F(LoadFile, AMissingFileOrAFolderSaysSoThenFails) {
    for (const FileChoice& file : {FileChoice{"missing.txt", kDataDir},
                                   FileChoice{"data", fs::path(kDataDir).parent_path().string()}}) {
        clear_recorded();
        press_load(file);
        ASSERT_EQ(s.scripted.dialogs.size(), 3u);
        EXPECT_EQ(shown(s.scripted.dialogs[1]),
                  Shown("message", "Could not open file",
                        {"Could not find the file or filepath: " + file.name}, false, true));
        EXPECT_EQ(shown(s.scripted.dialogs[2]),
                  Shown("message", "Data failed to load", {kFailedText}, true, true));
        EXPECT_EQ(s.scripted.dialogs[1].icon, Icon::Warn);
        EXPECT_EQ(s.scripted.dialogs[2].icon, Icon::Warn);
    }
}

TEST_F(LoadFile, AnIllegalHeaderNameIsNamedThenTheLoadFails) {
    // With carriage returns alone the file is one line: the data are read as further names, and "500" is
    // not a name.
    using Case = std::pair<std::string, std::string>;
    for (const auto& [content, piece] :
         {Case{"Speaker\t1st\tF1\nm01\t1\t2\n", "1st"}, Case{"Speaker\tF1\rm01\t500\r", "500"}}) {
        clear_recorded();
        press_load(write("illegal.txt", content));
        ASSERT_EQ(titles(), (Titles{"(open)", "Illegal field name", "Data failed to load"}));
        EXPECT_EQ(shown(s.scripted.dialogs[1]),
                  Shown("message", "Illegal field name",
                        {"Illegal header name. Please rename the header field: " + piece,
                         "If the field is a number, make sure you actually have a header row."},
                        true, true));
        EXPECT_EQ(s.scripted.dialogs[1].icon, Icon::Warn);
    }
}

TEST_F(LoadFile, FieldCountMismatchNamesTheFileLine) {
    const Handles before = s.record();
    press_load(data_file("import_mismatch.txt"));
    ASSERT_EQ(titles(),
              (Titles{"(open)", "Are the data okay?", "Data File Format Error", "Data failed to load"}));
    // Header line 1, empty lines 3 and 5: "m03", tab, tab, tab, "400" is file line 6 and, with its two
    // inner empty cells merged into one NULL, has 3 cells for 4 names.
    EXPECT_EQ(shown(s.scripted.dialogs[2]),
              Shown("message", "Data File Format Error",
                    {"Mismatch number of fields in data on file line number 6"}, false, true));
    EXPECT_EQ(s.scripted.dialogs[2].icon, Icon::Warn);

    const TextList& log = s.log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], "");
    EXPECT_EQ(log[log.size() - 2],
              "Failed to load import_mismatch.txt due to mismatched number of fields on row number 6: ");
    EXPECT_EQ(log.back(), "m03\tNULL\t400");
    // The record stored with the log entry keeps the earlier (here: empty) table.
    const Handles stored = s.record();
    EXPECT_EQ(stored.header, before.header);
    EXPECT_EQ(stored.dataLine, before.dataLine);
    EXPECT_EQ(stored.dataColumn, before.dataColumn);

    ASSERT_EQ(s.scripted.progress.size(), 2u);
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    EXPECT_EQ(pointers, (std::vector<Pointer>{Pointer::Watch, Pointer::Arrow}));
    EXPECT_EQ(s.control("button_continue_to_normalize").enable, Enable::Off);
}

// ---- failures inside the load -----------------------------------------------------------------------

// Progress reports that break down on the first row.
class BrokenProgress : public ScriptedServices {
  public:
    void update(ProgressRef ref, double fraction, const std::optional<std::string>& message) override {
        ScriptedServices::update(ref, fraction, message);
        throw std::runtime_error("progress broke");
    }
};

TEST(LoadFileFailure, ErrorInsideClosesProgressRestoresPointerAndReports) {
    BrokenProgress services;
    Runtime rt(services.services());
    zerivizi_export(rt, {std::string("visible"), std::string("off")});
    const Handles before = *rt.figure().retrieve();

    services.fileAnswers.push_back(data_file("import_basic.txt"));
    button_load_file_Callback(rt, ControlRef{"button_load_file"}, before);

    ASSERT_EQ(services.dialogs.size(), 4u);
    EXPECT_EQ(shown(services.dialogs[2]), Shown("warning", "Let Quillon know: \"load_file\"",
                                                {"Function Error:\n\n progress broke"}, true, true));
    EXPECT_EQ(services.dialogs[3].title, "Data failed to load");
    EXPECT_EQ(services.progress.back().kind, "close");
    EXPECT_EQ(rt.figure().window().pointer, Pointer::Arrow);
    EXPECT_EQ(*rt.figure().retrieve(), before);
    EXPECT_EQ(rt.figure().control("button_continue_to_normalize").enable, Enable::Off);
}

TEST_F(LoadFile, ErrorAfterTheTableWasReadPutsTheEarlierTableBack) {
    press_load(data_file("import_basic.txt"));
    const Handles loaded = s.record();
    clear_recorded();
    // The window refuses to show the new file's name, after the new table has been built.
    s.fig().subscribe([](const std::string& tag, Property) {
        if (tag == "text_filename")
            throw std::runtime_error("display gone");
    });

    s.scripted.fileAnswers.push_back(data_file("import_short.txt"));
    const HandlesAndStatus r = load_file(s.rt, loaded);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.handles.header, loaded.header);
    EXPECT_EQ(r.handles.dataLine, loaded.dataLine);
    EXPECT_EQ(r.handles.dataRow, loaded.dataRow);
    EXPECT_EQ(r.handles.dataColumn, loaded.dataColumn);
    EXPECT_EQ(s.record(), loaded);
    EXPECT_EQ(s.scripted.last().text, TextList{"Function Error:\n\n display gone"});
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    EXPECT_EQ(pointers.back(), Pointer::Arrow);
}

// A file dialog during which the user presses "Load File" again.
class ImpatientUser : public ScriptedServices {
  public:
    std::optional<FileChoice> open_file(const std::string& filter, const std::string& title) override {
        if (!pressed) {
            pressed = true;
            button_load_file_Callback(*rt, ControlRef{"button_load_file"}, *rt->figure().retrieve());
        }
        return ScriptedServices::open_file(filter, title);
    }
    Runtime* rt = nullptr;
    bool pressed = false;
};

TEST(LoadFileConcurrency, ClickDuringALoadIsDiscarded) {
    ImpatientUser services;
    Runtime rt(services.services());
    services.rt = &rt;
    zerivizi_export(rt, {std::string("visible"), std::string("off")});
    services.fileAnswers.push_back(data_file("import_short.txt"));
    button_load_file_Callback(rt, ControlRef{"button_load_file"}, *rt.figure().retrieve());

    EXPECT_EQ(services.dialogs.front().kind, "open");
    EXPECT_EQ(std::count_if(services.dialogs.begin(), services.dialogs.end(),
                            [](const DialogRecord& d) { return d.kind == "open"; }),
              1);
    EXPECT_EQ(rt.figure().retrieve()->dataRow.size(), 2u);
}

// ---- the smaller operations -------------------------------------------------------------------------

using LoadOperations = StartedSession;

TEST_F(LoadOperations, VerifyNumberCellsCountsAFinalEmptyPiece) {
    EXPECT_TRUE(verifyNumberCells(s.rt, "a\tb", 2));
    EXPECT_TRUE(verifyNumberCells(s.rt, "a\t", 2));
    EXPECT_TRUE(verifyNumberCells(s.rt, "\ta", 1));
    EXPECT_FALSE(verifyNumberCells(s.rt, "a\tb\tc", 2));
    EXPECT_FALSE(verifyNumberCells(s.rt, "", 1));
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(LoadOperations, PopulateHeaderPopupmenusFillsEnablesAndStoresOrReportsWithoutWaiting) {
    Handles h = s.record();
    h.header = {"Subject", "F1"};
    EXPECT_EQ(populate_header_popupmenus(s.rt, h), h);
    EXPECT_EQ(s.record(), h);
    for (const char* tag : kRolePopups) {
        EXPECT_EQ(s.control(tag).string, (TextList{"(please select)", "(not available)", "Subject", "F1"}));
        EXPECT_EQ(s.control(tag).enable, Enable::On);
        EXPECT_EQ(first_value(s.control(tag)), 1.0);
    }

    s.rt.delete_main_window();
    EXPECT_EQ(populate_header_popupmenus(s.rt, h), h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Let Quillon know: \"populate_header_popupmenus\"");
    EXPECT_TRUE(s.scripted.last().modal);
    EXPECT_FALSE(s.scripted.last().waited);
}

} // namespace
} // namespace tarvik::testing
