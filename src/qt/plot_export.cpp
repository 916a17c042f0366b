#include "qt/plot_export.h"

#include "qt/plot_annotations.h"
#include "qt/plot_chart_2d.h"
#include "qt/plot_scatter_3d.h"

#include "core/file_write.h"

#include <Q3DScatter>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QChart>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tarvik {

namespace {

constexpr int kLegendMargin = 10;
// Beside its legend a plot keeps at least half the picture's width.
constexpr double kLegendShare = 0.5;
constexpr int kMsaaSamples = 8;
const char* const kNoOpenGL = "The 3D graph could not be drawn: OpenGL is not available.";

// The height of a 3D plot's title above the graph; a 2D chart holds its own title.
int title_height(const PlotAxes& axes) {
    return axes.is3D ? title_size(title_lines(axes.title), plot_title_font()).height() : 0;
}

// The legend beside a plot in a picture of `size`.
LegendLayout legend_beside(const PlotAxes& axes, const std::vector<LegendEntry>& entries, QSize size) {
    return legend_in_columns(entries, QSize(int(size.width() * kLegendShare) - 2 * kLegendMargin,
                                            size.height() - title_height(axes) - 2 * kLegendMargin));
}

// The width a legend beside the plot takes from the picture, its margins included.
int beside_width(const std::vector<LegendEntry>& entries, const LegendLayout& layout) {
    return entries.empty() ? 0 : layout.size.width() + 2 * kLegendMargin;
}

// A 2D chart laid out for an area's size, in a scene that owns it.
struct LaidOutChart {
    QGraphicsScene scene;
    QChart* chart = nullptr;
    LaidOutChart(const PlotAxes& axes, QSizeF size) : chart(build_chart(axes)) {
        scene.addItem(chart);
        chart->setGeometry(QRectF(QPointF(0, 0), size));
        scene.setSceneRect(QRectF(QPointF(0, 0), size));
    }
    void render(QPainter& painter, const QRectF& target) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        scene.render(&painter, target, QRectF(QPointF(0, 0), target.size()));
        painter.restore();
    }
};

QString render_3d(const PlotAxes& axes, QPainter& painter, const QRect& area, Q3DScatter* graph) {
    const QStringList title = title_lines(axes.title);
    const int titleHeight = title_height(axes);
    const std::vector<LegendEntry> entries = legend_entries(axes);
    const LegendLayout legend = legend_beside(axes, entries, area.size());
    const QRect graphArea(area.left(), area.top() + titleHeight,
                          std::max(1, area.width() - beside_width(entries, legend)),
                          std::max(1, area.height() - titleHeight));

    if (!opengl_available())
        return kNoOpenGL;
    QImage picture;
    if (graph) {
        picture = graph->renderToImage(kMsaaSamples, graphArea.size());
    } else {
        Q3DScatter offscreen;
        prepare_scatter(offscreen);
        show_in_scatter(offscreen, axes);
        picture = offscreen.renderToImage(kMsaaSamples, graphArea.size());
    }
    if (picture.isNull())
        return kNoOpenGL;

    painter.fillRect(area, Qt::white);
    // Into the graph's area whatever the pixel ratio the image was made at.
    painter.drawImage(graphArea, picture);
    paint_title(painter, QRect(area.left(), area.top(), area.width(), titleHeight), title, plot_title_font());
    paint_legend(painter, QPoint(graphArea.right() + 1 + kLegendMargin, graphArea.top() + kLegendMargin), entries,
                 legend);
    return {};
}

} // namespace

std::optional<PictureFormat> picture_format(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == "png")
        return PictureFormat::Png;
    if (ext == "svg")
        return PictureFormat::Svg;
    if (ext == "pdf")
        return PictureFormat::Pdf;
    return std::nullopt;
}

void render_chart(const PlotAxes& axes, QPainter& painter, const QRectF& target) {
    const std::vector<LegendEntry> entries = legend_entries(axes);
    if (!axes.legendOutside) {
        LaidOutChart whole(axes, target.size());
        if (entries.empty() || legend_inside(*whole.chart)) {
            whole.render(painter, target);
            return;
        }
    }
    // The legend beside the chart, level with the top of its plot area.
    PlotAxes outside = axes;
    outside.legendOutside = true;
    const LegendLayout legend = legend_beside(axes, entries, target.size().toSize());
    const QRectF chartArea(target.topLeft(),
                           QSizeF(std::max(1.0, target.width() - beside_width(entries, legend)), target.height()));
    LaidOutChart chart(outside, chartArea.size());
    chart.render(painter, chartArea);
    const int top = std::min(int(chart.chart->plotArea().top()),
                             int(target.height()) - legend.size.height() - kLegendMargin);
    paint_legend(painter, QPoint(int(chartArea.right()) + kLegendMargin, int(target.top()) + std::max(kLegendMargin, top)),
                 entries, legend);
}

QSize picture_size(const PlotAxes& axes, QSize size) {
    const std::vector<LegendEntry> entries = legend_entries(axes);
    const LegendLayout legend = legend_beside(axes, entries, size);
    if (entries.empty() || legend.fits)
        return size;
    return QSize(std::max(size.width(), int(std::ceil(beside_width(entries, legend) / kLegendShare))), size.height());
}

QString render_plot(const PlotDescription& plot, QPaintDevice& device, Q3DScatter* graph) {
    QPainter painter;
    if (!painter.begin(&device))
        return "The picture could not be started.";
    const QRect area(0, 0, device.width(), device.height());
    if (plot.axes.is3D)
        return render_3d(plot.axes, painter, area, graph);
    painter.fillRect(area, Qt::white);
    render_chart(plot.axes, painter, area);
    return {};
}

QString save_plot(const PlotDescription& plot, const QString& path, QSize size, Q3DScatter* graph) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return "Plot pictures need a running Qt application.";
    const std::optional<PictureFormat> format = picture_format(path);
    if (!format)
        return QString("Cannot save \"%1\": use a file name ending in .png, .svg or .pdf.").arg(path);
    if (plot.axes.is3D && *format != PictureFormat::Png)
        return "3D plots are saved as PNG pictures only; SVG and PDF hold 2D plots.";
    size = picture_size(plot.axes, size.expandedTo(QSize(100, 100)));

    // The picture is made in memory and then saved like every file of the program: through a temporary
    // file and a rename, into a device or FIFO as it is, through a link to the file it names.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    switch (*format) {
    case PictureFormat::Png: {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        error = render_plot(plot, image, graph);
        if (error.isEmpty() && !image.save(&buffer, "PNG"))
            error = "The PNG picture could not be made.";
        break;
    }
    case PictureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setResolution(96); // texts the size they have on the screen and in the PNG
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QString::fromStdString(plot.axes.title));
        error = render_plot(plot, svg, graph);
        break;
    }
    case PictureFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96); // one device pixel per screen pixel
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator("TARVIK3D");
        pdf.setTitle(QString::fromStdString(plot.axes.title));
        error = render_plot(plot, pdf, graph);
        break;
    }
    }
    if (!error.isEmpty())
        return error;
    buffer.close(); // the PDF and SVG writers finish their documents when their painters end
    try {
        write_file_replacing(path.toStdString(), bytes.toStdString());
    } catch (const FileWriteError& e) {
        return QString("Cannot write \"%1\": %2.").arg(path, QString::fromStdString(e.reason()));
    }
    return {};
}

std::string QtPlotExporter::save(const PlotDescription& plot, const std::string& path) {
    return save_plot(plot, QString::fromStdString(path)).toStdString();
}

} // namespace tarvik
