#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/FileRegistry.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "shell/ConfigFile.h"
#include "shell/FormMain.h"
#include "view/PaintBox.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

struct RecordingScreenSaver : platform::ScreenSaverControl {
  std::vector<bool> calls;
  void SetInhibited(bool on) override { calls.push_back(on); }
};

class FormMainTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  RecordingScreenSaver screenSaver;

  std::unique_ptr<TFormMain> MakeForm(platform::RegistryStore& store) {
    auto form = std::make_unique<TFormMain>(state, MainWindowServices{store, ui, screenSaver});
    form->SetRemoteControlPort(0);  // free ports: tests never share the fixed ones
    form->SetStationStreamPort(0);
    return form;
  }
};

TEST_F(FormMainTest, DesignedComponentsCarryTheProgramsNames) {
  auto form = MakeForm(registry);
  EXPECT_EQ(form->objectName(), "FormMain");
  EXPECT_EQ(form->findChild<QPlainTextEdit*>("Memo1"), form->Memo1);
  EXPECT_EQ(form->findChild<QWidget*>("Image1"), static_cast<QWidget*>(form->Image1));
  EXPECT_EQ(form->findChild<QStatusBar*>("StatusBar1"), form->StatusBar1);
  EXPECT_EQ(form->findChild<QTimer*>("Timer2"), form->Timer2);
  EXPECT_EQ(form->menuExit->objectName(), "menuExit");
  EXPECT_EQ(form->menuExit->text().toStdString(), "退出(&X)");
  EXPECT_EQ(form->StatusPanelCount(), 6);
  EXPECT_EQ(form->Timer2->interval(), 100);
  EXPECT_FALSE(form->Timer2->isActive());  // only a shown window runs it
  EXPECT_TRUE(form->Memo1->isReadOnly());
}

