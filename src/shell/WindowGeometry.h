#pragma once

#include <cstdint>
#include <string>

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

struct WindowGeometry {
  int32_t Top = 0;
  int32_t Left = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Every window keeps its place under the application key's "\FormSize" as
// four integers named after it ("FormMain_Top", ...). A value that cannot be
// read keeps the designed one.
std::string FormSizeKeyPath(const std::string& appKeyName);
void ReadWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                        WindowGeometry& geometry);
void WriteWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                         const WindowGeometry& geometry);

// With exactly one monitor a window is moved, then shrunk, to lie inside the
// screen; with several the stored values stand.
void FitWindowOnScreen(WindowGeometry& geometry, int32_t screenWidth, int32_t screenHeight, int monitorCount);

}  // namespace quelvar
