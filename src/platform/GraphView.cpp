#include "GraphView.h"

#include <QPainter>

namespace voltaro {

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    // The view paints every pixel of itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_history.setRedrawRequest([this] { update(); });
}

void GraphView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
}

} // namespace voltaro
