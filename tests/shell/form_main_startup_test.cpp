#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <climits>
#include <filesystem>

#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "platform/qt/StringGrid.h"
#include "setup/FormBin.h"
#include "setup/FormGroup.h"
#include "setup/channel_tables_support.h"
#include "shell/ConfigFile.h"
#include "shell/FormAbout.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

class FormMainStartup : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;

  std::unique_ptr<TFormMain> Start(std::vector<std::string> args = {}) {
    state.startup.CommandLineArguments = std::move(args);
    auto form = std::make_unique<TFormMain>(state, MainWindowServices{registry, ui, screenSaver});
    form->SetRemoteControlPort(0);  // free ports: tests never share the fixed ones
    form->SetStationStreamPort(0);
    return form;
  }
};

TEST_F(FormMainStartup, WithoutADriverTheCardDefaultsApply) {
  auto form = Start();
  const LiveConfig& c = state.config;
  EXPECT_EQ(state.driver.DriverUsable, 0);
  EXPECT_EQ(c.CardNameText, "ADCard");
  EXPECT_EQ(state.driver.CardMaxChannels, 112);
  EXPECT_EQ(state.driver.CardMaxSwitchChannels, 192);
  EXPECT_EQ(state.driver.CardMinBlockSamples, 1024);
  EXPECT_FLOAT_EQ(c.VZero, 2048.0f);
  EXPECT_FLOAT_EQ(c.ADMax, 4095.0f);
  EXPECT_EQ(form->menuCardSetting->text().toStdString(), "ADCard专用配置面板");
  EXPECT_FALSE(form->menuCardSetting->isVisible());
  EXPECT_FALSE(form->menuADPropString->isVisible());
  EXPECT_FALSE(form->menuPIDConfig->isVisible());
  EXPECT_EQ(state.startup.WindowWord, "记录示波器");
  EXPECT_EQ(form->windowTitle().toStdString(), "记录示波器--实时波形");
  EXPECT_EQ(form->StatusPanelText(1), "预备");
  EXPECT_EQ(form->StatusPanelText(2), "实时");
  EXPECT_EQ(form->StatusPanelText(4), "累计采样时间");
  EXPECT_FALSE(form->menuHarmonicFourier->isEnabled());
  EXPECT_TRUE(form->menuHarmonicFourier->isChecked());
  EXPECT_TRUE(form->menuVPage1->isChecked());
  EXPECT_EQ(c.AnalogDisplayOrder[99], 99);
}

TEST_F(FormMainStartup, InstanceAndPresentationSwitchesNameEverything) {
  auto form = Start({"-1", "-2", "-f", "-l"});
  EXPECT_EQ(state.startup.AppKeyName, "QuelvarTorque2");
  EXPECT_EQ(state.startup.WindowWord, "2#录波器");
  EXPECT_EQ(state.config.CardNameText, "ADCard2");
  EXPECT_FALSE(form->menuLoadConfig->isEnabled());  // configuration locked
  form.reset();
  EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\QuelvarTorque2\\ADCard2\\Line"));
  EXPECT_FALSE(registry.KeyExists("\\SOFTWARE\\QuelvarTorque"));
}

TEST_F(FormMainStartup, ShutdownWritesGeometryAndUniversalPages) {
  registry.WriteInt32("\\SOFTWARE\\QuelvarTorque\\FormSize", "FormMain_Width", 120);
  registry.WriteInt32("\\SOFTWARE\\QuelvarTorque\\FormSize", "VPageNum", 7);
  auto form = Start();
  EXPECT_GE(form->width(), 200);
  EXPECT_EQ(state.pages.VPageNum, 4);
  EXPECT_TRUE(form->menuVPage5->isChecked());
  form.reset();
  const std::string key = "\\SOFTWARE\\QuelvarTorque\\FormSize";
  EXPECT_GE(registry.ReadInt32(key, "FormMain_Width").value_or(0), 200);
  EXPECT_EQ(registry.ReadInt32(key, "VPageNum"), 4);
  EXPECT_TRUE(registry.ReadBinary(key, "VP").has_value());
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "StartNum"), 1);
}

TEST_F(FormMainStartup, DeferredStartupRunsOnceOnTheFirstHousekeepingCall) {
  auto form = Start();
  EXPECT_EQ(state.startup.StartupPending, 1);
  EXPECT_EQ(state.startup.LayoutReady, 0);
  form->Timer2Timer();  // the first tick calls the housekeeping
  EXPECT_EQ(state.startup.StartupPending, 0);
  EXPECT_EQ(state.startup.LayoutReady, 1);
  const std::string log = form->RunLogText();
  EXPECT_EQ(log.rfind("网络录波器/示波器 2.5版本。", 0), 0u) << log;
  EXPECT_NE(log.find("这是本程序第 1 运行!"), std::string::npos);
  EXPECT_NE(log.find("采样数据存盘路径为："), std::string::npos);
  for (int i = 0; i < 25; ++i) form->Timer2Timer();  // later calls do not start it again
  EXPECT_EQ(form->RunLogText(), log);
}

