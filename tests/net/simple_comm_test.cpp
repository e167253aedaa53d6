// The program's serial port class and radio frames on it, over a
// pseudo-terminal pair that "COMn" is pointed at.
#include <gtest/gtest.h>
#include <poll.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/RadioLink.h"
#include "net/RemoteControl.h"
#include "net/SimpleComm.h"
#include "platform/PtyPairForTest.h"

namespace {

using namespace quelvar;
using quelvar::test::ComPortPath;
using quelvar::test::PtyPair;
using Bytes = std::vector<uint8_t>;

// A port number no machine's own serial ports are found under in the tests.
constexpr int kTestCom = 41;

uint32_t InputQueued(SimpleComm& port) {
  uint32_t in = 0, out = 0;
  port.QueueStatus(in, out);
  return in;
}

uint32_t WaitForInput(SimpleComm& port, uint32_t count) {
  const auto deadline = PtyPair::Deadline();
  uint32_t queued = InputQueued(port);
  while (queued < count && std::chrono::steady_clock::now() <= deadline) {
    pollfd p{port.Handle(), POLLIN, 0};
    poll(&p, 1, 10);
    queued = InputQueued(port);
  }
  return queued;
}

TEST(ComDeviceControlText, ATextNamingItsPortIsUsedWholeElseThePortIsPutInFront) {
  EXPECT_EQ(ComDeviceControlText(3, "19200,N,8,1"), "COM3:19200,N,8,1");
  EXPECT_EQ(ComDeviceControlText(3, "COM2:9600,N,8,1"), "COM2:9600,N,8,1");
  EXPECT_EQ(ComDeviceControlText(3, "com2:9600,N,8,1"), "com2:9600,N,8,1");
  EXPECT_EQ(ComDeviceControlText(12, ""), "COM12:");
}

class SimpleCommOverPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.Ok()); }

  PtyPair pty;
  ComPortPath path{kTestCom, pty.SlavePath()};
  SimpleComm port;
};

TEST_F(SimpleCommOverPty, StartsClosedWithTheDesignedLine) {
  EXPECT_EQ(port.Handle(), -1);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.BaudRate, 9600);
  EXPECT_EQ(port.DataBits, 8);
  EXPECT_EQ(port.Parity, 0);
  EXPECT_EQ(port.StopBits, 0);
  uint32_t in = 7, out = 7;
  EXPECT_EQ(port.QueueStatus(in, out), 0);
  EXPECT_EQ(in, 0u);
  EXPECT_EQ(out, 0u);
  uint8_t b = 1;
  EXPECT_EQ(port.Write(&b, 1), 0u);
  EXPECT_EQ(port.Read(&b, 1), 0u);
  EXPECT_FALSE(port.Close());
}

TEST_F(SimpleCommOverPty, OpensThePortNumberedInPortAndTalksBothWays) {
  port.Port = kTestCom;
  ASSERT_TRUE(port.Open("19200,N,8,1"));
  EXPECT_NE(port.Handle(), -1);
  ASSERT_TRUE(pty.Send({'a', '\r', 'b'}));
  ASSERT_EQ(WaitForInput(port, 3), 3u);
  Bytes got(8);
  EXPECT_EQ(port.Read(got.data(), 8), 3u);
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 3), (Bytes{'a', '\r', 'b'}));
  EXPECT_EQ(port.Write("ok\n", 3), 3u);
  EXPECT_EQ(pty.Receive(3), (Bytes{'o', 'k', '\n'}));
  EXPECT_TRUE(port.Close());
  EXPECT_EQ(port.Handle(), -1);
}

TEST_F(SimpleCommOverPty, ASettingsTextNamingAnotherPortStillOpensThePortInPort) {
  port.Port = kTestCom;
  EXPECT_TRUE(port.Open("COM2:9600,E,7,1"));
}

TEST_F(SimpleCommOverPty, ARejectedSettingsTextLeavesThePortClosed) {
  port.Port = kTestCom;
  ASSERT_TRUE(port.Open("19200,N,8,1"));
  for (const char* text : {"19200,N,8", "fast,N,8,1", "19200,N,8,1.5x", "Cabc"}) {
    EXPECT_FALSE(port.Open(text)) << text;
    EXPECT_FALSE(port.IsOpen()) << text;
  }
}

TEST_F(SimpleCommOverPty, APortThatIsNotThereDoesNotOpen) {
  {
    ComPortPath missing(kTestCom + 1, "/nonexistent/tty");
    port.Port = kTestCom + 1;
    EXPECT_FALSE(port.Open("19200,N,8,1"));
  }
  port.Port = 0;
  EXPECT_FALSE(port.Open("19200,N,8,1"));
  EXPECT_EQ(port.Handle(), -1);
}

TEST_F(SimpleCommOverPty, QueuesAskedForHoldAWholeConfigurationFrame) {
  port.Port = kTestCom;
  ASSERT_TRUE(port.Open(kRadioLineSettings));
  port.SetupQueues(kRadioQueueBytes, kRadioQueueBytes);
  Bytes record(40728);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i);
  const Bytes frame = EncodeRadioFrame(record);
  ASSERT_TRUE(pty.Send(frame, [&] { InputQueued(port); }));
  ASSERT_EQ(WaitForInput(port, static_cast<uint32_t>(frame.size())), frame.size());
  RadioFrameReader reader(true);
  ASSERT_EQ(reader.Poll(port, record.size()), RadioPoll::Received);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), reader.Payload().begin()));
}

// --- Writing frames ---

TEST_F(SimpleCommOverPty, AFrameIsWrittenWholeInItsThreeParts) {
  port.Port = kTestCom;
  ASSERT_TRUE(port.Open(kRadioLineSettings));
  const RemoteCommandFrame request{RemoteCommand::PollState, 0, 0};
  EXPECT_EQ(WriteRadioFrame(port, &request, sizeof request), 24u);
  const Bytes expected = EncodeRadioFrame(
      std::span(reinterpret_cast<const uint8_t*>(&request), sizeof request));
  EXPECT_EQ(pty.Receive(24), expected);
}

TEST_F(SimpleCommOverPty, AFrameThatDoesNotFitTheOutputQueueIsNotWrittenAtAll) {
  port.Port = kTestCom;
  ASSERT_TRUE(port.Open(kRadioLineSettings));
  port.SetupQueues(64, 64);
  // Nothing reads the far end: fill the device and the queue, then leave
  // room for 20 bytes, four short of a 12-byte frame.
  const Bytes filler(4, 0xAA);
  for (int i = 0; i < 1000000 && port.OutputRoom() > 0; ++i) port.Write(filler.data(), 4);
  ASSERT_EQ(port.OutputRoom(), 0u);
  port.SetupQueues(64, 84);
  ASSERT_EQ(port.OutputRoom(), 20u);
  uint32_t in = 0, before = 0;
  port.QueueStatus(in, before);
  const Bytes payload(12, 1);
  EXPECT_EQ(WriteRadioFrame(port, payload.data(), 12), 0u);
  uint32_t after = 0;
  port.QueueStatus(in, after);
  EXPECT_EQ(after, before);
}

TEST(WriteRadioFrame, WritesNothingOnAClosedPortOrForAnOverlongPayload) {
  SimpleComm port;
  const Bytes payload(12, 0);
  EXPECT_EQ(WriteRadioFrame(port, payload.data(), 12), 0u);
  EXPECT_EQ(WriteRadioFrame(port, payload.data(), UINT32_MAX), 0u);
}

}  // namespace
