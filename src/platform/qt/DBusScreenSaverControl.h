#pragma once

#include <QObject>

#include <cstdint>

#include "platform/ScreenSaver.h"

namespace quelvar::platform {

// The desktop's screen-saver inhibition over the session bus
// (org.freedesktop.ScreenSaver). Calls are asynchronous so a slow or absent
// bus never blocks the GUI thread; without a session bus this does nothing.
class DBusScreenSaverControl : public QObject, public ScreenSaverControl {
  Q_OBJECT
 public:
  explicit DBusScreenSaverControl(QObject* parent = nullptr);
  ~DBusScreenSaverControl() override;

  void SetInhibited(bool inhibited) override;

 private:
  void UnInhibit();

  bool wanted_ = false;
  bool requestPending_ = false;
  uint32_t cookie_ = 0;
  bool haveCookie_ = false;
};

}  // namespace quelvar::platform
