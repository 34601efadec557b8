#include "QtLogView.h"

#include <QScrollBar>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

TEST(QtLogViewTest, ShowsCarriageReturnLinesAndReplacesInvalidUtf8) {
    struct Case {
        std::string bytes;
        QString shown;
    };
    const Case cases[] = {
        {"a\rb\r", QStringLiteral("a\nb\n")},
        {"caf\xc3\xa9\r", QStringLiteral("caf\u00e9\n")},
        {"bad \xff byte\r", QStringLiteral("bad \ufffd byte\n")},
        {"lf\nstays\r", QStringLiteral("lf\nstays\n")},
        {"", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtLogView::displayText(c.bytes), c.shown) << c.bytes;
}

TEST(QtLogViewTest, AppendsReadOnlyUnwrappedLinesAndFollowsTheEnd) {
    QPlainTextEdit widget;
    widget.resize(200, 60);
    QtLogView view(&widget);
    view.setUpUnwrappedLines();
    EXPECT_TRUE(widget.isReadOnly());
    EXPECT_EQ(widget.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(widget.textInteractionFlags() & Qt::TextSelectableByKeyboard);

    for (int i = 0; i < 50; ++i) {
        view.appendText("2026-12-11 05:56:03: line " + std::to_string(i) + "\r");
        view.scrollToEnd();
    }
    const QStringList lines = widget.toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 51); // 50 lines and the empty one after the last line end
    EXPECT_EQ(lines[49], QStringLiteral("2026-12-11 05:56:03: line 49"));
    EXPECT_EQ(widget.verticalScrollBar()->value(), widget.verticalScrollBar()->maximum());
}

TEST(QtLogViewTest, OutlivesItsWidget) {
    auto* widget = new QPlainTextEdit;
    QtLogView view(widget);
    delete widget;
    view.appendText("x\r"); // no widget: nothing to show, and no crash
    view.scrollToEnd();
    view.redisplayAll();
}

} // namespace
} // namespace voltaro
