#include "qt/results_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace tarvik {

namespace {

const char* const kTitle = "Results";
const char* const kSortHint = "Click a column's header to sort by it; Copy takes the selected rows and columns.";
const char* const kNotesLead = "Some measures are NaN:";
// How many reasons the note shows; the tooltip has them all.
constexpr std::size_t kShownNotes = 4;
// The window's first size: wide enough for the grid columns, as tall as its rows need within bounds.
constexpr int kWidth = 1100;
constexpr int kMinHeight = 240;
constexpr int kMaxHeight = 640;

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString plural(std::size_t n, const char* word) {
    return QString("%1 %2%3").arg(n).arg(word, n == 1 ? "" : "s");
}

// "12 pairs in 2D and 12 in 3D.", or for a pair's rows within subjects "Pair i-e (2D) within 6 subjects,
// then their summaries."
QString summary_text(const ResultsTable& table) {
    if (const std::size_t subject = column_index(table, "subject"); subject < table.columns.size()) {
        std::size_t subjects = 0;
        for (const auto& row : table.rows)
            subjects += row[subject].text.starts_with("ALL_") ? 0 : 1;
        const auto text = [&](const char* name) {
            const std::size_t c = column_index(table, name);
            return c < table.columns.size() ? qs(cell_text(table, 0, c)) : QString("?");
        };
        return table.rows.empty() ? QString(kSortHint)
                                  : QString("Pair %1 and %2 (%3) within %4, then their summaries. ")
                                            .arg(text("group_a"), text("group_b"), text("dimension"),
                                                 plural(subjects, "subject")) +
                                        kSortHint;
    }
    const std::size_t dimension = column_index(table, "dimension");
    std::size_t twoD = 0, threeD = 0;
    for (const auto& row : table.rows)
        (dimension < row.size() && row[dimension].text == "3D" ? threeD : twoD) += 1;
    QStringList parts;
    if (twoD > 0)
        parts << plural(twoD, "pair") + " in 2D";
    if (threeD > 0)
        parts << (twoD > 0 ? QString::number(threeD) : plural(threeD, "pair")) + " in 3D";
    return parts.join(" and ") + ". " + kSortHint;
}

} // namespace

