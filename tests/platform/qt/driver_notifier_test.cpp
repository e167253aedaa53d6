#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <thread>
#include <vector>

#include "platform/qt/QtDriverNotifier.h"

namespace {

using quelvar::platform::QtDriverNotifier;

TEST(QtDriverNotifier, PostsFromDriverThreadRunOnGuiThreadOneCallEach) {
  std::vector<uintptr_t> seen;
  bool allOnGuiThread = true;
  QThread* gui = QThread::currentThread();
  QtDriverNotifier notifier([&](uint32_t, uintptr_t w) {
    allOnGuiThread = allOnGuiThread && QThread::currentThread() == gui;
    seen.push_back(w);
  });
  auto* target = notifier.Target();
  constexpr uintptr_t kPosts = 2000;
  std::thread driver([target] {
    for (uintptr_t i = 0; i < kPosts; ++i) target->post(target->ctx, 0x101, i);
  });
  driver.join();
  EXPECT_TRUE(seen.empty());  // nothing runs on the driver's thread
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(seen.size(), kPosts);
  for (uintptr_t i = 0; i < kPosts; ++i) ASSERT_EQ(seen[i], i);
  EXPECT_TRUE(allOnGuiThread);
}

}  // namespace
