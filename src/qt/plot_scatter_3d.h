#pragma once

#include "ui/plot_description.h"

#include <QAbstract3DSeries>
#include <QQuaternion>
#include <QString>

#include <string_view>

class Q3DScatter;
class QValue3DAxis;

namespace tarvik {

// The mesh that draws a marker symbol in 3D: a built-in mesh, or one of the program's own meshes
// (mesh == MeshUserDefined, file names it), turned by `rotation`.
struct MarkerMesh {
    QAbstract3DSeries::Mesh mesh = QAbstract3DSeries::MeshPoint;
    QString file;
    QQuaternion rotation;
};
MarkerMesh marker_mesh(std::string_view symbol);

// True when the platform can give a 3D graph an OpenGL context; without one Qt Data Visualization
// cannot draw (and crashes), so no graph may be created.
bool opengl_available();

// Look and behaviour of a new 3D graph: plain theme, no shadows, no selection.
void prepare_scatter(Q3DScatter& graph);

// Replaces what the graph shows with a 3D plot. The plot's z (F1) is the vertical axis: plot x goes to
// the graph's x axis, plot y to its depth axis (z) and plot z to its vertical axis (y). Points with a
// missing coordinate are left out.
void show_in_scatter(Q3DScatter& graph, const PlotAxes& axes);

// The graph axis that shows axis 0, 1 or 2 (x, y, z) of the plot.
QValue3DAxis* scatter_axis(Q3DScatter& graph, int axis);

} // namespace tarvik
