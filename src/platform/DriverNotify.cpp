#include "platform/DriverNotify.h"

namespace quelvar::platform {

QueuedNotifyTarget::QueuedNotifyTarget() : target_{&QueuedNotifyTarget::Post, this} {}

void QueuedNotifyTarget::Post(void* ctx, uint32_t msg, uintptr_t wparam) {
  auto* self = static_cast<QueuedNotifyTarget*>(ctx);
  std::lock_guard lock(self->mutex_);
  self->queue_.push_back({msg, wparam});
}

size_t QueuedNotifyTarget::Drain(const Handler& handler) {
  std::deque<Entry> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(queue_);
  }
  for (const Entry& e : batch) handler(e.msg, e.wparam);
  return batch.size();
}

size_t QueuedNotifyTarget::Pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

}  // namespace quelvar::platform
