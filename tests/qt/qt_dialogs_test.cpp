// The program's real dialogs with texts of every length: a short text is shown whole; a text as long
// as the header of a table with 10,000 columns keeps the dialog within the screen and its whole text
// within reach.
#include "qt/qt_services.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>

namespace tarvik::testing {
namespace {

// Ten thousand column names, one per line, after a first line of its own.
TextList many_lines() {
    TextList text = {"The file has these columns:"};
    for (int i = 1; i <= 10000; ++i)
        text.push_back("column_" + std::to_string(i));
    return text;
}

std::string joined(const TextList& lines) {
    std::string out;
    for (const auto& l : lines)
        out += (out.empty() ? "" : "\n") + l;
    return out;
}

QMessageBox* open_box(const std::string& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w);
            box && box->isVisible() && box->windowTitle().toStdString() == title)
            return box;
    return nullptr;
}

TEST(QtDialogs, AShortTextIsShownWhole) {
    QtServices services;
    services.message({"Data loaded.", "12 columns."}, "Done", Icon::None, WindowStyle::NonModal);
    QMessageBox* box = open_box("Done");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), "Data loaded.\n12 columns.");
    EXPECT_TRUE(box->detailedText().isEmpty());
    box->close();
}

TEST(QtDialogs, AVeryLongMessageKeepsToTheScreenWithTheWholeTextUnderDetails) {
    QtServices services;
    const TextList text = many_lines();
    services.warning(text, "Columns", false);
    QMessageBox* box = open_box("Columns");
    ASSERT_NE(box, nullptr);
    const std::string shown = box->text().toStdString();
    EXPECT_EQ(shown.rfind("The file has these columns:\ncolumn_1\n", 0), 0u) << shown;
    EXPECT_NE(shown.find("column_29\n\n(9971 more lines under Show Details...)"), std::string::npos) << shown;
    EXPECT_EQ(box->detailedText().toStdString(), joined(text));
    QApplication::processEvents();
    EXPECT_LT(box->height(), 1024);
    box->close();
}

TEST(QtDialogs, OneHugeLineIsCutWithAMark) {
    QtServices services;
    services.warning({std::string(100000, 'x')}, "Line", false);
    QMessageBox* box = open_box("Line");
    ASSERT_NE(box, nullptr);
    const QString shown = box->text();
    EXPECT_TRUE(shown.startsWith(QString(2000, 'x') + QString::fromUtf8("\u2026")));
    EXPECT_TRUE(shown.endsWith("(the whole text is under Show Details...)"));
    EXPECT_EQ(box->detailedText().size(), 100000);
    box->close();
}

TEST(QtDialogs, AVeryLongQuestionShowsTheWholeTextInAFieldAndIsAnswered) {
    QtServices services;
    const TextList text = many_lines();
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
    EXPECT_EQ(services.question(joined(text), "Question", "Yes", "No", "No"), "Yes");
    EXPECT_LT(height, 1024);
    EXPECT_TRUE(label.endsWith("column_29\n\n(9971 more lines in the field below)")) << label.toStdString();
    EXPECT_EQ(field.toStdString(), joined(text));
}

} // namespace
} // namespace tarvik::testing
