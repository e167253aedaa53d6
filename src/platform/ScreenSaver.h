#pragma once

namespace quelvar::platform {

// Keeps the desktop's screen saver and display power-down away. Where the
// desktop offers no such control the implementation does nothing.
class ScreenSaverControl {
 public:
  virtual ~ScreenSaverControl() = default;
  virtual void SetInhibited(bool inhibited) = 0;
};

class NullScreenSaverControl : public ScreenSaverControl {
 public:
  void SetInhibited(bool) override {}
};

}  // namespace quelvar::platform
