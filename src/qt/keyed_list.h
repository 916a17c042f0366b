#pragma once

#include <QKeyEvent>
#include <QListWidget>

#include <functional>

namespace tarvik {

// A list whose current item the keyboard moved (arrow keys, Page Up and Down, Home, End) acts as if the
// new item had been clicked; a mouse click acts through itemClicked, which also comes for the item that
// is already selected.
class KeyedList : public QListWidget {
  public:
    using QListWidget::QListWidget;
    std::function<void()> onKeyMoved;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int before = currentRow();
        QListWidget::keyPressEvent(event);
        if (currentRow() != before && onKeyMoved)
            onKeyMoved();
    }
};

} // namespace tarvik
