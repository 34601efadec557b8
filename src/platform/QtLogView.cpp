#include "QtLogView.h"

#include <QScrollBar>
#include <QTextCursor>

namespace voltaro {

QtLogView::QtLogView(QPlainTextEdit* widget) : m_widget(widget) {}

QString QtLogView::displayText(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), qsizetype(text.size()));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void QtLogView::setUpUnwrappedLines() {
    if (!m_widget)
        return;
    m_widget->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_widget->setReadOnly(true);
    // Read-only text is still selectable and copyable from the keyboard.
    m_widget->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_widget->setUndoRedoEnabled(false);
}

void QtLogView::setText(std::string_view text) {
    if (m_widget)
        m_widget->setPlainText(displayText(text));
}

void QtLogView::appendText(std::string_view text) {
    if (!m_widget)
        return;
    QTextCursor cursor(m_widget->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(displayText(text));
}

void QtLogView::scrollToEnd() {
    if (!m_widget)
        return;
    QScrollBar* bar = m_widget->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void QtLogView::redisplayAll() {
    if (m_widget)
        m_widget->viewport()->update();
}

} // namespace voltaro
