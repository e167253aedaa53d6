// The main window as the controlled side of remote control, driven by a
// controller's socket over loopback. Ports are chosen by the system; waits
// are on conditions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QHostAddress>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>

#include "net/QtControlServer.h"
#include "net/RemoteControl.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using Kind = platform::ScriptedUiHost::Kind;

constexpr int kWaitMs = 10000;

void SendFrame(QTcpSocket& socket, int32_t command, int32_t arg1 = 0, int32_t arg2 = 0) {
  const RemoteCommandFrame frame{command, arg1, arg2};
  socket.write(reinterpret_cast<const char*>(&frame), sizeof frame);
}

// The next frame from the controlled side; Command -1 when none came.
RemoteCommandFrame ReadFrame(QTcpSocket& socket) {
  RemoteCommandFrame frame{-1, 0, 0};
  if (!QTest::qWaitFor([&] { return socket.bytesAvailable() >= qint64{sizeof frame}; }, kWaitMs)) return frame;
  socket.read(reinterpret_cast<char*>(&frame), sizeof frame);
  return frame;
}

// The reply to `command`, passing over the frames sent unasked meanwhile
// (block polls and state changes of a run).
RemoteCommandFrame ReadReply(QTcpSocket& socket, int32_t command) {
  for (;;) {
    const RemoteCommandFrame frame = ReadFrame(socket);
    if (frame.Command == command || frame.Command == -1) return frame;
    if (frame.Command != RemoteCommand::PollState && frame.Command != RemoteCommand::StateChanged) return frame;
  }
}

void ExpectFrame(const RemoteCommandFrame& f, int32_t command, int32_t arg1, int32_t arg2 = 0) {
  EXPECT_EQ(f.Command, command);
  EXPECT_EQ(f.Arg1, arg1);
  EXPECT_EQ(f.Arg2, arg2);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

class FormMainRemoteControl : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;
  fs::path dir;
  char oldCwd[PATH_MAX]{};
  std::unique_ptr<TFormMain> form;

  void SetUp() override {
    // Runs write their files into the current directory.
    dir = fs::path(testing::TempDir()) / ("quelvar-remote-" + std::to_string(getpid()) + "-" +
                                          testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    form = std::make_unique<TFormMain>(state, MainWindowServices{registry, ui, screenSaver});
    form->SetRemoteControlPort(0);
    form->SetStationStreamPort(0);
  }
  void TearDown() override {
    form.reset();
    ASSERT_EQ(chdir(oldCwd), 0);
    fs::remove_all(dir);
  }

  // Reception switched on as a click on the unchecked item does it.
  void EnableRemote() {
    form->menuEnableRemote->setChecked(false);
    form->menuEnableRemote->trigger();
    ASSERT_TRUE(form->menuEnableRemote->isChecked());
    ASSERT_TRUE(form->ServerSocket_Control->IsOpen());
  }

  // A controller's socket, once the listener has taken it.
  std::unique_ptr<QTcpSocket> Connect() {
    const int before = form->ServerSocket_Control->ConnectionCount();
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, form->ServerSocket_Control->Port());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == before + 1; }, kWaitMs));
    return socket;
  }

  // A controller attached and greeted.
  std::unique_ptr<QTcpSocket> Controller() {
    EnableRemote();
    auto socket = Connect();
    ExpectFrame(ReadFrame(*socket), RemoteCommand::Connect, 1);
    return socket;
  }
};

// --- Connections ---

TEST_F(FormMainRemoteControl, TheFirstConnectionBecomesTheControllerASecondIsOnlyGreeted) {
  EnableRemote();
  auto first = Connect();
  ExpectFrame(ReadFrame(*first), RemoteCommand::Connect, 1);
  EXPECT_EQ(form->ControllerConnected(), 1);
  EXPECT_EQ(form->RemoteControl().ExpectCommandFrame(), 1);
  const std::string log = form->RunLogText();
  EXPECT_TRUE(std::regex_search(log, std::regex("受控于 127\\.0\\.0\\.1 于:\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")))
      << log;

  auto second = Connect();
  ExpectFrame(ReadFrame(*second), RemoteCommand::Connect, 2);
  EXPECT_EQ(Count(form->RunLogText(), "受控于"), 1u);
  EXPECT_EQ(form->ControllerConnected(), 1);
}

