#include "shell/WindowGeometry.h"

#include "platform/RegistryKey.h"

namespace quelvar {

std::string FormSizeKeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\FormSize"; }

void ReadWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                        WindowGeometry& g) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  g.Top = key.ReadInteger(prefix + "_Top").value_or(g.Top);
  g.Left = key.ReadInteger(prefix + "_Left").value_or(g.Left);
  g.Width = key.ReadInteger(prefix + "_Width").value_or(g.Width);
  g.Height = key.ReadInteger(prefix + "_Height").value_or(g.Height);
}

void WriteWindowGeometry(platform::RegistryStore& store, const std::string& appKeyName, const std::string& prefix,
                         const WindowGeometry& g) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  key.WriteInteger(prefix + "_Top", g.Top);
  key.WriteInteger(prefix + "_Left", g.Left);
  key.WriteInteger(prefix + "_Width", g.Width);
  key.WriteInteger(prefix + "_Height", g.Height);
}

void FitWindowOnScreen(WindowGeometry& g, int32_t screenWidth, int32_t screenHeight, int monitorCount) {
  if (monitorCount != 1) return;
  // 64-bit sums: stored values are not trusted.
  if (int64_t{g.Top} + g.Height > screenHeight) g.Top = screenHeight - g.Height;
  if (int64_t{g.Left} + g.Width > screenWidth) g.Left = screenWidth - g.Width;
  if (g.Top < 0) g.Top = 0;
  if (g.Left < 0) g.Left = 0;
  if (int64_t{g.Top} + g.Height > screenHeight) g.Height = screenHeight - g.Top;
  if (int64_t{g.Left} + g.Width > screenWidth) g.Width = screenWidth - g.Left;
}

}  // namespace quelvar
