#include "qt/plot_scatter_3d.h"

#include "qt/plot_markers.h"
#include "qt/plot_range.h"

#include <Q3DCamera>
#include <Q3DScatter>
#include <Q3DScene>
#include <Q3DTheme>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QScatter3DSeries>
#include <QScatterDataProxy>
#include <QValue3DAxis>
#include <QValue3DAxisFormatter>

#include <algorithm>
#include <cmath>

// The meshes live in a static library, so their resources are registered by hand.
static void register_marker_meshes() {
    Q_INIT_RESOURCE(plot_meshes);
}

namespace tarvik {

namespace {

constexpr float kItemSize = 0.1f;

// The graph works in floats: its axes end well inside their range, so that a span never overflows.
constexpr double kFloatAxisEnd = 1e37;

bool fits_float(double v) {
    return std::abs(v) <= kFloatAxisEnd;
}

// The graph draws every axis from 0 to 1, so that the box has the same proportions whatever the data's
// ranges (F2 spans thousands of hertz, normalized durations a few hundredths); the labels show the
// data's own values.
class DataAxisFormatter : public QValue3DAxisFormatter {
  public:
    DataAxisFormatter(AxisRange range, QString format) : range_(range), format_(std::move(format)) {}

  protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new DataAxisFormatter(range_, format_); }
    void populateCopy(QValue3DAxisFormatter& copy) const override {
        QValue3DAxisFormatter::populateCopy(copy);
        auto& mine = static_cast<DataAxisFormatter&>(copy);
        mine.range_ = range_;
        mine.format_ = format_;
    }
    QString stringForValue(qreal value, const QString&) const override {
        double v = range_.lo + value * (range_.hi - range_.lo);
        if (std::abs(v) < 1e-9 * std::max(std::abs(range_.lo), std::abs(range_.hi)))
            v = 0; // a tick at zero, not a rounding residue
        return QString::asprintf(format_.toLatin1().constData(), v);
    }

  private:
    AxisRange range_;
    QString format_;
};

// As many decimals as the step needs; very large or small values in the short exponent form.
QString label_format(const AxisRange& r) {
    const double largest = std::max(std::abs(r.lo), std::abs(r.hi));
    if (r.step > 0 && std::isfinite(r.step) && largest < 1e6 && r.step >= 1e-6)
        return QString("%.%1f").arg(std::max(0, int(-std::floor(std::log10(r.step) + 1e-9))));
    return "%.4g";
}

// Where a data value sits on an axis drawn from 0 to 1.
float unit_position(double v, const AxisRange& r) {
    return float((v - r.lo) / (r.hi - r.lo));
}

void set_up_axis(QValue3DAxis* axis, const PlotAxes& axes, int index, const AxisRange& r) {
    axis->setFormatter(new DataAxisFormatter(r, label_format(r)));
    axis->setRange(0.f, 1.f);
    axis->setSegmentCount(std::clamp(int(std::lround((r.hi - r.lo) / r.step)), 1, 20));
    axis->setSubSegmentCount(1);
    axis->setReversed(axes.reversed[index]);
    axis->setTitle(QString::fromStdString(axes.labels[index]));
    axis->setTitleVisible(true);
}

} // namespace

MarkerMesh marker_mesh(std::string_view symbol) {
    MarkerMesh m;
    const QVector3D depth(0, 0, 1);
    if (symbol == "o")
        m.mesh = QAbstract3DSeries::MeshSphere;
    else if (symbol == ".")
        m.mesh = QAbstract3DSeries::MeshPoint;
    else if (symbol == "s")
        m.mesh = QAbstract3DSeries::MeshCube;
    else if (symbol == "^" || symbol == "v" || symbol == ">" || symbol == "<") {
        // The pyramid points up the vertical axis; turn it about the depth axis for the other three.
        m.mesh = QAbstract3DSeries::MeshPyramid;
        const float angle = symbol == "v" ? 180.f : symbol == ">" ? -90.f : symbol == "<" ? 90.f : 0.f;
        m.rotation = QQuaternion::fromAxisAndAngle(depth, angle);
    } else if (symbol == "x" || symbol == "+" || symbol == "*") {
        m.mesh = QAbstract3DSeries::MeshUserDefined;
        m.file = symbol == "x"   ? ":/meshes/cross.obj"
                 : symbol == "+" ? ":/meshes/plus.obj"
                                 : ":/meshes/asterisk.obj";
    }
    // A line style has no 3D form: its points are drawn as points.
    return m;
}

