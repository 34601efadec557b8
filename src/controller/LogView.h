#pragma once

#include <string_view>

namespace voltaro {

// Shows the event log. The controller keeps the log text itself (bytes exactly as appended,
// carriage-return line ends); the view only displays it.
class LogView {
public:
    virtual ~LogView() = default;
    // Lines are never wrapped; they scroll sideways instead.
    virtual void setUpUnwrappedLines() = 0;
    // Replaces everything shown by `text` (a restored or cleared log).
    virtual void setText(std::string_view text) = 0;
    virtual void appendText(std::string_view text) = 0;
    virtual void scrollToEnd() = 0;
    virtual void redisplayAll() = 0;
};

} // namespace voltaro
