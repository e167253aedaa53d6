// The serial port layer: where "COMn" lives, the settings text, and a port
// over a pseudo-terminal pair (raw line, queues that never block).
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/PtyPairForTest.h"
#include "platform/SerialPort.h"

namespace {

using namespace quelvar::platform;
using quelvar::test::ComPortPath;
using quelvar::test::PtyPair;
using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

// Bytes queued on the port once at least `count` have arrived (or the wait ran out).
uint32_t WaitForInput(SerialPort& port, uint32_t count) {
  const auto deadline = PtyPair::Deadline();
  uint32_t queued = port.InputQueued();
  while (queued < count && std::chrono::steady_clock::now() <= deadline) {
    pollfd p{port.Fd(), POLLIN, 0};
    poll(&p, 1, 10);
    queued = port.InputQueued();
  }
  return queued;
}

Bytes ReadAll(SerialPort& port, uint32_t count) {
  Bytes got(count);
  got.resize(port.Read(got.data(), count));
  return got;
}

// --- Where "COMn" lives ---

TEST(ComDevicePath, TheEnvironmentNamesThePathElseTheSystemsSerialDevice) {
  unsetenv("QUELVAR_COM7");
  EXPECT_EQ(ComDevicePath(7), "/dev/ttyS6");
  EXPECT_EQ(ComDevicePath(1), "/dev/ttyS0");
  {
    ComPortPath path(7, "/dev/pts/42");
    EXPECT_EQ(ComDevicePath(7), "/dev/pts/42");
    EXPECT_EQ(ComDevicePath(8), "/dev/ttyS7");
  }
  {
    ComPortPath empty(7, "");
    EXPECT_EQ(ComDevicePath(7), "/dev/ttyS6");
  }
  EXPECT_EQ(ComDevicePath(0), "");
  EXPECT_EQ(ComDevicePath(-3), "");
}

// --- The settings text ---

struct SettingsCase {
  const char* text;
  std::optional<SerialLineSettings> expected;
};

class SerialSettingsText : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SerialSettingsText, ParsesTheDeviceControlText) {
  EXPECT_EQ(ParseSerialSettings(GetParam().text), GetParam().expected) << GetParam().text;
}

constexpr SerialLineSettings Line(uint32_t baud, uint8_t bits, SerialParity parity, SerialStopBits stop) {
  return {baud, bits, parity, stop};
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SerialSettingsText,
    ::testing::Values(
        SettingsCase{"19200,N,8,1", Line(19200, 8, SerialParity::None, SerialStopBits::One)},
        SettingsCase{"9600,e,7,2", Line(9600, 7, SerialParity::Even, SerialStopBits::Two)},
        SettingsCase{"COM3:19200,N,8,1", Line(19200, 8, SerialParity::None, SerialStopBits::One)},
        SettingsCase{"com12: 4800 , O , 5 , 1.5", Line(4800, 5, SerialParity::Odd, SerialStopBits::OneAndHalf)},
        SettingsCase{"115200,M,8,1", Line(115200, 8, SerialParity::Mark, SerialStopBits::One)},
        SettingsCase{"300,s,6,1", Line(300, 6, SerialParity::Space, SerialStopBits::One)},
        SettingsCase{"", std::nullopt}, SettingsCase{"19200,N,8", std::nullopt},
        SettingsCase{"19200,N,8,1,X", std::nullopt}, SettingsCase{"19201,N,8,1", std::nullopt},
        SettingsCase{"19200,Q,8,1", std::nullopt}, SettingsCase{"19200,N,9,1", std::nullopt},
        SettingsCase{"19200,N,4,1", std::nullopt}, SettingsCase{"19200,N,8,3", std::nullopt},
        SettingsCase{"-9600,N,8,1", std::nullopt}, SettingsCase{"CON:19200,N,8,1", std::nullopt},
        SettingsCase{"COM:19200,N,8,1", std::nullopt}, SettingsCase{"COM3 19200,N,8,1", std::nullopt},
        SettingsCase{"99999999999,N,8,1", std::nullopt}));

// --- A port over a pseudo-terminal ---

class SerialPortOverPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    ASSERT_TRUE(port.Configure(Line(19200, 8, SerialParity::None, SerialStopBits::One)));
  }

  PtyPair pty;
  SerialPort port;
};

TEST_F(SerialPortOverPty, EveryByteValuePassesUnchangedBothWaysWithoutEcho) {
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  // CR, LF, the signal, flow-control and editing characters among them.
  ASSERT_TRUE(pty.Send(all));
  ASSERT_EQ(WaitForInput(port, 256), 256u);
  EXPECT_EQ(ReadAll(port, 256), all);

  const Bytes reply = {'\r', '\n', 0x03, 0x11, 0x13, 0x7F, 0x04, 0x00, 0xFF};
  ASSERT_EQ(port.Write(reply.data(), static_cast<uint32_t>(reply.size())), reply.size());
  // Any echo of what came in would have reached the far end before this.
  EXPECT_EQ(pty.Receive(reply.size()), reply);
}

