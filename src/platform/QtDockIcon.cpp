#include "QtDockIcon.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

#include <utility>

namespace voltaro {

namespace {

// A picture file that is decoded when something first asks for it, and can let the decoded
// copy go again: a steady battery shows one of the twenty pictures, and the others need not
// sit decoded in memory. (A QIcon decodes its file as soon as it is made.)
class QtIconImage final : public IconImage {
public:
    explicit QtIconImage(QString path) : m_path(std::move(path)) {}

    const QIcon& icon() const {
        if (m_icon.isNull()) {
            // Read as one picture: a QIcon made from the path also looks for a second image
            // in the file, and the TIFF reader complains on the console that there is none.
            const QImage image = QImageReader(m_path).read();
            if (!image.isNull())
                m_icon.addPixmap(QPixmap::fromImage(image));
        }
        return m_icon;
    }
    void releaseDecoded() const { m_icon = QIcon(); }

private:
    QString m_path;
    mutable QIcon m_icon;
};

// The picture at `path` when it exists and its format is one Qt reads; only its header is
// looked at now.
IconHandle loadIconFile(const QString& path) {
    QImageReader reader(path);
    if (!reader.canRead())
        return nullptr;
    return std::make_shared<QtIconImage>(path);
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
    const IconHandle previous = std::exchange(m_currentImage, image);
    m_hasShownImage = true;
    // A picture that failed to load shows the application's own icon rather than nothing.
    show(image ? iconOf(image) : iconOf(standardIcon()));
    // The toolkit holds what it shows; the picture it no longer shows need not stay decoded.
    if (const auto* shown = dynamic_cast<const QtIconImage*>(previous.get()))
        shown->releaseDecoded();
}

void QtDockIcon::show(const QIcon& icon) {
    QApplication::setWindowIcon(icon);
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
}

} // namespace voltaro
