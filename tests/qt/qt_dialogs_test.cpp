// The program's real dialogs with texts of every length: a text as long as the header of a table with
// 10,000 columns keeps the dialog within the screen and its whole text within reach. Long work on a pool
// thread under a progress dialog.
#include "qt/qt_services.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

namespace tarvik::testing {
namespace {

std::string joined(const TextList& lines) {
    std::string out;
    for (const auto& l : lines)
        out += (out.empty() ? "" : "\n") + l;
    return out;
}

// A short text is shown whole. Many lines show their first ones and how many more there are, one huge
// line its beginning; the whole text is under Show Details, or in a field for a question.
TEST(QtDialogs, LongTextsKeepTheDialogToTheScreenWithTheWholeTextWithinReach) {
    QtServices services;
    const TextList few = {"Data loaded.", "12 columns."};
    TextList many = {"The file has these columns:"}; // then ten thousand column names, one per line
    for (int i = 1; i <= 10000; ++i)
        many.push_back("column_" + std::to_string(i));
    const TextList huge = {std::string(100000, 'x')};
    services.message(few, "Done", Icon::None, WindowStyle::NonModal);
    services.warning(many, "Columns", false);
    services.warning(huge, "Line", false);
    const struct {
        const char* title;
        const TextList& text;
        QString start, end; // of the text shown
        bool details;       // the whole text under Show Details
    } cases[] = {{"Done", few, "Data loaded.\n12 columns.", "Data loaded.\n12 columns.", false},
                 {"Columns", many, "The file has these columns:\ncolumn_1\n",
                  "column_29\n\n(9971 more lines under Show Details...)", true},
                 {"Line", huge, QString(2000, 'x') + QString::fromUtf8("\u2026"),
                  "(the whole text is under Show Details...)", true}};
    for (const auto& c : cases) {
        QMessageBox* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<QMessageBox*>(w); shown && shown->windowTitle() == c.title)
                box = shown;
        ASSERT_TRUE(box && box->isVisible()) << c.title;
        EXPECT_TRUE(box->text().startsWith(c.start)) << c.title;
        EXPECT_TRUE(box->text().endsWith(c.end)) << box->text().toStdString();
        EXPECT_EQ(box->detailedText().toStdString(), c.details ? joined(c.text) : "");
        EXPECT_LT(box->height(), 1024);
        box->close();
    }

    // A question as long is answered.
    int height = 0;
    QString label, field;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        height = dialog->height();
        for (auto* l : dialog->findChildren<QLabel*>())
            label += l->text();
        for (auto* f : dialog->findChildren<QPlainTextEdit*>())
            field += f->toPlainText();
        for (auto* b : dialog->findChildren<QPushButton*>())
            if (b->text() == "Yes")
                b->click();
    });
    EXPECT_EQ(services.question(joined(many), "Question", "Yes", "No", "No"), "Yes");
    EXPECT_LT(height, 1024);
    EXPECT_TRUE(label.endsWith("column_29\n\n(9971 more lines in the field below)")) << label.toStdString();
    EXPECT_EQ(field.toStdString(), joined(many));
}

// Long work runs on a pool thread while the window's thread polls: Cancel pressed in the real progress
// dialog reaches the work through the poll, and what the work throws comes back to the caller.
TEST(QtDialogs, WorkRunsOffTheWindowThreadAndCancelReachesIt) {
    QtServices services;
    const ProgressRef bar = services.create(0, "Working");
    std::atomic<bool> stop = false;
    std::thread::id worker;
    services.run_work(
        [&](const BackgroundRunner::Checkpoint&) {
            worker = std::this_thread::get_id();
            while (!stop)
                std::this_thread::yield();
        },
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QProgressDialog*>(w))
                    for (auto* b : dialog->findChildren<QPushButton*>())
                        b->click();
            stop = services.cancelled(bar);
        });
    EXPECT_NE(worker, std::this_thread::get_id());
    services.close(bar);
    EXPECT_THROW(services.run_work([](const auto&) { throw std::runtime_error("the work failed"); }, [] {}),
                 std::runtime_error);
}

} // namespace
} // namespace tarvik::testing
