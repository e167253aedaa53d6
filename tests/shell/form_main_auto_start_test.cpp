#include <gtest/gtest.h>

#include <QAction>

#include <memory>
#include <string>

#include "MainWindowFixture.h"
#include "shell/FormAbout.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;

class FormMainAutoStart : public test::MainWindowFixture {};

// A fresh start (an empty tree but for the two values) and its first
// housekeeping tick.
struct AutoStartCase {
  const char* label;
  int32_t autoStart;
  int32_t virtualCard;
  int32_t runState;
  const char* statusText;  // posted by the tick, empty when nothing is
  bool splashShown;
};

TEST_F(FormMainAutoStart, TheFirstHousekeepingTickStartsRecordingOrSaysWhyNot) {
  const AutoStartCase cases[] = {
      {"virtual card", 1, 1, kRunRecording, "记录示波器开始工作!", false},
      {"neither driver nor virtual card", 1, 0, kRunIdle, "未安装AD板驱动程序!", false},
      {"no automatic start", 0, 1, kRunIdle, "", true},
  };
  for (const AutoStartCase& c : cases) {
    SCOPED_TRACE(c.label);
    AppState own;
    platform::MemoryRegistry tree;
    tree.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "AutoStart", c.autoStart);
    tree.WriteInt32("\\SOFTWARE\\QuelvarTorque\\ADCard", "SimulateAD", c.virtualCard);
    auto form = std::make_unique<TFormMain>(own, MainWindowServices{tree, ui, screenSaver});
    form->SetRemoteControlPort(0);
    form->SetStationStreamPort(0);
    TFormAbout about(own, tree);
    form->SetAboutBox(&about);
    ASSERT_TRUE(about.isVisible());  // the splash
    ASSERT_EQ(own.RunState, kRunIdle);

    form->Timer2Timer();  // the first tick runs the deferred start-up

    EXPECT_EQ(own.startup.StartupPending, 0);
    EXPECT_EQ(own.RunState, c.runState);
    EXPECT_EQ(form->menuStartQuelvar->isChecked(), c.runState == kRunRecording);
    EXPECT_EQ(form->PostedStatusText(), c.statusText);
    EXPECT_EQ(about.isVisible(), c.splashShown);
    // A refused start is not logged as a run.
    EXPECT_EQ(form->RunLogText().find("启动记录示波器于:") != std::string::npos, c.runState == kRunRecording);
    form.reset();  // stops a running recorder
    EXPECT_EQ(own.RunState, kRunIdle);
  }
}

}  // namespace
