// The controlled side's poll of its COM port: radio frames of the size the
// interpreter expects, run through it; lost payloads give the framing back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/RemoteFramesForTest.h"
#include "net/ControlledComPoll.h"
#include "net/RemoteControl.h"

namespace {

using namespace quelvar;
using namespace quelvar::test;

class FakePort {
 public:
  void Arrive(const Bytes& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
  int QueueStatus(uint32_t& in, uint32_t& out) {
    in = static_cast<uint32_t>(input_.size());
    out = 0;
    return 1;
  }
  uint32_t Read(uint8_t* buffer, uint32_t size) {
    const auto n = static_cast<uint32_t>(std::min<size_t>(size, input_.size()));
    std::copy_n(input_.begin(), n, buffer);
    input_.erase(input_.begin(), input_.begin() + n);
    return n;
  }

 private:
  std::deque<uint8_t> input_;
};

// The program's side, recording what the commands asked of it.
class RecordingHost : public RemoteControlHost {
 public:
  int32_t ApplyConfig(const ConfigRecord& record) override {
    applied.emplace_back(reinterpret_cast<const uint8_t*>(&record),
                         reinterpret_cast<const uint8_t*>(&record) + sizeof record);
    return 1;
  }
  void BuildConfig(ConfigRecord& out) override { std::memset(&out, 0, sizeof out); }
  int32_t ToggleRecording() override { return 1; }
  int32_t ToggleOscilloscope() override { return 2; }
  int32_t BecomeStation() override { return 1; }
  int32_t BecomeStandalone() override { return 0; }
  int32_t BecomeViewerOf(const std::string& address) override {
    viewerAddresses.push_back(address);
    return 2;
  }
  int32_t RoleInForce() override { return 0; }
  RemoteStatusValues StatusValues() override {
    RemoteStatusValues v;
    v.StartNum = 42;
    v.CardName = "ADCard";
    return v;
  }
  uint16_t LastSeqNo() override { return 0x1234; }
  int32_t RunState() override { return 0; }
  bool SerialLink() override { return true; }
  void RadioConnect() override { ++radioConnects; }
  void SendReply(const uint8_t* data, size_t size) override { replies.emplace_back(data, data + size); }

  std::vector<Bytes> applied;
  std::vector<std::string> viewerAddresses;
  std::vector<Bytes> replies;
  int radioConnects = 0;
};

class ControlledComPoll : public ::testing::Test {
 protected:
  // The port has just been opened.
  ControlledComPoll() { interpreter.RestartFraming(); }

  RadioPoll Poll() { return PollControlledComPort(reader, port, interpreter, host); }
  void Arrive(const Bytes& payload) { port.Arrive(EncodeRadioFrame(payload)); }

  FakePort port;
  RadioFrameReader reader{true};
  RemoteControlInterpreter interpreter;
  RecordingHost host;
};

TEST_F(ControlledComPoll, AStatusRequestIsAnsweredWithTheStatusRecord) {
  Arrive(FrameBytes(RemoteCommand::QueryStatus));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(host.replies.size(), 1u);
  ASSERT_EQ(host.replies[0].size(), sizeof(RemoteStatus));
  RemoteStatus status;
  std::memcpy(&status, host.replies[0].data(), sizeof status);
  EXPECT_EQ(status.Command, RemoteCommand::QueryStatus);
  EXPECT_EQ(status.StartNum, 42);
  EXPECT_STREQ(status.CardName, "ADCard");
}

TEST_F(ControlledComPoll, APayloadFollowsItsCommandInAFrameOfItsOwnSize) {
  Arrive(FrameBytes(RemoteCommand::SetAsClient, 9));
  Arrive(Bytes{'1', '2', '7', '.', '0', '.', '0', '.', '1'});
  ASSERT_EQ(Poll(), RadioPoll::Received);
  EXPECT_EQ(interpreter.ExpectedSize(), 9u);
  ASSERT_EQ(Poll(), RadioPoll::Received);
  EXPECT_EQ(host.viewerAddresses, std::vector<std::string>{"127.0.0.1"});
  ASSERT_EQ(host.replies.size(), 1u);
  EXPECT_EQ(host.replies[0], FrameBytes(RemoteCommand::SetAsClient, 2));

  Bytes record(kConfigRecordSize);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i);
  Arrive(FrameBytes(RemoteCommand::SendConfig, 40728));
  Arrive(record);
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(host.applied.size(), 1u);
  EXPECT_EQ(host.applied[0], record);
  EXPECT_EQ(host.replies.back(), FrameBytes(RemoteCommand::SendConfig, 1));
}

TEST_F(ControlledComPoll, RadioConnectAttachesTheController) {
  EXPECT_EQ(interpreter.ControllerConnected(), 0);
  Arrive(FrameBytes(RemoteCommand::RadioConnect, 12, 0));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  EXPECT_EQ(host.radioConnects, 1);
  EXPECT_EQ(interpreter.ControllerConnected(), 1);
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 1);
  EXPECT_EQ(interpreter.ExpectedSize(), 12u);
}

