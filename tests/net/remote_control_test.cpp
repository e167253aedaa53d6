#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/RemoteFramesForTest.h"
#include "net/RemoteControl.h"
#include "shell/ConfigCommands.h"

namespace quelvar {
namespace {

using namespace quelvar::test;

// The program as the interpreter sees it: a run state, a role, the
// refusals of the start/stop and role commands, and everything sent back.
class FakeHost : public RemoteControlHost {
 public:
  int32_t runState = 0;
  int32_t role = 0;
  uint16_t lastSeqNo = 0xFFFF;
  int32_t applyResult = 1;
  RemoteStatusValues status;
  Bytes ownRecord = Bytes(kConfigRecordSize, 0x5A);

  Bytes sent;
  std::vector<Bytes> applied;
  std::vector<std::string> viewerAddresses;
  int radioConnects = 0;
  bool serialLink = false;  // the messages come over TCP unless told

  int32_t ApplyConfig(const ConfigRecord& record) override {
    applied.push_back(RecordBytes(record));
    return applyResult;
  }
  void BuildConfig(ConfigRecord& out) override { std::memcpy(&out, ownRecord.data(), sizeof out); }
  // Each start/stop command refuses while the other mode runs.
  int32_t ToggleRecording() override {
    if (runState != 2) runState = runState == 1 ? 0 : 1;
    return runState;
  }
  int32_t ToggleOscilloscope() override {
    if (runState != 1) runState = runState == 2 ? 0 : 2;
    return runState;
  }
  // The role commands refuse while a run is on.
  int32_t BecomeStation() override { return SetRole(1); }
  int32_t BecomeStandalone() override { return SetRole(0); }
  int32_t BecomeViewerOf(const std::string& address) override {
    viewerAddresses.push_back(address);
    return SetRole(2);
  }
  int32_t RoleInForce() override { return role; }
  RemoteStatusValues StatusValues() override { return status; }
  uint16_t LastSeqNo() override { return lastSeqNo; }
  int32_t RunState() override { return runState; }
  bool SerialLink() override { return serialLink; }
  void RadioConnect() override { ++radioConnects; }
  void SendReply(const uint8_t* data, size_t size) override { sent.insert(sent.end(), data, data + size); }

 private:
  int32_t SetRole(int32_t wanted) {
    if (runState == 0) role = wanted;
    return role;
  }
};

class RemoteControlTest : public ::testing::Test {
 protected:
  RemoteControlTest() { interpreter.Attach(); }

  void Feed(const Bytes& bytes) { interpreter.Feed(bytes.data(), bytes.size(), host); }

  // The replies as frames; fails when they are not whole frames.
  std::vector<RemoteCommandFrame> Replies() const {
    EXPECT_EQ(host.sent.size() % sizeof(RemoteCommandFrame), 0u);
    std::vector<RemoteCommandFrame> frames(host.sent.size() / sizeof(RemoteCommandFrame));
    std::memcpy(frames.data(), host.sent.data(), frames.size() * sizeof(RemoteCommandFrame));
    return frames;
  }

  FakeHost host;
  RemoteControlInterpreter interpreter;
};

void ExpectFrame(const RemoteCommandFrame& f, int32_t command, int32_t arg1, int32_t arg2 = 0) {
  EXPECT_EQ(f.Command, command);
  EXPECT_EQ(f.Arg1, arg1);
  EXPECT_EQ(f.Arg2, arg2);
}

// --- Attaching and detaching a controller ---

TEST(RemoteControlAttach, AControllerStartsTheFramingAndItsLeavingStopsIt) {
  RemoteControlInterpreter interpreter;
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 0);
  EXPECT_EQ(interpreter.ControllerConnected(), 0);
  interpreter.Attach();
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 1);
  EXPECT_EQ(interpreter.ControllerConnected(), 1);
  EXPECT_EQ(interpreter.ExpectedSize(), 12u);
  EXPECT_EQ(interpreter.FillCount(), 0u);
  interpreter.Detach();
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 0);
  EXPECT_EQ(interpreter.ControllerConnected(), 0);
}

