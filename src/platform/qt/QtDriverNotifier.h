#pragma once

#include <QObject>

#include <functional>

#include "platform/DriverNotify.h"

namespace quelvar::platform {

// Turns each driver post into a queued call on this object's thread (the GUI
// thread), one call per post. Posts that arrive after the object is destroyed
// are dropped by Qt, but the driver must be stopped before that: the target
// pointer it holds would dangle.
class QtDriverNotifier : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<void(uint32_t msg, uintptr_t wparam)>;

  explicit QtDriverNotifier(Handler handler, QObject* parent = nullptr);

  DriverNotifyTarget* Target() { return &target_; }

 private:
  static void Post(void* ctx, uint32_t msg, uintptr_t wparam);

  Handler handler_;
  DriverNotifyTarget target_;
};

}  // namespace quelvar::platform
