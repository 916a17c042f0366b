#pragma once

#include "qt/main_window_view.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>

#include <stdexcept>
#include <string>
#include <vector>

// Drives the real main window as a user does: clicks in the middle of a widget, choices in menus and
// lists, text typed and confirmed. Shared by the window's end-to-end test and the GUI benchmark; a
// widget that is missing, of another kind or disabled is an error thrown.
namespace tarvik::testing {

class WindowDriver {
  public:
    explicit WindowDriver(const QPointer<MainWindowView>& view) : view_(view) {}

    template <class W> W* get(const char* tag) const {
        auto* w = view_ ? qobject_cast<W*>(view_->widget(tag)) : nullptr;
        if (!w)
            throw std::runtime_error(std::string("no widget of the expected kind for ") + tag);
        return w;
    }
    std::string label(const char* tag) const { return get<QLabel>(tag)->text().toStdString(); }
    // The activity log as the list shows it.
    std::vector<std::string> log() const {
        std::vector<std::string> out;
        const auto* list = get<QListWidget>("listbox_log");
        for (int row = 0; row < list->count(); ++row)
            out.push_back(list->item(row)->text().toStdString());
        return out;
    }

    void click(const char* tag) const {
        QWidget* w = enabled(get<QWidget>(tag), tag);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
        QApplication::processEvents();
    }
    void choose(const char* tag, const char* entry) const {
        auto* box = enabled(get<QComboBox>(tag), tag);
        const int index = box->findText(entry);
        if (index < 0)
            throw std::runtime_error(std::string(tag) + " has no entry " + entry);
        box->setCurrentIndex(index);
        emit box->activated(index);
        QApplication::processEvents();
    }
    // Clicks the entry of a list box that reads `text`.
    void pick(const char* tag, const std::string& text) const {
        auto* list = get<QListWidget>(tag);
        const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
        if (found.size() != 1)
            throw std::runtime_error(std::string(tag) + " does not list " + text + " once");
        list->scrollToItem(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
        QApplication::processEvents();
    }
    void type_into(const char* tag, const char* text) const {
        auto* edit = get<QLineEdit>(tag);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }

  private:
    template <class W> static W* enabled(W* w, const char* tag) {
        if (!w->isEnabled())
            throw std::runtime_error(std::string(tag) + " is disabled");
        return w;
    }
    const QPointer<MainWindowView>& view_;
};

} // namespace tarvik::testing
