#include "qt/plot_annotations.h"

#include "qt/plot_markers.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tarvik {

namespace {

constexpr int kLegendPadding = 6;
constexpr int kLegendMarker = 12;
constexpr int kLegendGap = 6;
// Longer names are cut with "..." in the legend: laying out a name costs with its length, and a legend
// wider than the plot shows nothing useful.
constexpr qsizetype kLegendCharacters = 60;
// A legend of thousands of groups would be taller than any plot, and laying it out costs the square of
// its length in Qt Charts.
constexpr std::size_t kLegendEntries = 20;

QString legend_text(const std::string& name) {
    QString text = QString::fromStdString(name);
    if (text.size() <= kLegendCharacters)
        return text;
    qsizetype cut = kLegendCharacters - 3;
    if (text.at(cut - 1).isHighSurrogate()) // never half a character
        --cut;
    return text.left(cut) + "...";
}

} // namespace

std::vector<LegendEntry> legend_entries(const PlotAxes& axes) {
    std::vector<LegendEntry> out;
    if (!axes.legend)
        return out;
    const std::size_t named = std::min(axes.legend->size(), axes.series.size());
    const std::size_t n = std::min(named, kLegendEntries);
    for (std::size_t i = 0; i < n; ++i) {
        const PlotSeries& s = axes.series[i];
        out.push_back({s.lineSpec, to_qcolor(s.color), legend_text((*axes.legend)[i])});
    }
    if (named > n)
        out.push_back({"", Qt::transparent, QString("... and %1 more").arg(named - n), true});
    return out;
}

QStringList title_lines(const std::string& title) {
    if (title.empty())
        return {};
    return QString::fromStdString(title).split('\n');
}

QString title_rich_text(const std::string& title) {
    if (title.empty())
        return {};
    QStringList escaped;
    for (const QString& line : title_lines(title))
        escaped << line.toHtmlEscaped();
    // Each line centred on its own, as in the 3D title.
    return "<center>" + escaped.join("<br>") + "</center>";
}

QFont plot_title_font() {
    QFont f;
    f.setPointSizeF(11);
    f.setBold(true);
    return f;
}

QFont plot_text_font() {
    QFont f;
    f.setPointSizeF(9);
    return f;
}

QSize title_size(const QStringList& lines, const QFont& font) {
    const QFontMetrics fm(font);
    int width = 0;
    for (const QString& l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    const int height = lines.isEmpty() ? 0 : int(lines.size()) * fm.lineSpacing() + 8;
    return QSize(width, height);
}

void paint_title(QPainter& painter, const QRect& area, const QStringList& lines, const QFont& font) {
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics fm(font);
    int y = area.top() + 4;
    for (const QString& l : lines) {
        painter.drawText(QRect(area.left(), y, area.width(), fm.lineSpacing()),
                         Qt::AlignHCenter | Qt::AlignVCenter, l);
        y += fm.lineSpacing();
    }
    painter.restore();
}

QSize legend_size(const std::vector<LegendEntry>& entries, const QFont& font) {
    if (entries.empty())
        return QSize(0, 0);
    const QFontMetrics fm(font);
    int textWidth = 0;
    for (const LegendEntry& e : entries)
        textWidth = std::max(textWidth, fm.horizontalAdvance(e.text));
    const int row = std::max(fm.lineSpacing(), kLegendMarker) + 2;
    return QSize(2 * kLegendPadding + kLegendMarker + kLegendGap + textWidth,
                 2 * kLegendPadding + int(entries.size()) * row);
}

void paint_legend(QPainter& painter, const QRect& area, const std::vector<LegendEntry>& entries,
                  const QFont& font) {
    if (entries.empty())
        return;
    painter.save();
    const QSize size = legend_size(entries, font);
    const QRect box(area.topLeft(), size.boundedTo(area.size()));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(font);
    const QFontMetrics fm(font);
    const int row = std::max(fm.lineSpacing(), kLegendMarker) + 2;
    int y = box.top() + kLegendPadding;
    for (const LegendEntry& e : entries) {
        const QRectF marker(box.left() + kLegendPadding, y + (row - kLegendMarker) / 2.0, kLegendMarker,
                            kLegendMarker);
        paint_marker(painter, e.symbol, marker, e.color);
        painter.setPen(Qt::black);
        painter.drawText(QRect(int(marker.right()) + kLegendGap, y, box.right() - int(marker.right()), row),
                         Qt::AlignLeft | Qt::AlignVCenter, e.text);
        y += row;
    }
    painter.restore();
}

} // namespace tarvik
