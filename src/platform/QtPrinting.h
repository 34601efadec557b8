#pragma once

#include "Printing.h"

#include <QPointer>
#include <QPrinter>
#include <QSizeF>
#include <QString>

#include <memory>

class QWidget;

namespace voltaro {

class GraphView;
class LogTextView;

// Printing of the main window's views through QPrintDialog and QPrinter.
//
// The graph is drawn by the code that draws it on screen. Its units are points (1/72 inch):
// the view's size on screen, in points, is scaled by the printer's resolution / 72 and then
// uniformly to fit the printable area, so a 1200-dpi printer gets the same page as a 300-dpi
// one. The log is printed as the view shows its lines (UTF-8, anything else as U+FFFD), in a
// fixed-width font, page by page; lines too long for the page are cut at its edge.
class QtPrinting final : public Printing {
public:
    // Used when the graph view has no size yet.
    static constexpr QSizeF kDefaultGraphSize{560.0, 360.0};
    static constexpr qreal kLogFontPointSize = 9.0;

    QtPrinting(QWidget* dialogParent, const LogTextView& logView, const GraphView& graphView);
    ~QtPrinting() override;

    // The window the print dialog belongs to.
    void setDialogParent(QWidget* dialogParent) { m_dialogParent = dialogParent; }

    // Shows the print dialog on the shared settings, then prints when the person accepts.
    void printView(PrintView view) override;

    // Prints without a dialog into a PDF file at `resolution` dots per inch; false when the
    // file cannot be written.
    bool printToPdf(PrintView view, const QString& path, int resolution = 1200) const;

    // Prints onto a printer that is set up; false when painting on it cannot begin.
    bool printOn(PrintView view, QPrinter& printer) const;

    // How many log lines fit on one page of `printer`.
    static int logLinesPerPage(QPrinter& printer);

    // The print settings shared by every print of the run, made on first use: a printer
    // loads the print system's plugin and libraries, which an idle monitor does without.
    QPrinter& sharedPrinter();

private:
    bool printGraph(QPrinter& printer) const;
    bool printLog(QPrinter& printer) const;

    QPointer<QWidget> m_dialogParent;
    const LogTextView& m_logView;
    const GraphView& m_graphView;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace voltaro
