#include "LogTextView.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace voltaro {
namespace {

// A font every machine running the tests has, so that pixel positions are known.
QFont pinnedFont() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Liberation Mono") : families.first();
    }();
    QFont font(family);
    font.setPixelSize(20);
    return font;
}

std::vector<QString> linesOf(const LogTextView& view) {
    std::vector<QString> lines;
    for (qsizetype i = 0; i < view.lineCount(); ++i)
        lines.push_back(view.lineAt(i));
    return lines;
}

// "line 0" to "line <count - 1>", each ended by a carriage return as in the log file.
std::string numberedLines(int count) {
    std::string log;
    for (int i = 0; i < count; ++i)
        log += "line " + std::to_string(i) + "\r";
    return log;
}

// A view on screen with the pinned font, sized so a known number of lines fit.
std::unique_ptr<LogTextView> shownView(std::string_view text, QSize size = {400, 200}) {
    auto view = std::make_unique<LogTextView>();
    view->setFont(pinnedFont());
    view->resize(size);
    view->setText(text);
    view->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    return view;
}

// Where the boundary before `column` on `line` is, in the viewport, for the first lines in
// view: a quarter of a character right of the boundary, which any small margin still rounds
// to that boundary.
QPoint pointAt(qsizetype line, qsizetype column) {
    const QFontMetrics metrics(pinnedFont());
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    return QPoint(int(column) * charWidth + charWidth / 4,
                  int(line) * metrics.lineSpacing() + metrics.lineSpacing() / 2);
}

