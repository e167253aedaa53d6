// The remote-control console against a real controlled main window in the
// same process, over loopback. Each side has its own state, settings and
// main window; the peer's port is chosen by the system. Waits are on
// conditions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "net/RefusingPortForTest.h"
#include "net/FormRemoteControl.h"
#include "net/QtControlServer.h"
#include "platform/MemoryRegistry.h"
#include "platform/PtyPairForTest.h"
#include "platform/RegistryKey.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using Kind = platform::ScriptedUiHost::Kind;

constexpr int kWaitMs = 10000;
// The virtual card's pacing timer never fires within a test: blocks come
// when the test asks for them.
constexpr int32_t kNoBlockTimerMs = 3600 * 1000;
const char* const kSettingsKey = "\\SOFTWARE\\QuelvarTorque\\RemoteControl";
const char* const kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

std::string Text(const QWidget* w) {
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text().toStdString();
  if (const auto* e = qobject_cast<const QLineEdit*>(w)) return e->text().toStdString();
  return qobject_cast<const QLabel*>(w)->text().toStdString();
}

class FormRemoteControlTest : public ::testing::Test {
 protected:
  // The controlled instance.
  AppState peerState;
  platform::MemoryRegistry peerRegistry;
  platform::ScriptedUiHost peerUi;
  // The controlling instance, whose console is under test.
  AppState ownState;
  platform::MemoryRegistry ownRegistry;
  platform::ScriptedUiHost ownUi;
  platform::NullScreenSaverControl screenSaver;
  std::unique_ptr<TFormMain> peer, own;
  std::unique_ptr<TFormRemoteControl> console;
  fs::path dir;
  char oldCwd[PATH_MAX]{};

  void SetUp() override {
    // Runs write their files into the current directory.
    dir = fs::path(testing::TempDir()) / ("quelvar-console-" + std::to_string(getpid()) + "-" +
                                          testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    peer = std::make_unique<TFormMain>(peerState, MainWindowServices{peerRegistry, peerUi, screenSaver});
    // After the creation, which reads the settings.
    peerState.config.SimulateAD = 1;
    peerState.config.SimulateInterval = kNoBlockTimerMs;
    peer->SetRemoteControlPort(0);
    peer->SetStationStreamPort(0);
    peer->menuEnableRemote->setChecked(false);
    peer->menuEnableRemote->trigger();
    ASSERT_TRUE(peer->ServerSocket_Control->IsOpen());
    own = std::make_unique<TFormMain>(ownState, MainWindowServices{ownRegistry, ownUi, screenSaver});
    own->SetRemoteControlPort(0);
    own->SetStationStreamPort(0);
  }
  void TearDown() override {
    console.reset();
    own.reset();
    peer.reset();
    ASSERT_EQ(chdir(oldCwd), 0);
    fs::remove_all(dir);
  }

  // The console as made at start. Reception is switched off on the
  // controlling side first, so that no COM port is opened at its creation.
  void MakeConsole() {
    own->menuEnableRemote->setChecked(false);
    MakeConsoleAsIs();
  }
  void MakeConsoleAsIs() {
    console =
        std::make_unique<TFormRemoteControl>(*own, ownState, ownRegistry, ownUi, peer->ServerSocket_Control->Port());
    own->SetRemoteConsole(console.get());
  }

  bool Shows(const std::string& status) const { return console->StatusText() == status; }
  bool Idle() const { return console->Console().ConsoleBusy() == 0; }

  // Connected and greeted.
  void Connect() {
    MakeConsole();
    console->ButtonConnect->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("遥控对方成功!"); }, kWaitMs)) << console->StatusText();
  }

  std::vector<QPushButton*> CommandButtons() const {
    return {console->ButtonSendConfig,  console->ButtonGetConfig,  console->ButtonStartQuelvar,
            console->ButtonStartOscil,  console->ButtonQuery,      console->ButtonSetAsAlone,
            console->ButtonSetAsServer, console->ButtonSetAsClient};
  }
  int EnabledCommandButtons() const {
    int n = 0;
    for (const QPushButton* b : CommandButtons()) n += b->isEnabled() ? 1 : 0;
    return n;
  }
};

// --- The window ---

