#include "LogTextView.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace voltaro {

namespace {

// Room between the frame and the text, like a text editor's document margin.
constexpr int kSideMargin = 4;
constexpr int kTopMargin = 2;
// How often a mouse selection dragged past the top or bottom scrolls by a line.
constexpr int kAutoScrollMs = 50;

// Lays `layout`'s text out as a single line that never wraps.
QTextLine layOutSingleLine(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

} // namespace

LogTextView::LogTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    // A log reads best in columns: every timestamp lines up.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    updateScrollRanges();
}

LogTextView::~LogTextView() = default;

void LogTextView::setUpUnwrappedLines() {
    // Lines never wrap in this view and it is always read-only: nothing to switch on.
}

void LogTextView::setText(std::string_view text) {
    // A fresh string of exactly the new size, so that clearing a long log frees it.
    std::string(text).swap(m_text);
    m_lineStarts.assign(1, 0);
    m_longestLineBytes = 0;
    m_widestPaintedLine = 0;
    m_anchor = m_cursor = Position{};
    m_selecting = false;
    m_autoScrollTimer.stop();
    indexFrom(0);
    updateScrollRanges();
    viewport()->update();
}

void LogTextView::appendText(std::string_view text) {
    if (text.empty())
        return;
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    // The last line may grow; every line before it stays as it is.
    const qsizetype firstChanged = lineCount() - 1;
    const std::size_t from = m_text.size();
    m_text.append(text);
    indexFrom(from);
    updateScrollRanges();
    if (following)
        bar->setValue(bar->maximum());
    updateFromLine(firstChanged);
}

void LogTextView::scrollToEnd() {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogTextView::redisplayAll() {
    viewport()->update();
}

std::string_view LogTextView::lineBytes(qsizetype line) const {
    const auto index = std::size_t(line);
    const std::size_t start = m_lineStarts[index];
    // The next line starts right after this one's line end.
    const std::size_t end = index + 1 < m_lineStarts.size() ? m_lineStarts[index + 1] - 1 : m_text.size();
    return std::string_view(m_text).substr(start, end - start);
}

QString LogTextView::lineAt(qsizetype line) const {
    if (line < 0 || line >= lineCount())
        return {};
    const std::string_view bytes = lineBytes(line);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

void LogTextView::indexFrom(std::size_t from) {
    const char* data = m_text.data();
    const std::size_t size = m_text.size();
    std::size_t lineStart = m_lineStarts.back();
    for (std::size_t i = from; i < size; ++i) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            m_longestLineBytes = std::max(m_longestLineBytes, i - lineStart);
            lineStart = i + 1;
            m_lineStarts.push_back(lineStart);
        }
    }
    m_longestLineBytes = std::max(m_longestLineBytes, size - lineStart);
}

const LogTextView::FontMetrics& LogTextView::metrics() const {
    if (!m_metrics) {
        const QFontMetrics measured(font(), viewport());
        m_metrics = FontMetrics{std::max(1, measured.lineSpacing()), measured.ascent(),
                                std::max(1, measured.horizontalAdvance(QLatin1Char('0')))};
    }
    return *m_metrics;
}

int LogTextView::linesInView() const {
    return std::max(1, (viewport()->height() - kTopMargin) / metrics().lineHeight);
}

int LogTextView::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

int LogTextView::lineTop(qsizetype line) const {
    return kTopMargin + int(line - firstVisibleLine()) * metrics().lineHeight;
}

void LogTextView::updateScrollRanges() {
    if (!isVisible()) {
        m_rangesStale = true;
        return;
    }
    m_rangesStale = false;
    // The vertical bar counts lines, so the first line in view is simply its value.
    const int page = linesInView();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(1);
    vertical->setPageStep(page);
    vertical->setRange(0, int(std::max<qsizetype>(0, lineCount() - page)));

    // Measuring every line of a long log to find the widest is what makes text widgets slow
    // to open, so the width is estimated: the longest line's bytes times a character's width.
    // For a fixed-pitch font that is exact for ASCII and too wide, never too narrow, for
    // other UTF-8 text. Lines measured while painting widen the range if the estimate falls
    // short (a proportional font, tabs).
    const qint64 estimate = qint64(m_longestLineBytes) * metrics().charWidth;
    const qint64 content = std::max<qint64>(estimate, m_widestPaintedLine) + 2 * kSideMargin;
    const int width = viewport()->width();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(metrics().charWidth * 2);
    horizontal->setPageStep(width);
    horizontal->setRange(0, int(std::clamp<qint64>(content - width, 0, INT_MAX)));
}

