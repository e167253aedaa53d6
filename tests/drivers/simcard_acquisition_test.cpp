// The simulated card's sampling: interrupt mode with its worker thread,
// notifications and drop-oldest queue, and snapshot mode.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "drivers/simcard_support.h"
#include "platform/DriverNotify.h"

namespace {

using quelvar::platform::DriverNotifyTarget;
using quelvar::platform::kNotifyKeyCode;
using quelvar::platform::kWmKeyUp;
using quelvar::platform::QueuedNotifyTarget;
using simcard_test::Card;
using simcard_test::RowsAsDocumented;
using simcard_test::SignalParams;
using simcard_test::SimCardEnv;
using simcard_test::WaitFor;

// Blocks of 64 rows x 4 words at 1000 Hz: 256 samples, the smallest block.
constexpr uint32_t kRows = 64;
constexpr uint32_t kChannels = 4;
constexpr uint32_t kRate = 1000;
constexpr size_t kBlockWords = 1 + kRows * kChannels;

SignalParams DefaultSignal() {
  SignalParams p;
  p.numChn = kChannels;
  p.rowRate = kRate;
  return p;
}

std::vector<std::pair<uint32_t, uintptr_t>> DrainAll(QueuedNotifyTarget& queue) {
  std::vector<std::pair<uint32_t, uintptr_t>> posts;
  queue.Drain([&](uint32_t msg, uintptr_t wparam) { posts.emplace_back(msg, wparam); });
  return posts;
}

TEST(SimCardInterrupt, EachBlockIsQueuedAndPostedOnce) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "0");
  env.Set("SIMCARD_MAX_BLOCKS", "5");
  Card card;
  QueuedNotifyTarget queue;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartIntr(8, kRows, kChannels, kRate), 1);
  ASSERT_TRUE(WaitFor([&] { return queue.Pending() == 5; }));
  card.stopIntr();

  const auto posts = DrainAll(queue);
  ASSERT_EQ(posts.size(), 5u);
  for (const auto& [msg, wparam] : posts) {
    EXPECT_EQ(msg, kWmKeyUp);
    EXPECT_EQ(wparam, kNotifyKeyCode);
  }
  EXPECT_EQ(card.queryBuf(), 5);
  std::vector<uint16_t> block(kBlockWords);
  for (uint16_t seq = 0; seq < 5; ++seq) {
    ASSERT_EQ(card.adResult(block.data()), 1);
    EXPECT_EQ(block[0], seq);
    EXPECT_TRUE(RowsAsDocumented(block.data() + 1, uint64_t{seq} * kRows, kRows, DefaultSignal()));
    EXPECT_EQ(card.queryBuf(), 4 - seq);
  }
  EXPECT_EQ(card.adResult(block.data()), 0);
  EXPECT_EQ(card.lastError(), 18);
  EXPECT_EQ(card.adResultRecent(block.data()), 0);
}

TEST(SimCardInterrupt, WithoutAnIntervalSetBlocksComeAtTheBlockTime) {
  // 256 rows at 25600 Hz: a block every 10 ms.
  SimCardEnv env;
  Card card;
  QueuedNotifyTarget queue;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartIntr(16, 256, 1, 25600), 1);
  ASSERT_TRUE(WaitFor([&] { return queue.Pending() >= 3; }));
  card.stopIntr();
  std::vector<uint16_t> block(1 + 256);
  for (uint16_t seq = 0; seq < 3; ++seq) {
    ASSERT_EQ(card.adResult(block.data()), 1);
    EXPECT_EQ(block[0], seq);
  }
}

TEST(SimCardInterrupt, OverflowDropsTheOldestBlocks) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "0");
  env.Set("SIMCARD_MAX_BLOCKS", "10");
  Card card;
  QueuedNotifyTarget queue;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartIntr(4, kRows, kChannels, kRate), 1);
  ASSERT_TRUE(WaitFor([&] { return queue.Pending() == 10; }));  // every block is announced, kept or not
  EXPECT_EQ(card.queryBuf(), 4);

  std::vector<uint16_t> block(kBlockWords);
  ASSERT_EQ(card.adResultRecent(block.data()), 1);
  EXPECT_EQ(block[0], 9);
  EXPECT_EQ(card.queryBuf(), 4) << "the newest block is copied, not taken";
  for (uint16_t seq = 6; seq < 10; ++seq) {
    ASSERT_EQ(card.adResult(block.data()), 1);
    EXPECT_EQ(block[0], seq);
    // The dropped blocks were sampled all the same: the signal goes on.
    EXPECT_TRUE(RowsAsDocumented(block.data() + 1, uint64_t{seq} * kRows, kRows, DefaultSignal()));
  }
  EXPECT_EQ(card.queryBuf(), 0);
  card.stopIntr();
}

