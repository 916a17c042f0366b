#include "qt/plot_window.h"

#include "qt/plot_annotations.h"
#include "qt/plot_chart_2d.h"
#include "qt/plot_chart_view.h"
#include "qt/plot_export.h"
#include "qt/plot_scatter_3d.h"

#include <Q3DInputHandler>
#include <Q3DScatter>
#include <QAction>
#include <QChart>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValue3DAxis>
#include <QValueAxis>

namespace tarvik {

namespace {

const char* const kWaitNote = "Press any key in this window to continue";
const char* const kEditNote2D =
    "Editing: drag a box to zoom in, right-click to zoom out, turn the wheel to zoom, "
    "Shift+drag or drag with the middle button to pan; double-click the title or an "
    "axis label to change it.";
const char* const kNoOpenGL3D = "This display offers no OpenGL, which 3D plots need.";
const char* const kEditNote3D = "Editing: drag with the right button to rotate, turn the wheel to zoom; "
                                "double-click the title or use the Edit menu to change the texts.";

QString window_title(int number, const std::string& name) {
    QString t = QString("Figure %1").arg(number);
    if (!name.empty())
        t += ": " + QString::fromStdString(name);
    return t;
}

QLabel* make_note(QWidget* parent, const QString& style) {
    auto* note = new QLabel(parent);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    note->setStyleSheet(style);
    note->hide();
    return note;
}

int label_index(PlotText which) {
    return which == PlotText::XLabel ? 0 : which == PlotText::YLabel ? 1 : 2;
}

} // namespace

// The title of a 3D plot, painted the way the exported picture paints it. A double click asks for a new
// title when the window is in editing mode.
class PlotTitleWidget : public QWidget {
  public:
    explicit PlotTitleWidget(std::function<void()> onDoubleClick) : onDoubleClick_(std::move(onDoubleClick)) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    void set_lines(const QStringList& lines) {
        lines_ = lines;
        updateGeometry();
        update();
    }
    QSize sizeHint() const override { return title_size(lines_, plot_title_font()); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paint_title(p, rect(), lines_, plot_title_font());
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { onDoubleClick_(); }

  private:
    std::function<void()> onDoubleClick_;
    QStringList lines_;
};

// The legend beside a plot: its entries in columns as high as the room beside the plot. Where even the
// smallest font cannot hold them in half the window's width, the columns scroll sideways.
class PlotLegendWidget : public QScrollArea {
  public:
    PlotLegendWidget() {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(false);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        setBackgroundRole(QPalette::Base);
        canvas_ = new Canvas(this);
        setWidget(canvas_);
    }
    void set_entries(std::vector<LegendEntry> entries) {
        entries_ = std::move(entries);
        refit();
    }
    // Lays the entries out for the room beside the plot.
    void fit(QSize room) {
        room_ = room;
        refit();
    }
    const std::vector<LegendEntry>& entries() const { return entries_; }
    const LegendLayout& layout() const { return layout_; }

  private:
    class Canvas : public QWidget {
      public:
        explicit Canvas(PlotLegendWidget* legend) : legend_(legend) {}

      protected:
        void paintEvent(QPaintEvent*) override {
            QPainter p(this);
            p.fillRect(rect(), Qt::white);
            paint_legend(p, QPoint(kMargin, kMargin), legend_->entries_, legend_->layout_);
        }

      private:
        PlotLegendWidget* legend_;
    };

    void refit() {
        const QSize margins(2 * kMargin, 2 * kMargin);
        layout_ = legend_in_columns(entries_, room_ - margins);
        if (!layout_.fits) // room for the scroll bar below the columns
            layout_ = legend_in_columns(entries_, room_ - margins - QSize(0, horizontalScrollBar()->sizeHint().height()));
        canvas_->setFixedSize(layout_.size + margins);
        setFixedWidth(std::max(0, std::min(canvas_->width(), room_.width())));
        canvas_->update();
    }

    static constexpr int kMargin = 10;
    Canvas* canvas_ = nullptr;
    std::vector<LegendEntry> entries_;
    LegendLayout layout_;
    QSize room_{200, 400};
};

// The plot and the legend beside it; the legend may take up to half the row's width.
class PlotRow : public QWidget {
  public:
    PlotRow(QWidget* view, PlotLegendWidget* legend, QWidget* parent) : QWidget(parent), legend_(legend) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(view, 1);
        layout->addWidget(legend, 0);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        legend_->fit(QSize(width() / 2, height()));
    }

