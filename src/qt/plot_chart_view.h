#pragma once

#include <QChartView>

namespace tarvik {

// The view of a 2D chart in a plot window. Outside editing mode it only shows the chart. In editing
// mode a dragged rectangle zooms in and a right click zooms out (Qt Charts' rubber band), the wheel
// zooms about the pointer, a drag with the middle button or with Shift held pans, and a double click on
// the title or an axis label asks for its new text. Outside editing mode a right click shows the view's
// actions as a context menu.
class PlotChartView : public QChartView {
    Q_OBJECT
  public:
    enum class Text { Title = 0, XLabel = 1, YLabel = 2 };

    explicit PlotChartView(QChart* chart, QWidget* parent = nullptr);

    void set_editing(bool on);
    bool is_editing() const { return editing_; }
    // True once the user zoomed or panned: the axes no longer show the plot's own ranges.
    bool view_changed() const { return viewChanged_ || (chart() && chart()->isZoomed()); }

    // Zooms both axes by `factor` (> 1 zooms in) keeping the value under `at` (view coordinates) in place.
    void zoom_at(const QPointF& at, double factor);
    // Moves the visible ranges so that the content follows a drag of `delta` pixels.
    void pan_by(const QPointF& delta);

  signals:
    void textEditRequested(PlotChartView::Text which);

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    bool editing_ = false;
    bool panning_ = false;
    bool viewChanged_ = false;
    QPointF last_;
};

} // namespace tarvik
