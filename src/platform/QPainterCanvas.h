#pragma once

#include "GraphCanvas.h"

#include <QColor>
#include <QFont>
#include <QPen>

class QPainter;

namespace voltaro {

// A GraphCanvas on a QPainter: the widget on screen, an image, or a printer page.
//
// The graph's coordinates have their origin at the bottom-left with y up; Qt's at the top-left
// with y down. The canvas flips every y as y_qt = height - y, by arithmetic rather than by a
// mirroring transform, so text stays upright. With a whole-number height the flip keeps the
// pixel grid: the graph's pixel row r (covering y in [r, r + 1]) is Qt's row height - 1 - r,
// and a 1-unit line at y = r + 0.5 covers exactly that row. On a printer, where the height may
// be fractional, positions move by that fraction.
//
// Text: the graph places a string by the lower-left corner of its line box. The box's bottom
// lies `descent` below the baseline, so the baseline Qt draws at is y_qt - descent.
//
// Lines have flat ends (Qt's default square ends would stick out by half the width).
// Antialiasing is on: the grid sits on pixel centres and stays sharp, the charge line is
// smooth. Font sizes are in view units (pixels on screen), so the labels keep their size
// against the grid on any screen density; a family the system lacks is found by its own
// substitution (fontconfig's metric aliases).
class QPainterCanvas final : public GraphCanvas {
public:
    // `height` is the height of the area drawn on, in the painter's units.
    QPainterCanvas(QPainter& painter, double height);

    void setColor(GraphColor color) override;
    void setLineWidth(double width) override;
    void fillRect(const GraphRect& rect) override;
    void strokeLine(const GraphPoint& from, const GraphPoint& to) override;
    void drawText(std::string_view text, const GraphPoint& at,
                  const GraphTextAttributes& attributes) override;

    static QColor qColorOf(GraphColor color);

private:
    QPainter& m_painter;
    double m_height;
    QColor m_color;
    QPen m_pen;
    bool m_penCurrent = false; // the painter holds m_pen
    GraphFont m_font;          // the family and size m_qFont was made for
    QFont m_qFont;
    double m_descent = 0.0;
};

} // namespace voltaro
