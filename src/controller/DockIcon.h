#pragma once

#include <memory>
#include <string_view>

namespace voltaro {

// A picture the application icon can show; what it holds is up to the icon's implementation.
class IconImage {
public:
    virtual ~IconImage() = default;
};

// An icon picture, or empty when it could not be loaded.
using IconHandle = std::shared_ptr<const IconImage>;

// The application's icon, shown as the window icon and in the system tray.
class DockIcon {
public:
    virtual ~DockIcon() = default;
    // The picture in the resource file `fileName`, or empty when it cannot be loaded.
    virtual IconHandle loadImage(std::string_view fileName) = 0;
    // Voltaro's own application icon.
    virtual IconHandle standardIcon() = 0;
    // Shows `image` until the next call; an empty handle is passed on as it is.
    virtual void setApplicationIconImage(const IconHandle& image) = 0;
};

} // namespace voltaro
