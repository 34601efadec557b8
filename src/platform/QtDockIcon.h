#pragma once

#include "Bundle.h"
#include "DockIcon.h"

#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

namespace voltaro {

// The application icon on Linux: the window icon of every window and, where the desktop has
// a system tray, the tray icon. The picture is only handed to the toolkit when it changes,
// so a steady battery costs no drawing and no X11 traffic.
class QtDockIcon final : public DockIcon {
public:
    explicit QtDockIcon(Bundle bundle);

    // The tray icon that follows the application icon, or null.
    void setTrayIcon(QSystemTrayIcon* trayIcon);

    IconHandle loadImage(std::string_view fileName) override;
    IconHandle standardIcon() override;
    void setApplicationIconImage(const IconHandle& image) override;

    static QIcon iconOf(const IconHandle& image);
    const IconHandle& currentImage() const { return m_currentImage; }

private:
    void show(const QIcon& icon);

    Bundle m_bundle;
    IconHandle m_standardIcon;
    IconHandle m_currentImage;
    bool m_hasShownImage = false;
    QPointer<QSystemTrayIcon> m_trayIcon;
};

} // namespace voltaro
