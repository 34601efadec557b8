#pragma once

#include "LogView.h"

#include <QPointer>
#include <QPlainTextEdit>

namespace voltaro {

// Shows the event log in a read-only, non-wrapping text widget. The log's carriage-return
// line ends become line breaks on screen and invalid UTF-8 shows as replacement characters;
// the log text itself stays with the controller, byte for byte.
class QtLogView final : public LogView {
public:
    explicit QtLogView(QPlainTextEdit* widget);

    void setUpUnwrappedLines() override;
    void setText(std::string_view text) override;
    void appendText(std::string_view text) override;
    void scrollToEnd() override;
    void redisplayAll() override;

    // The text as shown for the given log bytes.
    static QString displayText(std::string_view text);

private:
    QPointer<QPlainTextEdit> m_widget;
};

} // namespace voltaro
