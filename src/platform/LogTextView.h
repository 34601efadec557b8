#pragma once

#include "LogView.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMenu;

namespace voltaro {

// The event log on screen. A log can hold years of lines, so this view keeps the log bytes
// as they are plus an index of where each line starts, and lays out only the lines in sight
// when it paints: opening a long log costs one scan for line ends, appending a line costs a
// scan of that line.
//
// A carriage return ends a line; a line feed (found in restored files) breaks the line on
// screen too. After the last line end there is one more, empty line, as in a text editor.
// Bytes that are not UTF-8 show as U+FFFD. Lines never wrap.
//
// Read-only, but selectable character by character with the mouse and the keyboard, and
// copyable: the copied text has "\n" line ends.
class LogTextView : public QAbstractScrollArea, public LogView {
    Q_OBJECT

public:
    explicit LogTextView(QWidget* parent = nullptr);
    ~LogTextView() override;

    // LogView
    void setUpUnwrappedLines() override;
    void setText(std::string_view text) override;
    void appendText(std::string_view text) override;
    void scrollToEnd() override;
    void redisplayAll() override;

    // The log bytes as given.
    const std::string& text() const { return m_text; }
    qsizetype lineCount() const { return qsizetype(m_lineStarts.size()); }
    // The line as shown: decoded, without its line end; empty outside the log.
    QString lineAt(qsizetype line) const;

    bool hasSelection() const { return m_anchor != m_cursor; }
    // The selection with "\n" between lines.
    QString selectedText() const;
    void selectAll();
    void clearSelection();
    // Puts the selected text on the clipboard.
    void copy() const;

    // The menu the view shows on a right click; the caller owns it.
    QMenu* createStandardContextMenu();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // A place between two characters: the line and the offset in its decoded text.
    struct Position {
        qsizetype line = 0;
        qsizetype column = 0;
        friend bool operator==(const Position&, const Position&) = default;
        friend auto operator<=>(const Position&, const Position&) = default;
    };

    // Byte range of a line, without its line end.
    std::string_view lineBytes(qsizetype line) const;
    // Indexes the line ends in m_text from `from` on, extending the line starts.
    void indexFrom(std::size_t from);
    struct FontMetrics {
        int lineHeight = 1;
        int ascent = 0;
        int charWidth = 1;
    };
    // The view font's measures, taken on first use: a monitor whose window stays hidden
    // never loads the font at all.
    const FontMetrics& metrics() const;
    // Sets the scroll bars from the text and the font; while the view is hidden this waits
    // for it to be shown.
    void updateScrollRanges();
    int linesInView() const;
    int firstVisibleLine() const;
    int lineTop(qsizetype line) const;
    // Repaints `line` and everything below it that is in view.
    void updateFromLine(qsizetype line);
    Position positionAt(QPoint viewportPoint) const;
    Position endOfLine(qsizetype line) const;
    // Moves the selection's moving end; with `extend` false, the anchor comes along.
    void moveCursor(Position to, bool extend);
    void ensureLineVisible(qsizetype line);
    void paintFocusFrame();

    std::string m_text;
    // Where each line starts in m_text; never empty: an empty log is one empty line.
    std::vector<std::size_t> m_lineStarts{0};
    // The longest line in bytes, for the width estimate of the sideways scroll range.
    std::size_t m_longestLineBytes = 0;
    // The widest line measured while painting, in pixels.
    int m_widestPaintedLine = 0;
    bool m_rangeUpdatePending = false;

    mutable std::optional<FontMetrics> m_metrics;
    // The scroll ranges wait for the view to be shown.
    bool m_rangesStale = false;

    Position m_anchor;
    Position m_cursor;
    bool m_selecting = false;
    // Scrolls while a mouse selection is dragged above or below the view.
    QBasicTimer m_autoScrollTimer;
    int m_autoScrollStep = 0;
    QPoint m_lastDragPoint;
};

} // namespace voltaro
