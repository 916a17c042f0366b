#include "qt/plot_chart_view.h"

#include "qt/plot_chart_2d.h"
#include "qt/plot_range.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>

namespace tarvik {

namespace {

constexpr double kWheelZoom = 1.25;

} // namespace

PlotChartView::PlotChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setRenderHint(QPainter::Antialiasing);
    setRenderHint(QPainter::SmoothPixmapTransform);
    setRubberBand(QChartView::NoRubberBand);
}

void PlotChartView::set_editing(bool on) {
    editing_ = on;
    setRubberBand(on ? QChartView::RectangleRubberBand : QChartView::NoRubberBand);
    panning_ = false;
}

void PlotChartView::zoom_at(const QPointF& at, double factor) {
    if (!chart() || !(factor > 0))
        return;
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QPointF p = chart()->mapFromScene(mapToScene(at.toPoint()));
    // Fraction of the way across the plot area, measured from where the axis starts when not reversed.
    const double fx = (p.x() - area.left()) / area.width();
    const double fy = (area.bottom() - p.y()) / area.height();
    for (int i = 0; i < 2; ++i) {
        QValueAxis* axis = chart_axis(*chart(), i);
        if (!axis)
            continue;
        const double span = axis->max() - axis->min();
        const double f = axis->isReverse() ? 1 - (i == 0 ? fx : fy) : (i == 0 ? fx : fy);
        const double value = axis->min() + f * span;
        const double newSpan = span / factor;
        if (!(newSpan > 0) || newSpan > kAxisEnd)
            continue;
        axis->setRange(value - f * newSpan, value - f * newSpan + newSpan);
    }
    viewChanged_ = true;
}

void PlotChartView::pan_by(const QPointF& delta) {
    if (!chart())
        return;
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    for (int i = 0; i < 2; ++i) {
        QValueAxis* axis = chart_axis(*chart(), i);
        if (!axis)
            continue;
        const double span = axis->max() - axis->min();
        // Screen x grows to the right like an ordinary x axis; screen y grows downwards, against y.
        double shift = i == 0 ? -delta.x() * span / area.width() : delta.y() * span / area.height();
        if (axis->isReverse())
            shift = -shift;
        if (!(std::abs(axis->min() + shift) <= kAxisEnd && std::abs(axis->max() + shift) <= kAxisEnd))
            continue;
        axis->setRange(axis->min() + shift, axis->max() + shift);
    }
    viewChanged_ = true;
}

void PlotChartView::wheelEvent(QWheelEvent* event) {
    if (!editing_) {
        event->ignore();
        return;
    }
    const int steps = event->angleDelta().y();
    if (steps != 0)
        zoom_at(event->position(), steps > 0 ? kWheelZoom : 1 / kWheelZoom);
    event->accept();
}

void PlotChartView::mousePressEvent(QMouseEvent* event) {
    const bool pan = event->button() == Qt::MiddleButton ||
                     (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (editing_ && pan) {
        panning_ = true;
        last_ = event->position();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
    if (editing_ && event->button() == Qt::RightButton)
        viewChanged_ = true;
}

void PlotChartView::mouseMoveEvent(QMouseEvent* event) {
    if (panning_) {
        pan_by(event->position() - last_);
        last_ = event->position();
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void PlotChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (panning_) {
        panning_ = false;
        unsetCursor();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void PlotChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!editing_ || !chart()) {
        QChartView::mouseDoubleClickEvent(event);
        return;
    }
    const QPointF p = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    const QRectF area = chart()->plotArea();
    if (p.y() < area.top())
        emit textEditRequested(Text::Title);
    else if (p.y() > area.bottom())
        emit textEditRequested(Text::XLabel);
    else if (p.x() < area.left())
        emit textEditRequested(Text::YLabel);
    event->accept();
}

void PlotChartView::contextMenuEvent(QContextMenuEvent* event) {
    // In editing mode the right button zooms out.
    if (!editing_ && !actions().isEmpty())
        QMenu::exec(actions(), event->globalPos(), nullptr, this);
    event->accept();
}

} // namespace tarvik