void LogTextView::updateFromLine(qsizetype line) {
    if (!isVisible())
        return;
    const int top = lineTop(std::max<qsizetype>(line, firstVisibleLine()));
    const int height = viewport()->height();
    if (top < height)
        viewport()->update(0, top, viewport()->width(), height - top);
}

LogTextView::Position LogTextView::endOfLine(qsizetype line) const {
    return Position{line, lineAt(line).size()};
}

LogTextView::Position LogTextView::positionAt(QPoint point) const {
    const auto row = qsizetype(std::floor(double(point.y() - kTopMargin) / metrics().lineHeight));
    const qsizetype line = firstVisibleLine() + row;
    if (line < 0)
        return Position{};
    if (line >= lineCount())
        return endOfLine(lineCount() - 1);
    QTextLayout layout(lineAt(line), font(), viewport());
    const QTextLine textLine = layOutSingleLine(layout);
    const int x = point.x() - kSideMargin + horizontalScrollBar()->value();
    return Position{line, textLine.xToCursor(x, QTextLine::CursorBetweenCharacters)};
}

void LogTextView::moveCursor(Position to, bool extend) {
    if (to == m_cursor && (extend || to == m_anchor))
        return;
    m_cursor = to;
    if (!extend)
        m_anchor = to;
    viewport()->update();
}

void LogTextView::ensureLineVisible(qsizetype line) {
    QScrollBar* bar = verticalScrollBar();
    const int first = bar->value();
    const int page = linesInView();
    if (line < first)
        bar->setValue(int(line));
    else if (line >= first + page)
        bar->setValue(int(line - page + 1));
}

QString LogTextView::selectedText() const {
    if (!hasSelection())
        return {};
    const Position from = std::min(m_anchor, m_cursor);
    const Position to = std::max(m_anchor, m_cursor);
    QString text;
    text.reserve(qsizetype(m_lineStarts[std::size_t(to.line)] - m_lineStarts[std::size_t(from.line)]) + 64);
    for (qsizetype line = from.line; line <= to.line; ++line) {
        const QString shown = lineAt(line);
        const qsizetype start = line == from.line ? from.column : 0;
        const qsizetype end = line == to.line ? to.column : shown.size();
        text += QStringView(shown).mid(start, std::max<qsizetype>(0, end - start));
        if (line != to.line)
            text += QLatin1Char('\n');
    }
    return text;
}

void LogTextView::selectAll() {
    m_anchor = Position{};
    m_cursor = endOfLine(lineCount() - 1);
    viewport()->update();
}

void LogTextView::clearSelection() {
    if (!hasSelection())
        return;
    m_anchor = m_cursor;
    viewport()->update();
}

