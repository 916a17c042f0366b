#pragma once

#include "ui/results_table.h"
#include "ui/services.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace tarvik {

// A results table for a Qt view: the shown texts, the reports' texts as tooltips, numbers aligned right,
// and sorting by a column (sorted_rows; column -1 is the table's own order).
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void set_table(ResultsTable table);
    const ResultsTable& table() const { return table_; }
    // The table's row shown in view row `row`.
    std::size_t table_row(int row) const { return order_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

  private:
    ResultsTable table_;
    std::vector<std::size_t> order_;
};

// The table view of the Results window: Ctrl+C copies the selection as the window's Copy does.
class ResultsTableView : public QTableView {
    Q_OBJECT
  public:
    using QTableView::QTableView;

  signals:
    void copyRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The Results window: the table (sortable by a click on a column's header), a note of why measures are
// NaN, "Copy" (the selected cells' rows and columns, or the whole table when nothing is selected, as
// tab-separated text with its header line) and "Export CSV...", which hands the shown table to
// `onExport`. A table whose rows have details (a pair's rows within subjects) opens a row's on a
// double-click or "Show subjects", and "Back to pairs" returns to it.
class ResultsWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ResultsWindow(std::function<void(const ResultsTable&)> onExport, QWidget* parent = nullptr);

    void set_table(const ResultsTable& table);
    // Shows the details of the table's row shown in view row `row`; false when it has none.
    bool open_details(int row);
    void back_to_table();
    // As tall as the rows need, within bounds; only taller unless `shrink`.
    void fit_height(bool shrink);
    // What Copy puts on the clipboard.
    QString selection_text() const;
    void copy() const;

    ResultsTableView* view() const { return view_; }
    ResultsModel* model() const { return model_; }
    QPushButton* copy_button() const { return copy_; }
    QPushButton* export_button() const { return export_; }
    QLabel* notes_label() const { return notes_; }
    QPushButton* details_button() const { return details_; }
    QPushButton* back_button() const { return back_; }

  private:
    void show_table(const ResultsTable& table);
    void update_buttons();

    std::function<void(const ResultsTable&)> onExport_;
    ResultsModel* model_;
    ResultsTableView* view_;
    QLabel* summary_;
    QLabel* notes_;
    QPushButton* copy_;
    QPushButton* export_;
    QPushButton* details_;
    QPushButton* back_;
    ResultsTable top_; // the table given, while the window shows one of its rows' details
};

// The one Results window of the program: made when first shown, shown again and brought forward after.
// It deletes itself when closed; the host deletes it if still open when the host goes.
class QtResultsHost : public ResultsHost {
  public:
    QtResultsHost() = default;
    QtResultsHost(const QtResultsHost&) = delete;
    QtResultsHost& operator=(const QtResultsHost&) = delete;
    ~QtResultsHost() override;

    void show(const ResultsTable& table) override;
    // The open window, or null.
    ResultsWindow* window() const { return window_.data(); }

    // Called with the shown table by the window's "Export CSV...".
    std::function<void(const ResultsTable&)> onExport;

  private:
    QPointer<ResultsWindow> window_;
};

} // namespace tarvik
