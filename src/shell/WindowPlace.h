#pragma once

#include <string>
#include <vector>

#include "shell/WindowGeometry.h"

class QWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// A window's place and size under "\FormSize" (<prefix>_Top, _Left, _Width,
// _Height): restored with its present geometry as the default, sizes raised
// to `minimumSize`, then placed as OpeningPlace says (on one monitor kept on
// the screen; on any number, the title bar on one); saved as it stands. Both
// directions take the frame's corner and the client area's size, so a place
// round-trips exactly whatever frame the window manager draws.
void RestoreWindowPlace(QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                        const std::string& prefix, int minimumSize = 0);
void SaveWindowPlace(const QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                     const std::string& prefix);

// The place as it would be saved now.
WindowGeometry CurrentWindowPlace(const QWidget& window);
// The monitors, the primary one first.
std::vector<DesktopScreen> DesktopScreens();

}  // namespace quelvar
