#pragma once

namespace voltaro {

// The views of the main window that can be printed.
enum class PrintView {
    Log,   // the event log's text
    Graph, // the charge history graph
};

// Prints a view with the application's shared print settings, showing the print dialog.
// A cancelled or failed job ends there; nothing is reported back.
class Printing {
public:
    virtual ~Printing() = default;
    virtual void printView(PrintView view) = 0;
};

} // namespace voltaro
