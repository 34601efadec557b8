#pragma once

#include <string>

namespace voltaro {

// The main window's tab view; its tabs carry the identifiers "log" and "history".
class TabView {
public:
    virtual ~TabView() = default;
    // The identifier of the selected tab; empty when none is selected.
    virtual std::string selectedTabIdentifier() const = 0;
};

} // namespace voltaro
