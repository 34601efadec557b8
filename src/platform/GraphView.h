#pragma once

#include "SampleHistory.h"

#include <QSizeF>
#include <QWidget>

class QPainter;

namespace voltaro {

// The "history" tab: owns the charge history and draws it. It paints only when the toolkit
// asks (after a change of the history, a resize or an expose); it has no timers of its own.
class GraphView : public QWidget {
    Q_OBJECT

public:
    explicit GraphView(QWidget* parent = nullptr);

    SampleHistory& history() { return m_history; }
    const SampleHistory& history() const { return m_history; }

    // Draws the whole graph for a view of `size` units with `painter`, whose origin is the
    // view's top-left corner: the screen and printing share this.
    void drawGraph(QPainter& painter, const QSizeF& size) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SampleHistory m_history;
};

} // namespace voltaro