TEST_F(FormMainStartup, ResetSwitchStartsFromDefaultsLoadsTheDefaultFileAndEnds) {
  const fs::path dir = fs::path(testing::TempDir()) / ("quelvar-reset-" + std::to_string(getpid()));
  fs::create_directories(dir);
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  AppState other;
  other.config.NumSamp = 640;
  ConfigRecord record;
  BuildConfigRecord(other.config, BuildExtrasOf(other), record);
  std::string error;
  ASSERT_TRUE(WriteConfigFile("Default.QCG", record, error)) << error;
  registry.WriteInt32("\\SOFTWARE\\QuelvarTorque\\ADCard", "FrqSamp", 777);
  registry.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Junk\\Deep", "X", 1);
  {
    auto form = Start({"-C"});
    EXPECT_EQ(state.config.FrqSamp, 10000);  // the tree was gone before anything was read
    EXPECT_FALSE(registry.KeyExists("\\SOFTWARE\\QuelvarTorque\\Junk"));
    QSignalSpy closed(form.get(), &TFormMain::Closed);
    form->show();
    form->Timer2Timer();
    QCoreApplication::processEvents();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(state.config.NumSamp, 640);
  }
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\ADCard", "NumSamp"), 640);
  ASSERT_EQ(chdir(old), 0);
  fs::remove_all(dir);
}

TEST_F(FormMainStartup, ChannelGroupLauncherAppliesAndSavesTheLayout) {
  auto form = Start();
  state.display.DispValid = 1;
  state.acq.BufferLayoutValid = 1;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& group = dynamic_cast<TFormGroup&>(d);
    EXPECT_EQ(group.Edit_Analog->text().toStdString(), "4");
    EXPECT_EQ(group.Edit_ACFrq->text().toStdString(), "50.00");
    group.Edit_Analog->setText("2");
    group.Edit_Binary->setText("17");
    group.ButtonOKClick();
    return group.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
  });
  form->menuBusConfigClick();
  EXPECT_EQ(state.config.Analog_Num, 2);
  EXPECT_EQ(state.config.NumChn, 4);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\ADCard\\Group", "SW_Num"), 17);
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Message).empty());
  // The shown data no longer fit the new channel counts.
  EXPECT_EQ(state.display.DispValid, 0);
  EXPECT_EQ(state.acq.BufferLayoutValid, 0);
}

TEST_F(FormMainStartup, ChannelGroupLauncherKeepsDataThatStillFitAndRebuildsTheLayout) {
  auto form = Start();
  state.display.DispValid = 1;
  state.display.DispPoints = 3000;
  state.config.TotalPages = 1;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& group = dynamic_cast<TFormGroup&>(d);
    group.Edit_TotalPages->setText("3");
    group.ButtonOKClick();
    return platform::kModalOk;
  });
  form->menuBusConfigClick();
  EXPECT_EQ(state.display.DispValid, 1);
  EXPECT_TRUE(form->RepaintRequested());
  EXPECT_EQ(state.wave.PageLayout.PageChannels.size(), 5u);  // three pages, the universal and the trigger page
  EXPECT_EQ(state.wave.XPosition, 3000 - state.wave.DisplayWidth);
}

// A refused OK used to leave the fields before the refusal written, and the
// launcher then saved them to the settings tree.
TEST_F(FormMainStartup, ChannelGroupLauncherAfterARefusedOkSavesTheSettingsUnchanged) {
  auto form = Start();
  form->menuBusConfigClick();  // cancelled: the tree holds the settings as they are
  const auto treeBefore = testing_support::DumpRegistry(registry);
  const LiveConfig before = state.config;
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& group = dynamic_cast<TFormGroup&>(d);
    group.Edit_ACFrq->setText("60");
    group.EditEnvTemp->setText("35");
    group.Edit_TotalPages->setText("4");
    group.Edit_Binary->setText("1000");
    group.Edit_Analog->setText("120");
    group.ButtonOKClick();
    group.Edit_Analog->setText("4");
    group.Edit_Binary->setText("x");
    group.ButtonOKClick();
    return group.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
  });
  form->menuBusConfigClick();
  const auto messages = ui.PromptsOf(platform::ScriptedUiHost::Kind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "模拟通道数超过了 100");
  EXPECT_EQ(messages[1].text, "开关量个数: 'x' is not a valid integer value");
  testing_support::ExpectSameChannelSettings(state.config, before);
  EXPECT_TRUE(testing_support::DumpRegistry(registry) == treeBefore);
}

