#include "qt/main_window_view.h"

#include "app/entry.h"
#include "app/help.h"
#include "qt/keyed_list.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace tarvik {

namespace {

std::map<const Figure*, MainWindowView*>& registry() {
    static std::map<const Figure*, MainWindowView*> views;
    return views;
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QColor qcolor(const Color& c) {
    auto channel = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return QColor(channel(c.r), channel(c.g), channel(c.b));
}

QString joined(const TextList& lines) {
    QStringList out;
    for (const auto& l : lines)
        out << qs(l);
    return out.join('\n');
}

Qt::Alignment qt_alignment(Align a) {
    switch (a) {
    case Align::Left:
        return Qt::AlignLeft;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Center:
        break;
    }
    return Qt::AlignHCenter;
}

// The palette role that carries a control kind's background.
QPalette::ColorRole background_role(Style s) {
    switch (s) {
    case Style::PushButton:
    case Style::CheckBox:
        return QPalette::Button;
    case Style::Edit:
    case Style::PopupMenu:
    case Style::ListBox:
        return QPalette::Base;
    default:
        return QPalette::Window;
    }
}

bool multi_line(const Control& c) {
    return c.max - c.min > 1;
}

// Controls use a small font, as dialog-style windows do; a declared size is in points.
constexpr double kDefaultPointSize = 8.0;

QFont control_font(const Control& c) {
    QFont font = QGuiApplication::font();
    font.setBold(c.bold);
    font.setPointSizeF(c.fontSize > 0 ? c.fontSize : kDefaultPointSize);
    return font;
}

// Labels and check boxes keep their text whole: a font too wide for the box shrinks until the text
// fits (`reserve` is the room the box needs for itself, a check box's indicator).
void fit_text(QWidget* w, const Control& c, int reserve = 0) {
    QFont font = control_font(c);
    const int room = w->width() - 4 - reserve;
    auto widest = [&](const QFont& f) {
        QFontMetrics m(f);
        int most = 0;
        for (const auto& line : c.string)
            most = std::max(most, m.horizontalAdvance(QString::fromStdString(line)));
        return most;
    };
    while (font.pointSizeF() > 5.0 && widest(font) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    w->setFont(font);
}

// The layout gives some menus less room than their longest entry: the open list is as wide as its
// entries (up to a bound), and a shown entry that is cut is whole in the tooltip, unless the control has
// a tooltip of its own.
void fit_popup(QComboBox* box, const Control& c) {
    const QFontMetrics metrics = box->fontMetrics();
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
    const int frame = box->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
    box->view()->setMinimumWidth(std::min(widest + frame, 640));
    if (!c.tooltip.empty())
        return;
    QStyleOptionComboBox option;
    option.initFrom(box);
    const int room =
        box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
    const QString shown = box->currentText();
    box->setToolTip(metrics.horizontalAdvance(shown) > room ? shown : QString());
}

} // namespace

MainWindowView::MainWindowView(Runtime& rt, std::shared_ptr<Figure> figure)
    : rt_(rt), figure_(std::move(figure)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(Figure::kWindowTag);
    canvas_ = new QWidget(this);
    canvas_->setObjectName("canvas");
    canvas_->setAutoFillBackground(true);
    setCentralWidget(canvas_);
    build_menu();
    build_controls();
    // F1: the help page of the control with the keyboard focus, else that of the current step.
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] {
        const QWidget* focused = focusWidget();
        show_context_help(rt_, focused ? focused->objectName().toStdString() : std::string());
    });
    registry()[figure_.get()] = this;
    subscription_ =
        figure_->subscribe([this](const std::string& tag, Property p) { on_model_change(tag, p); });

    // The window comes up on the screen whatever the model says: a session saved on a larger screen, or
    // one whose numbers were edited, gets a window that fits and can be reached.
    const Rect& px = figure_->window().pixelPosition;
    const int menuHeight = menuBar()->sizeHint().height();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
    const auto pixels = [](double v, int lo, int hi) {
        return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, double(lo), double(hi)))) : lo;
    };
    resize(pixels(px.width, 160, std::max(160, avail.width())),
           pixels(px.height, 120, std::max(120, avail.height() - menuHeight)) + menuHeight);
    const int left = pixels(px.left, 0, std::max(0, avail.width() - width()));
    const int bottom = pixels(px.bottom, 0, std::max(0, avail.height() - height()));
    move(avail.left() + left, avail.bottom() + 1 - bottom - height());
    apply_window();
    placed_ = true;
}

MainWindowView::~MainWindowView() {
    figure_->unsubscribe(subscription_);
    registry().erase(figure_.get());
}

