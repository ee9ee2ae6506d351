#include "gui/stats/ChartView.h"

#include <QMouseEvent>
#include <QRubberBand>

namespace mv::gui {

namespace {
constexpr int kLeastZoom = 4; // pixels; a smaller drag is a click
}

ChartView::ChartView(QChart* chart, const QString& name, QWidget* parent)
    : QChartView(chart, parent), m_band(new QRubberBand(QRubberBand::Rectangle, this)) {
    setObjectName(name);
    setRenderHint(QPainter::Antialiasing);
}

QPointF ChartView::chartPoint(QPoint viewPoint) const {
    return chart()->mapFromScene(mapToScene(viewPoint));
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    m_dragging = event->button();
    m_origin = m_last = event->pos();
    if (m_dragging == Qt::LeftButton) {
        m_band->setGeometry(QRect(m_origin, QSize()));
        m_band->show();
    }
    event->accept();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging == Qt::LeftButton) {
        m_band->setGeometry(QRect(m_origin, event->pos()).normalized());
    } else if (m_dragging == Qt::RightButton) {
        const QPoint moved = event->pos() - m_last;
        chart()->scroll(-moved.x(), moved.y());
        m_last = event->pos();
    }
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != m_dragging) return;
    m_dragging = Qt::NoButton;
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    m_band->hide();
    const QPoint end = event->pos();
    if (end.x() < m_origin.x() && end.y() < m_origin.y()) {
        chart()->zoomReset();
        return;
    }
    const QRectF area = QRectF(chartPoint(m_origin), chartPoint(end)).normalized();
    if (area.width() >= kLeastZoom && area.height() >= kLeastZoom) chart()->zoomIn(area);
}

} // namespace mv::gui
