#include <gtest/gtest.h>

#include <vector>

#include "shell/ScreenSaverGuard.h"

namespace {

struct RecordingControl : quelvar::platform::ScreenSaverControl {
  std::vector<bool> calls;
  void SetInhibited(bool on) override { calls.push_back(on); }
};

TEST(ScreenSaverGuard, InhibitedExactlyWhileNotIdleAndAskedOnlyOnChange) {
  RecordingControl control;
  {
    quelvar::ScreenSaverGuard guard(control);
    const int runStates[] = {0, 0, 1, 1, 2, 0, 0, 2};
    for (int s : runStates) guard.Update(s);
    EXPECT_TRUE(guard.Inhibited());
    EXPECT_EQ(control.calls, (std::vector<bool>{true, false, true}));
  }
  // Leaving (the program ends during a run) gives the desktop its saver back.
  EXPECT_EQ(control.calls.back(), false);
}

}  // namespace
