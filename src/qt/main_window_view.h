#pragma once

#include "app/runtime.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

class QAction;
class QWidget;

namespace tarvik {

// The Qt view of one main window: one widget per control of the model, placed at the control's
// normalized position and scaled with the window. It mirrors every model change at once and writes
// user edits (menu choices, list selections, check boxes, edit fields) back into the model before the
// control's handler is dispatched. It owns its widgets, not the model.
class MainWindowView : public QMainWindow {
    Q_OBJECT
  public:
    MainWindowView(Runtime& rt, std::shared_ptr<Figure> figure);
    ~MainWindowView() override;

    const Figure& figure() const { return *figure_; }
    // The widget or menu action of a tag (null when there is none).
    QWidget* widget(const std::string& tag) const;
    QAction* action(const std::string& tag) const;
    // The area the controls are placed in: the window without its menu bar.
    QWidget* canvas() const { return canvas_; }

    // The view of a model window, if one is open.
    static MainWindowView* of(const Figure& figure);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void remember_geometry(); // writes the window's place and size into the model
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_menu();
    void build_controls();
    QWidget* make_widget(const Control& c);
    void apply(const Control& c);
    void sync_check(const Control& c); // a check entry of the menu shows the model's mark
    void apply_window();
    void place(const Control& c);
    void place_all();
    void on_model_change(const std::string& tag, Property property);
    void user_event(const std::string& tag);

    Runtime& rt_;
    std::shared_ptr<Figure> figure_;
    QWidget* canvas_ = nullptr;
    std::map<std::string, QPointer<QWidget>> widgets_;
    std::map<std::string, QAction*> actions_;
    int subscription_ = 0;
    bool syncing_ = false; // true while the view writes model state into widgets
    bool closing_ = false;
    bool placed_ = false; // the window stands where the model said: later moves and resizes are the user's
};

} // namespace tarvik
