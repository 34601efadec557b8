#include "QtApplication.h"

#include "Console.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace voltaro {

void QtApplication::runCriticalAlert(const std::string& title, const std::string& message,
                                     const std::string& button) {
    // The title names the window and, since many desktops show no title on dialogs, also
    // heads the text inside it.
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(title),
                    QMessageBox::NoButton);
    box.setInformativeText(QString::fromStdString(message));
    QPushButton* only = box.addButton(QString::fromStdString(button), QMessageBox::AcceptRole);
    box.setDefaultButton(only);
    box.setEscapeButton(only);
    box.exec();
}

void QtApplication::terminate() {
    m_terminateRequested = true;
    // Before the event loop runs, quit() would be lost; main() checks terminateRequested().
    QCoreApplication::quit();
}

void QtApplication::showMainWindow() {
    if (m_showMainWindow)
        m_showMainWindow();
}

void QtApplication::log(std::string_view message) {
    writeConsoleLine(message);
}

} // namespace voltaro
