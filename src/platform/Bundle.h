#pragma once

#include <QString>

namespace voltaro {

// The application's bundle: Info.plist and Resources/ with the pictures and .ui files.
// In the build tree it is Voltaro.bundle beside the executable; installed, share/voltaro.
class Bundle {
public:
    // Looks beside the running executable; empty paths when no bundle is found.
    static Bundle mainBundle();

    explicit Bundle(QString bundlePath) : m_bundlePath(std::move(bundlePath)) {}

    bool isValid() const { return !m_bundlePath.isEmpty(); }
    const QString& bundlePath() const { return m_bundlePath; }
    QString resourcePath() const;
    QString pathForResource(const QString& fileName) const;

private:
    QString m_bundlePath;
};

} // namespace voltaro