TEST(RemoteControlAttach, OnlyTheAttachedConnectionIsTheControllerUntilItLeaves) {
  RemoteControlInterpreter interpreter;
  EXPECT_FALSE(interpreter.IsController(1));
  interpreter.Attach(1);
  EXPECT_TRUE(interpreter.IsController(1));
  EXPECT_FALSE(interpreter.IsController(2));
  EXPECT_EQ(interpreter.ControllerConnection(), 1u);
  interpreter.Detach();
  EXPECT_FALSE(interpreter.IsController(1));
  EXPECT_EQ(interpreter.ControllerConnection(), std::nullopt);
  // The serial link's controller has no connection: no TCP peer commands.
  interpreter.Attach();
  EXPECT_EQ(interpreter.ControllerConnected(), 1);
  EXPECT_FALSE(interpreter.IsController(0));
  EXPECT_EQ(interpreter.ControllerConnection(), std::nullopt);
}

TEST_F(RemoteControlTest, APayloadLeftHalfWayIsAbandonedByTheNextController) {
  Feed(Join({FrameBytes(RemoteCommand::SendConfig, 40728), Bytes(100, 1)}));
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 0);
  EXPECT_EQ(interpreter.FillCount(), 100u);
  interpreter.Detach();
  interpreter.Attach();
  Feed(FrameBytes(RemoteCommand::PollState));
  ASSERT_EQ(Replies().size(), 1u);
  ExpectFrame(Replies()[0], RemoteCommand::PollState, 0xFFFF, 0);
  EXPECT_TRUE(host.applied.empty());
}

// --- The commands and their replies ---

TEST_F(RemoteControlTest, PollRepliesWithTheLastSequenceWordUnsignedAndTheRunState) {
  host.lastSeqNo = 0xFFFE;
  host.runState = 1;
  Feed(FrameBytes(RemoteCommand::PollState, 77, 88));
  ASSERT_EQ(Replies().size(), 1u);
  ExpectFrame(Replies()[0], RemoteCommand::PollState, 65534, 1);
}

struct ToggleCase {
  const char* name;
  int32_t command;
  int32_t runStateBefore;
  int32_t replied;
};

class RemoteControlToggle : public RemoteControlTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(RemoteControlToggle, RepliesWithTheRunStateAfterTheCommand) {
  const ToggleCase& c = GetParam();
  host.runState = c.runStateBefore;
  Feed(FrameBytes(c.command));
  ASSERT_EQ(Replies().size(), 1u);
  ExpectFrame(Replies()[0], c.command, c.replied);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoteControlToggle,
                         ::testing::Values(ToggleCase{"RecordingStarts", 3, 0, 1},
                                           ToggleCase{"RecordingStops", 3, 1, 0},
                                           ToggleCase{"OscilloscopeStarts", 4, 0, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteControlTest, RoleCommandsReplyWithTheRoleNowInForce) {
  Feed(FrameBytes(RemoteCommand::SetAsServer));
  Feed(FrameBytes(RemoteCommand::SetAsAlone));
  // Refused while recording: the unchanged role comes back.
  host.runState = 1;
  Feed(FrameBytes(RemoteCommand::SetAsServer));
  const auto replies = Replies();
  ASSERT_EQ(replies.size(), 3u);
  ExpectFrame(replies[0], RemoteCommand::SetAsServer, 1);
  ExpectFrame(replies[1], RemoteCommand::SetAsAlone, 0);
  ExpectFrame(replies[2], RemoteCommand::SetAsServer, 0);
}

TEST_F(RemoteControlTest, SetAsClientTakesTheAnnouncedAddressAndRepliesWithTheViewerRole) {
  Feed(Join({FrameBytes(RemoteCommand::SetAsClient, 9), TextBytes("127.0.0.1")}));
  ASSERT_EQ(host.viewerAddresses, std::vector<std::string>{"127.0.0.1"});
  ASSERT_EQ(Replies().size(), 1u);
  ExpectFrame(Replies()[0], RemoteCommand::SetAsClient, 2);
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 1);
  EXPECT_EQ(interpreter.LastCode(), RemoteCommand::SetAsClient);
}

TEST_F(RemoteControlTest, SetAsClientTakesTheLongestAllowedAddress) {
  const std::string longest(kMaxRemoteAddressBytes, 'h');
  Feed(Join({FrameBytes(RemoteCommand::SetAsClient, kMaxRemoteAddressBytes), TextBytes(longest)}));
  ASSERT_EQ(host.viewerAddresses, std::vector<std::string>{longest});
  ExpectFrame(Replies().at(0), RemoteCommand::SetAsClient, 2);
}

// The announced length is the controller's word alone: without a bound a
// single frame could make the buffer grow to gigabytes, or wait forever.
class RemoteControlAddressBound : public RemoteControlTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RemoteControlAddressBound, AnImpossibleAddressLengthIsRefusedWithoutReadingAPayload) {
  host.role = 1;
  Feed(Join({FrameBytes(RemoteCommand::SetAsClient, GetParam()), FrameBytes(RemoteCommand::PollState)}));
  EXPECT_TRUE(host.viewerAddresses.empty());
  const auto replies = Replies();
  ASSERT_EQ(replies.size(), 2u);
  ExpectFrame(replies[0], RemoteCommand::SetAsClient, 1);
  ExpectFrame(replies[1], RemoteCommand::PollState, 0xFFFF, 0);
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 1);
  EXPECT_EQ(interpreter.BufferCapacity(), sizeof(RemoteCommandFrame));
}