TEST(SimCardInterrupt, SequenceWordWrapsAfter65535) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "0");
  env.Set("SIMCARD_MAX_BLOCKS", "65538");
  env.Set("SIMCARD_MIN_BLOCK", "1");
  Card card;
  QueuedNotifyTarget queue;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartIntr(4, 1, 1, kRate), 1);
  ASSERT_TRUE(WaitFor([&] { return queue.Pending() == 65538; }));
  card.stopIntr();
  std::vector<uint16_t> block(2);
  for (const uint16_t seq : {65534, 65535, 0, 1}) {
    ASSERT_EQ(card.adResult(block.data()), 1);
    EXPECT_EQ(block[0], seq);
  }
}

TEST(SimCardInterrupt, RowsFollowTheDocumentedSignal) {
  struct Case {
    const char* label;
    std::vector<std::pair<std::string, std::string>> env;
    uint32_t numChn;
    uint32_t frqSamp;
    SignalParams signal;
  } cases[] = {
      {"defaults", {}, 4, 1000, {4, 0, 1000.0, 2048.0, 4095.0, 1000.0}},
      {"16 bits", {{"SIMCARD_BITS", "16"}}, 4, 1000, {4, 0, 1000.0, 32768.0, 65535.0, 1000.0}},
      {"clamped", {{"SIMCARD_AMPLITUDE", "3000"}}, 4, 1000, {4, 0, 1000.0, 2048.0, 4095.0, 3000.0}},
      {"switch words", {{"SIMCARD_SWITCH_WORDS", "2"}}, 4, 1000, {4, 2, 1000.0, 2048.0, 4095.0, 1000.0}},
      {"all switch words", {{"SIMCARD_SWITCH_WORDS", "9"}}, 4, 1000, {4, 9, 1000.0, 2048.0, 4095.0, 1000.0}},
      {"multiplexed", {{"SIMCARD_RATE_DIVIDE", "1"}}, 4, 4000, {4, 0, 1000.0, 2048.0, 4095.0, 1000.0}},
      {"eight channels", {}, 8, 3200, {8, 0, 3200.0, 2048.0, 4095.0, 1000.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SimCardEnv env;
    env.Set("SIMCARD_BLOCK_MS", "0");
    env.Set("SIMCARD_MAX_BLOCKS", "2");
    for (const auto& [name, value] : c.env) env.Set(name, value);
    Card card;
    ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
    const uint32_t rows = 1024 / c.numChn;
    ASSERT_EQ(card.StartIntr(4, rows, c.numChn, c.frqSamp), 1);
    ASSERT_TRUE(WaitFor([&] { return card.queryBuf() == 2; }));
    card.stopIntr();
    std::vector<uint16_t> block(1 + rows * c.numChn);
    for (uint64_t b = 0; b < 2; ++b) {
      ASSERT_EQ(card.adResult(block.data()), 1);
      EXPECT_EQ(block[0], b);
      EXPECT_TRUE(RowsAsDocumented(block.data() + 1, b * rows, rows, c.signal));
    }
  }
}

TEST(SimCardInterrupt, StopJoinsTheWorkerAndKeepsTheQueue) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "0");
  Card card;
  QueuedNotifyTarget queue;
  card.stopIntr();  // nothing running yet
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartIntr(4, kRows, kChannels, kRate), 1);
  ASSERT_TRUE(WaitFor([&] { return queue.Pending() >= 3; }));
  card.stopIntr();

  // Once stopped, every block made has been announced and nothing moves.
  std::vector<uint16_t> newest(kBlockWords);
  ASSERT_EQ(card.adResultRecent(newest.data()), 1);
  const size_t posts = DrainAll(queue).size();
  EXPECT_EQ(posts % 65536, (newest[0] + 1u) % 65536);
  const uint16_t queued = card.queryBuf();
  EXPECT_EQ(queued, 4);
  card.stopIntr();  // twice is harmless
  EXPECT_EQ(card.queryBuf(), queued);
  EXPECT_EQ(queue.Pending(), 0u);

  std::vector<uint16_t> block(kBlockWords);
  ASSERT_EQ(card.adResult(block.data()), 1);
  EXPECT_EQ(block[0], static_cast<uint16_t>(newest[0] - 3));
}