bool opengl_available() {
    static const bool available = [] {
        QOpenGLContext context;
        if (!context.create())
            return false;
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        return surface.isValid() && context.makeCurrent(&surface);
    }();
    return available;
}

void prepare_scatter(Q3DScatter& graph) {
    static const bool registered = (register_marker_meshes(), true);
    (void)registered;
    graph.setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    graph.setSelectionMode(QAbstract3DGraph::SelectionNone);
    // Every axis runs from 0 to 1 (see DataAxisFormatter): the horizontal ones get the same length and
    // the box is about as high as it is wide.
    graph.setHorizontalAspectRatio(1.0);
    graph.setAspectRatio(1.2);
    // Seen from the front left and a little above, so that all three axes can be read, and close enough
    // for the box and its labels to fill the graph; seen from above, the box sits low unless the camera
    // looks a little below its centre.
    Q3DCamera* camera = graph.scene()->activeCamera();
    camera->setCameraPosition(-35.f, 25.f, 125.f);
    camera->setTarget(QVector3D(0.f, -0.3f, 0.f));
    Q3DTheme* theme = graph.activeTheme();
    theme->setType(Q3DTheme::ThemeQt);
    theme->setColorStyle(Q3DTheme::ColorStyleUniform);
    theme->setBackgroundColor(QColor(242, 242, 242));
    theme->setWindowColor(Qt::white);
    theme->setLabelTextColor(Qt::black);
    theme->setLabelBackgroundColor(Qt::white);
    theme->setLabelBackgroundEnabled(false);
    theme->setLabelBorderEnabled(false);
    theme->setGridLineColor(QColor(190, 190, 190));
    // Strong ambient light keeps the marker colours close to the legend's.
    theme->setLightStrength(2.f);
    theme->setAmbientLightStrength(0.75f);
    // The labels' size in the graph grows with the font's: large enough to be read at a window's size.
    QFont font = theme->font();
    font.setPointSize(40);
    theme->setFont(font);
}

void show_in_scatter(Q3DScatter& graph, const PlotAxes& axes) {
    for (QScatter3DSeries* old : graph.seriesList()) {
        graph.removeSeries(old);
        delete old;
    }
    AxisRange ranges[3];
    for (int i = 0; i < 3; ++i) {
        ranges[i] = axis_range(axes, i);
        set_up_axis(scatter_axis(graph, i), axes, i, ranges[i]);
    }
    graph.activeTheme()->setGridEnabled(axes.grid[0] || axes.grid[1] || axes.grid[2]);

    for (const PlotSeries& s : axes.series) {
        auto* array = new QScatterDataArray;
        const std::size_t n = point_count(s, true);
        array->reserve(qsizetype(n));
        for (std::size_t i = 0; i < n; ++i)
            if (is_drawable(s, i, true) && fits_float(s.x[i]) && fits_float(s.y[i]) && fits_float(s.z[i]))
                array->append(QScatterDataItem(QVector3D(unit_position(s.x[i], ranges[0]),
                                                         unit_position(s.z[i], ranges[2]),
                                                         unit_position(s.y[i], ranges[1]))));
        auto* series = new QScatter3DSeries;
        series->dataProxy()->resetArray(array);
        const MarkerMesh m = marker_mesh(s.lineSpec);
        if (m.mesh == QAbstract3DSeries::MeshUserDefined)
            series->setUserDefinedMesh(m.file);
        series->setMesh(m.mesh);
        series->setMeshRotation(m.rotation);
        series->setBaseColor(to_qcolor(s.color));
        series->setColorStyle(Q3DTheme::ColorStyleUniform);
        series->setItemSize(kItemSize);
        graph.addSeries(series);
    }
}

QValue3DAxis* scatter_axis(Q3DScatter& graph, int axis) {
    return axis == 0 ? graph.axisX() : axis == 1 ? graph.axisZ() : graph.axisY();
}

} // namespace tarvik