  private:
    PlotLegendWidget* legend_;
};

PlotWindow::PlotWindow(int number, const std::string& name) : number_(number), name_(name) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(window_title(number_, name_));
    setObjectName(QString("plot_window_%1").arg(number_));

    content_ = new QWidget(this);
    content_->setAutoFillBackground(true);
    QPalette pal = content_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    content_->setPalette(pal);
    layout_ = new QVBoxLayout(content_);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    waitNote_ = make_note(content_, "background: #fff3c4; color: black; padding: 4px; font-weight: bold;");
    waitNote_->setText(kWaitNote);
    editNote_ = make_note(content_, "background: #dceaff; color: black; padding: 4px;");
    layout_->addWidget(waitNote_);
    layout_->addWidget(editNote_);
    setCentralWidget(content_);

    askText = [this](const QString& prompt, const QString& current,
                     bool multiLine) -> std::optional<QString> {
        bool ok = false;
        const QString text =
            multiLine ? QInputDialog::getMultiLineText(this, "Edit Plot", prompt, current, &ok)
                      : QInputDialog::getText(this, "Edit Plot", prompt, QLineEdit::Normal, current, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };
    askSavePath = [this](bool onlyPng) {
        const QString png = "PNG image (*.png)", svg = "SVG drawing (*.svg)", pdf = "PDF document (*.pdf)";
        QString chosen = png;
        QString path =
            QFileDialog::getSaveFileName(this, "Save As", windowTitle().section(':', 0, 0) + ".png",
                                         onlyPng ? png : png + ";;" + svg + ";;" + pdf, &chosen);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += chosen == svg ? ".svg" : chosen == pdf ? ".pdf" : ".png";
        return path;
    };
    showError = [this](const QString& message) { QMessageBox::warning(this, "Save As", message); };

    build_menus();
    // Large enough for a plot and its legend to be read, small enough to sit beside the main window.
    QSize size(900, 700);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.8);
    resize(size);
}

PlotWindow::~PlotWindow() = default;