TEST_F(FormRemoteControlTest, IsCreatedDisconnectedWithTheTcpLinkAndItsTexts) {
  MakeConsole();
  EXPECT_EQ(console->windowTitle().toStdString(), "遥控操作面板");
  EXPECT_EQ(Text(console->ButtonConnect), "与对方建立连接");
  EXPECT_EQ(Text(console->ButtonStartQuelvar), "遥启/停" + ownState.startup.WindowWord);
  EXPECT_EQ(Text(console->ButtonStartOscil), "遥启/停双踪示波器");
  EXPECT_EQ(Text(console->ButtonExit), "退出");
  EXPECT_EQ(console->StatusText(), "准备就绪!");
  EXPECT_EQ(EnabledCommandButtons(), 0);
  EXPECT_EQ(Text(console->Edit_RemoteIP), "127.0.0.1");
  EXPECT_EQ(ownState.IdControlByRadio, 0);
  EXPECT_TRUE(console->CheckBoxRadioControl->isHidden());
  EXPECT_FALSE(console->CheckBoxRadioControl->isChecked());
  EXPECT_FALSE(console->Edit_RemoteIP->isHidden());
  for (QWidget* w :
       {static_cast<QWidget*>(console->Label_RadioCom), static_cast<QWidget*>(console->EditRadioCom),
        static_cast<QWidget*>(console->Label_ControlledCom), static_cast<QWidget*>(console->EditControlledCom)}) {
    EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(w->y(), w == console->Label_RadioCom || w == console->Label_ControlledCom ? console->Label_RemoteIP->y()
                                                                                        : console->Edit_RemoteIP->y());
  }
  EXPECT_FALSE(own->menuControlledCom->isVisible());
  EXPECT_EQ(own->menuControlledCom->text().toStdString(), "接收遥控通过COM1");
}

TEST_F(FormRemoteControlTest, TheMenuItemFollowsTheRoleItemsAndShowsTheConsole) {
  MakeConsole();
  const QList<QAction*> items = own->menuNetwork->actions();
  ASSERT_EQ(items.indexOf(own->menuRemoteControl), items.indexOf(own->menuClient) + 1);
  EXPECT_EQ(own->menuRemoteControl->text().toStdString(), "遥控对方(&R)");
  EXPECT_FALSE(console->isVisible());
  own->menuRemoteControl->trigger();
  EXPECT_TRUE(console->isVisible());
  console->ButtonExit->click();
  EXPECT_FALSE(console->isVisible());
}

TEST_F(FormRemoteControlTest, SettingsAreReadAtCreationAndWrittenAtDestruction) {
  {
    platform::RegistryKey key(ownRegistry, kSettingsKey);
    key.WriteString("RemoteIP", "");
    key.WriteString("RServerIP", "10.1.2.3");
    key.WriteInteger("TopMost", 1);
    key.WriteInteger("RadioCom", 0);
    key.WriteInteger("ControlledCom", 5);
    key.WriteInteger("IdControlByRadio", 1);
  }
  MakeConsole();
  EXPECT_EQ(console->RemoteIP, "127.0.0.1");
  EXPECT_EQ(console->RServerIP, "10.1.2.3");
  EXPECT_TRUE(console->CheckBox1->isChecked());
  EXPECT_TRUE(console->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(Text(console->EditRadioCom), "1");
  EXPECT_EQ(ownState.ControlledCom, 5);
  EXPECT_EQ(Text(console->EditControlledCom), "5");
  EXPECT_EQ(own->menuControlledCom->text().toStdString(), "接收遥控通过COM5");
  EXPECT_EQ(ownState.IdControlByRadio, 0);

  console->Edit_RemoteIP->setText("192.168.1.20");
  console->Edit_RemoteIPExit();
  console->CheckBox1->click();
  console->EditControlledCom->setText("x");
  console->EditControlledComExit();
  EXPECT_EQ(Text(console->EditControlledCom), "5");
  console->EditRadioCom->setText("3");
  console->EditRadioComExit();
  console->move(40, 50);
  console.reset();

  platform::RegistryKey key(ownRegistry, kSettingsKey);
  EXPECT_EQ(key.ReadString("RemoteIP"), "192.168.1.20");
  EXPECT_EQ(key.ReadString("RServerIP"), "10.1.2.3");
  EXPECT_EQ(key.ReadInteger("TopMost"), 0);
  EXPECT_EQ(key.ReadInteger("RadioCom"), 3);
  EXPECT_EQ(key.ReadInteger("ControlledCom"), 5);
  EXPECT_EQ(key.ReadInteger("IdControlByRadio"), 0);
  platform::RegistryKey sizes(ownRegistry, kFormSizeKey);
  EXPECT_EQ(sizes.ReadInteger("FormRemoteControl_Left"), 40);
  EXPECT_EQ(sizes.ReadInteger("FormRemoteControl_Top"), 50);
  EXPECT_TRUE(sizes.ReadInteger("FormRemoteControl_Width").has_value());
  EXPECT_TRUE(sizes.ReadInteger("FormRemoteControl_Height").has_value());
}

TEST_F(FormRemoteControlTest, TheControlledPortNumberNamesTheMenuItem) {
  MakeConsole();
  console->EditControlledCom->setText("0");
  console->EditControlledComExit();
  EXPECT_EQ(ownState.ControlledCom, 1);
  console->EditControlledCom->setText("7");
  console->EditControlledComExit();
  EXPECT_EQ(ownState.ControlledCom, 7);
  EXPECT_EQ(own->menuControlledCom->text().toStdString(), "接收遥控通过COM7");
}

TEST_F(FormRemoteControlTest, WithReceptionOnTheControlledComPortIsOpenedAtCreationOnlyForTheComLink) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  test::ComPortPath com(47, pty.SlavePath());
  platform::RegistryKey(ownRegistry, kSettingsKey).WriteInteger("ControlledCom", 47);
  ASSERT_TRUE(own->menuEnableRemote->isChecked());
  // Mended: with the TCP link no serial device is taken at start.
  ownState.IdControlByRadio = 0;
  MakeConsoleAsIs();
  EXPECT_FALSE(own->RemoteComPort.IsOpen());
  EXPECT_TRUE(own->menuEnableRemote->isChecked());
  console.reset();

  platform::RegistryKey(ownRegistry, kSettingsKey).WriteInteger("IdControlByRadio", 1);
  MakeConsoleAsIs();
  EXPECT_TRUE(own->RemoteComPort.IsOpen());
  EXPECT_EQ(own->RemoteComPort.Port, 47);
  EXPECT_TRUE(own->menuEnableRemote->isChecked());
}

