#include "QtPrinting.h"

#include "GraphView.h"
#include "LogTextView.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace voltaro {
namespace {

Date referencePlus(double seconds) {
    const auto sinceEpoch = std::chrono::duration<double>(double(kReferenceDateUnixSeconds) + seconds);
    return Date(std::chrono::duration_cast<Date::duration>(sinceEpoch));
}

// Runs a poppler tool; its standard output.
QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed (poppler-utils installed?): "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

// The pages of a PDF file as pictures at 72 dots per inch (one pixel per point), in order.
std::vector<QImage> pagesOf(const QString& pdf, const QTemporaryDir& work) {
    const QString prefix = work.filePath(QStringLiteral("page"));
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"), pdf, prefix});
    QStringList names = QDir(work.path()).entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
    std::vector<QImage> pages;
    for (const QString& name : names)
        pages.emplace_back(work.filePath(name));
    return pages;
}

// With VOLTARO_PRINTED_PAGES set to a folder, the pages are kept there to be looked at.
void keepPages(const QString& name, const std::vector<QImage>& pages) {
    const QString folder = qEnvironmentVariable("VOLTARO_PRINTED_PAGES");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    for (std::size_t i = 0; i < pages.size(); ++i)
        pages[i].save(QStringLiteral("%1/%2-%3.png").arg(folder, name).arg(i + 1));
}

std::string textOf(const QString& pdf) {
    return runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).toStdString();
}

struct Extent {
    int left = -1;
    int right = -1;
    int pixels = 0;
};

// Where the pixels that `matches` picks lie across the page.
template <typename Predicate> Extent extentOf(const QImage& page, Predicate matches) {
    Extent extent;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (!matches(QColor(page.pixel(x, y))))
                continue;
            ++extent.pixels;
            extent.left = extent.left < 0 ? x : std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
        }
    }
    return extent;
}

bool isRed(const QColor& c) {
    return c.red() > 200 && c.green() < 90 && c.blue() < 90;
}
bool isBlue(const QColor& c) {
    return c.blue() > 200 && c.red() < 90 && c.green() < 90;
}
bool isGreen(const QColor& c) {
    return c.green() > 200 && c.red() < 90 && c.blue() < 90;
}
// The grid's grey (170) and the labels' (128), anti-aliased a little either way.
bool isGrey(const QColor& c) {
    return c.red() == c.green() && c.green() == c.blue() && c.red() >= 110 && c.red() <= 200;
}
bool isInk(const QColor& c) {
    return c.red() < 250 || c.green() < 250 || c.blue() < 250;
}

class QtPrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        graphView.resize(560, 360);
        // A red, a blue and a green stretch, climbing from 20 % to 90 %.
        SampleHistory& history = graphView.history();
        history.addSampleWithTime(referencePlus(700'000'000.0), 0.2f, 12000, -900, 0, 0);
        history.addSampleWithTime(referencePlus(700'003'600.0), 0.4f, 12000, 900, 1, 1);
        history.addSampleWithTime(referencePlus(700'007'200.0), 0.9f, 12000, 0, 1, 0);
        history.addSampleWithTime(referencePlus(700'010'800.0), 0.9f, 12000, -900, 0, 0);
    }

    QtPrinting printing() { return QtPrinting(nullptr, logView, graphView); }

    QTemporaryDir work;
    LogTextView logView;
    GraphView graphView;
};

