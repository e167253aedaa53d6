// The console's side of remote control: requests, replies in any split, the
// frames the peer sends unasked, and the fetched configuration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "net/RemoteFramesForTest.h"
#include "net/RemoteConsole.h"
#include "shell/ConfigCommands.h"

namespace quelvar {
namespace {

using namespace quelvar::test;

template <class T>
Bytes BytesOf(const T& value) {
  Bytes bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

// The window as the console sees it.
class FakeOutputs : public ConsoleOutputs {
 public:
  std::vector<std::string> statuses;
  std::vector<bool> connectedShown;
  std::string queryHint;
  std::string startHints;
  Bytes sent;
  int linkCloses = 0;
  int configChanges = 0;

  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void ShowConnected(bool connected) override { connectedShown.push_back(connected); }
  void SetQueryHint(const std::string& text) override { queryHint = text; }
  void SetStartHints(const std::string& text) override { startHints = text; }
  void Send(const uint8_t* data, size_t size) override { sent.insert(sent.end(), data, data + size); }
  void CloseLink() override { ++linkCloses; }
  void ConfigurationChanged() override { ++configChanges; }

  std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }
};

class RemoteConsoleTest : public ::testing::Test {
 protected:
  void Feed(const Bytes& bytes) { console.Feed(bytes.data(), bytes.size()); }
  // Connected and greeted by a peer with no other controller.
  void Connect() {
    console.LinkConnected();
    Feed(FrameBytes(RemoteCommand::Connect, 1));
    ASSERT_EQ(console.ConsoleConnected(), 1);
    ASSERT_EQ(console.ConsoleBusy(), 0);
    out.sent.clear();
    out.statuses.clear();
  }

