// The main window as the controlled side of remote control over the COM
// link: "COMn" is a pseudo-terminal whose far end the test plays, sending
// radio frames as the console does and reading the replies.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "net/RadioLink.h"
#include "net/QtControlServer.h"
#include "net/RemoteControl.h"
#include "platform/MemoryRegistry.h"
#include "platform/PtyPairForTest.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using quelvar::test::ComPortPath;
using quelvar::test::PtyPair;
using Kind = platform::ScriptedUiHost::Kind;
using Bytes = std::vector<uint8_t>;

constexpr int kTestCom = 43;

Bytes FrameBytes(int32_t command, int32_t arg1 = 0, int32_t arg2 = 0) {
  const RemoteCommandFrame frame{command, arg1, arg2};
  Bytes bytes(sizeof frame);
  std::memcpy(bytes.data(), &frame, sizeof frame);
  return bytes;
}

// The payload of a radio frame of `n` payload bytes, checked whole; empty
// when the frame is not valid.
Bytes PayloadOf(const Bytes& frame, size_t n) {
  if (frame.size() != n + kRadioFrameOverhead) return {};
  RadioHeader header;
  RadioTrailer trailer;
  std::copy_n(frame.begin(), kRadioHeaderBytes, header.begin());
  std::copy_n(frame.end() - kRadioTrailerBytes, kRadioTrailerBytes, trailer.begin());
  const Bytes payload(frame.begin() + kRadioHeaderBytes, frame.end() - kRadioTrailerBytes);
  return CheckRadioFrame(header, payload, trailer) == RadioFrameFault::None ? payload : Bytes{};
}

class FormMainRemoteCom : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;
  PtyPair pty;
  std::unique_ptr<ComPortPath> comPath;
  fs::path dir;
  char oldCwd[PATH_MAX]{};
  std::unique_ptr<TFormMain> form;

  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    comPath = std::make_unique<ComPortPath>(kTestCom, pty.SlavePath());
    dir = fs::path(testing::TempDir()) / ("quelvar-remote-com-" + std::to_string(getpid()) + "-" +
                                          testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    state.IdControlByRadio = 1;
    state.ControlledCom = kTestCom;
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
    ASSERT_TRUE(form->RemoteComPort.IsOpen());
  }

  // The console's side: a request as a radio frame, there once the port has it.
  void Request(const Bytes& payload) {
    const Bytes frame = EncodeRadioFrame(payload);
    ASSERT_TRUE(pty.Send(frame, [&] { InputQueued(); }));
    const auto deadline = PtyPair::Deadline();
    while (InputQueued() < frame.size() && std::chrono::steady_clock::now() <= deadline) {
      pollfd p{form->RemoteComPort.Handle(), POLLIN, 0};
      poll(&p, 1, 10);
    }
    ASSERT_GE(InputQueued(), frame.size());
  }

  uint32_t InputQueued() {
    uint32_t in = 0, out = 0;
    form->RemoteComPort.QueueStatus(in, out);
    return in;
  }

  // The reply frame of `n` payload bytes as the far end gets it; what the
  // device did not take at once is sent by the window's pump as events run.
  Bytes Reply(size_t n) {
    return PayloadOf(pty.Receive(n + kRadioFrameOverhead, [] { QCoreApplication::processEvents(); }), n);
  }
};

// --- Switching reception ---

TEST_F(FormMainRemoteCom, EnablingReceptionOpensTheControlledPortAndExpectsFrames) {
  EnableRemote();
  EXPECT_EQ(form->RemoteComPort.Port, kTestCom);
  EXPECT_EQ(form->RemoteControl().ExpectCommandFrame(), 1);
  EXPECT_EQ(form->RemoteControl().ExpectedSize(), 12u);
  EXPECT_EQ(form->RemoteControl().ControllerConnected(), 0);
  // No listener is opened for the TCP link meanwhile.
  EXPECT_TRUE(form->ServerSocket_Control == nullptr || !form->ServerSocket_Control->IsOpen());
}