TEST_F(FormMainRemoteControl, OnlyTheLastConnectionLeavingDetachesTheController) {
  EnableRemote();
  auto first = Connect();
  auto second = Connect();
  second->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 1; }, kWaitMs));
  EXPECT_EQ(form->ControllerConnected(), 1);
  EXPECT_EQ(form->RunLogText().find("脱离遥控方"), std::string::npos);

  first->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 0; }, kWaitMs));
  EXPECT_EQ(form->ControllerConnected(), 0);
  EXPECT_EQ(form->RemoteControl().ExpectCommandFrame(), 0);
  const std::string log = form->RunLogText();
  EXPECT_TRUE(std::regex_search(log, std::regex("脱离遥控方 127\\.0\\.0\\.1 于:\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")))
      << log;
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(FormMainRemoteControl, ASocketErrorDetachesTheControllerAndIsReportedInTheErrorBox) {
  auto controller = Controller();
  const auto connection = form->ServerSocket_Control->ConnectionAt(0);
  ASSERT_TRUE(connection.has_value());
  form->ServerSocket_ControlClientError(*connection, "Connection reset");
  EXPECT_EQ(form->ControllerConnected(), 0);
  EXPECT_NE(form->RunLogText().find("脱离遥控方 127.0.0.1 于:"), std::string::npos);
  // The box comes after the socket's handler has returned.
  EXPECT_TRUE(ui.prompts.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !ui.prompts.empty(); }, kWaitMs));
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "Connection reset");
  EXPECT_EQ(ui.prompts[0].icon, platform::MsgIcon::Error);
}

TEST_F(FormMainRemoteControl, ASecondConnectionCannotCommandNorBreakTheControllersFrames_MendedFault) {
  auto controller = Controller();
  auto second = Connect();
  ExpectFrame(ReadFrame(*second), RemoteCommand::Connect, 2);
  // Half the controller's frame, then whole commands from the other
  // connection, then the rest: only the controller's frame is a command.
  const RemoteCommandFrame poll{RemoteCommand::PollState, 0, 0};
  const char* bytes = reinterpret_cast<const char*>(&poll);
  controller->write(bytes, 6);
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->RemoteControl().FillCount() == 6; }, kWaitMs));
  SendFrame(*second, RemoteCommand::SetAsServer);
  SendFrame(*second, RemoteCommand::SetAsServer);
  // Its bytes are read before its leaving is noticed.
  second->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 1; }, kWaitMs));
  EXPECT_EQ(form->RemoteControl().FillCount(), 6u);
  EXPECT_EQ(form->NetworkRole(), 0);
  EXPECT_EQ(form->ControllerConnected(), 1);
  controller->write(bytes + 6, 6);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 0xFFFF, 0);
}

TEST_F(FormMainRemoteControl, TheControllerStaysKnownWhenAnotherConnectionLeaves_MendedFault) {
  // The controller leaves first: the one left behind is not the controller.
  auto controller = Controller();
  auto second = Connect();
  ExpectFrame(ReadFrame(*second), RemoteCommand::Connect, 2);
  controller->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 1; }, kWaitMs));
  EXPECT_EQ(form->ControllerConnected(), 0);
  EXPECT_EQ(form->RemoteControl().ControllerConnection(), std::nullopt);  // nobody gets the unasked frames
  EXPECT_EQ(Count(form->RunLogText(), "脱离遥控方"), 1u);
  SendFrame(*second, RemoteCommand::SetAsServer);
  SendFrame(*second, RemoteCommand::SetAsServer);
  second->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 0; }, kWaitMs));
  EXPECT_EQ(form->NetworkRole(), 0);
  EXPECT_EQ(Count(form->RunLogText(), "脱离遥控方"), 1u);

  // Another connection leaves first: the controller keeps commanding, and
  // its own leaving is the one logged.
  auto next = Connect();
  ExpectFrame(ReadFrame(*next), RemoteCommand::Connect, 1);
  auto passer = Connect();
  ExpectFrame(ReadFrame(*passer), RemoteCommand::Connect, 2);
  passer->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 1; }, kWaitMs));
  EXPECT_EQ(form->ControllerConnected(), 1);
  SendFrame(*next, RemoteCommand::PollState);
  ExpectFrame(ReadFrame(*next), RemoteCommand::PollState, 0xFFFF, 0);
  EXPECT_EQ(Count(form->RunLogText(), "脱离遥控方"), 1u);
  next->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket_Control->ConnectionCount() == 0; }, kWaitMs));
  EXPECT_EQ(Count(form->RunLogText(), "脱离遥控方"), 2u);
}

