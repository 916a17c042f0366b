#pragma once

#include "ui/services.h"

#include <QSize>
#include <QString>

#include <optional>

class Q3DScatter;
class QPaintDevice;
class QPainter;
class QRectF;

namespace tarvik {

// The size of a picture written without a window to copy it from.
inline constexpr QSize kPictureSize{800, 600};

enum class PictureFormat { Png, Svg, Pdf };

// The picture format named by a file's extension (case-insensitive), if it is one of ours.
std::optional<PictureFormat> picture_format(const QString& path);

// Draws a 2D plot into an area of any painter: the chart is laid out for that area's size, with its
// legend inside the plot area where it fits there, else beside it.
void render_chart(const PlotAxes& axes, QPainter& painter, const QRectF& target);

// The size of a plot's picture asked for at `size`: wider only where the legend beside the plot needs
// more than half of it even in its smallest font, so that the picture names every entry.
QSize picture_size(const PlotAxes& axes, QSize size);

// Draws a plot so that it fills a paint device (image, SVG, PDF). A 3D plot is the graph's picture with
// the title above and the legend beside it; `graph` is the graph of a window, to keep its view, and
// without one the plot is drawn by an offscreen graph. Returns an empty text, or why it failed.
QString render_plot(const PlotDescription& plot, QPaintDevice& device, Q3DScatter* graph = nullptr);

// Writes a plot to a PNG, SVG or PDF file chosen by the extension, of picture_size(size); 3D plots go
// to PNG only. Returns an empty text, or why nothing was written.
QString save_plot(const PlotDescription& plot, const QString& path, QSize size = kPictureSize,
                  Q3DScatter* graph = nullptr);

// Plot pictures for the batch tool: renders the description offscreen. Needs a Qt application object
// (the offscreen platform will do).
class QtPlotExporter : public PlotExporter {
  public:
    std::string save(const PlotDescription& plot, const std::string& path) override;
};

} // namespace tarvik
