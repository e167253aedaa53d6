#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/MemoryRegistry.h"
#include "platform/ScreenSaver.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"

namespace quelvar::test {

// A main window's world for window tests: a fresh state, an in-memory
// settings store, the scripted UI and an empty working directory of the
// test's own (so no driver library is found unless a test puts one there).
class MainWindowFixture : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;
  std::filesystem::path dir;

  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-window-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    ASSERT_NE(getcwd(oldCwd_, sizeof oldCwd_), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(oldCwd_), 0);
    std::filesystem::remove_all(dir);
  }
  // Its listeners take free ports, so tests never meet each other or a
  // running program on the fixed ones.
  std::unique_ptr<TFormMain> NewMainWindow() {
    auto form = std::make_unique<TFormMain>(state, MainWindowServices{registry, ui, screenSaver});
    form->SetRemoteControlPort(0);
    form->SetStationStreamPort(0);
    return form;
  }

 private:
  char oldCwd_[PATH_MAX]{};
};

}  // namespace quelvar::test