TEST_F(FormMainRemoteCom, APortThatCannotBeOpenedLeavesReceptionOffWithoutAMessage) {
  comPath.reset();  // its destructor unsets the variable the new one sets
  comPath = std::make_unique<ComPortPath>(kTestCom, "/nonexistent/tty");
  form->menuEnableRemote->setChecked(false);
  form->menuEnableRemote->trigger();
  EXPECT_FALSE(form->menuEnableRemote->isChecked());
  EXPECT_FALSE(form->RemoteComPort.IsOpen());
  EXPECT_EQ(form->OpenRemoteCom(), 0);
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(FormMainRemoteCom, DisablingReceptionClosesThePortAndDetachesTheController) {
  EnableRemote();
  Request(FrameBytes(RemoteCommand::RadioConnect, 12, 0));
  form->PollRemoteCom();
  ASSERT_EQ(form->ControllerConnected(), 1);
  form->menuEnableRemote->trigger();
  EXPECT_FALSE(form->menuEnableRemote->isChecked());
  EXPECT_FALSE(form->RemoteComPort.IsOpen());
  EXPECT_EQ(form->ControllerConnected(), 0);
}

// --- Requests and replies ---

TEST_F(FormMainRemoteCom, AStatusRequestGetsTheStatusRecordBackAsARadioFrame) {
  state.config.StartNum = 17;
  EnableRemote();
  Request(FrameBytes(RemoteCommand::QueryStatus));
  form->PollRemoteCom();
  const Bytes reply = Reply(sizeof(RemoteStatus));
  ASSERT_EQ(reply.size(), sizeof(RemoteStatus));
  RemoteStatus status;
  std::memcpy(&status, reply.data(), sizeof status);
  EXPECT_EQ(status.Command, RemoteCommand::QueryStatus);
  EXPECT_EQ(status.RunState, kRunIdle);
  EXPECT_EQ(status.NetworkRole, state.NetworkRole);
  EXPECT_EQ(status.StartNum, 17);
}

TEST_F(FormMainRemoteCom, CommandElevenGetsTwelveZeroBytesAndAttachesTheControllerWithALogLine) {
  EnableRemote();
  Request(FrameBytes(RemoteCommand::RadioConnect, 12, 0));
  form->PollRemoteCom();
  EXPECT_EQ(Reply(12), Bytes(12, 0));
  EXPECT_EQ(form->ControllerConnected(), 1);
  EXPECT_EQ(form->RemoteControl().ExpectCommandFrame(), 1);
  const std::string log = form->RunLogText();
  EXPECT_TRUE(std::regex_search(log, std::regex("受控于COM43 于:\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"))) << log;
}

TEST_F(FormMainRemoteCom, AConfigurationSentOverTheLinkIsPutInForce) {
  EnableRemote();
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *record);
  record->NumSamp = state.config.NumSamp * 2;
  Request(FrameBytes(RemoteCommand::SendConfig, 40728));
  form->PollRemoteCom();
  Request(Bytes(reinterpret_cast<const uint8_t*>(record.get()),
                reinterpret_cast<const uint8_t*>(record.get()) + kConfigRecordSize));
  form->PollRemoteCom();
  EXPECT_EQ(Reply(12), FrameBytes(RemoteCommand::SendConfig, 1));
  EXPECT_EQ(state.config.NumSamp, record->NumSamp);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
}

TEST_F(FormMainRemoteCom, TheOwnConfigurationGoesBackInOneFrame) {
  EnableRemote();
  Request(FrameBytes(RemoteCommand::GetConfig));
  form->PollRemoteCom();
  auto own = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *own);
  // More than a pseudo-terminal takes at once.
  EXPECT_GT(form->RemoteComPort.Device().OutputQueued(), 0u);
  const Bytes reply = Reply(kConfigRecordSize);
  ASSERT_EQ(reply.size(), kConfigRecordSize);
  EXPECT_EQ(std::memcmp(reply.data(), own.get(), kConfigRecordSize), 0);
}

// --- The housekeeping ---

TEST_F(FormMainRemoteCom, TheHousekeepingPollsThePortOnlyWhileReceptionIsEnabled) {
  form->Timer1Timer();  // the deferred start-up
  EnableRemote();
  Request(FrameBytes(RemoteCommand::PollState));
  form->Timer1Timer();
  EXPECT_EQ(Reply(12), FrameBytes(RemoteCommand::PollState, 0xFFFF, 0));

  Request(FrameBytes(RemoteCommand::PollState));
  form->menuEnableRemote->setChecked(false);
  form->Timer1Timer();
  EXPECT_EQ(InputQueued(), 24u);
}

TEST_F(FormMainRemoteCom, TheDeferredStartupOpensNoListenerOnTheComLink) {
  form->Timer1Timer();
  EXPECT_TRUE(form->ServerSocket_Control == nullptr || !form->ServerSocket_Control->IsOpen());
}

// --- Choosing the port ---

TEST_F(FormMainRemoteCom, ChoosingThePortAsksForItsNumberAndReopensReception) {
  EnableRemote();
  PtyPair other;
  ASSERT_TRUE(other.Ok());
  ComPortPath otherPath(kTestCom + 1, other.SlavePath());
  ui.inputAnswers.push_back(std::to_string(kTestCom + 1));
  form->menuControlledComClick();
  const auto inputs = ui.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].caption, "请选择接受遥控指令的电台使用的COM口");
  EXPECT_EQ(inputs[0].text, "使用COM43)?   ");
  EXPECT_EQ(inputs[0].arguments, std::vector<std::string>{"43"});
  EXPECT_EQ(state.ControlledCom, kTestCom + 1);
  EXPECT_EQ(form->menuControlledCom->text().toStdString(), "接收遥控通过COM44");
  EXPECT_EQ(form->RemoteComPort.Port, kTestCom + 1);
  EXPECT_TRUE(form->RemoteComPort.IsOpen());
  EXPECT_TRUE(form->menuEnableRemote->isChecked());
}

TEST_F(FormMainRemoteCom, APortNumberThatIsNotANumberKeepsTheOldOneAndBelowOneBecomesOne) {
  struct Case {
    std::optional<std::string> answer;
    int32_t expected;
  };
  // Reception off, so no port number here ever names a device of the machine.
  form->menuEnableRemote->setChecked(false);
  for (const Case& c : {Case{"x7", 5}, Case{"", 5}, Case{std::nullopt, 5}, Case{"0", 1}, Case{"-3", 1},
                        Case{"9", 9}}) {
    state.ControlledCom = 5;
    ui.inputAnswers.push_back(c.answer);
    form->menuControlledComClick();
    EXPECT_EQ(state.ControlledCom, c.expected) << c.answer.value_or("(cancel)");
    EXPECT_EQ(form->menuControlledCom->text().toStdString(), "接收遥控通过COM" + std::to_string(c.expected));
  }
  // Reception is off: no port was opened.
  EXPECT_FALSE(form->RemoteComPort.IsOpen());
}

// --- Shut-down ---

TEST_F(FormMainRemoteCom, TheShutDownClosesTheControlledPort) {
  EnableRemote();
  form->FormDestroy();
  EXPECT_FALSE(form->RemoteComPort.IsOpen());
}

}  // namespace
