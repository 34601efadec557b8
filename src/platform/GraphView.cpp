#include "GraphView.h"

#include "GraphRenderer.h"
#include "QPainterCanvas.h"

#include <QPainter>

namespace voltaro {

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    // The view paints every pixel of itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_history.setRedrawRequest([this] { update(); });
}

void GraphView::drawGraph(QPainter& painter, const QSizeF& size) const {
    QPainterCanvas canvas(painter, size.height());
    GraphRenderer(canvas).draw(
        m_history, {0.0f, 0.0f, static_cast<float>(size.width()), static_cast<float>(size.height())});
}

void GraphView::paintEvent(QPaintEvent* /*event*/) {
    // The whole view every time, whatever part was exposed: the drawing is cheap and
    // keeps nothing between calls. On a high-density screen Qt scales the painter, so
    // view units stay logical pixels and lines on pixel centres stay sharp.
    QPainter painter(this);
    drawGraph(painter, size());
}

} // namespace voltaro
