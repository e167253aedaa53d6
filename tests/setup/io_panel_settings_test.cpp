// The port I/O panel's remembered values under "\IOPanel" and the field
// texts they are shown in and read back from.
#include <gtest/gtest.h>

#include "platform/MemoryRegistry.h"
#include "platform/RegistryKey.h"
#include "setup/IOPanelSettings.h"

namespace {

using namespace quelvar;

const std::string kApp = "QuelvarTorque";
const std::string kKey = "\\SOFTWARE\\QuelvarTorque\\IOPanel";

TEST(IOPanelSettings, AFreshInstallationGetsTheDefaults) {
  platform::MemoryRegistry store;
  const IOPanelSettings s = LoadIOPanelSettings(store, kApp);
  EXPECT_EQ(s.Topmost, 0);
  EXPECT_EQ(s.IOBase, 0x100);
  EXPECT_EQ(s.WriteHex, 0);
  EXPECT_EQ(s.CardNo, 0);
  EXPECT_EQ(HexText(static_cast<uint32_t>(s.IOBase), 4), "0100");
  EXPECT_EQ(HexText(static_cast<uint32_t>(s.WriteHex), 8), "00000000");
}

TEST(IOPanelSettings, StoredValuesComeBackAndUnreadableOnesTakeTheirDefault) {
  platform::MemoryRegistry store;
  SaveIOPanelSettings(store, kApp, IOPanelSettings{1, 0x378, 0x55, 2});
  IOPanelSettings s = LoadIOPanelSettings(store, kApp);
  EXPECT_EQ(s.Topmost, 1);
  EXPECT_EQ(s.IOBase, 0x378);
  EXPECT_EQ(s.WriteHex, 0x55);
  EXPECT_EQ(s.CardNo, 2);
  platform::RegistryKey key(store, kKey);
  key.WriteString("IOBase", "378");
  s = LoadIOPanelSettings(store, kApp);
  EXPECT_EQ(s.IOBase, 0x100);
  EXPECT_EQ(s.WriteHex, 0x55);
}

TEST(IOPanelSettings, FieldsThatAreNoNumbersKeepTheirDefaultAndTheRestIsKept) {
  struct Case {
    const char* ioBase;
    const char* writeHex;
    const char* cardNo;
    IOPanelSettings want;
  } cases[] = {
      {"378", "55", "3", {1, 0x378, 0x55, 3}},
      {"x", "55", "3", {1, 0x100, 0x55, 3}},
      {"378", "", "3", {1, 0x378, 0, 3}},
      {"378", "FFFFFFFF", "abc", {1, 0x378, -1, 0}},
  };
  for (const Case& c : cases) {
    const IOPanelSettings s = IOPanelSettingsOfFields(true, c.ioBase, c.writeHex, c.cardNo);
    EXPECT_EQ(s.Topmost, 1);
    EXPECT_EQ(s.IOBase, c.want.IOBase) << c.ioBase;
    EXPECT_EQ(s.WriteHex, c.want.WriteHex) << c.writeHex;
    EXPECT_EQ(s.CardNo, c.want.CardNo) << c.cardNo;
  }
}

TEST(IOPanelFields, HexAndCardNumberTexts) {
  EXPECT_EQ(HexText(0x5, 2), "05");
  EXPECT_EQ(HexText(0x12345, 4), "12345");
  EXPECT_EQ(HexFieldValue("378"), 0x378u);
  EXPECT_EQ(HexFieldValue("g1"), 0u);
  EXPECT_EQ(CardNumberOf("65537"), 1);
  EXPECT_EQ(CardNumberOf("no"), 0);
}

}  // namespace
