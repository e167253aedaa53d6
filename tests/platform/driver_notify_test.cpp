#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/DriverNotify.h"

namespace {

using quelvar::platform::DriverNotifyTarget;
using quelvar::platform::QueuedNotifyTarget;

TEST(DriverNotify, EveryPostFromAnotherThreadArrivesOnceAndInOrder) {
  QueuedNotifyTarget queue;
  DriverNotifyTarget* t = queue.Target();
  constexpr uintptr_t kPosts = 5000;
  // The driver side: a thread that only knows the C struct.
  std::thread driver([t] {
    for (uintptr_t i = 0; i < kPosts; ++i) t->post(t->ctx, quelvar::platform::kWmKeyUp, i);
  });
  driver.join();
  std::vector<uintptr_t> seen;
  queue.Drain([&](uint32_t msg, uintptr_t w) {
    EXPECT_EQ(msg, quelvar::platform::kWmKeyUp);
    seen.push_back(w);
  });
  ASSERT_EQ(seen.size(), kPosts);  // identical posts are never merged
  for (uintptr_t i = 0; i < kPosts; ++i) ASSERT_EQ(seen[i], i);
  EXPECT_EQ(queue.Pending(), 0u);
}

TEST(DriverNotify, IdenticalPostsStaySeparate) {
  QueuedNotifyTarget queue;
  for (int i = 0; i < 3; ++i) queue.Target()->post(queue.Target()->ctx, 0x101, 48);
  EXPECT_EQ(queue.Pending(), 3u);
  EXPECT_EQ(queue.Drain([](uint32_t, uintptr_t) {}), 3u);
}

}  // namespace