MainWindowView* MainWindowView::of(const Figure& figure) {
    auto it = registry().find(&figure);
    return it == registry().end() ? nullptr : it->second;
}

QWidget* MainWindowView::widget(const std::string& tag) const {
    auto it = widgets_.find(tag);
    return it == widgets_.end() ? nullptr : it->second.data();
}

QAction* MainWindowView::action(const std::string& tag) const {
    auto it = actions_.find(tag);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindowView::build_menu() {
    QMenu* menu = nullptr;
    for (const auto& c : figure_->objects()) {
        if (c.style != Style::Menu)
            continue;
        if (c.parent == Figure::kWindowTag) {
            menu = menuBar()->addMenu(qs(first_text(c)));
            menu->setObjectName(qs(c.tag));
            const std::string tag = c.tag;
            connect(menu, &QMenu::aboutToShow, this, [this, tag] { user_event(tag); });
            continue;
        }
        if (!menu)
            continue;
        if (c.separator)
            menu->addSeparator();
        QAction* act = menu->addAction(qs(first_text(c)));
        act->setObjectName(qs(c.tag));
        actions_[c.tag] = act;
        const std::string tag = c.tag;
        // A check entry shows the model's mark; its handler decides the new one.
        act->setCheckable(!c.value.empty());
        sync_check(c);
        connect(act, &QAction::triggered, this, [this, tag] {
            user_event(tag);
            if (figure_->has(tag))
                sync_check(figure_->control(tag));
        });
    }
}

void MainWindowView::build_controls() {
    for (const auto& c : figure_->objects()) {
        if (c.style == Style::Menu)
            continue;
        QWidget* w = make_widget(c);
        w->setObjectName(qs(c.tag));
        widgets_[c.tag] = w;
        apply(c);
    }
    // Widgets stack in creation order, which would put the banner over the shown activity log and the
    // log's right-hand cover over its scroll bar: the log goes on top of everything, its covers next.
    for (const char* tag : {"text_log_rightside_cover", "text_log_rightside_cover2", "listbox_log"})
        if (QWidget* w = widget(tag))
            w->raise();
}

QWidget* MainWindowView::make_widget(const Control& c) {
    const std::string tag = c.tag;
    switch (c.style) {
    case Style::PushButton: {
        auto* b = new QPushButton(canvas_);
        connect(b, &QPushButton::clicked, this, [this, tag] { user_event(tag); });
        return b;
    }
    case Style::CheckBox: {
        auto* b = new QCheckBox(canvas_);
        connect(b, &QCheckBox::clicked, this, [this, tag](bool checked) {
            if (syncing_)
                return;
            figure_->set_value(tag, checked ? 1.0 : 0.0);
            user_event(tag);
        });
        return b;
    }
    case Style::Edit: {
        auto* e = new QLineEdit(canvas_);
        connect(e, &QLineEdit::editingFinished, this, [this, tag, e] {
            if (syncing_ || !e->isModified())
                return;
            e->setModified(false);
            figure_->set_string(tag, {e->text().toStdString()});
            user_event(tag);
        });
        return e;
    }
    case Style::PopupMenu: {
        auto* box = new QComboBox(canvas_);
        connect(box, &QComboBox::activated, this, [this, tag](int index) {
            if (syncing_)
                return;
            figure_->set_value(tag, static_cast<double>(index + 1));
            user_event(tag);
        });
        return box;
    }
    case Style::ListBox: {
        auto* list = new KeyedList(canvas_);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, tag, list] {
            if (syncing_)
                return;
            std::vector<double> selected;
            for (int row = 0; row < list->count(); ++row)
                if (list->item(row)->isSelected())
                    selected.push_back(row + 1);
            figure_->set_value(tag, selected);
        });
        list->onKeyMoved = [this, tag] { user_event(tag); };
        connect(list, &QListWidget::itemClicked, this, [this, tag] { user_event(tag); });
        return list;
    }
    case Style::Frame: {
        auto* f = new QFrame(canvas_);
        f->setFrameShape(QFrame::StyledPanel);
        f->setFrameShadow(QFrame::Sunken);
        return f;
    }
    case Style::Text:
    case Style::Menu:
        break;
    }
    auto* label = new QLabel(canvas_);
    label->installEventFilter(this);
    return label;
}

void MainWindowView::sync_check(const Control& c) {
    if (QAction* act = action(c.tag); act && act->isCheckable())
        act->setChecked(!c.value.empty() && c.value.front() == 1);
}

