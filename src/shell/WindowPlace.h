#pragma once

#include <string>

class QWidget;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// A window's place and size under "\FormSize" (<prefix>_Top, _Left, _Width,
// _Height): restored with its present geometry as the default and, with
// exactly one monitor, kept on the screen; saved as it stands. Position and
// size are taken as the window system reports them, so they round-trip.
void RestoreWindowPlace(QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                        const std::string& prefix);
void SaveWindowPlace(const QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                     const std::string& prefix);

}  // namespace quelvar
