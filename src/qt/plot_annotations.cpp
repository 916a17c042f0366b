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
constexpr int kLegendColumnGap = 12;
// Longer names are cut with "..." in the legend: laying out a name costs with its length, and a legend
// wider than the plot shows nothing useful.
constexpr qsizetype kLegendCharacters = 60;
// The smallest font a long legend shrinks to before it grows past its room.
constexpr double kSmallestLegendPoints = 6;

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
    const std::size_t n = std::min(axes.legend->size(), axes.series.size());
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const PlotSeries& s = axes.series[i];
        out.push_back({s.lineSpec, to_qcolor(s.color), legend_text((*axes.legend)[i])});
    }
    return out;
}

namespace {

// The entries in columns of `rows` entries each (all in one column when rows is 0) in `font`.
LegendLayout columns_of(const std::vector<LegendEntry>& entries, const QFont& font, int rows) {
    LegendLayout l;
    l.font = font;
    const QFontMetrics fm(font);
    l.row = std::max(fm.lineSpacing(), kLegendMarker) + 2;
    const int n = int(entries.size());
    l.rows = rows > 0 ? std::min(rows, n) : n;
    int width = 2 * kLegendPadding, widest = 0;
    for (int i = 0; i < n; ++i) {
        widest = std::max(widest, fm.horizontalAdvance(entries[std::size_t(i)].text));
        if ((i + 1) % std::max(1, l.rows) == 0 || i + 1 == n) {
            l.columns.push_back(kLegendMarker + kLegendGap + widest);
            width += l.columns.back() + (l.columns.size() > 1 ? kLegendColumnGap : 0);
            widest = 0;
        }
    }
    l.size = n == 0 ? QSize(0, 0) : QSize(width, 2 * kLegendPadding + l.rows * l.row);
    return l;
}

bool within(QSize size, QSize room) {
    return size.width() <= room.width() && size.height() <= room.height();
}

} // namespace

LegendLayout legend_in_one_column(const std::vector<LegendEntry>& entries, QSize room) {
    LegendLayout l = columns_of(entries, plot_text_font(), 0);
    l.fits = within(l.size, room);
    return l;
}

LegendLayout legend_in_columns(const std::vector<LegendEntry>& entries, QSize room) {
    QFont font = plot_text_font();
    LegendLayout l;
    for (double points = font.pointSizeF(); points >= kSmallestLegendPoints; points -= 1) {
        font.setPointSizeF(points);
        const int row = std::max(QFontMetrics(font).lineSpacing(), kLegendMarker) + 2;
        l = columns_of(entries, font, std::max(1, (room.height() - 2 * kLegendPadding) / row));
        l.fits = within(l.size, room);
        if (l.fits)
            break;
    }
    return l;
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

void paint_legend(QPainter& painter, QPoint at, const std::vector<LegendEntry>& entries, const LegendLayout& layout) {
    if (entries.empty() || layout.rows == 0)
        return;
    painter.save();
    const QRect box(at, layout.size);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(layout.font);
    int x = box.left() + kLegendPadding;
    for (std::size_t c = 0; c < layout.columns.size(); ++c) {
        const std::size_t first = c * std::size_t(layout.rows);
        const std::size_t last = std::min(entries.size(), first + std::size_t(layout.rows));
        int y = box.top() + kLegendPadding;
        for (std::size_t i = first; i < last; ++i) {
            const LegendEntry& e = entries[i];
            const QRectF marker(x, y + (layout.row - kLegendMarker) / 2.0, kLegendMarker, kLegendMarker);
            paint_marker(painter, e.symbol, marker, e.color);
            painter.setPen(Qt::black);
            painter.drawText(QRect(x + kLegendMarker + kLegendGap, y, layout.columns[c] - kLegendMarker - kLegendGap + 2,
                                   layout.row),
                             Qt::AlignLeft | Qt::AlignVCenter, e.text);
            y += layout.row;
        }
        x += layout.columns[c] + kLegendColumnGap;
    }
    painter.restore();
}

} // namespace tarvik