TEST_F(QtPrintingTest, GraphFillsThePageWidthAtAnyPrinterResolution) {
    std::vector<Extent> grids;
    for (const int dpi : {150, 600, 1200}) {
        const QString pdf = work.filePath(QStringLiteral("graph-%1.pdf").arg(dpi));
        ASSERT_TRUE(printing().printToPdf(PrintView::Graph, pdf, dpi)) << dpi;
        QTemporaryDir pagesDir;
        const std::vector<QImage> pages = pagesOf(pdf, pagesDir);
        ASSERT_EQ(pages.size(), 1u) << dpi;
        const QImage& page = pages[0];
        EXPECT_GT(extentOf(page, isRed).pixels, 20) << dpi;
        EXPECT_GT(extentOf(page, isBlue).pixels, 20) << dpi;
        EXPECT_GT(extentOf(page, isGreen).pixels, 20) << dpi;
        const Extent grid = extentOf(page, isGrey);
        EXPECT_GT(grid.pixels, 500) << dpi;
        // Not a postage stamp: the drawing spans most of the page's width.
        const Extent ink = extentOf(page, isInk);
        EXPECT_GT(ink.right - ink.left, page.width() * 3 / 4) << dpi << ": " << ink.left << ".." << ink.right;
        grids.push_back(grid);
        keepPages(QStringLiteral("graph-%1dpi").arg(dpi), pages);
    }
    for (const Extent& grid : grids) {
        EXPECT_NEAR(grid.left, grids[0].left, 2);
        EXPECT_NEAR(grid.right, grids[0].right, 2);
    }
}

TEST_F(QtPrintingTest, LogLinesArePaginatedInOrderAndCutAtTheRightEdge) {
    std::string log;
    const int lineCount = 150;
    for (int line = 1; line <= lineCount; ++line) {
        char text[96];
        std::snprintf(text, sizeof text, "2026-12-11 05:%02d:03: Line %03d, Battery stopped charging\r",
                      line % 60, line);
        log += text;
    }
    log += "Line 151 caf\xc3\xa9 \xff end\r";
    log += "Line 152 " + std::string(3000, 'x') + " TAIL\r";
    logView.setText(log);
    const int printedLines = lineCount + 2;

    for (const int dpi : {300, 1200}) {
        const QString pdf = work.filePath(QStringLiteral("log-%1.pdf").arg(dpi));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(dpi);
        const int perPage = QtPrinting::logLinesPerPage(printer);
        // A 9-point font on an A4 or Letter page, whatever the resolution.
        EXPECT_GT(perPage, 50) << dpi;
        EXPECT_LT(perPage, 90) << dpi;
        ASSERT_TRUE(printing().printOn(PrintView::Log, printer)) << dpi;

        QTemporaryDir pagesDir;
        const std::vector<QImage> pages = pagesOf(pdf, pagesDir);
        EXPECT_EQ(int(pages.size()), (printedLines + perPage - 1) / perPage) << dpi;
        for (const QImage& page : pages)
            EXPECT_GT(extentOf(page, isInk).pixels, 100) << dpi;
        keepPages(QStringLiteral("log-%1dpi").arg(dpi), pages);

        const std::string text = textOf(pdf);
        std::size_t from = 0;
        for (int line = 1; line <= lineCount; ++line) {
            char wanted[32];
            std::snprintf(wanted, sizeof wanted, "Line %03d, Battery", line);
            const std::size_t at = text.find(wanted, from);
            ASSERT_NE(at, std::string::npos) << dpi << ": " << wanted << " missing or out of order";
            from = at;
        }
        EXPECT_NE(text.find("Line 151 caf\xc3\xa9 \xef\xbf\xbd end"), std::string::npos) << dpi;
        EXPECT_NE(text.find("Line 152 xxxx"), std::string::npos) << dpi;
        EXPECT_EQ(text.find("TAIL"), std::string::npos) << dpi << ": the long line was not cut";
    }
}

TEST_F(QtPrintingTest, AnEmptyLogPrintsOneBlankPage) {
    logView.setText("");
    const QString pdf = work.filePath(QStringLiteral("empty.pdf"));
    ASSERT_TRUE(printing().printToPdf(PrintView::Log, pdf));
    QTemporaryDir pagesDir;
    const std::vector<QImage> pages = pagesOf(pdf, pagesDir);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(extentOf(pages[0], isInk).pixels, 0);
}

TEST_F(QtPrintingTest, AnUnwritableFileIsReportedAsAFailure) {
    EXPECT_FALSE(
        printing().printToPdf(PrintView::Graph, work.filePath(QStringLiteral("missing/dir/graph.pdf"))));
}

} // namespace
} // namespace voltaro
