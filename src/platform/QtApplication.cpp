#include "QtApplication.h"

#include "Console.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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
    // Before the event loop runs, a quit would be lost; the shell checks terminateRequested().
    quitEventLoop();
}

void QtApplication::quitEventLoop() {
    // exit() rather than quit(): quit() first closes every window, and the main window's close
    // would be taken for the person closing it (and remembered for the next launch).
    QCoreApplication::exit(0);
}

void QtApplication::showMainWindow() {
    if (m_showMainWindow)
        m_showMainWindow();
}

bool QtApplication::isMainWindowVisible() const {
    return m_mainWindowVisible && m_mainWindowVisible();
}

void QtApplication::performDeferred(std::function<void()> call) {
    QTimer::singleShot(0, qApp, std::move(call));
}

void QtApplication::log(std::string_view message) {
    writeConsoleLine(message);
}

} // namespace voltaro
