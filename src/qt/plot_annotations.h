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
    bool note = false; // "... and N more": names no series
    friend bool operator==(const LegendEntry&, const LegendEntry&) = default;
};

// One entry per legend text for the series drawn first, in drawing order; texts beyond the last series
// have nothing to label and are left out. A name longer than 60 characters is cut to its first 57 and
// "...". At most 20 series are named; a note "... and N more" then ends the list. Empty when the plot
// has no legend.
std::vector<LegendEntry> legend_entries(const PlotAxes& axes);

QStringList title_lines(const std::string& title);
// The title as rich text for Qt Charts, which shows "\n" as a blank: escaped lines, centred.
QString title_rich_text(const std::string& title);

QFont plot_title_font();
QFont plot_text_font();

QSize title_size(const QStringList& lines, const QFont& font);
void paint_title(QPainter& painter, const QRect& area, const QStringList& lines, const QFont& font);

QSize legend_size(const std::vector<LegendEntry>& entries, const QFont& font);
void paint_legend(QPainter& painter, const QRect& area, const std::vector<LegendEntry>& entries,
                  const QFont& font);

} // namespace tarvik
