#include "qt/plot_chart_2d.h"

#include "qt/plot_annotations.h"
#include "qt/plot_markers.h"
#include "qt/plot_range.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
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

    const std::vector<LegendEntry> entries = legend_entries(axes);
    QLegend* legend = chart->legend();
    legend->setVisible(axes.legend.has_value());
    legend->setAlignment(Qt::AlignRight);
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->setFont(plot_text_font());
    const auto add = [&](QXYSeries* s, const QString& name, bool inLegend) {
        s->setName(name.toHtmlEscaped()); // legend labels are rich text
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
        if (!inLegend)
            for (QLegendMarker* m : legend->markers(s))
                m->setVisible(false);
    };
    const std::size_t named = entries.empty() || !entries.back().note ? entries.size() : entries.size() - 1;
    // Past the named ones, groups drawn with the same symbol and colour share one series: a chart lays
    // out its series again as each is added, so thousands of series would cost the square of their number.
    // Lines stay apart, as one must not run on from one group to the next.
    std::map<std::tuple<std::string, double, double, double>, QXYSeries*> shared;
    for (std::size_t i = 0; i < axes.series.size(); ++i) {
        const PlotSeries& p = axes.series[i];
        const bool mergeable = i >= named && is_marker_symbol(p.lineSpec);
        const auto key = std::make_tuple(p.lineSpec, p.color.r, p.color.g, p.color.b);
        if (const auto it = shared.find(key); mergeable && it != shared.end()) {
            it->second->append(drawable_points(p));
            continue;
        }
        QXYSeries* s = make_series(p);
        add(s, i < named ? entries[i].text : QString(), i < named);
        if (mergeable)
            shared.emplace(key, s);
    }
    if (named < entries.size()) { // the note, on an invisible series without points
        auto* note = new QScatterSeries;
        note->setColor(Qt::transparent);
        note->setBorderColor(Qt::transparent);
        add(note, entries.back().text, true);
    }
    return chart;
}

QValueAxis* chart_axis(const QChart& chart, int axis) {
    const auto list = chart.axes(axis == 0 ? Qt::Horizontal : Qt::Vertical);
    return list.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(list.first());
}

} // namespace tarvik