INSTANTIATE_TEST_SUITE_P(Lengths, RemoteControlAddressBound,
                         ::testing::Values(INT_MIN, -1, 0, kMaxRemoteAddressBytes + 1, INT_MAX));

TEST_F(RemoteControlTest, GetConfigSendsTheRecordAloneAndFramingGoesOn) {
  host.ownRecord[0] = 0x18;
  host.ownRecord[kConfigRecordSize - 1] = 0xA5;
  Feed(Join({FrameBytes(RemoteCommand::GetConfig), FrameBytes(RemoteCommand::PollState)}));
  ASSERT_EQ(host.sent.size(), kConfigRecordSize + 12u);
  EXPECT_EQ(Bytes(host.sent.begin(), host.sent.begin() + kConfigRecordSize), host.ownRecord);
  RemoteCommandFrame poll;
  std::memcpy(&poll, host.sent.data() + kConfigRecordSize, sizeof poll);
  ExpectFrame(poll, RemoteCommand::PollState, 0xFFFF, 0);
}

TEST_F(RemoteControlTest, SendConfigHandsOverTheWholeRecordAndRepliesWithTheResult) {
  Bytes record(kConfigRecordSize);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i * 7);
  host.applyResult = 0;
  // Arg1 does not set the size.
  Feed(Join({FrameBytes(RemoteCommand::SendConfig, 12), record}));
  ASSERT_EQ(host.applied.size(), 1u);
  EXPECT_EQ(host.applied[0], record);
  ASSERT_EQ(Replies().size(), 1u);
  ExpectFrame(Replies()[0], RemoteCommand::SendConfig, 0);
  EXPECT_EQ(interpreter.ExpectCommandFrame(), 1);
  EXPECT_EQ(interpreter.BufferCapacity(), kConfigRecordSize);
}

TEST_F(RemoteControlTest, RadioConnectIsHandedToTheSerialLinkAndFramingGoesOn) {
  host.serialLink = true;
  interpreter.Detach();
  interpreter.RestartFraming();  // the COM port has just been opened
  Feed(Join({FrameBytes(RemoteCommand::RadioConnect, 12, 0), FrameBytes(RemoteCommand::PollState)}));
  EXPECT_EQ(host.radioConnects, 1);
  EXPECT_EQ(interpreter.ControllerConnected(), 1);
  EXPECT_EQ(interpreter.ControllerConnection(), std::nullopt);
  ExpectFrame(Replies().at(0), RemoteCommand::PollState, 0xFFFF, 0);
}

