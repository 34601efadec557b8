#include "UiFile.h"

#include "GraphView.h"
#include "LogTextView.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QUiLoader>

#include <algorithm>
#include <utility>

namespace voltaro {

namespace {

class VoltaroUiLoader final : public QUiLoader {
public:
    explicit VoltaroUiLoader(std::vector<QWidget*> readyMade) : m_readyMade(std::move(readyMade)) {}

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        QWidget* widget = takeReadyMade(className);
        if (widget)
            widget->setParent(parent);
        else if (className == QLatin1String("GraphView"))
            widget = new GraphView(parent);
        else if (className == QLatin1String("LogTextView"))
            widget = new LogTextView(parent);
        else
            return QUiLoader::createWidget(className, parent, name);
        widget->setObjectName(name);
        return widget;
    }

private:
    QWidget* takeReadyMade(const QString& className) {
        const QByteArray wanted = QByteArrayLiteral("voltaro::") + className.toLatin1();
        const auto found = std::find_if(m_readyMade.begin(), m_readyMade.end(), [&](const QWidget* widget) {
            return wanted == widget->metaObject()->className();
        });
        if (found == m_readyMade.end())
            return nullptr;
        QWidget* widget = *found;
        m_readyMade.erase(found);
        return widget;
    }

    std::vector<QWidget*> m_readyMade;
};

} // namespace

QByteArray readUiFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return {};
    }
    QByteArray description = file.readAll();
    if (description.isEmpty())
        *error = QStringLiteral("%1 is empty or unreadable").arg(path);
    return description;
}

QWidget* buildUi(const QByteArray& description, const QString& path, QWidget* parent,
                 const std::vector<QWidget*>& readyMade, QString* error) {
    QBuffer buffer;
    buffer.setData(description);
    buffer.open(QIODevice::ReadOnly);
    // A new loader loads every designer plugin in the library paths at once; Qt Quick's
    // widget plugin alone maps several megabytes into an idle monitor. Our files name only
    // Qt's own widgets and ours, so the loader is made while no library path is set.
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    VoltaroUiLoader loader(readyMade);
    QCoreApplication::setLibraryPaths(libraryPaths);
    QWidget* widget = loader.load(&buffer, parent);
    if (!widget)
        *error = QStringLiteral("%1: %2").arg(path, loader.errorString());
    return widget;
}

QWidget* loadUiFile(const QString& path, QWidget* parent, QString* error) {
    const QByteArray description = readUiFile(path, error);
    return description.isEmpty() ? nullptr : buildUi(description, path, parent, {}, error);
}

} // namespace voltaro
