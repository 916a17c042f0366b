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

#include <memory>

namespace tarvik {

namespace {

constexpr int kLegendMargin = 10;
constexpr int kMsaaSamples = 4;
const char* const kNoOpenGL = "The 3D graph could not be drawn: OpenGL is not available.";

QString render_3d(const PlotAxes& axes, QPainter& painter, const QRect& area, Q3DScatter* graph) {
    const QStringList title = title_lines(axes.title);
    const int titleHeight = title_size(title, plot_title_font()).height();
    const std::vector<LegendEntry> entries = legend_entries(axes);
    const QSize legend = legend_size(entries, plot_text_font());
    const int legendWidth = entries.empty() ? 0 : legend.width() + 2 * kLegendMargin;
    const QRect graphArea(area.left(), area.top() + titleHeight, std::max(1, area.width() - legendWidth),
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
    painter.drawImage(graphArea.topLeft(), picture);
    paint_title(painter, QRect(area.left(), area.top(), area.width(), titleHeight), title, plot_title_font());
    paint_legend(painter,
                 QRect(graphArea.right() + kLegendMargin, graphArea.top() + kLegendMargin, legend.width(),
                       graphArea.height()),
                 entries, plot_text_font());
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
    QGraphicsScene scene; // owns the chart
    QChart* chart = build_chart(axes);
    scene.addItem(chart);
    const QRectF source(QPointF(0, 0), target.size());
    chart->setGeometry(source);
    scene.setSceneRect(source);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    scene.render(&painter, target, source);
    painter.restore();
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
    size = size.expandedTo(QSize(100, 100));

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