TEST_F(RemoteControlTest, RadioConnectOverTcpIsIgnoredAndKeepsTheController_MendedFault) {
  interpreter.Attach(7);
  Feed(Join({FrameBytes(RemoteCommand::RadioConnect, 12, 0), FrameBytes(RemoteCommand::PollState)}));
  EXPECT_EQ(host.radioConnects, 0);
  EXPECT_TRUE(interpreter.IsController(7));
  const auto replies = Replies();
  ASSERT_EQ(replies.size(), 1u);
  ExpectFrame(replies[0], RemoteCommand::PollState, 0xFFFF, 0);
}

class RemoteControlIgnoredCode : public RemoteControlTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(RemoteControlIgnoredCode, IsIgnoredAndTheNextTwelveBytesAreAFrame) {
  Feed(Join({FrameBytes(GetParam(), 9, 9), FrameBytes(RemoteCommand::PollState)}));
  const auto replies = Replies();
  ASSERT_EQ(replies.size(), 1u);
  ExpectFrame(replies[0], RemoteCommand::PollState, 0xFFFF, 0);
  EXPECT_EQ(host.runState, 0);
  EXPECT_TRUE(host.viewerAddresses.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, RemoteControlIgnoredCode,
                         ::testing::Values(12, RemoteCommand::Connect, RemoteCommand::StateChanged, -1, INT_MAX));

// --- Bytes in any split ---

TEST(RemoteControlSplits, EverySplitOfAStreamGivesTheSameReplies) {
  const Bytes stream = Join({FrameBytes(RemoteCommand::PollState), FrameBytes(12, 1, 2),
                             FrameBytes(RemoteCommand::SetAsClient, 9), TextBytes("127.0.0.1"),
                             FrameBytes(RemoteCommand::ToggleRecording), FrameBytes(RemoteCommand::PollState)});
  const auto run = [&stream](const std::vector<size_t>& cuts) {
    FakeHost host;
    RemoteControlInterpreter interpreter;
    interpreter.Attach();
    size_t from = 0;
    for (const size_t cut : cuts) {
      interpreter.Feed(stream.data() + from, cut - from, host);
      from = cut;
    }
    interpreter.Feed(stream.data() + from, stream.size() - from, host);
    EXPECT_EQ(host.viewerAddresses, std::vector<std::string>{"127.0.0.1"});
    return host.sent;
  };
  const Bytes whole = run({});
  ASSERT_EQ(whole.size(), 4 * sizeof(RemoteCommandFrame));
  std::vector<size_t> everyByte;
  for (size_t i = 1; i < stream.size(); ++i) everyByte.push_back(i);
  EXPECT_EQ(run(everyByte), whole);
  for (size_t i = 0; i <= stream.size(); ++i) {
    for (size_t j = i; j <= stream.size(); ++j) {
      ASSERT_EQ(run({i, j}), whole) << "cut at " << i << " and " << j;
    }
  }
}

TEST(RemoteControlSplits, ARecordInSmallPiecesArrivesWhole) {
  FakeHost host;
  RemoteControlInterpreter interpreter;
  interpreter.Attach();
  Bytes record(kConfigRecordSize);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i % 251);
  const Bytes stream = Join({FrameBytes(RemoteCommand::SendConfig, 40728), record, FrameBytes(RemoteCommand::PollState)});
  for (size_t from = 0; from < stream.size(); from += 997) {
    interpreter.Feed(stream.data() + from, std::min<size_t>(997, stream.size() - from), host);
  }
  ASSERT_EQ(host.applied.size(), 1u);
  EXPECT_EQ(host.applied[0], record);
  EXPECT_EQ(host.sent.size(), 2 * sizeof(RemoteCommandFrame));
}

// --- The status record ---

