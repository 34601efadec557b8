#include "ApplicationShell.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vesk"));
    QApplication::setApplicationName(QStringLiteral("Voltaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Voltaro"));
    QApplication::setDesktopFileName(QStringLiteral("voltaro"));

    voltaro::ApplicationShell shell;
    return shell.run();
}
