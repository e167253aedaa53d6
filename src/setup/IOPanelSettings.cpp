#include "setup/IOPanelSettings.h"

#include <cstdio>

#include "platform/RegistryKey.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\IOPanel"; }

}  // namespace

IOPanelSettings LoadIOPanelSettings(platform::RegistryStore& store, const std::string& appKeyName) {
  const platform::RegistryKey key(store, KeyPath(appKeyName));
  IOPanelSettings s;
  s.Topmost = key.ReadInteger("Topmost").value_or(s.Topmost);
  s.IOBase = key.ReadInteger("IOBase").value_or(s.IOBase);
  s.WriteHex = key.ReadInteger("WriteHex").value_or(s.WriteHex);
  s.CardNo = key.ReadInteger("CardNo").value_or(s.CardNo);
  return s;
}

void SaveIOPanelSettings(platform::RegistryStore& store, const std::string& appKeyName, const IOPanelSettings& s) {
  platform::RegistryKey key(store, KeyPath(appKeyName));
  key.WriteInteger("Topmost", s.Topmost);
  key.WriteInteger("IOBase", s.IOBase);
  key.WriteInteger("WriteHex", s.WriteHex);
  key.WriteInteger("CardNo", s.CardNo);
}

std::string HexText(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

uint32_t HexFieldValue(std::string_view text) { return ParseDialogHex(text).value_or(0); }

uint16_t CardNumberOf(std::string_view text) {
  return static_cast<uint16_t>(static_cast<uint32_t>(ParseDialogInteger(text).value_or(0)) & 0xFFFFu);
}

IOPanelSettings IOPanelSettingsOfFields(bool topmost, std::string_view ioBase, std::string_view writeHex,
                                        std::string_view cardNo) {
  IOPanelSettings s;
  s.Topmost = topmost ? 1 : 0;
  if (const auto v = ParseDialogHex(ioBase)) s.IOBase = static_cast<int32_t>(*v);
  if (const auto v = ParseDialogHex(writeHex)) s.WriteHex = static_cast<int32_t>(*v);
  if (const auto v = ParseDialogInteger(cardNo)) s.CardNo = *v;
  return s;
}

}  // namespace quelvar
