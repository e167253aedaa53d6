#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace quelvar::platform {

// The "window handle" the program hands to the driver's notification entry.
// The driver calls post(ctx, msg, wparam) from its own thread once per
// finished block; the receiving side turns each call into a queued call on
// the GUI thread, as a posted window message would be. Plain C layout: the
// driver is a separate library.
extern "C" {
struct DriverNotifyTarget {
  void (*post)(void* ctx, uint32_t msg, uintptr_t wparam);
  void* ctx;
};
}

// Window messages the program exchanges with its driver.
inline constexpr uint32_t kWmKeyUp = 0x0101;
// Key code of the hidden notification button's key-up.
inline constexpr uintptr_t kNotifyKeyCode = 48;

// A thread-safe notification queue without any event loop: posts from any
// thread are kept in order, one entry per post (never merged), and handed to
// a handler when the owner calls Drain(). Used where no GUI thread exists
// (tests, tools).
class QueuedNotifyTarget {
 public:
  using Handler = std::function<void(uint32_t msg, uintptr_t wparam)>;

  QueuedNotifyTarget();
  QueuedNotifyTarget(const QueuedNotifyTarget&) = delete;
  QueuedNotifyTarget& operator=(const QueuedNotifyTarget&) = delete;

  DriverNotifyTarget* Target() { return &target_; }

  // Hands every queued notification to `handler`, oldest first; returns how many.
  size_t Drain(const Handler& handler);
  size_t Pending() const;

 private:
  static void Post(void* ctx, uint32_t msg, uintptr_t wparam);

  struct Entry {
    uint32_t msg;
    uintptr_t wparam;
  };
  DriverNotifyTarget target_;
  mutable std::mutex mutex_;
  std::deque<Entry> queue_;
};

}  // namespace quelvar::platform
