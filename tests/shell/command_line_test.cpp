#include <gtest/gtest.h>

#include "shell/CommandLine.h"

namespace {

using namespace quelvar;

TEST(CommandLine, NoArgumentsGiveTheDefaults) {
  const StartupSwitches s = ParseCommandLine({});
  EXPECT_EQ(s.PresentationMode, 1);
  EXPECT_EQ(s.PidMode, 0);
  EXPECT_EQ(s.LoadSignalLib, 0);
  EXPECT_EQ(s.ResetConfig, 0);
  EXPECT_EQ(s.ConfigUnlocked, 1);
  EXPECT_EQ(s.InstanceNumber, 0);
  EXPECT_EQ(AppKeyNameOf(s.InstanceNumber), "QuelvarTorque");
  EXPECT_EQ(WindowWordOf(s.PresentationMode, s.InstanceNumber), "记录示波器");
  EXPECT_EQ(DriverLibraryNameOf(s.PidMode, s.InstanceNumber), "ADCard.DLL");
}

TEST(CommandLine, EachSwitchInEverySpelling) {
  struct Case {
    std::vector<std::string> args;
    int32_t StartupSwitches::*field;
    int32_t expected;
  } cases[] = {
      {{"-F"}, &StartupSwitches::PresentationMode, 0}, {{"-f"}, &StartupSwitches::PresentationMode, 0},
      {{"/F"}, &StartupSwitches::PresentationMode, 0}, {{"/f"}, &StartupSwitches::PresentationMode, 0},
      {{"-f", "/r"}, &StartupSwitches::PresentationMode, 1}, {{"/p"}, &StartupSwitches::PidMode, 1},
      {{"-P", "-a"}, &StartupSwitches::PidMode, 0},     {{"-s"}, &StartupSwitches::LoadSignalLib, 1},
      {{"/C"}, &StartupSwitches::ResetConfig, 1},       {{"-l"}, &StartupSwitches::ConfigUnlocked, 0},
      {{"-L", "-G"}, &StartupSwitches::ConfigUnlocked, 1}, {{"/1"}, &StartupSwitches::InstanceNumber, 1},
      {{"-1", "-2"}, &StartupSwitches::InstanceNumber, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseCommandLine(c.args).*(c.field), c.expected) << c.args.front();
  }
}

TEST(CommandLine, UnknownAndMisspelledArgumentsAreIgnored) {
  const StartupSwitches s = ParseCommandLine({"-F1", "--F", "F", "-", "", "-3", "-X", "/ff", "-１"});
  EXPECT_EQ(s.PresentationMode, 1);
  EXPECT_EQ(s.InstanceNumber, 0);
}

TEST(CommandLine, InstanceNamesTheTreeTheWordAndTheLibrary) {
  const StartupSwitches s = ParseCommandLine({"-1", "-2"});
  EXPECT_EQ(AppKeyNameOf(s.InstanceNumber), "QuelvarTorque2");
  EXPECT_EQ(WindowWordOf(1, s.InstanceNumber), "2#记录示波器");
  EXPECT_EQ(WindowWordOf(0, 1), "1#录波器");
  EXPECT_EQ(DriverLibraryNameOf(0, s.InstanceNumber), "ADCard2.DLL");
  EXPECT_EQ(DriverLibraryNameOf(1, 1), "ADCtrl1.DLL");
}

}  // namespace
