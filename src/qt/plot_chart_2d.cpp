#include "qt/plot_chart_2d.h"

#include "qt/plot_annotations.h"
#include "qt/plot_markers.h"
#include "qt/plot_range.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsItem>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>
#include <map>
#include <tuple>

namespace tarvik {

namespace {

// Points with a missing coordinate are left out, as they cannot be placed.
QList<QPointF> drawable_points(const PlotSeries& s) {
    QList<QPointF> points;
    const std::size_t n = point_count(s, false);
    points.reserve(qsizetype(n));
    for (std::size_t i = 0; i < n; ++i)
        if (is_drawable(s, i, false))
            points.append(QPointF(s.x[i], s.y[i]));
    return points;
}

QXYSeries* make_series(const PlotSeries& s) {
    const QColor color = to_qcolor(s.color);
    QXYSeries* out = nullptr;
    if (is_marker_symbol(s.lineSpec)) {
        auto* scatter = new QScatterSeries;
        scatter->setMarkerSize(kMarkerSize2D);
        scatter->setColor(color);
        scatter->setBorderColor(color);
        // Qt Charts has no crosses, stars or pointed triangles: each symbol is drawn as its own image.
        scatter->setLightMarker(marker_image(s.lineSpec, color, kMarkerSize2D));
        out = scatter;
    } else {
        auto* line = new QLineSeries;
        line->setPen(QPen(color, 1.5, line_pen_style(s.lineSpec)));
        out = line;
    }
    out->append(drawable_points(s));
    return out;
}

// More ticks than this on one axis are not labelled (the widest zoom of a huge range).
constexpr double kMostTicks = 1000;

// Qt Charts adds its tick interval up from the first tick and labels the sums, so the tick at zero would
// read as a rounding residue (-5.55112e-17). The axis labels its ticks itself, each at a whole multiple
// of the step, and again whenever a zoom or a pan changes its range.
void label_ticks(QCategoryAxis& axis, double step) {
    for (const QString& label : axis.categoriesLabels())
        axis.remove(label);
    const double first = std::ceil(axis.min() / step - 1e-9);
    const double last = std::floor(axis.max() / step + 1e-9);
    if (!std::isfinite(first) || !std::isfinite(last) || !(last - first <= kMostTicks))
        return;
    axis.setStartValue((first - 1) * step); // below the range: no tick at its edge
    for (double k = first; k <= last; ++k) {
        const double value = k == 0 ? 0.0 : k * step; // no "-0"
        axis.append(QString::asprintf("%g", value), value);
    }
}

void set_up_axis(QCategoryAxis& axis, const PlotAxes& axes, int index) {
    const AxisRange r = axis_range(axes, index);
    axis.setRange(r.lo, r.hi);
    axis.setTickInterval(r.step);
    axis.setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    label_ticks(axis, r.step);
    QObject::connect(&axis, &QValueAxis::rangeChanged, &axis,
                     [&axis, step = r.step](qreal, qreal) { label_ticks(axis, step); });
    axis.setReverse(axes.reversed[index]);
    axis.setGridLineVisible(axes.grid[index]);
    axis.setMinorGridLineVisible(false);
    axis.setTitleText(QString::fromStdString(axes.labels[index]).toHtmlEscaped());
    axis.setTitleFont(plot_text_font());
    axis.setLabelsFont(plot_text_font());
}

// Space between the plot area's edges and a legend inside it.
constexpr int kLegendInset = 8;

// The legend inside the plot area, over the series.
class InsideLegend : public QGraphicsItem {
  public:
    InsideLegend(std::vector<LegendEntry> entries, bool outside, QGraphicsItem* parent)
        : QGraphicsItem(parent), entries_(std::move(entries)), outside_(outside) {
        setZValue(1000);
        setVisible(false);
    }
    QRectF boundingRect() const override { return QRectF(QPointF(0, 0), layout_.size); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        paint_legend(*painter, QPoint(0, 0), entries_, layout_);
    }
    bool shown() const { return shown_; }
    void set_outside(bool outside) {
        outside_ = outside;
        place(area_);
    }
    void place(const QRectF& area) {
        area_ = area;
        const QSize room(int(area.width() / 2), int(area.height()) - 2 * kLegendInset);
        prepareGeometryChange();
        layout_ = legend_in_one_column(entries_, room);
        shown_ = !outside_ && !entries_.empty() && layout_.fits;
        setPos(area.right() - kLegendInset - layout_.size.width(), area.top() + kLegendInset);
        setVisible(shown_);
    }

  private:
    std::vector<LegendEntry> entries_;
    bool outside_;
    LegendLayout layout_;
    QRectF area_;
    bool shown_ = false;
};

InsideLegend* inside_legend(const QChart& chart) {
    for (QGraphicsItem* item : chart.childItems())
        if (auto* legend = dynamic_cast<InsideLegend*>(item))
            return legend;
    return nullptr;
}

} // namespace

QChart* build_chart(const PlotAxes& axes) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setBackgroundBrush(Qt::white);
    chart->setTitle(title_rich_text(axes.title));
    chart->setTitleFont(plot_title_font());
    chart->setTitleBrush(Qt::black);

    auto* x = new QCategoryAxis;
    auto* y = new QCategoryAxis;
    x->setObjectName("x");
    y->setObjectName("y");
    set_up_axis(*x, axes, 0);
    set_up_axis(*y, axes, 1);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    // The legend is the program's own (it lays out any number of entries in columns), not Qt Charts'.
    chart->legend()->setVisible(false);

    // Groups drawn with the same symbol and colour share one series: a chart lays out its series again
    // as each is added, so thousands of series would cost the square of their number. Lines stay apart,
    // as one must not run on from one group to the next.
    std::map<std::tuple<std::string, double, double, double>, QXYSeries*> shared;
    for (const PlotSeries& p : axes.series) {
        const bool mergeable = is_marker_symbol(p.lineSpec);
        const auto key = std::make_tuple(p.lineSpec, p.color.r, p.color.g, p.color.b);
        if (const auto it = shared.find(key); mergeable && it != shared.end()) {
            it->second->append(drawable_points(p));
            continue;
        }
        QXYSeries* s = make_series(p);
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
        if (mergeable)
            shared.emplace(key, s);
    }

    auto* legend = new InsideLegend(legend_entries(axes), axes.legendOutside, chart);
    QObject::connect(chart, &QChart::plotAreaChanged, chart, [legend](const QRectF& area) { legend->place(area); });
    return chart;
}

bool legend_inside(const QChart& chart) {
    const InsideLegend* legend = inside_legend(chart);
    return legend && legend->shown();
}

void set_legend_outside(QChart& chart, bool outside) {
    if (InsideLegend* legend = inside_legend(chart))
        legend->set_outside(outside);
}

QValueAxis* chart_axis(const QChart& chart, int axis) {
    const auto list = chart.axes(axis == 0 ? Qt::Horizontal : Qt::Vertical);
    return list.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(list.first());
}

} // namespace tarvik
