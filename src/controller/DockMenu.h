#pragma once

#include <string>

namespace voltaro {

// One entry of the menu of live battery readings shown on the application's icon. The
// entries only inform: none has an action.
struct DockMenuItem {
    std::string title;
    bool isSeparator = false;

    bool operator==(const DockMenuItem&) const = default;
};

// The menu commands whose enabling the controller decides.
enum class MenuAction {
    Print,
    ClearLog,
    ClearGraph,
    Other, // any other item the controller is asked about
};

} // namespace voltaro