TEST(SimCardInterrupt, NoPostReachesACancelledTarget) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "0");
  Card card;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);

  // Cancelled before the start: blocks are made, nobody is told.
  {
    SimCardEnv limited;
    limited.Set("SIMCARD_BLOCK_MS", "0");
    limited.Set("SIMCARD_MAX_BLOCKS", "3");
    QueuedNotifyTarget queue;
    card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
    card.registerNotify(1, nullptr, 0, 0, 0);
    ASSERT_EQ(card.StartIntr(4, kRows, kChannels, kRate), 1);
    ASSERT_TRUE(WaitFor([&] { return card.queryBuf() == 3; }));
    card.stopIntr();
    EXPECT_EQ(queue.Pending(), 0u);
  }

  // Cancelled while blocks keep coming: nothing more after the call returns,
  // and a new target gets the rest with its own message and key code.
  QueuedNotifyTarget first;
  QueuedNotifyTarget second;
  card.registerNotify(1, first.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartIntr(4, kRows, kChannels, kRate), 1);
  ASSERT_TRUE(WaitFor([&] { return first.Pending() >= 2; }));
  card.registerNotify(1, nullptr, 0, 0, 0);
  const size_t before = first.Pending();
  std::vector<uint16_t> block(kBlockWords);
  ASSERT_EQ(card.adResultRecent(block.data()), 1);
  const uint16_t seqAtCancel = block[0];
  ASSERT_TRUE(WaitFor([&] {
    return card.adResultRecent(block.data()) == 1 && static_cast<uint16_t>(block[0] - seqAtCancel) >= 3;
  }));
  EXPECT_EQ(first.Pending(), before);

  card.registerNotify(1, second.Target(), 0x0400, 7, 0);
  ASSERT_TRUE(WaitFor([&] { return second.Pending() >= 2; }));
  card.stopIntr();
  EXPECT_EQ(first.Pending(), before);
  for (const auto& [msg, wparam] : DrainAll(second)) {
    EXPECT_EQ(msg, 0x0400u);
    EXPECT_EQ(wparam, 7u);
  }
}

// A notification target whose post does not return until the test opens it.
class HeldTarget {
 public:
  DriverNotifyTarget* Target() { return &target_; }

  bool WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return held_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  bool PostFinished() const { return finished_.load(); }

 private:
  static void Post(void* ctx, uint32_t, uintptr_t) {
    auto* self = static_cast<HeldTarget*>(ctx);
    std::unique_lock lock(self->mutex_);
    self->held_ = true;
    self->changed_.notify_all();
    self->changed_.wait(lock, [self] { return self->released_; });
    self->finished_ = true;
  }

  DriverNotifyTarget target_{&HeldTarget::Post, this};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  bool released_ = false;
  std::atomic<bool> finished_{false};
};