RemoteStatus QueryStatus(const RemoteStatusValues& values) {
  FakeHost host;
  host.status = values;
  RemoteControlInterpreter interpreter;
  interpreter.Attach();
  const Bytes frame = FrameBytes(RemoteCommand::QueryStatus);
  interpreter.Feed(frame.data(), frame.size(), host);
  RemoteStatus status{};
  EXPECT_EQ(host.sent.size(), sizeof status);
  std::memcpy(&status, host.sent.data(), std::min(sizeof status, host.sent.size()));
  return status;
}

TEST(RemoteControlStatus, CarriesEveryValueAtItsPlace) {
  RemoteStatusValues values;
  values.ProgramKind = 1;
  values.RunState = 2;
  values.NetworkRole = 1;
  values.StartTime = 45123.5;
  values.StartNum = 321;
  values.CardName = "ADCard";
  const RemoteStatus status = QueryStatus(values);
  Bytes bytes(sizeof status);
  std::memcpy(bytes.data(), &status, sizeof status);
  const auto i32 = [&bytes](size_t at) {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  EXPECT_EQ(i32(0), 8);
  EXPECT_EQ(i32(4), 1);
  EXPECT_EQ(i32(8), 2);
  EXPECT_EQ(i32(12), 1);
  double start;
  std::memcpy(&start, bytes.data() + 16, 8);
  EXPECT_EQ(start, 45123.5);
  EXPECT_EQ(i32(24), 321);
  EXPECT_EQ(Bytes(bytes.begin() + 28, bytes.end()),
            Join({TextBytes("ADCard"), Bytes(14, 0)}));
}

TEST(RemoteControlStatus, WithoutACardNameTheNameIsEmpty) {
  const RemoteStatus status = QueryStatus({});
  EXPECT_EQ(Bytes(status.CardName, status.CardName + sizeof status.CardName), Bytes(20, 0));
}

TEST(RemoteControlStatus, ALongCardNameIsCutToNineteenCharactersAndItsNul) {
  RemoteStatusValues values;
  values.CardName = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
  const RemoteStatus status = QueryStatus(values);
  EXPECT_EQ(Bytes(status.CardName, status.CardName + sizeof status.CardName),
            Join({TextBytes("ABCDEFGHIJKLMNOPQRS"), Bytes(1, 0)}));
}

// --- Applying a controller's configuration ---

class RemoteConfigApply : public ::testing::Test {
 protected:
  RemoteConfigApply() {
    state.config.NumSamp = 300;
    foreign = OwnRecord(state);
    foreign->NumSamp = 600;
  }
  AppState state;
  std::unique_ptr<ConfigRecord> foreign;
};

TEST_F(RemoteConfigApply, AValidRecordBecomesATemporaryConfigurationWithTheOwnKeptAside) {
  const Bytes own = RecordBytes(*OwnRecord(state));
  EXPECT_EQ(ApplyRemoteConfig(state, *foreign), 1);
  EXPECT_EQ(state.config.NumSamp, 600);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(state.configInForce.SysParamCaption, "远程参数(&P)");
  EXPECT_EQ(state.configInForce.OwnConfigRecord, own);
}

TEST_F(RemoteConfigApply, ARejectedRecordChangesNothing) {
  foreign->RecordSize = 40000;
  EXPECT_EQ(ApplyRemoteConfig(state, *foreign), 0);
  EXPECT_EQ(state.config.NumSamp, 300);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_TRUE(state.configInForce.OwnConfigRecord.empty());
  EXPECT_EQ(state.configInForce.SysParamCaption, "系统参数(&P)");
}

// Mended fault: a record applied during a run changed the block layout
// under buffers laid out for the old one.
TEST_F(RemoteConfigApply, MendedFaultARecordIsRefusedWhileARunIsOn) {
  for (const int32_t running : {kRunRecording, kRunOscilloscope}) {
    state.RunState = running;
    EXPECT_EQ(ApplyRemoteConfig(state, *foreign), 0);
    EXPECT_EQ(state.config.NumSamp, 300);
    EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  }
}

}  // namespace
}  // namespace quelvar
