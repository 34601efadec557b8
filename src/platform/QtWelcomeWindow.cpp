#include "QtWelcomeWindow.h"

#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QUiLoader>

namespace voltaro {

QtWelcomeWindow::QtWelcomeWindow(Bundle bundle) : m_bundle(std::move(bundle)) {}

QtWelcomeWindow::~QtWelcomeWindow() {
    delete m_dialog.data();
}

bool QtWelcomeWindow::load(QWidget* parent, QString* error) {
    const QString path = m_bundle.pathForResource(QStringLiteral("WelcomeWindow.ui"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    QUiLoader loader;
    QWidget* widget = loader.load(&file, parent);
    auto* dialog = qobject_cast<QDialog*>(widget);
    auto* button = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("doneButton")) : nullptr;
    if (!dialog || !button) {
        delete widget;
        *error = QStringLiteral("%1 holds no dialog with a doneButton: %2").arg(path, loader.errorString());
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

void QtWelcomeWindow::setDoneAction(std::function<void()> done) {
    m_done = std::move(done);
}

void QtWelcomeWindow::center() {
    if (!m_dialog)
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
    if (m_dialog)
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