void PlotWindow::build_menus() {
    QMenu* file = menuBar()->addMenu("&File");
    saveAction_ = file->addAction("Save As...", this, &PlotWindow::save_as);
    saveAction_->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    file->addAction("Close", this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    editingAction_ = edit->addAction("Edit Plot");
    editingAction_->setCheckable(true);
    connect(editingAction_, &QAction::toggled, this, [this](bool on) {
        if (on != editing_)
            set_editing(on);
    });
    edit->addSeparator();
    const char* names[4] = {"Title...", "X Label...", "Y Label...", "Z Label..."};
    for (int i = 0; i < 4; ++i) {
        const auto which = static_cast<PlotText>(i);
        textActions_[i] = edit->addAction(names[i], this, [this, which] { edit_text(which); });
    }

    QMenu* view = menuBar()->addMenu("&View");
    legendOutsideAction_ = view->addAction("Legend outside");
    legendOutsideAction_->setCheckable(true);
    legendOutsideAction_->setToolTip("The legend beside the plot instead of inside its plot area");
    connect(legendOutsideAction_, &QAction::toggled, this, [this](bool on) {
        if (on != plot_.axes.legendOutside)
            set_legend_outside(on);
    });
    update_actions();
}

void PlotWindow::update_actions() {
    editingAction_->setChecked(editing_);
    for (int i = 0; i < 4; ++i)
        textActions_[i]->setEnabled(editing_ && hasPlot_);
    textActions_[3]->setVisible(!hasPlot_ || plot_.axes.is3D);
    // A 3D graph always has its legend beside it.
    legendOutsideAction_->setEnabled(hasPlot_ && !plot_.axes.is3D && plot_.axes.legend.has_value());
    legendOutsideAction_->setChecked(plot_.axes.legendOutside || (hasPlot_ && plot_.axes.is3D));
}

void PlotWindow::set_name(const std::string& name) {
    name_ = name;
    setWindowTitle(window_title(number_, name_));
}

QChart* PlotWindow::chart() const {
    return chartView_ ? chartView_->chart() : nullptr;
}
QWidget* PlotWindow::title_widget() const {
    return title_;
}
QWidget* PlotWindow::legend_widget() const {
    return legend_;
}

void PlotWindow::clear_content() {
    while (QLayoutItem* item = layout_->takeAt(0)) {
        if (QWidget* w = item->widget(); w && w != waitNote_ && w != editNote_)
            w->deleteLater();
        delete item;
    }
    chartView_ = nullptr;
    row_ = nullptr;
    is3DView_ = false;
    title_ = nullptr;
    legend_ = nullptr;
    graph_ = nullptr;
    graphContainer_ = nullptr;
    inputHandler_ = nullptr;
}

void PlotWindow::build_2d() {
    clear_content();
    chartView_ = new PlotChartView(build_chart(plot_.axes), content_);
    chartView_->set_editing(editing_);
    chartView_->setFocusPolicy(Qt::StrongFocus);
    chartView_->installEventFilter(this);
    chartView_->viewport()->installEventFilter(this);
    chartView_->addAction(legendOutsideAction_);
    connect(chartView_, &PlotChartView::textEditRequested, this,
            [this](PlotChartView::Text which) { edit_text(static_cast<PlotText>(int(which))); });
    legend_ = new PlotLegendWidget;
    row_ = new PlotRow(chartView_, legend_, content_);
    row_->installEventFilter(this); // presses on the legend reach the row
    layout_->addWidget(waitNote_);
    layout_->addWidget(editNote_);
    layout_->addWidget(row_, 1);
    watch_plot_area();
    chartView_->setFocus();
}

void PlotWindow::watch_plot_area() {
    // After the chart's own connection, which lays its legend out inside the plot area where it fits.
    connect(chart(), &QChart::plotAreaChanged, this, [this] { place_legend(); });
    place_legend();
}

void PlotWindow::place_legend() {
    if (!legend_)
        return;
    const bool beside = !legend_->entries().empty() && (is3DView_ || !chart() || !legend_inside(*chart()));
    legend_->setVisible(beside);
}

bool PlotWindow::legend_beside() const {
    return legend_ && !legend_->isHidden();
}

std::size_t PlotWindow::legend_places() const {
    return legend_ ? legend_->layout().columns.size() * std::size_t(legend_->layout().rows) : 0;
}

void PlotWindow::set_legend_outside(bool on) {
    plot_.axes.legendOutside = on;
    if (chart())
        tarvik::set_legend_outside(*chart(), on);
    place_legend();
    update_actions();
}

void PlotWindow::build_3d() {
    clear_content();
    is3DView_ = true;
    title_ = new PlotTitleWidget([this] {
        if (editing_)
            edit_text(PlotText::Title);
    });
    QWidget* view = nullptr;
    if (opengl_available()) {
        graph_ = new Q3DScatter;
        prepare_scatter(*graph_);
        // Rotation and zoom belong to editing mode; until then the mouse leaves the view alone.
        inputHandler_ = new Q3DInputHandler;
        graph_->addInputHandler(inputHandler_);
        graph_->setActiveInputHandler(editing_ ? inputHandler_ : nullptr);
        graph_->installEventFilter(this);
        graphContainer_ = QWidget::createWindowContainer(graph_, content_);
        graphContainer_->setFocusPolicy(Qt::StrongFocus);
        graphContainer_->setMinimumSize(200, 150);
        view = graphContainer_;
    } else {
        auto* missing = new QLabel(kNoOpenGL3D, content_);
        missing->setAlignment(Qt::AlignCenter);
        missing->setWordWrap(true);
        view = missing;
    }
    legend_ = new PlotLegendWidget;
    row_ = new PlotRow(view, legend_, content_);
    title_->installEventFilter(this);
    row_->installEventFilter(this); // presses on the legend reach the row
    layout_->addWidget(title_);
    layout_->addWidget(waitNote_);
    layout_->addWidget(editNote_);
    layout_->addWidget(row_, 1);
}

void PlotWindow::show_plot(const PlotDescription& plot) {
    // The window's choice of the legend's place outlives the plots it shows.
    const bool outside = plot_.axes.legendOutside;
    plot_ = plot;
    plot_.axes.legendOutside = outside;
    hasPlot_ = true;
    if (plot_.axes.is3D) {
        if (!is3DView_)
            build_3d();
        if (graph_)
            show_in_scatter(*graph_, plot_.axes);
        title_->set_lines(title_lines(plot_.axes.title));
    } else if (chartView_) {
        QChart* old = chartView_->chart();
        chartView_->setChart(build_chart(plot_.axes));
        delete old;
        chartView_->set_editing(editing_);
        watch_plot_area();
    } else {
        build_2d();
    }
    if (legend_)
        legend_->set_entries(legend_entries(plot_.axes));
    place_legend();
    update_notes();
    update_actions();
}

void PlotWindow::set_waiting(bool on) {
    waitNote_->setVisible(on);
}
bool PlotWindow::is_waiting() const {
    return !waitNote_->isHidden();
}
QString PlotWindow::wait_note() const {
    return is_waiting() ? waitNote_->text() : QString();
}
QString PlotWindow::edit_note() const {
    return editNote_->isHidden() ? QString() : editNote_->text();
}

void PlotWindow::update_notes() {
    editNote_->setText(plot_.axes.is3D ? kEditNote3D : kEditNote2D);
    editNote_->setVisible(editing_);
}

void PlotWindow::set_editing(bool on) {
    editing_ = on;
    if (chartView_)
        chartView_->set_editing(on);
    if (graph_)
        graph_->setActiveInputHandler(on ? inputHandler_ : nullptr);
    update_notes();
    update_actions();
}

void PlotWindow::edit_text(PlotText which) {
    if (!hasPlot_ || !askText)
        return;
    static const char* prompts[4] = {"Title:", "X label:", "Y label:", "Z label:"};
    const QString current = QString::fromStdString(
        which == PlotText::Title ? plot_.axes.title : plot_.axes.labels[label_index(which)]);
    if (const auto text = askText(prompts[int(which)], current, which == PlotText::Title))
        set_text(which, *text);
}

void PlotWindow::set_text(PlotText which, const QString& text) {
    if (!hasPlot_)
        return;
    if (which == PlotText::Title) {
        plot_.axes.title = text.toStdString();
        if (chart())
            chart()->setTitle(title_rich_text(plot_.axes.title));
        if (title_)
            title_->set_lines(title_lines(plot_.axes.title));
        return;
    }
    const int i = label_index(which);
    plot_.axes.labels[i] = text.toStdString();
    if (chart() && i < 2) {
        if (QValueAxis* axis = chart_axis(*chart(), i))
            axis->setTitleText(text.toHtmlEscaped());
    }
    if (graph_)
        scatter_axis(*graph_, i)->setTitle(text);
}

PlotDescription PlotWindow::current_view() const {
    PlotDescription view = plot_;
    if (chartView_ && chartView_->view_changed()) {
        for (int i = 0; i < 2; ++i)
            if (QValueAxis* axis = chart_axis(*chart(), i))
                view.axes.limits[i] = AxisLimits{axis->min(), axis->max()};
    }
    return view;
}

QString PlotWindow::save_picture(const QString& path) {
    if (!hasPlot_)
        return "The window shows no plot yet.";
    return save_picture(path, picture_size());
}

QString PlotWindow::save_picture(const QString& path, QSize size) {
    if (!hasPlot_)
        return "The window shows no plot yet.";
    return save_plot(current_view(), path, size, graph_);
}

QSize PlotWindow::picture_size() const {
    // What the window shows: the chart or the title and graph, and the legend beside them.
    if (!row_)
        return content_->size();
    return row_->size() + QSize(0, title_ ? title_->height() : 0);
}

void PlotWindow::save_as() {
    if (!askSavePath)
        return;
    const QString path = askSavePath(plot_.axes.is3D);
    if (path.isEmpty())
        return;
    if (const QString error = save_picture(path); !error.isEmpty() && showError)
        showError(error);
}

void PlotWindow::keyPressEvent(QKeyEvent* event) {
    emit keyPressed();
    event->accept();
}

void PlotWindow::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}

bool PlotWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        emit keyPressed();
        return true;
    }
    // The chart view itself only passes on the presses of its viewport.
    if (event->type() == QEvent::MouseButtonPress && watched != chartView_)
        emit mousePressed();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarvik
