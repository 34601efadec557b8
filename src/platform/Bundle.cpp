#include "Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace voltaro {

Bundle Bundle::mainBundle() {
    const QString executableDirectory = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        executableDirectory + QStringLiteral("/Voltaro.bundle"),
        QDir::cleanPath(executableDirectory + QStringLiteral("/../share/voltaro")),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate + QStringLiteral("/Resources")).isDir())
            return Bundle(candidate);
    }
    return Bundle(QString());
}

QString Bundle::resourcePath() const {
    return m_bundlePath + QStringLiteral("/Resources");
}

QString Bundle::pathForResource(const QString& fileName) const {
    return resourcePath() + QLatin1Char('/') + fileName;
}

} // namespace voltaro
