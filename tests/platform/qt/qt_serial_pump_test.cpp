// The output pump: a port's queued output reaches the device while the
// event loop runs, and nothing breaks when the pump goes first.
#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <vector>

#include "platform/PtyPairForTest.h"
#include "platform/SerialPort.h"
#include "platform/qt/QtSerialPump.h"

namespace {

using namespace quelvar::platform;
using quelvar::test::PtyPair;
using Bytes = std::vector<uint8_t>;

class QtSerialPumpOverPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    ASSERT_TRUE(port.Configure(SerialLineSettings{}));
    port.SetQueueSizes(SerialPort::kMaxQueueBytes, SerialPort::kMaxQueueBytes);
  }

  PtyPair pty;
  SerialPort port;
};

TEST_F(QtSerialPumpOverPty, QueuedOutputIsSentWhileTheEventLoopRunsThenThePumpStops) {
  QtSerialPump pump(port);
  constexpr size_t kSize = 300000;  // more than the device takes at once
  Bytes sent(kSize);
  for (size_t i = 0; i < kSize; ++i) sent[i] = static_cast<uint8_t>(i % 251);
  ASSERT_EQ(port.Write(sent.data(), kSize), kSize);
  ASSERT_GT(port.OutputQueued(), 0u);
  EXPECT_TRUE(pump.Pumping());

  Bytes got;
  // The far end reads; only the pump's timer feeds the device.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        for (const uint8_t b : pty.Drain()) got.push_back(b);
        return got.size() >= kSize;
      },
      PtyPair::kWaitMs));
  EXPECT_EQ(got, sent);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !pump.Pumping(); }, PtyPair::kWaitMs));
}

TEST_F(QtSerialPumpOverPty, AWriteAfterThePumpIsGoneIsOnlyQueued) {
  auto pump = std::make_unique<QtSerialPump>(port);
  pump.reset();
  Bytes big(300000, 0x5A);
  EXPECT_EQ(port.Write(big.data(), static_cast<uint32_t>(big.size())), big.size());
  EXPECT_GT(port.OutputQueued(), 0u);
}

}  // namespace