void sendMouse(LogTextView& view, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(at), QPointF(view.viewport()->mapToGlobal(at)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

void click(LogTextView& view, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendMouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    sendMouse(view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
}

TEST(LogTextViewTest, SplitsLinesAtCarriageReturnsAndLineFeedsAndDecodesUtf8) {
    struct Case {
        std::string bytes;
        std::vector<QString> lines;
    };
    const Case cases[] = {
        {"a\rb\r", {"a", "b", ""}},
        {"a\rb", {"a", "b"}},
        {"", {""}},
        {"\r\r", {"", "", ""}},
        {"lf\ninside\r", {"lf", "inside", ""}},
        {"crlf\r\nnext", {"crlf", "", "next"}},
        {"caf\xc3\xa9\r", {QStringLiteral("caf\u00e9"), ""}},
        {"bad \xff byte\r", {QStringLiteral("bad \ufffd byte"), ""}},
    };
    for (const Case& c : cases) {
        LogTextView view;
        view.setText(c.bytes);
        EXPECT_EQ(view.text(), c.bytes);
        EXPECT_EQ(linesOf(view), c.lines) << c.bytes;
        EXPECT_EQ(view.lineAt(-1), QString());
        EXPECT_EQ(view.lineAt(view.lineCount()), QString());
    }
}

TEST(LogTextViewTest, AppendingInPiecesShowsTheSameAsSettingTheWholeText) {
    // Pieces cut through "\r\n" pairs and multi-byte characters too.
    const std::string restored = "2026-12-11 05:56:03: --- Voltaro started\rold\nstyle\r";
    const std::string appended = "caf\xc3\xa9 \xff\r\ncrlf\r\r" + std::string(120, 'w') + "\rno end";
    for (const std::size_t piece :
         {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(7), appended.size()}) {
        LogTextView whole;
        whole.resize(300, 100);
        whole.setText(restored + appended);

        LogTextView pieces;
        pieces.resize(300, 100);
        pieces.setText(restored);
        for (std::size_t at = 0; at < appended.size(); at += piece)
            pieces.appendText(std::string_view(appended).substr(at, piece));

        EXPECT_EQ(pieces.text(), whole.text()) << piece;
        EXPECT_EQ(linesOf(pieces), linesOf(whole)) << piece;
        EXPECT_EQ(pieces.horizontalScrollBar()->maximum(), whole.horizontalScrollBar()->maximum()) << piece;
        EXPECT_EQ(pieces.verticalScrollBar()->maximum(), whole.verticalScrollBar()->maximum()) << piece;
    }
}

TEST(LogTextViewTest, ReplacingTheTextForgetsTheOldLinesAndSelection) {
    LogTextView view;
    view.resize(300, 100);
    view.setText(numberedLines(200));
    view.selectAll();
    ASSERT_FALSE(view.selectedText().isEmpty());

    view.setText("");
    EXPECT_EQ(view.lineCount(), 1);
    EXPECT_EQ(view.lineAt(0), QString());
    EXPECT_FALSE(view.hasSelection());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

TEST(LogTextViewTest, CopiesTheSelectionWithLineFeedsFromTheKeyboard) {
    auto view = shownView("zero\rone\rtw\xc3\xb6\rthree \xff\r");
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString selected;
    };
    // The selection starts where the view was last clicked: the start of the log.
    const Step steps[] = {
        {Qt::Key_Down, Qt::ShiftModifier, "zero\n"},
        {Qt::Key_Down, Qt::ShiftModifier, "zero\none\n"},
        {Qt::Key_End, Qt::ShiftModifier, QStringLiteral("zero\none\ntw\u00f6")},
        {Qt::Key_Left, Qt::ShiftModifier, "zero\none\ntw"},
        {Qt::Key_Up, Qt::ShiftModifier, "zero\non"},
        {Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier,
         QStringLiteral("zero\none\ntw\u00f6\nthree \ufffd\n")},
        {Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier, ""},
        {Qt::Key_PageDown, Qt::ShiftModifier, QStringLiteral("zero\none\ntw\u00f6\nthree \ufffd\n")},
    };
    for (const Step& step : steps) {
        QTest::keyClick(view.get(), step.key, step.modifiers);
        EXPECT_EQ(view->selectedText(), step.selected) << step.key;
    }

    QGuiApplication::clipboard()->clear();
    view->clearSelection();
    QTest::keyClick(view.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("zero\none\ntw\u00f6\nthree \ufffd\n"));
}

TEST(LogTextViewTest, IsReadOnly) {
    auto view = shownView("log\r");
    QTest::keyClicks(view.get(), "typed");
    QTest::keyClick(view.get(), Qt::Key_Backspace);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_EQ(view->text(), "log\r");
    EXPECT_EQ(view->focusPolicy(), Qt::StrongFocus);
}

TEST(LogTextViewTest, SelectsCharactersWithTheMouse) {
    auto view = shownView("zero\rone\rtwo\rthree\r");
    sendMouse(*view, QEvent::MouseButtonPress, pointAt(1, 1), Qt::LeftButton, Qt::LeftButton);
    sendMouse(*view, QEvent::MouseMove, pointAt(2, 3), Qt::NoButton, Qt::LeftButton);
    sendMouse(*view, QEvent::MouseButtonRelease, pointAt(2, 3), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(view->selectedText(), "ne\ntwo");

    click(*view, pointAt(3, 2), Qt::ShiftModifier);
    EXPECT_EQ(view->selectedText(), "ne\ntwo\nth");

    // The right button leaves the selection alone, for the context menu.
    sendMouse(*view, QEvent::MouseButtonPress, pointAt(0, 0), Qt::RightButton, Qt::RightButton);
    sendMouse(*view, QEvent::MouseButtonRelease, pointAt(0, 0), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(view->selectedText(), "ne\ntwo\nth");

    click(*view, pointAt(0, 2));
    EXPECT_FALSE(view->hasSelection());

    sendMouse(*view, QEvent::MouseButtonDblClick, pointAt(3, 1), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view->selectedText(), "three");

    // Below the last line is the end of the log.
    click(*view, pointAt(1, 0));
    click(*view, QPoint(5, view->viewport()->height() - 2), Qt::ShiftModifier);
    EXPECT_EQ(view->selectedText(), "one\ntwo\nthree\n");
}

TEST(LogTextViewTest, ContextMenuCopiesAndSelectsAll) {
    auto view = shownView("first\rsecond\r");
    {
        std::unique_ptr<QMenu> menu(view->createStandardContextMenu());
        auto* copy = menu->findChild<QAction*>(QStringLiteral("copy"));
        auto* selectAll = menu->findChild<QAction*>(QStringLiteral("selectAll"));
        ASSERT_NE(copy, nullptr);
        ASSERT_NE(selectAll, nullptr);
        EXPECT_FALSE(copy->isEnabled()); // nothing selected yet
        selectAll->trigger();
    }
    std::unique_ptr<QMenu> menu(view->createStandardContextMenu());
    auto* copy = menu->findChild<QAction*>(QStringLiteral("copy"));
    ASSERT_TRUE(copy->isEnabled());
    QGuiApplication::clipboard()->clear();
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "first\nsecond\n");
}

TEST(LogTextViewTest, FollowsAppendsAtTheEndOnly) {
    auto view = shownView(numberedLines(100), {300, 150});
    QScrollBar* bar = view->verticalScrollBar();
    const int page = bar->pageStep();
    ASSERT_GT(page, 1);
    // 101 lines with the empty one after the last line end.
    EXPECT_EQ(bar->maximum(), 101 - page);

    view->scrollToEnd();
    EXPECT_EQ(bar->value(), bar->maximum());
    view->appendText("appended\r");
    EXPECT_EQ(bar->maximum(), 102 - page);
    EXPECT_EQ(bar->value(), bar->maximum());

    // Shrinking and growing the window keeps the end in sight.
    view->resize(300, 100);
    EXPECT_EQ(bar->value(), bar->maximum());
    view->resize(300, 250);
    EXPECT_EQ(bar->value(), bar->maximum());

    // A reader who scrolled back stays where they are, also across hiding the window.
    bar->setValue(10);
    view->appendText("another\r");
    EXPECT_EQ(bar->value(), 10);
    view->hide();
    view->appendText("while hidden\r");
    view->show();
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(bar->maximum(), 104 - bar->pageStep());

    // A hidden view left at the end shows the end of what came while it was hidden.
    view->scrollToEnd();
    view->hide();
    for (int i = 0; i < 20; ++i)
        view->appendText("hidden " + std::to_string(i) + "\r");
    view->show();
    EXPECT_EQ(bar->maximum(), 124 - bar->pageStep());
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(LogTextViewTest, ScrollsWithTheKeyboard) {
    auto view = shownView(numberedLines(100), {300, 150});
    QScrollBar* bar = view->verticalScrollBar();
    const int page = bar->pageStep();
    const int end = bar->maximum();
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int value;
    };
    const Step steps[] = {
        {Qt::Key_End, Qt::NoModifier, end},       {Qt::Key_Home, Qt::NoModifier, 0},
        {Qt::Key_PageDown, Qt::NoModifier, page}, {Qt::Key_Down, Qt::NoModifier, page + 1},
        {Qt::Key_Up, Qt::NoModifier, page},       {Qt::Key_PageUp, Qt::NoModifier, 0},
        {Qt::Key_End, Qt::ControlModifier, end},  {Qt::Key_Home, Qt::ControlModifier, 0},
    };
    for (const Step& step : steps) {
        QTest::keyClick(view.get(), step.key, step.modifiers);
        EXPECT_EQ(bar->value(), step.value) << step.key;
    }

    // Extending a selection downwards past the view scrolls it along.
    for (int i = 0; i < page + 3; ++i)
        QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(bar->value(), 4);
}

TEST(LogTextViewTest, ScrollsSidewaysInsteadOfWrapping) {
    const std::string longLine(500, 'x');
    // The longest line is the last, still open one.
    auto view = shownView("short\r" + longLine, {300, 150});
    EXPECT_EQ(view->lineCount(), 2);
    const int charWidth = QFontMetrics(pinnedFont()).horizontalAdvance(QLatin1Char('x'));
    EXPECT_GE(view->horizontalScrollBar()->maximum(), 500 * charWidth - view->viewport()->width());

    // Tabs are wider than one character: the estimate falls short until the line is painted.
    auto tabs = shownView("\t\t\t\t\t\t\t\t\t\tx\r", {300, 150});
    EXPECT_EQ(tabs->horizontalScrollBar()->maximum(), 0);
    tabs->viewport()->grab();
    QCoreApplication::processEvents();
    EXPECT_GT(tabs->horizontalScrollBar()->maximum(), 300);
}

// Rows of the image with dark pixels, as runs [first, last].
std::vector<std::pair<int, int>> inkedRows(const QImage& image, int* inkRight) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < image.height(); ++y) {
        bool inked = false;
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                inked = true;
                *inkRight = std::max(*inkRight, x);
            }
        }
        if (inked && !runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else if (inked)
            runs.emplace_back(y, y);
    }
    return runs;
}

TEST(LogTextViewTest, PaintsTextOnlyWhereLinesAreAndHighlightsTheSelection) {
    auto view = shownView("MMMM\r\rMMMMMMMM\r");
    const QFontMetrics metrics(pinnedFont());
    const int lineSpacing = metrics.lineSpacing();
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('M'));

    const QImage image = view->viewport()->grab().toImage();
    int inkRight = 0;
    const auto runs = inkedRows(image, &inkRight);
    ASSERT_EQ(runs.size(), 2u); // the empty line and the space below the log stay blank
    EXPECT_EQ(runs[1].first - runs[0].first, 2 * lineSpacing);
    EXPECT_LT(runs[0].first, lineSpacing); // the first line is at the top
    EXPECT_LE(runs[0].second - runs[0].first, lineSpacing);
    // The second line is eight characters wide, and nothing is right of it.
    EXPECT_GT(inkRight, 7 * charWidth);
    EXPECT_LT(inkRight, 8 * charWidth + 8);

    // The first line and its line end selected: highlighted to the right edge.
    QTest::keyClick(view.get(), Qt::Key_Down, Qt::ShiftModifier);
    const QImage selected = view->viewport()->grab().toImage();
    const QColor highlight = view->palette().color(QPalette::Highlight);
    const int right = selected.width() - 2;
    EXPECT_EQ(selected.pixelColor(right, (runs[0].first + runs[0].second) / 2), highlight);
    EXPECT_NE(selected.pixelColor(right, (runs[1].first + runs[1].second) / 2), highlight);
}

} // namespace
} // namespace voltaro
