#pragma once

#include <cstdint>

#include "platform/ScreenSaver.h"

namespace quelvar {

// While acquisition runs (any run state but idle) neither the screen saver
// nor the display power-down may start. Update() is cheap and is called on
// every interface-timer tick; the platform is asked only on a change.
class ScreenSaverGuard {
 public:
  explicit ScreenSaverGuard(platform::ScreenSaverControl& control) : control_(control) {}
  ~ScreenSaverGuard() { Release(); }
  ScreenSaverGuard(const ScreenSaverGuard&) = delete;
  ScreenSaverGuard& operator=(const ScreenSaverGuard&) = delete;

  void Update(int32_t runState) {
    const bool want = runState != 0;
    if (want == inhibited_) return;
    inhibited_ = want;
    control_.SetInhibited(want);
  }
  void Release() { Update(0); }
  bool Inhibited() const { return inhibited_; }

 private:
  platform::ScreenSaverControl& control_;
  bool inhibited_ = false;
};

}  // namespace quelvar