TEST_F(FormMainStartup, ChannelGroupLauncherLeavesTheTreeAloneWithATemporaryConfiguration) {
  auto form = Start();
  form->menuBusConfigClick();  // cancelled: the tree holds the settings as they are
  state.configInForce.TempConfigActive = 1;
  const auto treeBefore = testing_support::DumpRegistry(registry);
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& group = dynamic_cast<TFormGroup&>(d);
    group.Edit_Binary->setText("17");
    group.ButtonOKClick();
    return group.result() == QDialog::Accepted ? platform::kModalOk : platform::kModalCancel;
  });
  form->menuBusConfigClick();
  EXPECT_EQ(state.config.SW_Num, 17);
  EXPECT_TRUE(testing_support::DumpRegistry(registry) == treeBefore);
}

// A sub-dialog writes its table on its own OK, with the page count its pages
// were kept below; the group's Cancel afterwards does not undo that, and the
// launcher saves both together.
TEST_F(FormMainStartup, ChannelGroupLauncherSavesASubDialogsTablesAfterTheGroupsCancel) {
  auto form = Start();
  state.config.SW_Num = 3;  // the tree holds the switch inputs below the count
  const std::string group = "\\SOFTWARE\\QuelvarTorque\\ADCard\\Group";
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& dialog = dynamic_cast<TFormGroup&>(d);
    dialog.Edit_TotalPages->setText("2");
    dialog.ButtonBinaryClick();
    dialog.ButtonCancelClick();
    return platform::kModalCancel;
  });
  ui.modalAnswers.push_back([](platform::ModalDialog& d) {
    auto& bin = dynamic_cast<TFormBin&>(d);
    bin.Grid_Binary->Cells().EditCell(1, 2, "断路器");
    bin.Grid_Binary->Cells().EditCell(6, 2, "1");
    bin.ButtonOKClick();
    return platform::kModalOk;
  });
  form->menuBusConfigClick();
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).size(), 2u);
  EXPECT_EQ(state.config.SwitchChannelTable[1].SWName, "断路器");
  EXPECT_EQ(registry.ReadString(group, "SWName1"), "断路器");
  EXPECT_EQ(registry.ReadInt32(group, "SWPageNo1"), 1);
  EXPECT_EQ(registry.ReadInt32(group, "TotalPages"), 2);
}

TEST_F(FormMainStartup, ChannelGroupLauncherWarnsWhenAnalogChannelsExceedTheWords) {
  auto form = Start();
  state.config.NumChn = 2;  // fewer words than analog channels, and the dialog cancelled
  form->menuBusConfigClick();
  ASSERT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Message).size(), 1u);
  EXPECT_EQ(ui.prompts.back().text, "模拟通道数大于AD板总通道数!");
  EXPECT_EQ(ui.prompts.back().caption, "模拟通道设置错误");
}

TEST_F(FormMainStartup, UsableDriverShowsItsMenusAndLimits) {
  const fs::path dir = fs::path(testing::TempDir()) / ("quelvar-driver-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::copy_file(fs::path(QUELVAR_DRIVER_DIR) / "ADCard.DLL", dir / "ADCard.DLL",
                fs::copy_options::overwrite_existing);
  char old[PATH_MAX];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  {
    auto form = Start();
    EXPECT_EQ(state.driver.DriverUsable, 1);
    EXPECT_EQ(state.config.CardNameText, "SimCard");
    EXPECT_TRUE(form->menuCardSetting->isVisible());
    EXPECT_EQ(form->menuCardSetting->text().toStdString(), "SimCard settings");
    EXPECT_TRUE(form->menuCardSetting->isEnabled());
    form->menuCardSetting->trigger();  // the driver's own panel: nothing to show on the simulated card
    EXPECT_TRUE(form->menuADPropString->isVisible());
    EXPECT_TRUE(form->menuSepProp->isVisible());
  }
  EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\QuelvarTorque\\SimCard\\Group"));
  ASSERT_EQ(chdir(old), 0);
  fs::remove_all(dir);
}

TEST(FormAbout, HidesOnTheFourthTickAfterActivationOrAtOnceOnOk) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormAbout about(state, registry);
  EXPECT_EQ(about.Label1->text().toStdString(), "网络录波器/示波器 2.5版本");
  EXPECT_EQ(state.startup.AboutBoxReady, 1);
  ASSERT_TRUE(about.isVisible());
  for (int tick = 1; tick <= 3; ++tick) {
    about.Timer1Timer();
    EXPECT_TRUE(about.isVisible()) << tick;
  }
  about.Timer1Timer();
  EXPECT_FALSE(about.isVisible());
  EXPECT_FALSE(about.Timer1->isActive());
  about.ShowFromMenu();  // the eight seconds start again
  about.Timer1Timer();
  EXPECT_TRUE(about.isVisible());
  about.Button1Click();
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