void LogTextView::copy() const {
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

QMenu* LogTextView::createStandardContextMenu() {
    auto* menu = new QMenu(this);
    QAction* copyAction =
        menu->addAction(tr("&Copy") + QLatin1Char('\t') +
                        QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
    copyAction->setObjectName(QStringLiteral("copy"));
    copyAction->setEnabled(hasSelection());
    connect(copyAction, &QAction::triggered, this, [this] { copy(); });
    menu->addSeparator();
    QAction* selectAllAction =
        menu->addAction(tr("Select All") + QLatin1Char('\t') +
                        QKeySequence(QKeySequence::SelectAll).toString(QKeySequence::NativeText));
    selectAllAction->setObjectName(QStringLiteral("selectAll"));
    connect(selectAllAction, &QAction::triggered, this, [this] { selectAll(); });
    return menu;
}

bool LogTextView::event(QEvent* event) {
    const bool handled = QAbstractScrollArea::event(event);
    if (event->type() == QEvent::Paint && hasFocus())
        paintFocusFrame();
    return handled;
}

void LogTextView::paintFocusFrame() {
    // The frame itself does not show focus in every style; a read-only view the keyboard
    // works in should.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight));
    pen.setWidth(std::max(1, frameWidth()));
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const int inset = pen.width() / 2;
    painter.drawRect(
        rect().adjusted(inset, inset, -inset - 1 + pen.width() % 2, -inset - 1 + pen.width() % 2));
}

void LogTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    // The region is often two strips (a new line at the bottom, the margin at the top after a
    // scroll): lines between them are neither laid out nor drawn.
    const QRegion& region = event->region();
    const QRect area = region.boundingRect();
    const QPalette& colors = palette();
    const int viewWidth = viewport()->width();
    const int x0 = kSideMargin - horizontalScrollBar()->value();
    const bool selection = hasSelection();
    const Position from = std::min(m_anchor, m_cursor);
    const Position to = std::max(m_anchor, m_cursor);
    painter.setPen(colors.color(QPalette::Text));

    const qsizetype first = firstVisibleLine() + std::max(0, area.top() - kTopMargin) / metrics().lineHeight;
    int widest = m_widestPaintedLine;
    for (qsizetype line = first; line < lineCount(); ++line) {
        const int top = lineTop(line);
        if (top > area.bottom())
            break;
        if (!region.intersects(QRect(0, top, viewWidth, metrics().lineHeight)))
            continue;
        QTextLayout layout(lineAt(line), font(), viewport());
        const QTextLine textLine = layOutSingleLine(layout);
        widest = std::max(widest, int(std::ceil(textLine.naturalTextWidth())));

        QList<QTextLayout::FormatRange> selected;
        if (selection && line >= from.line && line <= to.line) {
            const qsizetype length = layout.text().size();
            const qsizetype start = line == from.line ? std::min(from.column, length) : 0;
            const qsizetype end = line == to.line ? std::min(to.column, length) : length;
            const int left = x0 + int(textLine.cursorToX(int(start)));
            // A selected line end reaches to the right edge, so whole lines read as whole.
            const int right = line < to.line ? viewWidth : x0 + int(textLine.cursorToX(int(end)));
            painter.fillRect(QRect(left, top, right - left, metrics().lineHeight),
                             colors.brush(QPalette::Highlight));
            QTextCharFormat format;
            format.setForeground(colors.brush(QPalette::HighlightedText));
            selected.append({int(start), int(end - start), format});
        }
        layout.draw(&painter, QPointF(x0, top + metrics().ascent - textLine.ascent()), selected);
    }

    if (widest > m_widestPaintedLine) {
        const bool outgrown = qint64(widest) > qint64(m_longestLineBytes) * metrics().charWidth;
        m_widestPaintedLine = widest;
        // Scroll ranges are not changed in the middle of a paint.
        if (outgrown && !m_rangeUpdatePending) {
            m_rangeUpdatePending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_rangeUpdatePending = false;
                    updateScrollRanges();
                },
                Qt::QueuedConnection);
        }
    }
}

void LogTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    // A view showing the end of the log keeps showing it when it grows or shrinks.
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    updateScrollRanges();
    if (atEnd)
        bar->setValue(bar->maximum());
}

void LogTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_metrics.reset();
        m_widestPaintedLine = 0;
        updateScrollRanges();
        viewport()->update();
    }
}

void LogTextView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    if (m_rangesStale) {
        // A view left at the end of the log (as it starts) shows the end of what came since.
        QScrollBar* bar = verticalScrollBar();
        const bool atEnd = bar->value() >= bar->maximum();
        updateScrollRanges();
        if (atEnd)
            bar->setValue(bar->maximum());
    }
}

void LogTextView::scrollContentsBy(int dx, int dy) {
    // The vertical bar counts lines.
    viewport()->scroll(dx, dy * metrics().lineHeight);
    // The margin above the first line does not move with the lines.
    if (dy != 0)
        viewport()->update(0, 0, viewport()->width(), kTopMargin);
}

