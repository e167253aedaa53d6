#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The port I/O panel's remembered fields, under "\IOPanel" of the
// application key.
struct IOPanelSettings {
  int32_t Topmost = 0;
  int32_t IOBase = 0x100;
  int32_t WriteHex = 0;
  int32_t CardNo = 0;
};

// Values that cannot be read take their defaults.
IOPanelSettings LoadIOPanelSettings(platform::RegistryStore& store, const std::string& appKeyName);
void SaveIOPanelSettings(platform::RegistryStore& store, const std::string& appKeyName, const IOPanelSettings& s);

// The fields' texts: hexadecimal with at least `digits` digits; a hexadecimal
// field's value (not a number: 0); the card number (decimal, not a number:
// 0, low 16 bits).
std::string HexText(uint32_t value, int digits);
uint32_t HexFieldValue(std::string_view text);
uint16_t CardNumberOf(std::string_view text);

// What the panel stores at its end. A field that holds no number keeps
// its default, so the other values are stored all the same.
IOPanelSettings IOPanelSettingsOfFields(bool topmost, std::string_view ioBase, std::string_view writeHex,
                                        std::string_view cardNo);

}  // namespace quelvar