// --- Commands ---

TEST_F(FormMainRemoteControl, RadioGreetingOverTcpIsRefused_MendedFault) {
  auto controller = Controller();
  SendFrame(*controller, RemoteCommand::RadioConnect, 12, 0);
  SendFrame(*controller, RemoteCommand::PollState);
  // The poll's reply is the first thing back: no 12 zero bytes came before it.
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 0xFFFF, 0);
  EXPECT_EQ(form->RunLogText().find("受控于COM"), std::string::npos);
  EXPECT_EQ(form->ControllerConnected(), 1);
}

TEST_F(FormMainRemoteControl, PollRoundTrip) {
  auto controller = Controller();
  SendFrame(*controller, RemoteCommand::PollState);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 0xFFFF, 0);
}

TEST_F(FormMainRemoteControl, ToggleRecordingRunsTheVirtualCardsRecorderAndRepliesWithTheRunState) {
  state.config.SimulateAD = 1;
  auto controller = Controller();
  SendFrame(*controller, RemoteCommand::ToggleRecording);
  ExpectFrame(ReadReply(*controller, RemoteCommand::ToggleRecording), RemoteCommand::ToggleRecording, 1);
  EXPECT_EQ(state.RunState, kRunRecording);
  EXPECT_TRUE(form->TimerOscil->isActive());

  SendFrame(*controller, RemoteCommand::ToggleRecording);
  ExpectFrame(ReadReply(*controller, RemoteCommand::ToggleRecording), RemoteCommand::ToggleRecording, 0);
  EXPECT_EQ(state.RunState, kRunIdle);
}

TEST_F(FormMainRemoteControl, ToggleRecordingWhileTheOscilloscopeRunsIsRefusedAndRepliesTwo) {
  state.config.SimulateAD = 1;
  auto controller = Controller();
  form->menuStartOscilClick();
  ASSERT_EQ(state.RunState, kRunOscilloscope);
  SendFrame(*controller, RemoteCommand::ToggleRecording);
  ExpectFrame(ReadReply(*controller, RemoteCommand::ToggleRecording), RemoteCommand::ToggleRecording, 2);
  EXPECT_EQ(state.RunState, kRunOscilloscope);
  form->menuStartOscilClick();
}

TEST_F(FormMainRemoteControl, SetAsServerWhileRecordingKeepsTheRole) {
  state.config.SimulateAD = 1;
  auto controller = Controller();
  form->menuStartQuelvarClick();
  ASSERT_EQ(state.RunState, kRunRecording);
  SendFrame(*controller, RemoteCommand::SetAsServer);
  ExpectFrame(ReadReply(*controller, RemoteCommand::SetAsServer), RemoteCommand::SetAsServer, 0);
  EXPECT_EQ(state.NetworkRole, 0);
  EXPECT_FALSE(form->menuServer->isChecked());
  form->menuStartQuelvarClick();
}

TEST_F(FormMainRemoteControl, SetAsClientMakesAViewerOfTheAddressWithoutTheAddressDialog) {
  auto controller = Controller();
  SendFrame(*controller, RemoteCommand::SetAsClient, 9);
  controller->write("127.0.0.1", 9);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::SetAsClient, 2);
  EXPECT_EQ(state.NetworkRole, 2);
  EXPECT_EQ(state.config.ServerIP, "127.0.0.1");
  EXPECT_EQ(state.AutoConnectViewer, 0);
  EXPECT_TRUE(ui.PromptsOf(Kind::Modal).empty());
}

TEST_F(FormMainRemoteControl, GetConfigSendsTheOwnRecord) {
  auto controller = Controller();
  SendFrame(*controller, RemoteCommand::GetConfig);
  ASSERT_TRUE(QTest::qWaitFor([&] { return controller->bytesAvailable() >= qint64{kConfigRecordSize}; }, kWaitMs));
  const QByteArray got = controller->read(kConfigRecordSize);
  auto own = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *own);
  EXPECT_EQ(std::memcmp(got.constData(), own.get(), kConfigRecordSize), 0);
}

