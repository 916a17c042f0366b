#pragma once

#include "ui/plot_description.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QPainter;

namespace tarvik {

// The title and the legend of a plot as drawn beside a 3D graph: the same painting serves the window
// and the exported picture.

struct LegendEntry {
    std::string symbol; // the series' marker or line style
    QColor color;
    QString text;
    friend bool operator==(const LegendEntry&, const LegendEntry&) = default;
};

// One entry per legend text for the series drawn first, in drawing order; texts beyond the last series
// have nothing to label and are left out. A name longer than 60 characters is cut to its first 57 and
// "...". Every series with a text has its entry. Empty when the plot has no legend.
std::vector<LegendEntry> legend_entries(const PlotAxes& axes);

// Where each entry of a legend goes: top to bottom in columns, the columns left to right, in a box.
struct LegendLayout {
    QFont font;
    int row = 0;              // the height of an entry
    int rows = 0;             // entries in a full column
    std::vector<int> columns; // the width of each column: marker, gap and its widest text
    QSize size;               // the box, its padding included
    bool fits = true;         // the box lies within the room it was laid out for
};

// The legend in one column in the plot text font, as a box inside a plot area of size `room` shows it.
LegendLayout legend_in_one_column(const std::vector<LegendEntry>& entries, QSize room);
// The legend beside a plot: columns as high as `room`, as many as needed; where they are wider than `room`
// the font shrinks, to no less than 6 points. A legend too long even then is laid out larger than `room`
// (fits is false) and still names every entry.
LegendLayout legend_in_columns(const std::vector<LegendEntry>& entries, QSize room);

QStringList title_lines(const std::string& title);
// The title as rich text for Qt Charts, which shows "\n" as a blank: escaped lines, centred.
QString title_rich_text(const std::string& title);

QFont plot_title_font();
QFont plot_text_font();

QSize title_size(const QStringList& lines, const QFont& font);
void paint_title(QPainter& painter, const QRect& area, const QStringList& lines, const QFont& font);

// Paints the legend's box with its top left corner at `at`.
void paint_legend(QPainter& painter, QPoint at, const std::vector<LegendEntry>& entries, const LegendLayout& layout);

} // namespace tarvik
