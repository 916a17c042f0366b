// Loading a data file through the "Load File" button on the headless main window.
#include "import/load_file.h"

#include "import_session.h"

#include <stdexcept>

namespace tarvik::testing {
namespace {

using Titles = std::vector<std::string>;

// The table of tests/data/import_basic.txt, derived by hand: header "F1 (Hz)" and "Phrase Duration" lose
// their blank and brackets; file line 3 is empty; "New York" joins, the empty F1 cell and the lone "-" fill
// with NULL, "+" and "/" become "_", the blanks around 512 become "_".
const TextList kBasicHeader = {"Speaker", "Vowel", "F1__Hz_", "F2", "Duration", "Phrase_Duration"};

class LoadFile : public ImportSession {
  protected:
    void SetUp() override {
        ImportSession::SetUp();
        s.fig().subscribe([this](const std::string&, Property p) {
            if (p == Property::Pointer)
                pointers.push_back(s.fig().window().pointer);
        });
    }
    std::vector<Pointer> pointers;
};

TEST_F(LoadFile, AsksAboutTheHeaderThenStoresTheCleanedTableAndOpensTheMapping) {
    press_load(data_file("import_basic.txt"));

    ASSERT_EQ(titles(), (Titles{"(open)", "Are the data okay?"}));
    EXPECT_EQ(s.scripted.dialogs[0].text, TextList{"*.txt"});
    const DialogRecord& q = s.scripted.dialogs[1];
    EXPECT_EQ(q.text, TextList{"Would you like to group the data into these headers?\n \nSpeaker\nVowel\n"
                               "F1__Hz_\nF2\nDuration\nPhrase_Duration\n "});
    EXPECT_EQ(q.buttons, (TextList{"continue", "cancel", "continue"}));

    const Handles h = s.record();
    EXPECT_EQ(h.header, kBasicHeader);
    EXPECT_EQ(h.dataColumn.at("Vowel"), (TextList{"ae", "New_York", "a_b"}));
    EXPECT_EQ(h.dataColumn.at("F2"), (TextList{"2012", "1871", "NULL"}));
    EXPECT_EQ(h.dataColumn.at("Phrase_Duration"), (TextList{"1.5e-3", "1e_3", "_512_"}));
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
    EXPECT_EQ(p[0].message, "One moment while data are loaded...");
    EXPECT_DOUBLE_EQ(p[1].fraction, 1 / 3.0);
    EXPECT_DOUBLE_EQ(p[3].fraction, 1.0);
    EXPECT_EQ(p[4].kind, "close");
    EXPECT_EQ(pointers, (std::vector<Pointer>{Pointer::Watch, Pointer::Arrow}));
}

TEST_F(LoadFile, ReloadReplacesEveryColumnAndKeepsTheSelectionsThatStillFit) {
    press_load(data_file("import_basic.txt"));
    s.fig().set_value("popupmenu_header_subject", 3.0);
    s.fig().set_value("popupmenu_header_f2", 6.0);
    press_load(data_file("import_short.txt")); // 3 names: 5 items, so F2's entry 6 no longer exists
    EXPECT_EQ(first_value(s.control("popupmenu_header_subject")), 3.0);
    EXPECT_EQ(first_value(s.control("popupmenu_header_f2")), 1.0);
    const Handles h = s.record();
    EXPECT_EQ(h.header, (TextList{"Speaker", "Vowel", "F1"}));
    EXPECT_EQ(h.dataColumn.keys(), h.header);
    EXPECT_EQ(h.dataColumn.at("F1").size(), 2u);
}

TEST_F(LoadFile, CancelledFileDialogDoesNothing) {
    const Handles before = s.record();
    const std::vector<Control> controls = s.fig().objects();
    press_load(std::nullopt);
    EXPECT_EQ(titles(), Titles{"(open)"});
    EXPECT_EQ(s.record(), before);
    EXPECT_EQ(s.fig().objects(), controls);
}

TEST_F(LoadFile, AMissingFileOrAFolderSaysSoThenFails) {
    for (const FileChoice& file :
         {data_file("missing.txt"), FileChoice{"data", TARVIK_TEST_DATA_DIR "/.."}}) {
        forget_dialogs();
        press_load(file);
        ASSERT_EQ(s.scripted.dialogs.size(), 3u);
        EXPECT_EQ(shown(s.scripted.dialogs[1]),
                  Shown("message", "Could not open file",
                        {"Could not find the file or filepath: " + file.name}, Icon::Warn, false, true));
        EXPECT_EQ(
            shown(s.scripted.dialogs[2]),
            Shown("message", "Data failed to load",
                  {"The file you selected failed to properly load. You should consult the help pages in "
                   "order to make sure your tab delimited file is properly formatted."},
                  Icon::Warn, true, true));
    }
}

TEST_F(LoadFile, AnIllegalHeaderNameIsNamedThenTheLoadFails) {
    // Two tabs at the end of the header give an empty name.
    for (const auto& [content, piece] : std::vector<std::pair<std::string, std::string>>{
             {"Speaker\t1st\tF1\nm01\t1\t2\n", "1st"}, {"Speaker\tF1\t\t\nm01\t1\n", ""}}) {
        forget_dialogs();
        press_load(write("illegal.txt", content));
        ASSERT_EQ(titles(), (Titles{"(open)", "Illegal field name", "Data failed to load"}));
        EXPECT_EQ(shown(s.scripted.dialogs[1]),
                  Shown("message", "Illegal field name",
                        {"Illegal header name. Please rename the header field: " + piece,
                         "If the field is a number, make sure you actually have a header row."},
                        Icon::Warn, true, true));
    }
}

TEST_F(LoadFile, FieldCountMismatchNamesTheFileLine) {
    press_load(data_file("import_mismatch.txt"));
    ASSERT_EQ(titles(),
              (Titles{"(open)", "Are the data okay?", "Data File Format Error", "Data failed to load"}));
    // Header line 1, empty lines 3 and 5: "m03", tab, tab, tab, "400" is file line 6 and, with its two
    // inner empty cells merged into one NULL, has 3 cells for 4 names.
    EXPECT_EQ(shown(s.scripted.dialogs[2]),
              Shown("message", "Data File Format Error",
                    {"Mismatch number of fields in data on file line number 6"}, Icon::Warn, false, true));
    const TextList& log = s.log();
    EXPECT_EQ(
        TextList(log.end() - 3, log.end()),
        (TextList{"",
                  "Failed to load import_mismatch.txt due to mismatched number of fields on row number 6: ",
                  "m03\tNULL\t400"}));
}

TEST_F(LoadFile, ErrorAfterTheTableWasReadIsReportedAndPutsTheEarlierTableBack) {
    press_load(data_file("import_basic.txt"));
    const Handles loaded = s.record();
    forget_dialogs();
    // The window refuses to show the new file's name, after the new table has been built.
    s.fig().subscribe([](const std::string& tag, Property) {
        if (tag == "text_filename")
            throw std::runtime_error("display gone");
    });
    s.scripted.fileAnswers.push_back(data_file("import_short.txt"));
    const HandlesAndStatus r = load_file(s.rt, loaded);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.handles, loaded);
    EXPECT_EQ(s.record(), loaded);
    EXPECT_EQ(failure_report(s.scripted.last(), "Let Quillon know: \"load_file\"", "Function Error:\n\n "),
              "display gone");
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    EXPECT_EQ(pointers.back(), Pointer::Arrow);
}

// "Load File" pressed again while a load runs (here when the load sets the busy pointer): the second
// press is discarded, so no second file dialog opens.
TEST_F(LoadFile, ClickDuringALoadIsDiscarded) {
    s.fig().subscribe([this](const std::string&, Property p) {
        if (p == Property::Pointer && pointers.size() == 1)
            button_load_file_Callback(s.rt, ControlRef{"button_load_file"}, s.record());
    });
    s.scripted.fileAnswers = {data_file("import_short.txt"), data_file("import_basic.txt")};
    dispatch_event(s.rt, "button_load_file");
    EXPECT_EQ(titles(), (Titles{"(open)", "Are the data okay?"}));
    EXPECT_EQ(s.record().dataColumn.at("F1").size(), 2u);
}

TEST_F(LoadFile, PopulateHeaderPopupmenusReportsWithoutWaiting) {
    const Handles h = s.record();
    s.rt.delete_main_window();
    EXPECT_EQ(populate_header_popupmenus(s.rt, h), h);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    failure_report(s.scripted.last(), "Let Quillon know: \"populate_header_popupmenus\"",
                   "Function Error:\n\n ", false);
}

} // namespace
} // namespace tarvik::testing
