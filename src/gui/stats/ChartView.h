#pragma once
// A chart view that zooms and scrolls with the mouse: a left drag from upper left to lower right
// zooms into the dragged rectangle, a left drag the other way resets the zoom, a right drag moves
// the graph.
#include <QChartView>
#include <QPoint>

class QRubberBand;

namespace mv::gui {

class ChartView : public QChartView {
public:
    ChartView(QChart* chart, const QString& name, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF chartPoint(QPoint viewPoint) const;

    QRubberBand* m_band;
    QPoint m_origin, m_last;
    Qt::MouseButton m_dragging = Qt::NoButton;
};

} // namespace mv::gui