TEST_F(SerialPortOverPty, ReadTakesOnlyWhatHasArrivedAndNeverWaits) {
  Bytes buffer(64);
  EXPECT_EQ(port.Read(buffer.data(), 64), 0u);
  ASSERT_TRUE(pty.Send({1, 2, 3}));
  ASSERT_EQ(WaitForInput(port, 3), 3u);
  EXPECT_EQ(port.Read(buffer.data(), 2), 2u);
  EXPECT_EQ(port.InputQueued(), 1u);
  EXPECT_EQ(port.Read(buffer.data(), 64), 1u);
  EXPECT_EQ(buffer[0], 3);
  EXPECT_EQ(port.Read(buffer.data(), 64), 0u);
}

TEST_F(SerialPortOverPty, AnInputLongerThanTheKernelKeepsArrivesWholeInTheInputQueue) {
  // Two configuration records' worth: far beyond the line discipline's few KiB.
  constexpr uint32_t kSize = 81456;
  port.SetQueueSizes(kSize, kSize);
  const Bytes sent = Pattern(kSize);
  ASSERT_TRUE(pty.Send(sent, [&] { port.InputQueued(); }));
  ASSERT_EQ(WaitForInput(port, kSize), kSize);
  EXPECT_EQ(ReadAll(port, kSize), sent);
}

TEST_F(SerialPortOverPty, AFullInputQueueLeavesTheRestWithTheDeviceUntilThereIsRoom) {
  port.SetQueueSizes(100, 100);
  const Bytes sent = Pattern(300);
  ASSERT_TRUE(pty.Send(sent));
  ASSERT_EQ(WaitForInput(port, 100), 100u);
  EXPECT_EQ(port.InputQueued(), 100u);
  Bytes got = ReadAll(port, 100);
  ASSERT_EQ(WaitForInput(port, 100), 100u);
  for (uint8_t b : ReadAll(port, 100)) got.push_back(b);
  ASSERT_EQ(WaitForInput(port, 100), 100u);
  for (uint8_t b : ReadAll(port, 100)) got.push_back(b);
  EXPECT_EQ(got, sent);
}

TEST_F(SerialPortOverPty, WritesBeyondWhatTheDeviceTakesWaitInTheQueueAndThePumpSendsThem) {
  constexpr uint32_t kSize = 300000;  // more than any pseudo-terminal buffers
  port.SetQueueSizes(SerialPort::kMaxQueueBytes, SerialPort::kMaxQueueBytes);
  int waitingCalls = 0;
  port.SetOutputWaitingHandler([&] { ++waitingCalls; });
  const Bytes sent = Pattern(kSize);
  // The write returns at once, with everything taken.
  ASSERT_EQ(port.Write(sent.data(), kSize), kSize);
  EXPECT_GT(port.OutputQueued(), 0u);
  EXPECT_EQ(waitingCalls, 1);
  EXPECT_EQ(pty.Receive(kSize, [&] { port.Pump(); }), sent);
  EXPECT_FALSE(port.Pump());
  EXPECT_EQ(port.OutputQueued(), 0u);
}

TEST_F(SerialPortOverPty, AWriteTakesOnlyWhatTheOutputQueueHasRoomFor) {
  port.SetQueueSizes(16, 16);
  // Nothing reads the far end: once the device is full, the queue fills.
  const Bytes block = Pattern(16);
  for (int i = 0; i < 1000000 && port.OutputRoom() > 0; ++i) port.Write(block.data(), 16);
  ASSERT_EQ(port.OutputRoom(), 0u);
  EXPECT_EQ(port.OutputQueued(), 16u);
  EXPECT_EQ(port.Write(block.data(), 1), 0u);
}

TEST_F(SerialPortOverPty, ClosingDropsTheQueuesAndTheDeviceCanBeOpenedAgain) {
  ASSERT_TRUE(pty.Send({9, 9}));
  ASSERT_EQ(WaitForInput(port, 2), 2u);
  EXPECT_TRUE(port.Close());
  EXPECT_FALSE(port.Close());
  EXPECT_EQ(port.Fd(), -1);
  uint8_t b = 0;
  EXPECT_EQ(port.Read(&b, 1), 0u);
  EXPECT_EQ(port.Write(&b, 1), 0u);
  EXPECT_EQ(port.InputQueued(), 0u);
  EXPECT_FALSE(port.Pump());

  ASSERT_TRUE(port.Open(pty.SlavePath()));
  ASSERT_TRUE(port.Configure(Line(9600, 8, SerialParity::Even, SerialStopBits::Two)));
  EXPECT_EQ(port.InputQueued(), 0u);
}

TEST(SerialPortOpen, OnlyAnExistingTerminalDeviceOpens) {
  SerialPort port;
  EXPECT_FALSE(port.Open(""));
  EXPECT_FALSE(port.Open("/nonexistent/serial/device"));
  const std::filesystem::path file = std::filesystem::path(testing::TempDir()) / "quelvar-not-a-tty";
  std::ofstream(file) << "x";
  EXPECT_FALSE(port.Open(file.string()));
  std::filesystem::remove(file);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.Configure(SerialLineSettings{}));
}

TEST_F(SerialPortOverPty, SettingsTheTerminalInterfaceCannotGiveAreRefused) {
  EXPECT_FALSE(port.Configure(Line(9600, 5, SerialParity::None, SerialStopBits::OneAndHalf)));
  EXPECT_FALSE(port.Configure(Line(12345, 8, SerialParity::None, SerialStopBits::One)));
  EXPECT_TRUE(port.Configure(Line(9600, 7, SerialParity::Mark, SerialStopBits::One)));
}

}  // namespace
