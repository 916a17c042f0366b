#include "qt/plot_markers.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace tarvik {

QColor to_qcolor(const Color& c) {
    auto channel = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    return QColor::fromRgbF(float(channel(c.r)), float(channel(c.g)), float(channel(c.b)));
}

namespace {

QPolygonF triangle(const QRectF& b, std::string_view direction) {
    const QPointF c = b.center();
    const double r = b.width() / 2;
    // Tip first, then the base corners; the base sits a little inside the box for a balanced look.
    const double h = r * 0.85;
    if (direction == "^")
        return QPolygonF(
            {QPointF(c.x(), c.y() - r), QPointF(c.x() + r, c.y() + h), QPointF(c.x() - r, c.y() + h)});
    if (direction == "v")
        return QPolygonF(
            {QPointF(c.x(), c.y() + r), QPointF(c.x() - r, c.y() - h), QPointF(c.x() + r, c.y() - h)});
    if (direction == ">")
        return QPolygonF(
            {QPointF(c.x() + r, c.y()), QPointF(c.x() - h, c.y() + r), QPointF(c.x() - h, c.y() - r)});
    return QPolygonF(
        {QPointF(c.x() - r, c.y()), QPointF(c.x() + h, c.y() - r), QPointF(c.x() + h, c.y() + r)});
}

} // namespace

void paint_marker(QPainter& painter, std::string_view symbol, const QRectF& box, const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double penWidth = std::max(1.0, box.width() / 8);
    painter.setPen(QPen(color, penWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    // Keep the outline inside the box.
    const QRectF b = box.adjusted(penWidth / 2, penWidth / 2, -penWidth / 2, -penWidth / 2);
    const QPointF c = b.center();
    const double r = b.width() / 2;
    auto plus = [&](double arm) {
        painter.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
        painter.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
    };
    auto cross = [&](double arm) {
        painter.drawLine(QPointF(c.x() - arm, c.y() - arm), QPointF(c.x() + arm, c.y() + arm));
        painter.drawLine(QPointF(c.x() - arm, c.y() + arm), QPointF(c.x() + arm, c.y() - arm));
    };
    if (symbol == "x") {
        cross(r);
    } else if (symbol == "+") {
        plus(r);
    } else if (symbol == "*") {
        plus(r);
        cross(r * std::sqrt(0.5));
    } else if (symbol == "o") {
        painter.drawEllipse(c, r, r);
    } else if (symbol == ".") {
        // A dot is the one marker with a face: it is too small to show an outline.
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(c, r * 0.4, r * 0.4);
    } else if (symbol == "s") {
        const double a = r * 0.85;
        painter.drawRect(QRectF(c.x() - a, c.y() - a, 2 * a, 2 * a));
    } else if (symbol == "^" || symbol == "v" || symbol == ">" || symbol == "<") {
        painter.drawPolygon(triangle(b, symbol));
    } else {
        painter.setPen(QPen(color, penWidth, line_pen_style(symbol), Qt::FlatCap));
        painter.drawLine(QPointF(box.left(), c.y()), QPointF(box.right(), c.y()));
    }
    painter.restore();
}

QImage marker_image(std::string_view symbol, const QColor& color, int size, int scale) {
    const int side = std::max(1, size * std::max(1, scale));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint_marker(painter, symbol, QRectF(0, 0, side, side), color);
    return image;
}

Qt::PenStyle line_pen_style(std::string_view lineSpec) {
    if (lineSpec == "--")
        return Qt::DashLine;
    if (lineSpec == ":")
        return Qt::DotLine;
    if (lineSpec == "-.")
        return Qt::DashDotLine;
    return Qt::SolidLine;
}

} // namespace tarvik