  AppState state;
  FakeOutputs out;
  RemoteConsole console{state, out};
};

// --- Connecting ---

TEST_F(RemoteConsoleTest, TheTcpConnectAwaitsTheGreetingWithTheCommandsEnabled) {
  console.LinkOpening();
  EXPECT_EQ(out.Status(), "等待被控方响应...");
  console.LinkConnected();
  EXPECT_EQ(out.Status(), "等待对方返回状态...");
  EXPECT_EQ(out.connectedShown, std::vector<bool>{true});
  EXPECT_EQ(console.ConsoleConnected(), 1);
  EXPECT_EQ(console.ConsoleBusy(), 1);
  EXPECT_EQ(console.PendingCommand(), RemoteCommand::Connect);
  EXPECT_EQ(console.ExpectedSize(), 12u);
}

struct GreetingCase {
  const char* name;
  RemoteCommandFrame greeting;
  bool accepted;
  const char* status;
};

class Greeting : public RemoteConsoleTest, public ::testing::WithParamInterface<GreetingCase> {};

TEST_P(Greeting, IsAcceptedOnlyFromAPeerWithNoOtherController) {
  const GreetingCase& c = GetParam();
  console.LinkConnected();
  // A frame the peer sends unasked follows at once: after a refusal it is
  // not read.
  Feed(Join({BytesOf(c.greeting), FrameBytes(RemoteCommand::StateChanged, kRunRecording)}));
  EXPECT_EQ(out.Status(), c.status);
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(console.ConsoleConnected(), c.accepted ? 1 : 0);
  EXPECT_EQ(out.linkCloses, c.accepted ? 0 : 1);
  EXPECT_EQ(out.connectedShown.back(), c.accepted);
  EXPECT_EQ(console.PeerState(), c.accepted ? kPeerRecording : kPeerStopped);
}

INSTANTIATE_TEST_SUITE_P(Cases, Greeting,
                         ::testing::Values(GreetingCase{"FirstConnection", {0, 1, 0}, true, "遥控对方成功!"},
                                           GreetingCase{"NoCount", {0, 0, 0}, true, "遥控对方成功!"},
                                           GreetingCase{"SecondConnection", {0, 2, 0}, false, "对方已被别人控制!"},
                                           GreetingCase{"ManyConnections", {0, 7, 0}, false, "对方已被别人控制!"},
                                           GreetingCase{"NotAGreeting", {3, 1, 0}, false, "对方未正确响应!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteConsoleTest, DisconnectingClosesTheLinkAndDisablesTheCommands) {
  Connect();
  console.QueryStatus();
  ASSERT_EQ(console.ConsoleBusy(), 1);
  console.Disconnect();
  EXPECT_EQ(out.linkCloses, 1);
  EXPECT_EQ(out.connectedShown.back(), false);
  EXPECT_EQ(out.Status(), "准备就绪!");
  EXPECT_EQ(console.ConsoleConnected(), 0);
  EXPECT_EQ(console.ConsoleBusy(), 0);
}

TEST_F(RemoteConsoleTest, ThePeerClosingDisconnectsAndSaysSo) {
  Connect();
  console.LinkClosed();
  EXPECT_EQ(out.linkCloses, 1);
  EXPECT_EQ(console.ConsoleConnected(), 0);
  EXPECT_EQ(out.Status(), "对方断开连接!");
}

TEST_F(RemoteConsoleTest, ALinkFailureDisconnectsOnlyAConnectedConsole) {
  console.LinkOpening();
  console.LinkFailed();  // refused: never connected
  EXPECT_EQ(out.linkCloses, 0);
  EXPECT_EQ(out.Status(), "网络发生错误!");

  Connect();
  console.LinkFailed();
  EXPECT_EQ(out.linkCloses, 1);
  EXPECT_EQ(console.ConsoleConnected(), 0);
  EXPECT_EQ(out.Status(), "网络发生错误!");
}

// --- Requests ---

struct RequestCase {
  const char* name;
  void (*send)(RemoteConsole&);
  int32_t command;
  size_t replySize;
  const char* status;
};

class Request : public RemoteConsoleTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(Request, SendsItsFrameAndAwaitsItsReply) {
  const RequestCase& c = GetParam();
  Connect();
  c.send(console);
  ASSERT_GE(out.sent.size(), sizeof(RemoteCommandFrame));
  RemoteCommandFrame frame;
  std::memcpy(&frame, out.sent.data(), sizeof frame);
  EXPECT_EQ(frame.Command, c.command);
  EXPECT_EQ(console.ConsoleBusy(), 1);
  EXPECT_EQ(console.PendingCommand(), c.command);
  EXPECT_EQ(console.ExpectedSize(), c.replySize);
  EXPECT_EQ(console.FillCount(), 0u);
  EXPECT_EQ(out.Status(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Request,
    ::testing::Values(
        RequestCase{"SendConfig", [](RemoteConsole& c) { c.SendConfig(); }, 1, 12, "正在发送配置信息..."},
        RequestCase{"GetConfig", [](RemoteConsole& c) { c.GetConfig(); }, 2, 40728, "正在等待配置信息..."},
        RequestCase{"ToggleRecording", [](RemoteConsole& c) { c.ToggleRecording(); }, 3, 12,
                    "正在启动对方记录示波器..."},
        RequestCase{"ToggleOscilloscope", [](RemoteConsole& c) { c.ToggleOscilloscope(); }, 4, 12,
                    "正在启动对方双踪示波器..."},
        RequestCase{"SetAsServer", [](RemoteConsole& c) { c.SetAsServer(); }, 5, 12, "正在置对方为现场采集站方式..."},
        RequestCase{"SetAsClient", [](RemoteConsole& c) { c.SetAsClient("127.0.0.1"); }, 6, 12,
                    "正在置对方为远程控制台方式..."},
        RequestCase{"SetAsAlone", [](RemoteConsole& c) { c.SetAsAlone(); }, 7, 12, "正在置对方为脱机方式..."},
        RequestCase{"QueryStatus", [](RemoteConsole& c) { c.QueryStatus(); }, 8, 48, "正在取对方工作状态..."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteConsoleTest, SendConfigSendsTheOwnRecordAfterItsFrame) {
  Connect();
  state.config.NumSamp = 512;
  console.SendConfig();
  EXPECT_EQ(out.sent, Join({FrameBytes(RemoteCommand::SendConfig, 40728), BytesOf(*OwnRecord(state))}));
}

TEST_F(RemoteConsoleTest, SetAsClientSendsTheAddressWithoutATerminator) {
  Connect();
  console.SetAsClient("127.0.0.1");
  const std::string address = "127.0.0.1";
  EXPECT_EQ(out.sent, Join({FrameBytes(RemoteCommand::SetAsClient, 9), Bytes(address.begin(), address.end())}));
}

TEST_F(RemoteConsoleTest, OneRequestFrameServesEveryRequestKeepingFieldsItDoesNotSet) {
  Connect();
  console.SendConfig();
  Feed(FrameBytes(RemoteCommand::SendConfig, 1));
  out.sent.clear();
  console.ToggleRecording();
  EXPECT_EQ(out.sent, FrameBytes(RemoteCommand::ToggleRecording, 40728));
}

TEST_F(RemoteConsoleTest, ASecondCommandWhileOneIsOutstandingIsRefused) {
  Connect();
  console.GetConfig();
  out.sent.clear();
  console.QueryStatus();
  console.SetAsClient("10.0.0.1");
  EXPECT_TRUE(out.sent.empty());
  EXPECT_EQ(out.Status(), "提示：上次遥控命令未完成...");
  EXPECT_EQ(console.PendingCommand(), RemoteCommand::GetConfig);
  EXPECT_EQ(console.ExpectedSize(), 40728u);
}

TEST_F(RemoteConsoleTest, CommandsWaitForTheGreeting) {
  console.LinkConnected();
  console.ToggleRecording();
  EXPECT_TRUE(out.sent.empty());
  EXPECT_EQ(out.Status(), "提示：上次遥控命令未完成...");
}

TEST_F(RemoteConsoleTest, AnUnconnectedConsoleSendsNothing) {
  console.QueryStatus();
  EXPECT_TRUE(out.sent.empty());
  EXPECT_EQ(console.ConsoleBusy(), 0);
}

TEST_F(RemoteConsoleTest, AnAddressTooLongForThePeerIsNotSentMended) {
  Connect();
  console.SetAsClient(std::string(kMaxRemoteAddressBytes + 1, 'a'));
  EXPECT_TRUE(out.sent.empty());
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(out.Status(), "现场采集站IP地址太长!");
}

// --- Replies ---

struct ReplyCase {
  const char* name;
  void (*send)(RemoteConsole&);
  RemoteCommandFrame reply;
  std::vector<std::string> statuses;  // in order, the last one shown
  int32_t peerState;
  const char* startHints;  // empty: not set
};

class Reply : public RemoteConsoleTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(Reply, IsShownByThePendingCommand) {
  const ReplyCase& c = GetParam();
  Connect();
  c.send(console);
  out.statuses.clear();
  Feed(BytesOf(c.reply));
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(out.statuses, c.statuses);
  EXPECT_EQ(console.PeerState(), c.peerState);
  EXPECT_EQ(out.startHints, c.startHints);
}

void Record(RemoteConsole& c) { c.ToggleRecording(); }
void Oscil(RemoteConsole& c) { c.ToggleOscilloscope(); }
void Server(RemoteConsole& c) { c.SetAsServer(); }
void Client(RemoteConsole& c) { c.SetAsClient("127.0.0.1"); }
void Alone(RemoteConsole& c) { c.SetAsAlone(); }
void Config(RemoteConsole& c) { c.SendConfig(); }

// (Codes 9 and 10 lead frames the peer sends unasked: see LeadingFrame.)
INSTANTIATE_TEST_SUITE_P(
    Cases, Reply,
    ::testing::Values(
        ReplyCase{"ConfigApplied", Config, {1, 1, 0}, {"对方按本机配置信息设置成功!"}, 0, ""},
        ReplyCase{"ConfigRejected", Config, {1, 0, 0}, {"对方拒绝按本机配置信息设置!"}, 0, ""},
        ReplyCase{"ConfigOtherCode", Config, {7, 1, 1}, {"送配置信息失败!"}, 0, ""},
        ReplyCase{"RecordingStarted", Record, {3, 1, 0}, {"对方记录示波器已启动!"}, 1, "已启动录波器"},
        ReplyCase{"RecordingStopped", Record, {3, 0, 0}, {"对方记录示波器已停止!", "受控方已停止采集"}, 0, "还未启动"},
        // Refused while the oscilloscope runs: shown as stopped.
        ReplyCase{"RecordingRefused", Record, {3, 2, 0}, {"对方记录示波器已停止!", "受控方已停止采集"}, 0, "还未启动"},
        ReplyCase{"RecordingStateFrame", Record, {10, 1, 0}, {"对方记录示波器已启动!"}, 1, "已启动录波器"},
        ReplyCase{"RecordingOtherCode", Record, {5, 4, 1}, {"遥启对方记录示波器失败!"}, 0, ""},
        ReplyCase{"OscilStarted", Oscil, {4, 2, 0}, {"对方双踪示波器已启动!"}, 2, "已启动示波器"},
        ReplyCase{"OscilStopped", Oscil, {4, 0, 0}, {"对方双踪示波器已停止!", "受控方已停止采集"}, 0, "还未启动"},
        ReplyCase{"OscilStateFrame", Oscil, {10, 2, 0}, {"对方双踪示波器已启动!"}, 2, "已启动示波器"},
        ReplyCase{"OscilOtherCode", Oscil, {3, 2, 0}, {"遥启对方双踪示波器失败!"}, 0, ""},
        ReplyCase{"ServerAlone", Server, {5, 0, 0}, {"对方为脱机模式!"}, 0, ""},
        ReplyCase{"ServerStation", Server, {5, 1, 0}, {"对方为现场采集站模式!"}, 0, ""},
        ReplyCase{"ServerOtherCode", Server, {7, 1, 0}, {"设置对方现场采集站模式失败!"}, 0, ""},
        ReplyCase{"ClientViewer", Client, {6, 2, 0}, {"对方为远程控制台模式!"}, 0, ""},
        ReplyCase{"ClientOtherCode", Client, {5, 2, 0}, {"设置对方远程控制台模式失败!"}, 0, ""},
        ReplyCase{"AloneAlone", Alone, {7, 0, 0}, {"对方为脱机模式!"}, 0, ""},
        ReplyCase{"AloneOtherCode", Alone, {8, 0, 0}, {"设置对方脱机模式失败!"}, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

RemoteStatus PeerStatus() {
  RemoteStatusValues v;
  v.ProgramKind = 0;
  v.RunState = kRunOscilloscope;
  v.NetworkRole = kRoleStation;
  v.StartTime = 45000.5;  // 2023-03-15 12:00:00
  v.StartNum = 42;
  v.CardName = "PCI卡";
  return MakeRemoteStatus(v);
}

const char* const kPeerStatusHint =
    "对方工作于录波器方式!\r\n 程序启动于2023-03-15 12:00:00\r\n  这是第 42 次运行!"
    "\r\n 使用AD板类型:PCI卡\r\n 程序运行于双踪示波器状态\r\n 网络状态为:现场采集站方式";

TEST_F(RemoteConsoleTest, TheStatusReplyFillsTheQueryHintAndThePeerState) {
  Connect();
  console.QueryStatus();
  Feed(BytesOf(PeerStatus()));
  EXPECT_EQ(out.queryHint, kPeerStatusHint);
  EXPECT_EQ(console.PeerState(), kPeerOscilloscope);
  EXPECT_EQ(out.startHints, "已启动示波器");
  EXPECT_EQ(out.Status(), "取对方工作状态成功!");
}

TEST_F(RemoteConsoleTest, AStatusReplyOfAnotherCodeFails) {
  Connect();
  console.QueryStatus();
  RemoteStatus status = PeerStatus();
  status.Command = RemoteCommand::SetAsAlone;  // (9 and 10 lead frames sent unasked)
  Feed(BytesOf(status));
  EXPECT_EQ(out.Status(), "取状态信息失败!");
  EXPECT_TRUE(out.queryHint.empty());
}

TEST_F(RemoteConsoleTest, AStatusWithAnUnterminatedCardNameReadsOnlyItsField) {
  Connect();
  console.QueryStatus();
  RemoteStatus status = PeerStatus();
  std::memset(status.CardName, 'Z', sizeof status.CardName);
  status.RunState = 7;
  Feed(BytesOf(status));
  EXPECT_NE(out.queryHint.find("使用AD板类型:" + std::string(kRemoteCardNameBytes, 'Z') + "\r\n"), std::string::npos);
  EXPECT_EQ(out.startHints, "状态未知");
}

// Every split of a reply gives what the whole one gives.
TEST_F(RemoteConsoleTest, AReplySplitAnywhereIsTakenWhole) {
  const Bytes status = BytesOf(PeerStatus());
  for (size_t cut = 1; cut < status.size(); ++cut) {
    AppState fresh;
    FakeOutputs o;
    RemoteConsole c(fresh, o);
    c.LinkConnected();
    const Bytes greeting = FrameBytes(RemoteCommand::Connect, 1);
    c.Feed(greeting.data(), 5);
    c.Feed(greeting.data() + 5, greeting.size() - 5);
    c.QueryStatus();
    c.Feed(status.data(), cut);
    EXPECT_EQ(c.ConsoleBusy(), 1) << cut;
    EXPECT_EQ(c.FillCount(), cut);
    c.Feed(status.data() + cut, status.size() - cut);
    EXPECT_EQ(c.ConsoleBusy(), 0) << cut;
    EXPECT_EQ(o.queryHint, kPeerStatusHint) << cut;
  }
}

TEST_F(RemoteConsoleTest, AReplyFedByteByByteIsTakenWhole) {
  Connect();
  console.QueryStatus();
  for (const uint8_t byte : BytesOf(PeerStatus())) console.Feed(&byte, 1);
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(out.queryHint, kPeerStatusHint);
}

// --- Frames sent unasked ---

struct UnaskedCase {
  const char* name;
  Bytes bytes;
  const char* status;  // the last one shown; empty: none
  int32_t peerState;
  const char* startHints;
};

class Unasked : public RemoteConsoleTest, public ::testing::WithParamInterface<UnaskedCase> {};

TEST_P(Unasked, AreTakenTwelveBytesAtATime) {
  const UnaskedCase& c = GetParam();
  Connect();
  console.ToggleRecording();
  Feed(FrameBytes(RemoteCommand::ToggleRecording, kRunRecording));
  out.statuses.clear();
  out.startHints.clear();
  Feed(c.bytes);
  EXPECT_EQ(out.Status(), c.status);
  EXPECT_EQ(console.PeerState(), c.peerState);
  EXPECT_EQ(out.startHints, c.startHints);
  EXPECT_EQ(out.sent.size(), sizeof(RemoteCommandFrame));  // only the request
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Unasked,
    ::testing::Values(UnaskedCase{"BlockOfARecording", FrameBytes(9, 77, 1), "受控方为录波器，SeqNo=77", 1,
                                  "已启动录波器"},
                      UnaskedCase{"BlockOfTheOscilloscope", FrameBytes(9, 65535, 2), "受控方为示波器，SeqNo=65535", 2,
                                  "已启动示波器"},
                      UnaskedCase{"Stopped", FrameBytes(10, 0), "受控方已停止采集", 0, "还未启动"},
                      UnaskedCase{"OscilloscopeStarted", FrameBytes(10, 2), "", 2, "已启动示波器"},
                      UnaskedCase{"UnknownRunState", FrameBytes(10, 5), "受控方已停止采集", 0, "还未启动"},
                      // A late reply, or anything else, is dropped.
                      UnaskedCase{"OtherCode", FrameBytes(3, 0), "", 1, ""},
                      UnaskedCase{"PartOfAFrame", Bytes(11, 0), "", 1, ""},
                      // Frames that arrive together are each taken (mended: they were dropped).
                      UnaskedCase{"TwoFramesInOneRead", Join({FrameBytes(10, 0), FrameBytes(9, 3, 1)}),
                                  "受控方为录波器，SeqNo=3", 1, "已启动录波器"},
                      UnaskedCase{"FramesBeyondAFullPiece",
                                  Join({FrameBytes(9, 1, 1), FrameBytes(3, 0), Bytes(504, 0xEE), FrameBytes(10, 0)}),
                                  "受控方已停止采集", 0, "还未启动"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteConsoleTest, AnUnaskedFrameSplitOverReadsIsJoined_MendedFault) {
  Connect();
  const Bytes frames = Join({FrameBytes(RemoteCommand::PollState, 41, kRunRecording),
                             FrameBytes(RemoteCommand::PollState, 42, kRunRecording)});
  Feed(Bytes(frames.begin(), frames.begin() + 5));
  EXPECT_TRUE(out.statuses.empty());
  Feed(Bytes(frames.begin() + 5, frames.begin() + 19));
  EXPECT_EQ(out.statuses, std::vector<std::string>{"受控方为录波器，SeqNo=41"});
  Feed(Bytes(frames.begin() + 19, frames.end()));
  EXPECT_EQ(out.Status(), "受控方为录波器，SeqNo=42");
}

// The peer's block and state frames can be on their way when a request
// leaves; they lead the reply and are no part of it.
struct LeadingFrameCase {
  const char* name;
  Bytes leading;
  const char* shownFirst;
};

class LeadingFrame : public RemoteConsoleTest, public ::testing::WithParamInterface<LeadingFrameCase> {};

TEST_P(LeadingFrame, IsNotTakenForTheStatusReply_MendedFault) {
  const LeadingFrameCase& c = GetParam();
  Connect();
  console.QueryStatus();
  out.statuses.clear();
  Feed(Join({c.leading, BytesOf(PeerStatus())}));
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(out.queryHint, kPeerStatusHint);
  ASSERT_FALSE(out.statuses.empty());
  EXPECT_EQ(out.statuses.front(), c.shownFirst);
  EXPECT_EQ(out.Status(), "取对方工作状态成功!");
}

TEST_P(LeadingFrame, IsNotTakenForTheConfigurationReply_MendedFault) {
  const LeadingFrameCase& c = GetParam();
  AppState peer;
  peer.config.NumSamp = state.config.NumSamp * 2;
  Connect();
  console.GetConfig();
  out.statuses.clear();
  const Bytes reply = Join({c.leading, BytesOf(*OwnRecord(peer))});
  // In two reads, cut inside the leading frames.
  Feed(Bytes(reply.begin(), reply.begin() + 7));
  Feed(Bytes(reply.begin() + 7, reply.end()));
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(state.config.NumSamp, peer.config.NumSamp);
  EXPECT_EQ(out.statuses.front(), c.shownFirst);
  EXPECT_EQ(out.Status(), "接收配置信息成功!");
}

TEST_P(LeadingFrame, IsNotTakenForTheReplyToARoleCommand_MendedFault) {
  const LeadingFrameCase& c = GetParam();
  Connect();
  console.SetAsServer();
  out.statuses.clear();
  Feed(Join({c.leading, FrameBytes(RemoteCommand::SetAsServer, kRoleStation)}));
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(out.statuses.front(), c.shownFirst);
  EXPECT_EQ(out.Status(), "对方为现场采集站模式!");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeadingFrame,
    ::testing::Values(LeadingFrameCase{"Block", FrameBytes(RemoteCommand::PollState, 77, kRunRecording),
                                       "受控方为录波器，SeqNo=77"},
                      LeadingFrameCase{"StateChange", FrameBytes(RemoteCommand::StateChanged, kRunIdle),
                                       "受控方已停止采集"},
                      LeadingFrameCase{"Several",
                                       Join({FrameBytes(RemoteCommand::StateChanged, kRunRecording),
                                             FrameBytes(RemoteCommand::PollState, 0, kRunRecording),
                                             FrameBytes(RemoteCommand::PollState, 1, kRunRecording)}),
                                       "受控方为录波器，SeqNo=0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteConsoleTest, ABlockFrameIsNotTakenForTheReplyToAStart_MendedFault) {
  Connect();
  console.ToggleRecording();
  out.statuses.clear();
  Feed(Join({FrameBytes(RemoteCommand::PollState, 8, kRunRecording),
             FrameBytes(RemoteCommand::ToggleRecording, kRunIdle)}));
  EXPECT_EQ(out.statuses, (std::vector<std::string>{"受控方为录波器，SeqNo=8", "对方记录示波器已停止!",
                                                     "受控方已停止采集"}));
  EXPECT_EQ(console.PeerState(), kPeerStopped);
}

TEST_F(RemoteConsoleTest, AnUnaskedFrameBegunBeforeARequestIsFinishedBeforeTheReply_MendedFault) {
  Connect();
  const Bytes frame = FrameBytes(RemoteCommand::PollState, 5, kRunOscilloscope);
  Feed(Bytes(frame.begin(), frame.begin() + 4));
  console.QueryStatus();
  Feed(Join({Bytes(frame.begin() + 4, frame.end()), BytesOf(PeerStatus())}));
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(out.queryHint, kPeerStatusHint);
  EXPECT_NE(std::find(out.statuses.begin(), out.statuses.end(), "受控方为示波器，SeqNo=5"), out.statuses.end());
}

TEST_F(RemoteConsoleTest, EveryBlockOfTheRecordingShowsItsSequenceNumber) {
  Connect();
  for (int32_t seq : {5, 6, 7}) {
    Feed(FrameBytes(RemoteCommand::PollState, seq, kRunRecording));
    EXPECT_EQ(out.Status(), "受控方为录波器，SeqNo=" + std::to_string(seq));
  }
}

TEST_F(RemoteConsoleTest, TheStateFrameBeforeTheReplyStandsInForItAndTheReplyIsDropped) {
  Connect();
  console.ToggleRecording();
  out.statuses.clear();
  Feed(Join({FrameBytes(RemoteCommand::StateChanged, kRunRecording),
             FrameBytes(RemoteCommand::ToggleRecording, kRunRecording)}));
  EXPECT_EQ(out.statuses, std::vector<std::string>{"对方记录示波器已启动!"});
  EXPECT_EQ(console.ConsoleBusy(), 0);
  EXPECT_EQ(console.PeerState(), kPeerRecording);
}

TEST_F(RemoteConsoleTest, BytesAfterAReplyAreReadAsPieces) {
  Connect();
  console.SetAsAlone();
  Feed(Join({FrameBytes(RemoteCommand::SetAsAlone, 0), FrameBytes(RemoteCommand::PollState, 9, 2)}));
  EXPECT_EQ(out.Status(), "受控方为示波器，SeqNo=9");
  EXPECT_EQ(console.PeerState(), kPeerOscilloscope);
}

TEST_F(RemoteConsoleTest, AReplyThatNeverComesKeepsTheConsoleBusyUntilDisconnection) {
  Connect();
  console.GetConfig();
  Feed(Bytes(1000, 0));
  EXPECT_EQ(console.ConsoleBusy(), 1);
  EXPECT_EQ(console.FillCount(), 1000u);
  console.Disconnect();
  EXPECT_EQ(console.ConsoleBusy(), 0);
}

// --- The fetched configuration ---

class FetchedConfig : public RemoteConsoleTest {
 protected:
  // The peer: another card, another block size.
  FetchedConfig() {
    peer.config.CardNameText = "OtherCard";
    peer.config.NumSamp = state.config.NumSamp * 2;
  }
  void Fetch(const ConfigRecord& record) {
    Connect();
    console.GetConfig();
    Feed(BytesOf(record));
    EXPECT_EQ(console.ConsoleBusy(), 0);
  }

  AppState peer;
};

TEST_F(FetchedConfig, OfTheSameCardReplacesTheOwnConfiguration) {
  peer.config.CardNameText = state.config.CardNameText;
  Fetch(*OwnRecord(peer));
  EXPECT_EQ(out.Status(), "接收配置信息成功!");
  EXPECT_EQ(state.config.NumSamp, peer.config.NumSamp);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(state.configInForce.SysParamCaption, "系统参数(&P)");
  EXPECT_EQ(out.configChanges, 1);
}

TEST_F(FetchedConfig, OfAnotherCardIsTemporaryAndTheOwnIsKept) {
  const Bytes own = BytesOf(*OwnRecord(state));
  Fetch(*OwnRecord(peer));
  EXPECT_EQ(out.Status(), "接收远程配置信息成功!");
  EXPECT_EQ(state.config.NumSamp, peer.config.NumSamp);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(state.configInForce.OwnConfigRecord, own);
  EXPECT_EQ(state.configInForce.SysParamCaption, "远程参数(&P)");
  EXPECT_EQ(out.configChanges, 1);
}

TEST_F(FetchedConfig, ReplacesATemporaryConfigurationAndNamesItRemote) {
  AppState history;
  history.config.CardNameText = "HistoryCard";
  history.config.NumSamp = 100;
  const Bytes own = BytesOf(*OwnRecord(state));
  ASSERT_EQ(EnterTemporaryConfig(state, *OwnRecord(history), kTemporaryConfigCaption), 1);
  Fetch(*OwnRecord(peer));
  EXPECT_EQ(out.Status(), "接收配置信息成功!");
  EXPECT_EQ(state.config.NumSamp, peer.config.NumSamp);
  EXPECT_EQ(state.configInForce.OwnConfigRecord, own);
  EXPECT_EQ(state.configInForce.SysParamCaption, "远程参数(&P)");
}

TEST_F(FetchedConfig, OfTheOtherPresentationModeIsRefusedAndNothingChanges) {
  peer.startup.PresentationMode = 0;
  const LiveConfig before = state.config;
  Fetch(*OwnRecord(peer));
  EXPECT_EQ(out.Status(), "接收配置信息有误,如录波器与示波器混淆");
  EXPECT_EQ(state.config.NumSamp, before.NumSamp);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(out.configChanges, 0);
}

TEST_F(FetchedConfig, AnInvalidRecordIsRefusedNotReportedAsReceivedMended) {
  auto record = OwnRecord(peer);
  record->RecordSize = 12345;
  Fetch(*record);
  EXPECT_EQ(out.Status(), "配置信息非法!");
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_TRUE(state.configInForce.OwnConfigRecord.empty());
  EXPECT_EQ(state.configInForce.SysParamCaption, "系统参数(&P)");
  EXPECT_EQ(out.configChanges, 0);
}

TEST_F(FetchedConfig, IsRefusedWhileThisInstanceRunsMended) {
  state.RunState = kRunRecording;
  const int32_t numSamp = state.config.NumSamp;
  Fetch(*OwnRecord(peer));
  EXPECT_EQ(out.Status(), "本机正在运行,不能接收配置信息!");
  EXPECT_EQ(state.config.NumSamp, numSamp);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(out.configChanges, 0);
}

// --- Port numbers ---

TEST(ComPortFromText, TakesANumberOfAtLeastOneOrKeepsTheOld) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  for (const Case& c : {Case{"3", 3}, Case{" 12 ", 12}, Case{"0", 1}, Case{"-4", 1}, Case{"", 5}, Case{"abc", 5},
                        Case{"4x", 5}, Case{"99999999999", 5}}) {
    EXPECT_EQ(ComPortFromText(c.text, 5), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace quelvar