TEST_F(FormMainRemoteControl, SendConfigPutsTheRecordInForceAsARemoteConfiguration) {
  auto controller = Controller();
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *record);
  record->NumSamp = state.config.NumSamp * 2;
  SendFrame(*controller, RemoteCommand::SendConfig, 40728);
  controller->write(reinterpret_cast<const char*>(record.get()), kConfigRecordSize);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::SendConfig, 1);
  EXPECT_EQ(state.config.NumSamp, record->NumSamp);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "远程参数(&P)");
  EXPECT_TRUE(form->menuRestoreConfig->isVisible());
}

// --- Frames sent unasked ---

TEST_F(FormMainRemoteControl, BlockAndStateFramesGoToALoneController) {
  auto controller = Controller();
  state.RunState = kRunRecording;
  form->SendControllerBlockFrame(0xFFF0);
  form->SendControllerStateFrame();
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 0xFFF0, 1);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::StateChanged, 1);
  state.RunState = kRunIdle;
}

TEST_F(FormMainRemoteControl, ARemotelyStartedRunTellsItsStateAndEveryBlock) {
  state.config.SimulateAD = 1;
  auto controller = Controller();
  SendFrame(*controller, RemoteCommand::ToggleRecording);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::StateChanged, 1);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::ToggleRecording, 1);
  // The virtual card's blocks, paced by the timer, each announced first.
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 0, 1);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 1, 1);
  form->menuStartQuelvarClick();
  EXPECT_EQ(ReadReply(*controller, RemoteCommand::StateChanged).Arg1, 0);
}

TEST_F(FormMainRemoteControl, NoFramesAreSentUnaskedWhileTwoAreConnected) {
  auto controller = Controller();
  auto second = Connect();
  ExpectFrame(ReadFrame(*second), RemoteCommand::Connect, 2);
  form->SendControllerStateFrame();
  // A poll answered proves the unasked frame would have come before it.
  SendFrame(*controller, RemoteCommand::PollState);
  ExpectFrame(ReadFrame(*controller), RemoteCommand::PollState, 0xFFFF, 0);
  EXPECT_EQ(second->bytesAvailable(), 0);
}

// --- Switching reception ---

TEST_F(FormMainRemoteControl, APortInUseIsReportedAndReceptionStaysOff) {
  QTcpServer other;
  ASSERT_TRUE(other.listen(QHostAddress::AnyIPv4, 0));
  form->SetRemoteControlPort(other.serverPort());
  form->menuEnableRemote->setChecked(false);
  form->menuEnableRemote->trigger();
  EXPECT_FALSE(form->menuEnableRemote->isChecked());
  EXPECT_FALSE(form->ServerSocket_Control->IsOpen());
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "端口被占用,比如本程序的另一个实例已在运行!");
  EXPECT_EQ(ui.prompts[0].caption, "不能接收遥控指令");
  EXPECT_EQ(ui.prompts[0].buttons, platform::MsgButtons::OkCancel);
}

TEST_F(FormMainRemoteControl, ClickingTheCheckedItemClosesReceptionAndDetachesTheController) {
  auto controller = Controller();
  form->menuEnableRemote->trigger();
  EXPECT_FALSE(form->menuEnableRemote->isChecked());
  EXPECT_FALSE(form->ServerSocket_Control->IsOpen());
  EXPECT_EQ(form->ControllerConnected(), 0);
  EXPECT_NE(form->RunLogText().find("脱离遥控方 127.0.0.1 于:"), std::string::npos);
  EXPECT_TRUE(QTest::qWaitFor([&] { return controller->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
}

TEST_F(FormMainRemoteControl, TheDeferredStartupOpensTheListener) {
  form->Timer1Timer();
  ASSERT_NE(form->ServerSocket_Control, nullptr);
  EXPECT_TRUE(form->ServerSocket_Control->IsOpen());
  EXPECT_TRUE(form->menuEnableRemote->isChecked());
}

TEST_F(FormMainRemoteControl, TheDeferredStartupSwitchesReceptionOffSilentlyWhenThePortIsTaken) {
  QTcpServer other;
  ASSERT_TRUE(other.listen(QHostAddress::AnyIPv4, 0));
  form->SetRemoteControlPort(other.serverPort());
  form->Timer1Timer();
  EXPECT_FALSE(form->ServerSocket_Control->IsOpen());
  EXPECT_FALSE(form->menuEnableRemote->isChecked());
  EXPECT_TRUE(ui.PromptsOf(Kind::Message).empty());
}

}  // namespace
