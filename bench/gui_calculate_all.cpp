// The real main window of this build, driven through its own controls: the Hillenbrand study loaded,
// z-scored and cut into the 48 groups Vowel x Group, then "calculate all group overlaps" in 2D and in 3D.
// Prints "2D <seconds> s" and "3D <seconds> s", each from the press to the last result shown. Dialogs
// that would ask the user are answered by the scripted service; progress dialogs and the pool thread of
// the work are the real ones.
#include "app/entry.h"
#include "qt/main_window_view.h"
#include "qt/qt_services.h"
#include "support/window_driver.h"
#include "ui/menus.h"
#include "ui/scripted_services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    using namespace tarvik;
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " EXAMPLES_FOLDER\n";
        return 2;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ScriptedServices scripted;
    scripted.answerFirstButton = true;
    QtServices qt;
    Services services = scripted.services();
    services.progress = &qt;   // the progress dialogs are part of what the window costs,
    services.background = &qt; // and so is the work on a pool thread while the window answers
    Runtime rt{services};
    QPointer<MainWindowView> view;
    rt.onWindowCreated = [&](const std::shared_ptr<Figure>& f) { view = new MainWindowView(rt, f); };
    try {
        zerivizi_export(rt, {});
        if (!view || !QTest::qWaitForWindowExposed(view))
            throw std::runtime_error("the main window did not come up");
        const testing::WindowDriver d{view};

        scripted.fileAnswers.push_back(FileChoice{"hillenbrand.txt", argv[1]});
        d.click("button_load_file");
        for (const auto& [popup, column] : {std::pair{"popupmenu_header_subject", "Speaker"},
                                            {"popupmenu_header_vowel", "Vowel"}, {"popupmenu_header_f1", "F1"},
                                            {"popupmenu_header_f2", "F2"}, {"popupmenu_header_duration", "Duration"},
                                            {"popupmenu_header_phraseduration", "(not available)"}})
            d.choose(popup, column);
        d.click("button_continue_to_normalize");
        // The entries by their meaning, so that a label's wording does not stop the run.
        const auto label = [](const auto& menu, auto meaning) {
            return std::string(menu_entry(menu, menu_value(menu, meaning))->label);
        };
        d.choose("popupmenu_normalize_spectral1", label(kSpectralMenu, SpectralMethod::ZScore).c_str());
        d.choose("popupmenu_normalize_spectral2", label(kSpectralMenu, SpectralMethod::ZScore).c_str());
        d.choose("popupmenu_normalize_duration", label(kDurationMenu, DurationMethod::ZScore).c_str());
        d.click("button_continue_to_grouping");

        int g = 0;
        for (const char* vowel : {"ae", "ah", "aw", "eh", "ei", "er", "ih", "iy", "oa", "oo", "uh", "uw"})
            for (const char* group : {"man", "woman", "boy", "girl"}) {
                if (++g > 2)
                    d.click("button_create_new_vowelNum");
                d.pick("listbox_currVowel_select", std::to_string(g) + " (change my name)");
                d.type_into("edit_currVowel_name", (std::string(vowel) + "-" + group).c_str());
                for (const auto& [category, type] : {std::pair{"Vowel", vowel}, {"Group", group}}) {
                    d.pick("listbox_groupings", category);
                    d.pick("listbox_types", type);
                    d.click("button_add");
                }
            }
        d.click("button_continue_to_overlap");
        d.click("checkbox_all_group_overlap");

        for (const char* dim : {"2D", "3D"}) {
            const std::string button = std::string("button_calculate_") + dim + "overlap";
            QElapsedTimer timer;
            timer.start();
            d.click(button.c_str());
            QApplication::processEvents(); // the last result drawn
            const double seconds = timer.nsecsElapsed() / 1e9;
            const std::string last = d.log().back();
            if (last.find("Group <uw-boy> and Group <uw-girl>") == std::string::npos)
                throw std::runtime_error("the run did not reach the last pair: " + last);
            std::printf("%s %.2f s\n", dim, seconds);
        }
    } catch (const std::exception& e) {
        std::cerr << "gui_calculate_all: " << e.what() << "\n";
        return 1;
    }
    delete view.data();
    return 0;
}