TEST_F(FormRemoteControlTest, AComPortThatWillNotOpenLeavesTcpReceptionShownAsOnMended) {
  test::ComPortPath com(47, (dir / "no-such-port").string());
  platform::RegistryKey(ownRegistry, kSettingsKey).WriteInteger("ControlledCom", 47);
  MakeConsoleAsIs();
  EXPECT_FALSE(own->RemoteComPort.IsOpen());
  EXPECT_TRUE(own->menuEnableRemote->isChecked());
  // The deferred start-up opens the listener the entry stands for.
  own->Timer1Timer();
  EXPECT_TRUE(own->ServerSocket_Control->IsOpen());
  EXPECT_TRUE(own->menuEnableRemote->isChecked());
}

TEST_F(FormRemoteControlTest, TheHousekeepingPollsTheConsoleSafelyWhileItsRadioLinkIsOff) {
  MakeConsole();
  own->Timer1Timer();  // the deferred start-up
  ownState.IdControlByRadio = 1;
  own->Timer1Timer();
  ownState.IdControlByRadio = 0;
  own->Timer1Timer();
  EXPECT_EQ(console->StatusText(), "准备就绪!");
  EXPECT_EQ(console->Console().ConsoleBusy(), 0);
}

// --- Connecting ---

TEST_F(FormRemoteControlTest, ConnectingMakesThisTheControllerAndDisconnectingLetsGo) {
  Connect();
  EXPECT_EQ(Text(console->ButtonConnect), "中止与对方连接");
  EXPECT_EQ(EnabledCommandButtons(), 8);
  EXPECT_FALSE(console->CheckBoxRadioControl->isEnabled());
  EXPECT_EQ(console->Console().ConsoleConnected(), 1);
  EXPECT_EQ(peer->ControllerConnected(), 1);

  console->ButtonConnect->click();
  EXPECT_EQ(console->StatusText(), "准备就绪!");
  EXPECT_EQ(Text(console->ButtonConnect), "与对方建立连接");
  EXPECT_EQ(EnabledCommandButtons(), 0);
  EXPECT_TRUE(console->CheckBoxRadioControl->isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return peer->ControllerConnected() == 0; }, kWaitMs));
  EXPECT_TRUE(ownUi.prompts.empty());
}

