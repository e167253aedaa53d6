// The port routines over the driver's port entries, and the PCI card
// locator with its fallback when the library is missing or unusable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/simcard_support.h"
#include "setup/PciLocator.h"
#include "setup/PortIo.h"
#include "shell/DriverBinding.h"

namespace {

using namespace quelvar;
using simcard_test::SimCardEnv;

const std::string kDrivers = QUELVAR_DRIVER_DIR;

TEST(PortRoutines, WriteAndReadEachWidthThroughTheDriver) {
  platform::DynamicLibrary lib;
  ASSERT_TRUE(lib.Load(kDrivers + "/ADCard.DLL"));
  AdDriver d;
  BindEntries(lib, d);
  ASSERT_TRUE(PortOutputBound(d));
  PortOutByte(d, 0x378, 0x55);
  EXPECT_EQ(PortInByte(d, 0x378), 0x55);
  PortOutWord(d, 0x300, 0xBEEF);
  EXPECT_EQ(PortInWord(d, 0x300), 0xBEEF);
  EXPECT_EQ(PortInByte(d, 0x300), 0xEF);
  PortOutDword(d, 0x310, 0x12345678u);
  EXPECT_EQ(PortInDword(d, 0x310), 0x12345678u);
  EXPECT_EQ(PortInWord(d, 0x312), 0x1234);
}

TEST(PortRoutines, MissingEntriesReadZeroAndWriteNothing) {
  AdDriver none;
  EXPECT_FALSE(PortOutputBound(none));
  PortOutByte(none, 0x378, 1);
  PortOutWord(none, 0x378, 1);
  PortOutDword(none, 0x378, 1);
  EXPECT_EQ(PortInByte(none, 0x378), 0);
  EXPECT_EQ(PortInWord(none, 0x378), 0);
  EXPECT_EQ(PortInDword(none, 0x378), 0u);
}

TEST(PciLocator, ListsTheCardsFoundAndGivesTheirBaseAddresses) {
  SimCardEnv env;
  env.Set("SIMCARD_PCI_CARDS", "3,7");
  PciLocator locator;
  ASSERT_TRUE(locator.Load(kDrivers + "/Vostrani.DLL"));
  EXPECT_TRUE(locator.Usable());
  EXPECT_EQ(locator.CardNumbers(), (std::vector<uint16_t>{3, 7}));
  EXPECT_EQ(locator.IOBaseOf(7), 0xC000 + 0x40 * 7);
  EXPECT_EQ(locator.IOBaseOf(3), 0xC000 + 0x40 * 3);
  // A card the locator does not know leaves the address at 0.
  EXPECT_EQ(locator.IOBaseOf(5), 0);
}

TEST(PciLocator, MoreCardsThanTheListHoldsAreCutToTen) {
  SimCardEnv env;
  std::string many;
  for (int i = 0; i < 40; ++i) many += (i > 0 ? "," : "") + std::to_string(100 + i);
  env.Set("SIMCARD_PCI_CARDS", many);
  PciLocator locator;
  ASSERT_TRUE(locator.Load(kDrivers + "/Vostrani.DLL"));
  ASSERT_EQ(locator.CardNumbers().size(), static_cast<size_t>(kPciCardListSize));
  EXPECT_EQ(locator.CardNumbers().front(), 100);
  EXPECT_EQ(locator.CardNumbers().back(), 109);
}

TEST(PciLocator, IsDoneWithoutWhenMissingIncompleteOrFindingNothing) {
  SimCardEnv env;
  struct Case {
    std::string library;
    std::string cards;
  } cases[] = {
      {kDrivers + "/NoSuchLocator.DLL", "1"},
      {kDrivers + "/VostraniNoIOBase.DLL", "1"},
      {kDrivers + "/Vostrani.DLL", ""},
      {kDrivers + "/ADCard.DLL", "1"},  // a library without the locator's entries
  };
  for (const Case& c : cases) {
    env.Set("SIMCARD_PCI_CARDS", c.cards);
    PciLocator locator;
    EXPECT_FALSE(locator.Load(c.library)) << c.library;
    EXPECT_FALSE(locator.Usable()) << c.library;
    EXPECT_TRUE(locator.CardNumbers().empty());
    EXPECT_EQ(locator.IOBaseOf(1), 0);
  }
}

}  // namespace
