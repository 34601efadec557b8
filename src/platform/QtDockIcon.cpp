#include "QtDockIcon.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace voltaro {

namespace {

class QtIconImage final : public IconImage {
public:
    explicit QtIconImage(QIcon icon) : m_icon(std::move(icon)) {}
    const QIcon& icon() const { return m_icon; }

private:
    QIcon m_icon;
};

IconHandle loadIconFile(const QString& path) {
    // Checked now, decoded when first shown: a steady battery shows one or two of the twenty
    // pictures, and the others need not sit decoded in memory.
    QImageReader reader(path);
    if (!reader.canRead())
        return nullptr;
    return std::make_shared<QtIconImage>(QIcon(path));
}

} // namespace

QtDockIcon::QtDockIcon(Bundle bundle) : m_bundle(std::move(bundle)) {}

void QtDockIcon::setTrayIcon(QSystemTrayIcon* trayIcon) {
    m_trayIcon = trayIcon;
    if (m_trayIcon && m_hasShownImage)
        m_trayIcon->setIcon(iconOf(m_currentImage ? m_currentImage : standardIcon()));
}

IconHandle QtDockIcon::loadImage(std::string_view fileName) {
    return loadIconFile(
        m_bundle.pathForResource(QString::fromUtf8(fileName.data(), qsizetype(fileName.size()))));
}

IconHandle QtDockIcon::standardIcon() {
    if (!m_standardIcon)
        m_standardIcon = loadIconFile(m_bundle.pathForResource(QStringLiteral("Voltaro.tif")));
    return m_standardIcon;
}

QIcon QtDockIcon::iconOf(const IconHandle& image) {
    if (const auto* qtImage = dynamic_cast<const QtIconImage*>(image.get()))
        return qtImage->icon();
    return QIcon();
}

void QtDockIcon::setApplicationIconImage(const IconHandle& image) {
    if (m_hasShownImage && image == m_currentImage)
        return;
    m_currentImage = image;
    m_hasShownImage = true;
    // A picture that failed to load shows the application's own icon rather than nothing.
    show(image ? iconOf(image) : iconOf(standardIcon()));
}

void QtDockIcon::show(const QIcon& icon) {
    QApplication::setWindowIcon(icon);
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
}

} // namespace voltaro