TEST_F(FormRemoteControlTest, APeerControlledByAnotherConsoleIsLeftAlone) {
  Connect();
  TFormRemoteControl second(*own, ownState, ownRegistry, ownUi, peer->ServerSocket_Control->Port());
  second.ButtonConnect->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return second.StatusText() == "对方已被别人控制!"; }, kWaitMs))
      << second.StatusText();
  EXPECT_EQ(second.Console().ConsoleConnected(), 0);
  EXPECT_FALSE(second.ButtonQuery->isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return peer->ServerSocket_Control->ConnectionCount() == 1; }, kWaitMs));
  EXPECT_EQ(peer->ControllerConnected(), 1);
}

TEST_F(FormRemoteControlTest, AnInvalidAddressIsRefusedBeforeConnecting) {
  MakeConsole();
  console->Edit_RemoteIP->setText("300.1.2.3");
  console->Edit_RemoteIPExit();
  console->ButtonConnect->click();
  EXPECT_EQ(console->StatusText(), "对方IP地址无效!");
  EXPECT_EQ(peer->ServerSocket_Control->ConnectionCount(), 0);
}

TEST_F(FormRemoteControlTest, ARefusedConnectionIsReportedInTheStatusAndTheErrorBox) {
  const test::RefusingPort refusing;
  ASSERT_TRUE(refusing.Ok());
  own->menuEnableRemote->setChecked(false);
  console = std::make_unique<TFormRemoteControl>(*own, ownState, ownRegistry, ownUi, refusing.Port());
  console->ButtonConnect->click();
  EXPECT_EQ(console->StatusText(), "等待被控方响应...");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("网络发生错误!"); }, kWaitMs)) << console->StatusText();
  // The box follows once the socket's handler has returned.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !ownUi.PromptsOf(Kind::Message).empty(); }, kWaitMs));
  ASSERT_EQ(ownUi.PromptsOf(Kind::Message).size(), 1u);
  EXPECT_EQ(ownUi.prompts[0].icon, platform::MsgIcon::Error);
  EXPECT_EQ(EnabledCommandButtons(), 0);
}

TEST_F(FormRemoteControlTest, ThePeerEndingTheConnectionDisconnectsTheConsole) {
  Connect();
  peer->menuEnableRemote->trigger();  // reception off: its connections close
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("对方断开连接!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(console->Console().ConsoleConnected(), 0);
  EXPECT_EQ(EnabledCommandButtons(), 0);
}

// --- Commands ---

TEST_F(FormRemoteControlTest, TheStatusQueryShowsThePeersState) {
  peerState.config.CardNameText = "PeerCard";
  peer->menuServerClick();
  Connect();
  console->ButtonQuery->click();
  EXPECT_EQ(console->StatusText(), "正在取对方工作状态...");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("取对方工作状态成功!"); }, kWaitMs)) << console->StatusText();
  const std::string hint = console->ButtonQuery->toolTip().toStdString();
  EXPECT_EQ(hint.rfind("对方工作于记录示波器方式!\r\n 程序启动于", 0), 0u) << hint;
  EXPECT_NE(hint.find("使用AD板类型:PeerCard\r\n 程序运行于准备状态\r\n 网络状态为:现场采集站方式"), std::string::npos)
      << hint;
  EXPECT_EQ(console->PeerState(), kPeerStopped);
  EXPECT_EQ(console->ButtonStartQuelvar->toolTip().toStdString(), "还未启动");
}

TEST_F(FormRemoteControlTest, TogglingRecordingOnThePeersVirtualCardAndBack) {
  Connect();
  console->ButtonStartQuelvar->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(peerState.RunState, kRunRecording) << peer->PostedStatusText();
  // The peer's state frame came first and was taken as the reply.
  EXPECT_EQ(console->StatusText(), "对方" + ownState.startup.WindowWord + "已启动!");
  EXPECT_EQ(console->PeerState(), kPeerRecording);
  EXPECT_EQ(console->ButtonStartOscil->toolTip().toStdString(), "已启动录波器");

  // Every block is announced, with its growing sequence number.
  for (int block = 0; block < 3; ++block) {
    peer->TimerOscilTimer();
    const std::string expected = "受控方为录波器，SeqNo=" + std::to_string(block);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(expected); }, kWaitMs)) << console->StatusText();
  }

  console->ButtonStartQuelvar->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(peerState.RunState, kRunIdle);
  EXPECT_EQ(console->PeerState(), kPeerStopped);
  EXPECT_EQ(console->StatusText(), "受控方已停止采集");
  EXPECT_EQ(console->ButtonStartQuelvar->toolTip().toStdString(), "还未启动");
}