void MainWindowView::apply(const Control& c) {
    sync_check(c);
    QWidget* w = widget(c.tag);
    if (!w)
        return;
    const bool wasSyncing = syncing_;
    syncing_ = true;

    QPalette pal = w->palette();
    pal = QPalette(); // start from the application's palette so a cleared colour goes back to default
    if (c.background) {
        pal.setColor(background_role(c.style), qcolor(*c.background));
        if (c.style == Style::Text || c.style == Style::Frame || c.style == Style::CheckBox)
            pal.setColor(QPalette::Window, qcolor(*c.background));
    }
    if (c.foreground) {
        pal.setColor(QPalette::WindowText, qcolor(*c.foreground));
        pal.setColor(QPalette::ButtonText, qcolor(*c.foreground));
        pal.setColor(QPalette::Text, qcolor(*c.foreground));
    }
    w->setPalette(pal);
    // A text control paints its background, the platform's default when it has no colour of its own:
    // the blank covers shown with the activity log hide the controls beneath them.
    w->setAutoFillBackground(
        c.style == Style::Text ||
        (c.background.has_value() && (c.style == Style::Frame || c.style == Style::CheckBox)));

    w->setFont(control_font(c));
    w->setToolTip(qs(c.tooltip));
    w->setEnabled(c.enable != Enable::Off);
    if (c.enable == Enable::Inactive)
        w->setFocusPolicy(Qt::NoFocus);

    const Qt::Alignment align = qt_alignment(c.alignment);
    switch (c.style) {
    case Style::PushButton: {
        auto* b = static_cast<QPushButton*>(w);
        b->setText(joined(c.string));
        // A style sheet, once set, overrides the palette: so a coloured or aligned button carries its
        // colours in the sheet too, and plain buttons keep the platform look.
        if (c.alignment == Align::Center && !c.background) {
            b->setStyleSheet(QString());
        } else {
            const char* side = c.alignment == Align::Left    ? "left"
                               : c.alignment == Align::Right ? "right"
                                                             : "center";
            QString sheet =
                QString("QPushButton { text-align: %1; padding: 0 4px; border: 1px solid #9a9a9a; "
                        "border-radius: 2px;")
                    .arg(side);
            const QColor bg =
                c.background ? qcolor(*c.background) : QGuiApplication::palette().color(QPalette::Button);
            sheet += QString(" background-color: %1;").arg(bg.name());
            if (c.foreground)
                sheet += QString(" color: %1;").arg(qcolor(*c.foreground).name());
            sheet += QString(" } QPushButton:pressed { background-color: %1; }").arg(bg.darker(115).name());
            // Disabled: grey text on a paler face with a faint border, as the platform's own buttons.
            const QColor pale = QColor::fromRgbF((bg.redF() + 2) / 3, (bg.greenF() + 2) / 3, (bg.blueF() + 2) / 3);
            sheet += QString(" QPushButton:disabled { color: #a8a8a8; background-color: %1; border-color: #d0d0d0; }")
                         .arg(pale.name());
            b->setStyleSheet(sheet);
        }
        break;
    }
    case Style::CheckBox: {
        // A check box shows one label: the first text of its list.
        auto* b = static_cast<QCheckBox*>(w);
        b->setText(c.string.empty() ? QString() : QString::fromStdString(c.string.front()));
        b->setChecked(first_value(c) == c.max);
        break;
    }
    case Style::Edit: {
        auto* e = static_cast<QLineEdit*>(w);
        const QString text = joined(c.string);
        if (e->text() != text)
            e->setText(text);
        e->setModified(false);
        e->setAlignment(align | Qt::AlignVCenter);
        break;
    }
    case Style::PopupMenu: {
        auto* box = static_cast<QComboBox*>(w);
        QStringList items;
        for (const auto& s : c.string)
            items << qs(s);
        QStringList current;
        for (int i = 0; i < box->count(); ++i)
            current << box->itemText(i);
        if (current != items) {
            box->clear();
            box->addItems(items);
        }
        const int index = static_cast<int>(first_value(c)) - 1;
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
        fit_popup(box, c);
        break;
    }
    case Style::ListBox: {
        auto* list = static_cast<QListWidget*>(w);
        list->setSelectionMode(multi_line(c) ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::SingleSelection);
        QStringList items;
        for (const auto& s : c.string)
            items << qs(s);
        bool same = list->count() == items.size();
        for (int i = 0; same && i < list->count(); ++i)
            same = list->item(i)->text() == items[i];
        if (!same) {
            list->clear();
            list->addItems(items);
        }
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        list->clearSelection();
        for (double v : c.value) {
            const int row = static_cast<int>(v) - 1;
            if (row >= 0 && row < list->count())
                list->item(row)->setSelected(true);
        }
        if (!c.value.empty() && first_value(c) >= 1 && first_value(c) <= list->count()) {
            const int row = static_cast<int>(first_value(c)) - 1;
            // The keyboard moves on from the selected item.
            list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            list->scrollToItem(list->item(row));
        }
        break;
    }
    case Style::Text: {
        auto* label = static_cast<QLabel*>(w);
        label->setText(joined(c.string));
        label->setAlignment(align | Qt::AlignTop);
        break;
    }
    case Style::Frame:
    case Style::Menu:
        break;
    }
    place(c);
    w->setVisible(c.visible);
    syncing_ = wasSyncing;
}

