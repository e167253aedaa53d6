#include "platform/qt/QtDriverNotifier.h"

#include <QMetaObject>

#include <utility>

namespace quelvar::platform {

QtDriverNotifier::QtDriverNotifier(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), target_{&QtDriverNotifier::Post, this} {}

void QtDriverNotifier::Post(void* ctx, uint32_t msg, uintptr_t wparam) {
  auto* self = static_cast<QtDriverNotifier*>(ctx);
  // Safe from any thread: the call is queued to the object's thread.
  QMetaObject::invokeMethod(
      self, [self, msg, wparam] { self->handler_(msg, wparam); }, Qt::QueuedConnection);
}

}  // namespace quelvar::platform