TEST_F(FormMainTest, ShowingStartsTheInterfaceTimerAndHidingStopsIt) {
  auto form = MakeForm(registry);
  form->show();
  ASSERT_TRUE(form->Timer2->isActive());
  QSignalSpy ticks(form->Timer2, &QTimer::timeout);
  ASSERT_TRUE(ticks.wait(5000));  // waits for the event, not for a time
  EXPECT_GE(form->Timer2Ticks(), 1);
  form->hide();
  EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(FormMainTest, ExitClosesTheWindowAndAnnouncesTheEnd) {
  auto form = MakeForm(registry);
  form->show();
  QSignalSpy closed(form.get(), &TFormMain::Closed);
  form->menuExit->trigger();
  EXPECT_EQ(closed.count(), 1);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(FormMainTest, ScreenSaverIsHeldOffWhileAcquisitionRuns) {
  auto form = MakeForm(registry);
  form->Timer2Timer();
  EXPECT_TRUE(screenSaver.calls.empty());
  state.RunState = kRunRecording;
  form->Timer2Timer();
  EXPECT_TRUE(form->ScreenSaver().Inhibited());
  state.RunState = kRunIdle;
  form->Timer2Timer();
  EXPECT_EQ(screenSaver.calls, (std::vector<bool>{true, false}));
}

TEST_F(FormMainTest, ShutdownDuringARunReleasesTheScreenSaver) {
  auto form = MakeForm(registry);
  state.RunState = kRunOscilloscope;
  form->Timer2Timer();
  form.reset();
  EXPECT_EQ(screenSaver.calls, (std::vector<bool>{true, false}));
}

TEST_F(FormMainTest, CreationOpensTheApplicationTree) {
  auto form = MakeForm(registry);
  EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\QuelvarTorque"));
}

TEST_F(FormMainTest, DamagedSettingsFileIsKeptAsideAndReportedInTheRunLog) {
  const fs::path dir = fs::path(testing::TempDir()) / "quelvar-damaged-registry";
  fs::remove_all(dir);
  fs::create_directories(dir / "SOFTWARE");
  const fs::path file = dir / "SOFTWARE" / "QuelvarTorque.reg";
  std::ofstream(file) << "this is not a settings file\n\x01\x02";
  {
    platform::FileRegistry store(dir.string());
    auto form = MakeForm(store);
    EXPECT_NE(form->RunLogText().find("警告："), std::string::npos) << form->RunLogText();
    EXPECT_TRUE(fs::exists(dir / "SOFTWARE" / "QuelvarTorque.reg.bad"));
  }
  // The tree written afterwards is a good one.
  std::ifstream in(file);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "REGEDIT4");
  fs::remove_all(dir);
}

const char* const kApp = "\\SOFTWARE\\QuelvarTorque";

TEST_F(FormMainTest, ViewMenusFollowTheSettingsTree) {
  registry.WriteInt32(std::string(kApp) + "\\Quelvar", "IDMonitor", 0);
  registry.WriteInt32(std::string(kApp) + "\\Quelvar", "DispScale", 7);
  registry.WriteInt32(std::string(kApp) + "\\Quelvar", "XZoom", 3);
  registry.WriteInt32(std::string(kApp) + "\\Quelvar", "DisplayWidth", 2500);
  auto form = MakeForm(registry);
  EXPECT_FALSE(form->menuMonitor->isChecked());
  EXPECT_EQ(form->menuDispScale->text().toStdString(), "X刻度数(=7)");
  EXPECT_TRUE(form->menuXZoomAny->isChecked());
  EXPECT_EQ(form->menuXZoomAny->text().toStdString(), "显示2500点");
}

TEST_F(FormMainTest, ShutdownWritesTheSettingsWithTheMenusCheckMarks) {
  {
    auto form = MakeForm(registry);
    form->menuServer->setChecked(true);
    form->menuViewYGrid->setChecked(true);
    state.config.NumSamp = 1024;
  }
  EXPECT_EQ(registry.ReadInt32(std::string(kApp) + "\\Quelvar", "NetworkStatus"), 1);
  EXPECT_EQ(registry.ReadInt32(std::string(kApp) + "\\Quelvar", "IDViewYGrid"), 1);
  EXPECT_EQ(registry.ReadInt32(std::string(kApp) + "\\ADCard", "NumSamp"), 1024);
}

TEST_F(FormMainTest, LentConfigurationShowsInTheSettingsMenuAndNeverReachesTheTree) {
  const fs::path dir = fs::path(testing::TempDir()) / "quelvar-lent-config";
  fs::create_directories(dir);
  AppState other;
  other.config.CardNameText = "PCI9111";
  other.config.NumSamp = 777;
  ConfigRecord record;
  BuildConfigRecord(other.config, BuildExtrasOf(other), record);
  std::string error;
  ASSERT_TRUE(WriteConfigFile((dir / "other.QCG").string(), record, error)) << error;
  {
    auto form = MakeForm(registry);
    state.display.DispValid = 1;
    state.acq.BufferLayoutValid = 1;
    ui.fileAnswers.push_back((dir / "other.QCG").string());
    ui.messageAnswers.push_back(platform::MsgResult::Yes);
    form->menuLoadConfigClick();
    // The shown data belong to the old configuration.
    EXPECT_EQ(state.display.DispValid, 0);
    EXPECT_EQ(state.acq.BufferLayoutValid, 0);
    EXPECT_EQ(form->menuSysParam->title().toStdString(), "临时参数(&P)");
    EXPECT_TRUE(form->menuRestoreConfig->isVisible());
    EXPECT_EQ(state.config.NumSamp, 777);
    form->menuRestoreConfigClick();
    EXPECT_EQ(form->menuSysParam->title().toStdString(), "系统参数(&P)");
    EXPECT_FALSE(form->menuRestoreConfig->isVisible());
    EXPECT_EQ(state.config.NumSamp, 300);
    // Lent again and the program ends: the tree gets the own configuration.
    ui.fileAnswers.push_back((dir / "other.QCG").string());
    ui.messageAnswers.push_back(platform::MsgResult::Yes);
    form->menuLoadConfigClick();
    ASSERT_EQ(state.config.NumSamp, 777);
  }
  EXPECT_EQ(registry.ReadInt32(std::string(kApp) + "\\ADCard", "NumSamp"), 300);
  EXPECT_FALSE(registry.KeyExists(std::string(kApp) + "\\PCI9111"));
  fs::remove_all(dir);
}

}  // namespace
