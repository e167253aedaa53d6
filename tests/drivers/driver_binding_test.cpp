// Binding the driver library the way the program finds it: by name, in the
// current directory, with the port library beside it where one is given.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>

#include "shell/DriverBinding.h"
#include "simcard_support.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

const fs::path kDrivers = QUELVAR_DRIVER_DIR;

// A fresh directory holding the given libraries under the names the program
// asks for, made the current directory for the test.
class DriverDirectory {
 public:
  DriverDirectory() {
    static int serial = 0;
    dir_ = fs::path(testing::TempDir()) / ("quelvar-bind-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
    fs::create_directories(dir_);
    EXPECT_NE(getcwd(old_, sizeof old_), nullptr);
    EXPECT_EQ(chdir(dir_.c_str()), 0);
  }
  ~DriverDirectory() {
    EXPECT_EQ(chdir(old_), 0);
    fs::remove_all(dir_);
  }
  void Put(const std::string& built, const std::string& as) { fs::copy_file(kDrivers / built, dir_ / as); }

 private:
  fs::path dir_;
  char old_[PATH_MAX]{};
};

struct Bound {
  DriverState driver;
  LiveConfig live;
  int32_t pidMode = 0;
};

void Bind(Bound& b, int32_t pidMode = 0, int32_t instance = 0) {
  b.pidMode = pidMode;
  BindDriver(b.driver, b.pidMode, instance, b.live);
}

TEST(DriverBinding, WithoutALibraryTheDefaultLimitsApply) {
  simcard_test::SimCardEnv env;
  DriverDirectory dir;
  Bound b;
  Bind(b, 0, 2);
  EXPECT_FALSE(b.driver.DriverModule.IsLoaded());
  EXPECT_EQ(b.driver.DriverUsable, 0);
  EXPECT_EQ(b.live.CardNameText, "ADCard2");
  EXPECT_EQ(b.driver.CardMaxChannels, 112);
  EXPECT_EQ(b.driver.CardMaxSwitchChannels, 192);
  EXPECT_EQ(b.driver.CardMinBlockSamples, 1024);
  EXPECT_FLOAT_EQ(b.live.VZero, 2048.0f);
  EXPECT_FLOAT_EQ(b.live.ADMax, 4095.0f);
  EXPECT_EQ(b.driver.CardSettingCaption, "ADCard2专用配置面板");
  EXPECT_FALSE(b.driver.ShowCardSetting);
  EXPECT_FALSE(b.driver.ShowADPropString);
  EXPECT_EQ(b.driver.Entries.outportb, nullptr);
}

TEST(DriverBinding, AUsableDriverGivesItsLimitsAndName) {
  simcard_test::SimCardEnv env;
  env.Set("SIMCARD_NAME", "PCI8602");
  env.Set("SIMCARD_BITS", "14");
  DriverDirectory dir;
  dir.Put("ADCard.DLL", "ADCard.DLL");
  dir.Put("Pelvorn.DLL", "Pelvorn.DLL");
  Bound b;
  Bind(b);
  EXPECT_EQ(b.driver.DriverUsable, 1);
  EXPECT_EQ(b.live.CardNameText, "PCI8602");
  EXPECT_EQ(b.driver.CardMaxChannels, 64);
  EXPECT_EQ(b.driver.CardMaxSwitchChannels, 64);
  EXPECT_EQ(b.driver.CardMinBlockSamples, 256);
  EXPECT_FLOAT_EQ(b.live.VZero, 8192.0f);
  EXPECT_FLOAT_EQ(b.live.ADMax, 16383.0f);
  EXPECT_TRUE(b.driver.ShowADPropString);
  EXPECT_TRUE(b.driver.ShowCardSetting);
  EXPECT_EQ(b.driver.CardSettingCaption, "SimCard settings");
  EXPECT_NE(b.driver.Entries.StartIntr, nullptr);
  EXPECT_EQ(b.driver.Entries.InitialDA, nullptr);  // only bound in PID mode
  EXPECT_FALSE(b.driver.PortIoModule.IsLoaded());  // the driver has port output
}

TEST(DriverBinding, EachVariantGivesItsUsabilityFallbackAndMenus) {
  struct Case {
    const char* built;
    int usable;
    bool portLibrary;
    bool propMenu;
    bool settingMenu;
  } cases[] = {
      {"ADCardNoInitial.DLL", 0, false, true, false},
      {"ADCardNoChannelFrq.DLL", 0, false, true, false},
      {"ADCardNoPorts.DLL", 1, true, true, true},
      {"ADCardOutportbOnly.DLL", 1, false, true, true},
      {"ADCardNoProp.DLL", 1, false, false, true},
      {"ADCardPropSizeOnly.DLL", 1, false, false, true},
  };
  for (const Case& c : cases) {
    simcard_test::SimCardEnv env;
    DriverDirectory dir;
    dir.Put(c.built, "ADCard.DLL");
    dir.Put("Pelvorn.DLL", "Pelvorn.DLL");
    Bound b;
    Bind(b);
    EXPECT_EQ(b.driver.DriverUsable, c.usable) << c.built;
    EXPECT_EQ(b.driver.PortIoModule.IsLoaded(), c.portLibrary) << c.built;
    EXPECT_NE(b.driver.Entries.outportb, nullptr) << c.built;
    EXPECT_EQ(b.driver.ShowADPropString, c.propMenu) << c.built;
    EXPECT_EQ(b.driver.ShowCardSetting, c.settingMenu) << c.built;
    if (!c.usable) {
      EXPECT_EQ(b.live.CardNameText, "ADCard") << c.built;  // defaults without a usable driver
      EXPECT_NE(b.driver.Entries.GetLastADError, nullptr) << "optional entries stay bound: " << c.built;
    }
  }
}

TEST(DriverBinding, PortLibraryServesWhenTheDriverIsMissing) {
  simcard_test::SimCardEnv env;
  DriverDirectory dir;
  dir.Put("Pelvorn.DLL", "Pelvorn.DLL");
  Bound b;
  Bind(b);
  EXPECT_EQ(b.driver.DriverUsable, 0);
  ASSERT_NE(b.driver.Entries.outport, nullptr);
  b.driver.Entries.outport(0x300, 0xBEEF);
  EXPECT_EQ(b.driver.Entries.inport(0x300), 0xBEEF);
}

TEST(DriverBinding, PidModeNeedsTheDaEntry) {
  {
    simcard_test::SimCardEnv env;
    DriverDirectory dir;
    dir.Put("ADCtrl.DLL", "ADCtrl.DLL");
    Bound b;
    Bind(b, 1);
    EXPECT_EQ(b.pidMode, 1);
    EXPECT_NE(b.driver.Entries.SetupPID, nullptr);
  }
  {
    simcard_test::SimCardEnv env;
    DriverDirectory dir;
    dir.Put("ADCtrlNoPid.DLL", "ADCtrl.DLL");
    Bound b;
    Bind(b, 1);
    EXPECT_EQ(b.pidMode, 0);  // switched off silently
    EXPECT_EQ(b.driver.DriverUsable, 1);
  }
  {
    simcard_test::SimCardEnv env;
    DriverDirectory dir;  // no library at all: the switch stands
    Bound b;
    Bind(b, 1);
    EXPECT_EQ(b.pidMode, 1);
  }
}

TEST(DriverBinding, SettingEntryWithoutItsNameKeepsTheCardCaption) {
  simcard_test::SimCardEnv env;
  DriverDirectory dir;
  dir.Put("ADCardNoSettingName.DLL", "ADCard.DLL");
  Bound b;
  Bind(b);
  EXPECT_TRUE(b.driver.ShowCardSetting);
  EXPECT_EQ(b.driver.CardSettingCaption, "SimCard专用配置面板");
}

TEST(DriverBinding, DriverTextsWithoutTerminatorAreNeverOverread) {
  simcard_test::SimCardEnv env;
  env.Set("SIMCARD_NAME", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  env.Set("SIMCARD_NAME_NO_NUL", "1");
  env.Set("SIMCARD_SETTING_NAME_NO_NUL", "1");
  DriverDirectory dir;
  dir.Put("ADCard.DLL", "ADCard.DLL");
  Bound b;
  Bind(b);
  EXPECT_EQ(b.live.CardNameText, "ABCDEFGHIJKLMNOP");  // the whole 16-byte buffer, nothing beyond
  EXPECT_EQ(b.driver.CardSettingCaption.size(), 64u);
}

TEST(DriverBinding, InstanceDigitNamesTheLibrary) {
  simcard_test::SimCardEnv env;
  env.Set("SIMCARD_NAME", "Second");
  DriverDirectory dir;
  dir.Put("ADCard.DLL", "ADCard2.DLL");
  Bound b;
  Bind(b, 0, 2);
  EXPECT_EQ(b.driver.DriverUsable, 1);
  EXPECT_EQ(b.live.CardNameText, "Second");
}

}  // namespace
