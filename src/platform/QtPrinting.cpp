#include "QtPrinting.h"

#include "GraphView.h"
#include "LogTextView.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>

#include <algorithm>
#include <cmath>

namespace voltaro {

namespace {

constexpr qreal kPointsPerInch = 72.0;

QFont logFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(QtPrinting::kLogFontPointSize);
    return font;
}

// The printable area in device units; the painter's origin is its top-left corner.
QSizeF printableSize(QPrinter& printer) {
    return printer.pageRect(QPrinter::DevicePixel).size();
}

} // namespace

QtPrinting::QtPrinting(QWidget* dialogParent, const LogTextView& logView, const GraphView& graphView)
    : m_dialogParent(dialogParent), m_logView(logView), m_graphView(graphView) {}

QtPrinting::~QtPrinting() = default;

QPrinter& QtPrinting::sharedPrinter() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

void QtPrinting::printView(PrintView view) {
    QPrinter& printer = sharedPrinter();
    QPrintDialog dialog(&printer, m_dialogParent);
    dialog.setWindowTitle(view == PrintView::Log ? QStringLiteral("Print Log")
                                                 : QStringLiteral("Print Graph"));
    if (view == PrintView::Graph)
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false); // always one page
    if (dialog.exec() != QDialog::Accepted)
        return;
    printOn(view, printer);
}

bool QtPrinting::printToPdf(PrintView view, const QString& path, int resolution) const {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(resolution);
    return printOn(view, printer);
}

bool QtPrinting::printOn(PrintView view, QPrinter& printer) const {
    switch (view) {
    case PrintView::Log:
        return printLog(printer);
    case PrintView::Graph:
        return printGraph(printer);
    }
    return false;
}

bool QtPrinting::printGraph(QPrinter& printer) const {
    QSizeF graphSize = m_graphView.size();
    if (graphSize.width() < 1.0 || graphSize.height() < 1.0)
        graphSize = kDefaultGraphSize;

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // One point of the graph is resolution / 72 device dots; then the whole graph is scaled,
    // keeping its proportions, to the largest size the printable area holds.
    const qreal dotsPerPoint = printer.resolution() / kPointsPerInch;
    const QSizeF page = printableSize(printer) / dotsPerPoint;
    const qreal fit = std::min(page.width() / graphSize.width(), page.height() / graphSize.height());
    painter.setClipRect(QRectF(QPointF(0, 0), printableSize(printer)));
    painter.scale(dotsPerPoint * fit, dotsPerPoint * fit);
    m_graphView.drawGraph(painter, graphSize);
    return painter.end();
}

int QtPrinting::logLinesPerPage(QPrinter& printer) {
    const QFontMetricsF metrics(logFont(), &printer);
    const qreal lines = std::floor(printableSize(printer).height() / metrics.lineSpacing());
    return lines >= 1.0 ? static_cast<int>(std::min<qreal>(lines, 100000.0)) : 1;
}

bool QtPrinting::printLog(QPrinter& printer) const {
    // The view's lines, without the empty one after the last line end.
    qsizetype lineCount = m_logView.lineCount();
    if (lineCount > 1 && m_logView.lineAt(lineCount - 1).isEmpty())
        --lineCount;

    const int perPage = logLinesPerPage(printer);
    const qsizetype pageCount = std::max<qsizetype>(1, (lineCount + perPage - 1) / perPage);
    qsizetype firstPage = 1;
    qsizetype lastPage = pageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        firstPage = std::max<qsizetype>(1, printer.fromPage());
        lastPage = std::min<qsizetype>(pageCount, std::max(printer.fromPage(), printer.toPage()));
    }

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont font = logFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, &printer);
    const QSizeF page = printableSize(printer);
    painter.setClipRect(QRectF(QPointF(0, 0), page));
    // Enough characters to reach past the right edge: what lies beyond is never drawn, so a
    // very long line costs no more than a full one.
    const qreal narrowest = std::max<qreal>(1.0, metrics.horizontalAdvance(QLatin1Char('i')));
    const qsizetype columns = static_cast<qsizetype>(std::ceil(page.width() / narrowest)) + 1;

    for (qsizetype pageNumber = firstPage; pageNumber <= lastPage; ++pageNumber) {
        if (pageNumber != firstPage && !printer.newPage())
            break;
        const qsizetype first = (pageNumber - 1) * perPage;
        const qsizetype end = std::min<qsizetype>(lineCount, first + perPage);
        for (qsizetype line = first; line < end; ++line) {
            const qreal baseline = qreal(line - first) * metrics.lineSpacing() + metrics.ascent();
            painter.drawText(QPointF(0.0, baseline), m_logView.lineAt(line).left(columns));
        }
    }
    return painter.end();
}

} // namespace voltaro