TEST(SimCardInterrupt, StopAndCancelWaitForAPostInProgress) {
  // Only then may the program destroy the target it registered.
  QueuedNotifyTarget other;
  struct Case {
    const char* label;
    std::function<void(const Card&)> call;
  } cases[] = {
      {"StopIntr", [](const Card& card) { card.stopIntr(); }},
      {"RegisterNotify cancel", [](const Card& card) { card.registerNotify(1, nullptr, 0, 0, 0); }},
      {"RegisterNotify another target",
       [&other](const Card& card) { card.registerNotify(1, other.Target(), kWmKeyUp, kNotifyKeyCode, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SimCardEnv env;
    env.Set("SIMCARD_BLOCK_MS", "0");
    env.Set("SIMCARD_MAX_BLOCKS", "1");
    Card card;
    HeldTarget target;
    ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
    card.registerNotify(1, target.Target(), kWmKeyUp, kNotifyKeyCode, 0);
    ASSERT_EQ(card.StartIntr(4, kRows, kChannels, kRate), 1);
    ASSERT_TRUE(target.WaitUntilHeld());

    std::atomic<bool> returned{false};
    std::atomic<bool> postFinishedFirst{false};
    std::thread caller([&] {
      c.call(card);
      postFinishedFirst = target.PostFinished();
      returned = true;
    });
    // A sound driver cannot return now; give an unsound one the chance to.
    WaitFor([&] { return returned.load(); }, std::chrono::milliseconds(100));
    target.Release();
    caller.join();
    EXPECT_TRUE(postFinishedFirst);
    card.stopIntr();
    card.registerNotify(1, nullptr, 0, 0, 0);
  }
}

TEST(SimCardInterrupt, UnloadingARunningCardStopsItsWorker) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "0");
  QueuedNotifyTarget queue;
  std::string path;
  {
    Card card;
    path = card.lib.Path();
    ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
    card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
    ASSERT_EQ(card.StartIntr(4, kRows, kChannels, kRate), 1);
    ASSERT_TRUE(WaitFor([&] { return queue.Pending() >= 1; }));
  }
  // Really unloaded, so its destructors, which join the worker, have run.
  EXPECT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(SimCardSnapshot, EachCallMakesOneBlockOfTheRowsAsked) {
  SimCardEnv env;
  Card card;
  QueuedNotifyTarget queue;
  std::vector<uint16_t> block(1 + 4 * kRows * kChannels + 1, 0xEEEE);
  int32_t count = -1;
  EXPECT_EQ(card.getSnapshot(block.data(), kRows, &count), 0) << "not started";
  EXPECT_EQ(card.lastError(), 113);
  EXPECT_EQ(count, 0);

  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  card.registerNotify(1, queue.Target(), kWmKeyUp, kNotifyKeyCode, 0);
  ASSERT_EQ(card.StartSnapshot(4 * kRows, kChannels, kRate), 1);
  uint64_t sample = 0;
  for (uint16_t seq = 0; seq < 3; ++seq) {
    ASSERT_EQ(card.getSnapshot(block.data(), kRows, &count), 1);
    EXPECT_EQ(count, static_cast<int32_t>(kRows));
    EXPECT_EQ(block[0], seq);
    EXPECT_TRUE(RowsAsDocumented(block.data() + 1, sample, kRows, DefaultSignal()));
    EXPECT_EQ(block[1 + kRows * kChannels], 0xEEEE) << "wrote past the rows asked for";
    sample += kRows;
  }
  // As many rows as the start gave, and not one more.
  ASSERT_EQ(card.getSnapshot(block.data(), 4 * kRows, &count), 1);
  EXPECT_EQ(count, static_cast<int32_t>(4 * kRows));
  EXPECT_TRUE(RowsAsDocumented(block.data() + 1, sample, 4 * kRows, DefaultSignal()));
  EXPECT_EQ(block.back(), 0xEEEE);

  struct Refusal {
    uint16_t* buffer;
    uint32_t rows;
    int32_t code;
  } refusals[] = {{block.data(), 4 * kRows + 1, 112}, {block.data(), 0, 11}, {nullptr, kRows, 112}};
  for (const Refusal& r : refusals) {
    count = -1;
    EXPECT_EQ(card.getSnapshot(r.buffer, r.rows, &count), 0) << r.rows;
    EXPECT_EQ(card.lastError(), r.code) << r.rows;
    EXPECT_EQ(count, 0);
  }
  EXPECT_EQ(card.queryBuf(), 0);
  EXPECT_EQ(card.adResult(block.data()), 0);
  EXPECT_EQ(queue.Pending(), 0u) << "snapshots are not announced";

  card.stopIntr();
  EXPECT_EQ(card.getSnapshot(block.data(), kRows, &count), 0);
  EXPECT_EQ(card.lastError(), 113);
  card.registerNotify(1, nullptr, 0, 0, 0);
}

}  // namespace