void ResultsModel::set_table(ResultsTable table) {
    beginResetModel();
    table_ = std::move(table);
    order_ = sorted_rows(table_, table_.columns.size(), false);
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const std::size_t row = table_row(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return qs(cell_display_text(table_, row, column));
    case Qt::ToolTipRole:
        return qs(cell_text(table_, row, column));
    case Qt::TextAlignmentRole:
        return table_.columns[column].kind == ColumnKind::Text
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return qs(table_.columns.at(static_cast<std::size_t>(section)).name);
}

void ResultsModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::size_t> before = order_;
    order_ = sorted_rows(table_, column < 0 ? table_.columns.size() : static_cast<std::size_t>(column),
                         order == Qt::DescendingOrder);
    std::vector<int> viewRow(order_.size()); // of each table row, after
    for (std::size_t r = 0; r < order_.size(); ++r)
        viewRow[order_[r]] = static_cast<int>(r);
    // The selection and the current cell follow their rows.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex& i : from)
        to << index(viewRow[before[static_cast<std::size_t>(i.row())]], i.column());
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultsTableView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

ResultsWindow::ResultsWindow(std::function<void(const ResultsTable&)> onExport, QWidget* parent)
    : QWidget(parent), onExport_(std::move(onExport)), model_(new ResultsModel(this)),
      view_(new ResultsTableView(this)), summary_(new QLabel(this)), notes_(new QLabel(this)),
      copy_(new QPushButton("Copy", this)), export_(new QPushButton("Export CSV...", this)),
      details_(new QPushButton("Show subjects", this)), back_(new QPushButton("Back to pairs", this)) {
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setAlternatingRowColors(true);
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view_->setSortingEnabled(true);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    summary_->setWordWrap(true);
    notes_->setWordWrap(true);
    notes_->setVisible(false);
    auto* close = new QPushButton("Close", this);
    copy_->setToolTip("Copy the selected rows and columns (or the whole table) as tab-separated text");
    export_->setToolTip("Save the whole table as a CSV file");
    export_->setEnabled(static_cast<bool>(onExport_));
    details_->setToolTip("The selected pair's values within each subject (or double-click the pair)");
    back_->setToolTip("Back to the summary of every pair");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addWidget(export_);
    buttons->addWidget(details_);
    buttons->addWidget(back_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(view_, 1);
    layout->addWidget(notes_);
    layout->addLayout(buttons);

    connect(view_, &ResultsTableView::copyRequested, this, [this] { copy(); });
    connect(copy_, &QPushButton::clicked, this, [this] { copy(); });
    connect(export_, &QPushButton::clicked, this, [this] {
        if (onExport_)
            onExport_(model_->table());
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Queued: the view still uses the clicked index after the signal, and the new table would invalidate it.
    connect(
        view_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { open_details(i.row()); },
        Qt::QueuedConnection);
    connect(details_, &QPushButton::clicked, this, [this] {
        const QModelIndex current = view_->currentIndex();
        open_details(current.isValid() ? current.row() : 0);
    });
    connect(back_, &QPushButton::clicked, this, [this] { back_to_table(); });
    resize(kWidth, kMaxHeight);
}

void ResultsWindow::set_table(const ResultsTable& table) {
    top_ = ResultsTable{};
    show_table(table);
}

bool ResultsWindow::open_details(int row) {
    const ResultsTable& table = model_->table();
    if (row < 0 || row >= model_->rowCount() || table.details.empty())
        return false;
    const std::size_t at = model_->table_row(row);
    if (at >= table.details.size())
        return false;
    top_ = table;
    show_table(top_.details[at]);
    return true;
}

void ResultsWindow::back_to_table() {
    if (top_.columns.empty())
        return;
    ResultsTable table = std::move(top_);
    set_table(table);
}

void ResultsWindow::update_buttons() {
    details_->setVisible(!model_->table().details.empty());
    back_->setVisible(!top_.columns.empty());
}

void ResultsWindow::fit_height(bool shrink) {
    const int wanted = std::clamp(sizeHint().height() - view_->sizeHint().height() +
                                      view_->horizontalHeader()->height() + view_->verticalHeader()->length() + 40,
                                  kMinHeight, kMaxHeight);
    if (shrink || wanted > height())
        resize(width(), wanted);
}

void ResultsWindow::show_table(const ResultsTable& table) {
    // A new table starts in its own order.
    view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    model_->set_table(table);
    view_->resizeColumnsToContents();
    summary_->setText(summary_text(table));
    QStringList shown, all;
    for (const auto& line : table.notes) {
        all << qs(line);
        if (static_cast<std::size_t>(shown.size()) < kShownNotes)
            shown << qs(line);
    }
    if (table.notes.size() > kShownNotes)
        shown << QString("... and %1 more (see the tooltip)").arg(table.notes.size() - kShownNotes);
    notes_->setText(QString(kNotesLead) + "\n" + shown.join('\n'));
    notes_->setToolTip(all.join('\n'));
    notes_->setVisible(!table.notes.empty());
    update_buttons();
    if (isVisible()) // a longer table (a pair's subjects) makes the window taller, within bounds
        fit_height(false);
}

QString ResultsWindow::selection_text() const {
    const ResultsTable& table = model_->table();
    std::set<int> viewRows;
    std::set<std::size_t> columns;
    for (const QModelIndex& i : view_->selectionModel()->selectedIndexes()) {
        viewRows.insert(i.row());
        columns.insert(static_cast<std::size_t>(i.column()));
    }
    if (viewRows.empty()) { // nothing selected: the whole table as shown
        for (int r = 0; r < model_->rowCount(); ++r)
            viewRows.insert(r);
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            columns.insert(c);
    }
    std::vector<std::size_t> rows;
    for (const int r : viewRows)
        rows.push_back(model_->table_row(r));
    return qs(tsv_text(table, rows, {columns.begin(), columns.end()}));
}

void ResultsWindow::copy() const { QApplication::clipboard()->setText(selection_text()); }

QtResultsHost::~QtResultsHost() { delete window_.data(); }

void QtResultsHost::show(const ResultsTable& table) {
    const bool created = !window_;
    if (created)
        window_ = new ResultsWindow(onExport);
    window_->set_table(table);
    if (created)
        window_->fit_height(true);
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

} // namespace tarvik