void LogTextView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    const int key = event->key();

    if (!shift) {
        switch (key) {
        case Qt::Key_Up:
            vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return;
        case Qt::Key_Down:
            vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return;
        case Qt::Key_PageUp:
            vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
            return;
        case Qt::Key_PageDown:
            vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return;
        case Qt::Key_Left:
            horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return;
        case Qt::Key_Right:
            horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return;
        case Qt::Key_Home:
            vertical->triggerAction(QAbstractSlider::SliderToMinimum);
            horizontal->triggerAction(QAbstractSlider::SliderToMinimum);
            return;
        case Qt::Key_End:
            vertical->triggerAction(QAbstractSlider::SliderToMaximum);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
    }

    // Shift extends the selection from its moving end. With nothing selected and that end out
    // of sight, the selection starts from the lines in view, where the reader is looking.
    const int first = firstVisibleLine();
    const qsizetype lastInView = std::min<qsizetype>(first + linesInView() - 1, lineCount() - 1);
    Position at = m_cursor;
    if (!hasSelection() && (at.line < first || at.line > lastInView)) {
        const bool upwards =
            key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_Left || key == Qt::Key_Home;
        at = upwards ? endOfLine(lastInView) : Position{first, 0};
        m_anchor = at;
    }
    const qsizetype last = lineCount() - 1;
    const auto onLine = [this](qsizetype line, qsizetype column) {
        line = std::clamp<qsizetype>(line, 0, lineCount() - 1);
        return Position{line, std::min(column, lineAt(line).size())};
    };
    Position target = at;
    switch (key) {
    case Qt::Key_Up:
        target = onLine(at.line - 1, at.column);
        break;
    case Qt::Key_Down:
        target = onLine(at.line + 1, at.column);
        break;
    case Qt::Key_PageUp:
        target = onLine(at.line - linesInView(), at.column);
        break;
    case Qt::Key_PageDown:
        target = onLine(at.line + linesInView(), at.column);
        break;
    case Qt::Key_Left:
        if (at.column > 0)
            target = Position{at.line, at.column - 1};
        else if (at.line > 0)
            target = endOfLine(at.line - 1);
        break;
    case Qt::Key_Right:
        if (at.column < lineAt(at.line).size())
            target = Position{at.line, at.column + 1};
        else if (at.line < last)
            target = Position{at.line + 1, 0};
        break;
    case Qt::Key_Home:
        target = control ? Position{} : Position{at.line, 0};
        break;
    case Qt::Key_End:
        target = control ? endOfLine(last) : endOfLine(at.line);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    moveCursor(target, true);
    ensureLineVisible(target.line);
}

void LogTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    moveCursor(positionAt(event->position().toPoint()), extend);
    m_selecting = true;
    m_lastDragPoint = event->position().toPoint();
}

void LogTextView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_selecting || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    m_lastDragPoint = event->position().toPoint();
    moveCursor(positionAt(m_lastDragPoint), true);
    const int y = m_lastDragPoint.y();
    m_autoScrollStep = y < 0 ? -1 : y >= viewport()->height() ? 1 : 0;
    if (m_autoScrollStep == 0)
        m_autoScrollTimer.stop();
    else if (!m_autoScrollTimer.isActive())
        m_autoScrollTimer.start(kAutoScrollMs, this);
}

void LogTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_selecting) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_selecting = false;
    m_autoScrollTimer.stop();
    // X11 convention: what is selected with the mouse can be pasted with the middle button.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void LogTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    // A log is read line by line: a double click takes the whole line.
    const qsizetype line = positionAt(event->position().toPoint()).line;
    m_anchor = Position{line, 0};
    m_cursor = endOfLine(line);
    m_selecting = false;
    viewport()->update();
}

void LogTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void LogTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_autoScrollTimer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + m_autoScrollStep);
    moveCursor(positionAt(m_lastDragPoint), true);
}

} // namespace voltaro
