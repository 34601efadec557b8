#include "QPainterCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>

namespace voltaro {

QPainterCanvas::QPainterCanvas(QPainter& painter, double height) : m_painter(painter), m_height(height) {
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_pen.setCapStyle(Qt::FlatCap);
    m_pen.setJoinStyle(Qt::MiterJoin);
    m_pen.setWidthF(1.0);
    m_pen.setColor(m_color);
}

QColor QPainterCanvas::qColorOf(GraphColor color) {
    const GraphRgb rgb = rgbOf(color);
    return QColor::fromRgbF(static_cast<float>(rgb.red), static_cast<float>(rgb.green),
                            static_cast<float>(rgb.blue));
}

void QPainterCanvas::setColor(GraphColor color) {
    // The charge line sets a colour for every record; most are the same as the one before,
    // and a pen change is what costs, so only a real change touches the pen.
    const QColor next = qColorOf(color);
    if (next == m_color)
        return;
    m_color = next;
    m_pen.setColor(next);
    m_penCurrent = false;
}

void QPainterCanvas::setLineWidth(double width) {
    if (width == m_pen.widthF())
        return;
    m_pen.setWidthF(width);
    m_penCurrent = false;
}

void QPainterCanvas::fillRect(const GraphRect& rect) {
    m_painter.fillRect(QRectF(rect.x, m_height - (rect.y + rect.height), rect.width, rect.height), m_color);
}

void QPainterCanvas::strokeLine(const GraphPoint& from, const GraphPoint& to) {
    if (!m_penCurrent) {
        m_painter.setPen(m_pen);
        m_penCurrent = true;
    }
    m_painter.drawLine(QPointF(from.x, m_height - from.y), QPointF(to.x, m_height - to.y));
}

void QPainterCanvas::drawText(std::string_view text, const GraphPoint& at,
                              const GraphTextAttributes& attributes) {
    if (attributes.font != m_font) {
        m_font = attributes.font;
        m_qFont = QFont(QString::fromStdString(m_font.family));
        // Pixel sizes are whole numbers in Qt; anything else would need point sizes, which
        // depend on the device's resolution.
        m_qFont.setPixelSize(qMax(1, qRound(m_font.size)));
        m_descent = QFontMetricsF(m_qFont, m_painter.device()).descent();
    }
    m_painter.setFont(m_qFont);
    m_painter.setPen(qColorOf(attributes.color));
    m_penCurrent = false;
    m_painter.drawText(QPointF(at.x, m_height - at.y - m_descent),
                       QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

} // namespace voltaro
