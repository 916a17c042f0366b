#pragma once

#include "ui/plot_description.h"

#include <QMainWindow>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QChart;
class QLabel;
class QVBoxLayout;
class Q3DScatter;
class Q3DInputHandler;

namespace tarvik {

class PlotChartView;
class PlotTitleWidget;
class PlotLegendWidget;
class PlotRow;

// The texts of a plot the user can change in editing mode.
enum class PlotText { Title, XLabel, YLabel, ZLabel };

// One numbered plot window, titled "Figure N: name": a top-level window of its own that stays open
// when the main window closes. It shows one plot description, a 2D chart (Qt Charts) or a 3D graph
// (Qt Data Visualization) with the title above it and the legend beside it, and saves it as a picture.
// It reports key presses anywhere in it and mouse presses on the plot, its title and legend; it owns its
// widgets and a copy of the description it shows, with the texts the user edited, not the program's record.
class PlotWindow : public QMainWindow {
    Q_OBJECT
  public:
    PlotWindow(int number, const std::string& name);
    ~PlotWindow() override;

    int number() const { return number_; }
    void set_name(const std::string& name);

    // Shows the description, replacing what the window showed. A 3D window keeps its camera.
    void show_plot(const PlotDescription& plot);
    bool has_plot() const { return hasPlot_; }
    // The description shown, with the texts the user edited since.
    const PlotDescription& plot() const { return plot_; }

    // The note that the window waits for a key.
    void set_waiting(bool on);
    bool is_waiting() const;
    QString wait_note() const;

    // Interactive editing: zoom and pan (2D) or rotate and zoom (3D), and editing of the texts.
    void set_editing(bool on);
    bool is_editing() const { return editing_; }
    QString edit_note() const;

    // Asks for a new text (askText) and shows it.
    void edit_text(PlotText which);
    void set_text(PlotText which, const QString& text);

    // Writes what the window shows (its current zoom or camera, its edited texts) to a picture file.
    // Returns an empty text, or why nothing was written.
    QString save_picture(const QString& path);
    // The same at a size of its own (picture_size() is the window's).
    QString save_picture(const QString& path, QSize size);
    QSize picture_size() const;

    // The legend beside the plot even where it fits inside the plot area (the "Legend outside" action).
    // Without it a 2D legend goes inside its plot area where it fits, and beside it where it does not; a
    // 3D graph always has its legend beside it.
    void set_legend_outside(bool on);
    // True when the window shows the legend beside the plot.
    bool legend_beside() const;
    // The entries the legend beside the plot has a place for in its columns.
    std::size_t legend_places() const;
    // The "Save As..." action: asks for the file (askSavePath) and reports a failure (showError).
    void save_as();

    PlotChartView* chart_view() const { return chartView_; }
    QChart* chart() const;
    Q3DScatter* scatter() const { return graph_; }
    QWidget* scatter_container() const { return graphContainer_; }
    QWidget* title_widget() const;
    QWidget* legend_widget() const;
    QAction* save_action() const { return saveAction_; }
    QAction* editing_action() const { return editingAction_; }
    QAction* legend_outside_action() const { return legendOutsideAction_; }

    // The questions the window asks; tests answer them without dialogs.
    std::function<std::optional<QString>(const QString& prompt, const QString& current, bool multiLine)>
        askText;
    std::function<QString(bool only_png)> askSavePath;
    std::function<void(const QString& message)> showError;

  signals:
    void keyPressed();
    void mousePressed();
    void closed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_menus();
    void build_2d();
    void build_3d();
    void clear_content();
    void update_notes();
    void update_actions();
    void watch_plot_area();
    void place_legend();
    // The description a picture of the window shows now (the zoomed ranges as limits).
    PlotDescription current_view() const;

    int number_;
    std::string name_;
    PlotDescription plot_;
    bool hasPlot_ = false;
    bool editing_ = false;
    bool is3DView_ = false;

    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    QLabel* waitNote_ = nullptr;
    QLabel* editNote_ = nullptr;
    PlotChartView* chartView_ = nullptr;
    PlotTitleWidget* title_ = nullptr;
    PlotLegendWidget* legend_ = nullptr;
    PlotRow* row_ = nullptr;
    Q3DScatter* graph_ = nullptr;
    QWidget* graphContainer_ = nullptr;
    Q3DInputHandler* inputHandler_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* editingAction_ = nullptr;
    QAction* legendOutsideAction_ = nullptr;
    QAction* textActions_[4] = {};
};

} // namespace tarvik