TEST_F(FormRemoteControlTest, BlockFramesSentBeforeAStatusOrConfigurationReplyAreNoPartOfIt_MendedFault) {
  Connect();
  console->ButtonStartQuelvar->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, kWaitMs)) << console->StatusText();
  ASSERT_EQ(peerState.RunState, kRunRecording);

  // The request leaves; before the peer reads it, it sends three block
  // frames, which reach the console ahead of the reply and together.
  console->ButtonQuery->click();
  for (int block = 0; block < 3; ++block) peer->TimerOscilTimer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(console->StatusText(), "取对方工作状态成功!");
  EXPECT_NE(console->ButtonQuery->toolTip().toStdString().find("程序运行于录波器/记录示波器状态"), std::string::npos);
  EXPECT_EQ(console->PeerState(), kPeerRecording);

  console->ButtonGetConfig->click();
  for (int block = 0; block < 2; ++block) peer->TimerOscilTimer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(console->StatusText(), "接收配置信息成功!");
  // Later block frames are shown one by one, however they are read.
  for (int block = 0; block < 4; ++block) peer->TimerOscilTimer();
  const std::string last = "受控方为录波器，SeqNo=" + std::to_string(peerState.acq.LastSeqNo);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(last); }, kWaitMs)) << console->StatusText();

  console->ButtonStartQuelvar->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Idle() && peerState.RunState == kRunIdle; }, kWaitMs));
}

TEST_F(FormRemoteControlTest, ASecondCommandWhileOneIsOutstandingIsRefused) {
  Connect();
  console->ButtonGetConfig->click();
  console->ButtonSetAsClient->click();
  EXPECT_EQ(console->StatusText(), "提示：上次遥控命令未完成...");
  EXPECT_TRUE(ownUi.PromptsOf(Kind::Input).empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Idle(); }, kWaitMs));
}

TEST_F(FormRemoteControlTest, SendingTheOwnConfigurationPutsItInForceOnThePeer) {
  Connect();
  ownState.config.NumSamp = peerState.config.NumSamp * 2;
  console->ButtonSendConfig->click();
  EXPECT_EQ(console->StatusText(), "正在发送配置信息...");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("对方按本机配置信息设置成功!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(peerState.config.NumSamp, ownState.config.NumSamp);
  EXPECT_EQ(peerState.configInForce.TempConfigActive, 1);
}

TEST_F(FormRemoteControlTest, AConfigurationOfAnotherCardIsFetchedAsARemoteOne) {
  peerState.config.CardNameText = "PeerCard";
  peerState.config.NumSamp = ownState.config.NumSamp * 2;
  Connect();
  console->ButtonGetConfig->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("接收远程配置信息成功!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(ownState.config.NumSamp, peerState.config.NumSamp);
  EXPECT_EQ(ownState.configInForce.TempConfigActive, 1);
  EXPECT_EQ(own->menuSysParam->title().toStdString(), "远程参数(&P)");
  EXPECT_TRUE(own->menuRestoreConfig->isVisible());
}

TEST_F(FormRemoteControlTest, AConfigurationOfTheSameCardIsFetchedAsTheOwn) {
  peerState.config.NumSamp = ownState.config.NumSamp * 2;
  Connect();
  console->ButtonGetConfig->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("接收配置信息成功!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(ownState.config.NumSamp, peerState.config.NumSamp);
  EXPECT_EQ(ownState.configInForce.TempConfigActive, 0);
  EXPECT_EQ(own->menuSysParam->title().toStdString(), "系统参数(&P)");
}

TEST_F(FormRemoteControlTest, RoleCommandsChangeThePeersRole) {
  Connect();
  console->ButtonSetAsServer->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("对方为现场采集站模式!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(peerState.NetworkRole, kRoleStation);

  ownUi.inputAnswers.push_back("10.0.0.5");
  console->ButtonSetAsClient->click();
  const auto inputs = ownUi.PromptsOf(Kind::Input);
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].caption, "请输入参数");
  EXPECT_EQ(inputs[0].text, "现场采集站IP地址:  ");
  EXPECT_EQ(inputs[0].arguments, std::vector<std::string>{"127.0.0.1"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("对方为远程控制台模式!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(console->RServerIP, "10.0.0.5");
  EXPECT_EQ(peerState.NetworkRole, kRoleViewer);
  EXPECT_EQ(peerState.config.ServerIP, "10.0.0.5");

  console->ButtonSetAsAlone->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("对方为脱机模式!"); }, kWaitMs)) << console->StatusText();
  EXPECT_EQ(peerState.NetworkRole, kRoleAlone);
}

}  // namespace