TEST_F(ControlledComPoll, ACorruptPayloadFrameGivesTheFramingBack_MendedFault) {
  Arrive(FrameBytes(RemoteCommand::SendConfig, 40728));
  Bytes record = EncodeRadioFrame(Bytes(kConfigRecordSize, 7));
  record[100] ^= 1;
  port.Arrive(record);
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(Poll(), RadioPoll::Dropped);
  EXPECT_TRUE(host.applied.empty());
  // Still waiting for the record, the next request would never be read.
  Arrive(FrameBytes(RemoteCommand::PollState));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(host.replies.size(), 1u);
  EXPECT_EQ(host.replies[0], FrameBytes(RemoteCommand::PollState, 0x1234, 0));
}

TEST_F(ControlledComPoll, APayloadThatNeverCompletesIsGivenUpAtTheStaleFlushSoCommandElevenGetsThrough_MendedFault) {
  Arrive(FrameBytes(RemoteCommand::SendConfig, 40728));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  // The controller gave up on the record and connects again.
  Arrive(FrameBytes(RemoteCommand::RadioConnect, 12, 0));
  RadioPoll last = RadioPoll::Empty;
  for (int poll = 0; poll < 12 && last != RadioPoll::Flushed; ++poll) last = Poll();
  ASSERT_EQ(last, RadioPoll::Flushed);
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 1);
  Arrive(FrameBytes(RemoteCommand::RadioConnect, 12, 0));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  EXPECT_EQ(host.radioConnects, 1);
}

TEST_F(ControlledComPoll, AfterLineNoiseTheNextCommandIsAnswered_MendedOutOfStep) {
  port.Arrive(Bytes{0x00, 'V', 0x7F});
  Arrive(FrameBytes(RemoteCommand::PollState));
  Arrive(FrameBytes(RemoteCommand::PollState));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(Poll(), RadioPoll::Received);
  ASSERT_EQ(host.replies.size(), 2u);
  EXPECT_EQ(host.replies[1], FrameBytes(RemoteCommand::PollState, 0x1234, 0));
}

TEST_F(ControlledComPoll, NoiseBeforeAPayloadStillArrivingDoesNotLoseIt) {
  Arrive(FrameBytes(RemoteCommand::SetAsClient, 9));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  const Bytes frame = EncodeRadioFrame(Bytes{'1', '2', '7', '.', '0', '.', '0', '.', '1'});
  // One byte of noise and all of the frame but its last byte: as many bytes
  // as the frame, so they are read, and the frame start waits for the rest.
  port.Arrive(Join({Bytes{0x42}, Bytes(frame.begin(), frame.end() - 1)}));
  EXPECT_EQ(Poll(), RadioPoll::Incomplete);
  EXPECT_EQ(interpreter.ExpectedSize(), 9u);
  port.Arrive(Bytes(frame.end() - 1, frame.end()));
  ASSERT_EQ(Poll(), RadioPoll::Received);
  EXPECT_EQ(host.viewerAddresses, std::vector<std::string>{"127.0.0.1"});
}

TEST_F(ControlledComPoll, ACorruptCommandFrameIsDroppedWithoutAReply) {
  Bytes frame = EncodeRadioFrame(FrameBytes(RemoteCommand::ToggleRecording));
  frame[0] = 'W';
  port.Arrive(frame);
  ASSERT_EQ(Poll(), RadioPoll::Dropped);
  EXPECT_TRUE(host.replies.empty());
  EXPECT_EQ(interpreter.ExpectedSize(), 12u);
}

}  // namespace