void MainWindowView::apply_window() {
    const WindowProps& win = figure_->window();
    setWindowTitle(qs(win.name));
    if (win.color) {
        QPalette pal = canvas_->palette();
        pal.setColor(QPalette::Window, qcolor(*win.color));
        canvas_->setPalette(pal);
    }
    if (win.pointer == Pointer::Watch)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
    if (win.visible && !isVisible())
        show();
    else if (!win.visible && isVisible())
        hide();
}

void MainWindowView::place(const Control& c) {
    QWidget* w = widget(c.tag);
    if (!w)
        return;
    const double W = canvas_->width();
    const double H = canvas_->height();
    const Rect& p = c.position;
    const int x = static_cast<int>(std::lround(p.left * W));
    const int y = static_cast<int>(std::lround((1.0 - p.bottom - p.height) * H));
    const int w_ = static_cast<int>(std::lround(p.width * W));
    const int h_ = static_cast<int>(std::lround(p.height * H));
    w->setGeometry(x, y, std::max(w_, 1), std::max(h_, 1));
    if (c.style == Style::Text)
        fit_text(w, c);
    else if (c.style == Style::PopupMenu)
        fit_popup(static_cast<QComboBox*>(w), c);
    else if (c.style == Style::CheckBox) {
        Control shown = c;
        if (shown.string.size() > 1)
            shown.string.resize(1);
        fit_text(w, shown,
                 w->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                     w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
    }
}

void MainWindowView::place_all() {
    for (const auto& c : figure_->objects())
        if (c.style != Style::Menu)
            place(c);
}

void MainWindowView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    place_all();
    remember_geometry();
}

void MainWindowView::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    remember_geometry();
}

// The model keeps the window where the user put it, so a saved session opens it there again: pixels from
// the screen's lower-left corner to the window's, and the size of its drawing area, as the constructor
// reads them.
void MainWindowView::remember_geometry() {
    if (!placed_ || closing_ || !isVisible() || !figure_->alive())
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->geometry();
    const Rect now{static_cast<double>(x() - avail.left()),
                   static_cast<double>(avail.bottom() + 1 - y() - height()),
                   static_cast<double>(canvas_->width()), static_cast<double>(canvas_->height())};
    if (!(now == figure_->window().pixelPosition))
        figure_->set_pixel_position(now);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    // The close box closes the window without asking.
    closing_ = true;
    if (rt_.main_window() == figure_)
        rt_.delete_main_window();
    event->accept();
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const std::string tag = watched->objectName().toStdString();
        if (figure_->has(tag) && !figure_->control(tag).buttonDownFcn.empty()) {
            try {
                dispatch_event(rt_, tag, Event::ButtonDownFcn);
            } catch (const std::exception& e) {
                std::cerr << "tarvik3d: " << e.what() << '\n';
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindowView::on_model_change(const std::string& tag, Property p) {
    if (tag == Figure::kWindowTag) {
        if (!figure_->alive()) {
            if (!closing_) {
                closing_ = true;
                close();
            }
            return;
        }
        apply_window();
        return;
    }
    if (!figure_->has(tag))
        return;
    const Control& c = figure_->control(tag);
    // A list that only grew (the activity log, a line at a time) gets the new items alone: redrawing all
    // of a long log for each line would make a run of many lines cost the square of their number.
    auto* list = qobject_cast<QListWidget*>(widget(tag));
    if (p == Property::Appended && list && std::size_t(list->count()) <= c.string.size()) {
        const bool wasSyncing = syncing_;
        syncing_ = true;
        for (std::size_t i = std::size_t(list->count()); i < c.string.size(); ++i) {
            auto* item = new QListWidgetItem(qs(c.string[i]), list);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
        syncing_ = wasSyncing;
        return;
    }
    apply(c);
}

void MainWindowView::user_event(const std::string& tag) {
    if (syncing_)
        return;
    // The handler may delete this view's window: keep the model alive through the call.
    auto keep = figure_;
    try {
        dispatch_event(rt_, tag, Event::Callback);
    } catch (const std::exception& e) {
        std::cerr << "tarvik3d: " << e.what() << '\n';
    }
}

} // namespace tarvik
