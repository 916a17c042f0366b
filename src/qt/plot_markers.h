#pragma once

#include "core/color.h"

#include <QColor>
#include <QImage>
#include <QRectF>

#include <string_view>

class QPainter;

namespace tarvik {

QColor to_qcolor(const Color& c);

// Draws one marker symbol ("x", "+", "o", "*", ".", "s", "^", "v", ">", "<") centred in `box`: outline
// only, in `color`. Any other text draws a short horizontal line, the way a line style is shown in a
// legend.
void paint_marker(QPainter& painter, std::string_view symbol, const QRectF& box, const QColor& color);

// The marker drawn into a transparent square image, `scale` times `size` pixels wide, so that a
// renderer that scales it down or prints it stays sharp.
QImage marker_image(std::string_view symbol, const QColor& color, int size, int scale = 2);

// The Qt pen style for a line style ("-", "--", ":", "-."); a solid line for anything else.
Qt::PenStyle line_pen_style(std::string_view lineSpec);

} // namespace tarvik
