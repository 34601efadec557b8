#include "QtWelcomeWindow.h"

#include "Console.h"
#include "UiFile.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace voltaro {

QtWelcomeWindow::QtWelcomeWindow(Bundle bundle, std::function<QWidget*()> parent)
    : m_bundle(std::move(bundle)), m_parent(std::move(parent)) {}

QtWelcomeWindow::~QtWelcomeWindow() {
    delete m_dialog.data();
}

bool QtWelcomeWindow::load(QString* error) {
    if (m_dialog)
        return true;
    QWidget* parent = m_parent ? m_parent() : nullptr;
    const QString path = m_bundle.pathForResource(QStringLiteral("WelcomeWindow.ui"));
    QWidget* widget = loadUiFile(path, parent, error);
    if (!widget)
        return false;
    auto* dialog = qobject_cast<QDialog*>(widget);
    auto* button = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("doneButton")) : nullptr;
    if (!dialog || !button) {
        delete widget;
        *error = QStringLiteral("%1 holds no dialog with a doneButton").arg(path);
        return false;
    }
    dialog->setWindowFlags(dialog->windowFlags() | Qt::Dialog);
    m_dialog = dialog;
    QObject::connect(button, &QPushButton::clicked, [this] {
        if (m_done)
            m_done();
    });
    return true;
}

bool QtWelcomeWindow::ensureLoaded() {
    QString error;
    if (load(&error))
        return true;
    writeConsoleLine("Cannot load the welcome window: " + error.toStdString());
    return false;
}

void QtWelcomeWindow::setDoneAction(std::function<void()> done) {
    m_done = std::move(done);
}

void QtWelcomeWindow::center() {
    if (!ensureLoaded())
        return;
    m_dialog->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = m_dialog->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        m_dialog->move(frame.topLeft());
    }
}

void QtWelcomeWindow::runModalSession() {
    // exec() runs a nested event loop that sleeps until events come.
    if (ensureLoaded())
        m_dialog->exec();
}

void QtWelcomeWindow::stopModal() {
    if (m_dialog)
        m_dialog->done(QDialog::Accepted);
}

void QtWelcomeWindow::close() {
    if (m_dialog)
        m_dialog->hide();
}

} // namespace voltaro
