// The main window as the controlled side of remote control: the listener's
// handlers, the controlled COM port, the commands' effects and the frames
// sent to the controller unasked.
#include <QAction>
#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>

#include "net/ControlledComPoll.h"
#include "net/QtControlServer.h"
#include "net/RemoteControl.h"
#include "platform/DayTime.h"
#include "platform/UiHost.h"
#include "platform/qt/QtSerialPump.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"

namespace quelvar {

namespace {

// A port number as typed; nothing when the text is not a whole number.
std::optional<int32_t> PortNumber(const std::string& text) {
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || at != end || text.empty()) return std::nullopt;
  return value;
}

// What the interpreter asks of the main window, replying on the connection
// that completed the message, or on the controlled COM port while the COM
// link is selected.
class FormMainRemoteHost : public RemoteControlHost {
 public:
  // `replyConnection` is the TCP connection the message came on; none for
  // the serial link.
  FormMainRemoteHost(TFormMain& form, std::optional<uint64_t> replyConnection)
      : form_(form), replyConnection_(replyConnection) {}

  int32_t ApplyConfig(const ConfigRecord& record) override {
    const int32_t applied = ApplyRemoteConfig(form_.State(), record);
    if (applied == 1) {
      form_.RefreshConfigMenus();
      // The data on display were laid out for the configuration replaced.
      form_.DropShownData();
    }
    return applied;
  }
  void BuildConfig(ConfigRecord& out) override {
    const AppState& s = form_.State();
    BuildConfigRecord(s.config, BuildExtrasOf(s), out);
  }
  int32_t ToggleRecording() override {
    form_.menuStartQuelvarClick();
    return form_.State().RunState;
  }
  int32_t ToggleOscilloscope() override {
    form_.menuStartOscilClick();
    return form_.State().RunState;
  }
  int32_t BecomeStation() override {
    form_.menuServerClick();
    return RoleInForce();
  }
  int32_t BecomeStandalone() override {
    form_.menuAloneClick();
    return RoleInForce();
  }
  int32_t BecomeViewerOf(const std::string& address) override {
    AppState& s = form_.State();
    s.AutoConnectViewer = 1;
    s.config.ServerIP = address;
    form_.menuClientClick();
    s.AutoConnectViewer = 0;
    return RoleInForce();
  }
  // As the role menu shows it, so a refused command reports the role kept.
  int32_t RoleInForce() override {
    if (form_.menuAlone->isChecked()) return 0;
    return form_.menuServer->isChecked() ? 1 : 2;
  }
  RemoteStatusValues StatusValues() override {
    const AppState& s = form_.State();
    RemoteStatusValues v;
    v.ProgramKind = s.startup.PresentationMode;
    v.RunState = s.RunState;
    v.NetworkRole = s.NetworkRole;
    v.StartTime = s.startup.ProgramStartTime;
    v.StartNum = s.config.StartNum;
    v.CardName = s.config.CardNameText;
    return v;
  }
  uint16_t LastSeqNo() override { return form_.State().acq.LastSeqNo; }
  int32_t RunState() override { return form_.State().RunState; }
  bool SerialLink() override { return !replyConnection_.has_value(); }
  void RadioConnect() override {
    const uint8_t greeting[sizeof(RemoteCommandFrame)] = {};
    WriteRadioFrame(form_.RemoteComPort, greeting, sizeof greeting);
    form_.AppendRunLog("\r\n受控于COM" + std::to_string(form_.State().ControlledCom) + " 于:" + platform::NowStampText());
  }
  void SendReply(const uint8_t* data, size_t size) override {
    if (form_.State().IdControlByRadio != 0) {
      // Replies are at most a configuration record, well within a frame.
      WriteRadioFrame(form_.RemoteComPort, data, static_cast<uint32_t>(size));
      return;
    }
    if (form_.ServerSocket_Control != nullptr && replyConnection_) {
      form_.ServerSocket_Control->Send(*replyConnection_, data, size);
    }
  }

 private:
  TFormMain& form_;
  std::optional<uint64_t> replyConnection_;
};

}  // namespace

QtControlServer& TFormMain::ControlServer() {
  if (ServerSocket_Control == nullptr) {
    ServerSocket_Control = new QtControlServer(remoteControlPort_, this);
    ServerSocket_Control->setObjectName("ServerSocket_Control");
    ServerSocket_Control->onConnect = [this](uint64_t c) { ServerSocket_ControlClientConnect(c); };
    ServerSocket_Control->onRead = [this](uint64_t c, const uint8_t* data, size_t size) {
      ServerSocket_ControlClientRead(c, data, size);
    };
    ServerSocket_Control->onDisconnect = [this](uint64_t c) { ServerSocket_ControlClientDisconnect(c); };
    ServerSocket_Control->onError = [this](uint64_t c, const std::string& text) {
      ServerSocket_ControlClientError(c, text);
    };
  }
  return *ServerSocket_Control;
}

void TFormMain::ActivateRemoteControl() {
  if (state_.IdControlByRadio != 0) return;
  // A taken port (another instance) only switches reception off, silently.
  if (!ControlServer().Open()) {
    ControlServer().Close();
    menuEnableRemote->setChecked(false);
  }
}

void TFormMain::ServerSocket_ControlClientConnect(uint64_t connection) {
  QtControlServer& server = ControlServer();
  const int32_t open = server.ConnectionCount();
  const RemoteCommandFrame greeting{RemoteCommand::Connect, open, 0};
  server.Send(connection, reinterpret_cast<const uint8_t*>(&greeting), sizeof greeting);
  if (open != 1) return;
  remoteControl_.Attach(connection);
  AppendRunLog("\r\n受控于 " + server.PeerAddress(connection) + " 于:" + platform::NowStampText());
}

void TFormMain::ServerSocket_ControlClientRead(uint64_t connection, const uint8_t* data, size_t size) {
  // With the serial link selected, commands come only through the COM port.
  if (state_.IdControlByRadio != 0) return;
  // Only the controller commands: another connection's bytes would land in
  // the middle of its frames.
  if (!remoteControl_.IsController(connection)) return;
  remoteControl_.Feed(data, size, [this, connection] { HandleRemoteCommand(connection); });
}

void TFormMain::HandleRemoteCommand(uint64_t replyConnection) {
  FormMainRemoteHost host(*this, replyConnection);
  remoteControl_.HandleRemoteCommand(host);
}

void TFormMain::DetachController(uint64_t connection) {
  // Another connection's leaving, even when it leaves the controller alone,
  // changes nothing.
  if (!remoteControl_.IsController(connection)) return;
  QtControlServer& server = ControlServer();
  remoteControl_.Detach();
  AppendRunLog("\r\n脱离遥控方 " + server.PeerAddress(connection) + " 于:" + platform::NowStampText());
}

void TFormMain::ServerSocket_ControlClientDisconnect(uint64_t connection) { DetachController(connection); }

void TFormMain::ServerSocket_ControlClientError(uint64_t connection, const std::string& errorText) {
  DetachController(connection);
  // The socket's error goes to the application's error message box once
  // the socket's own handler has returned: a modal box inside it would let
  // the same socket's later signals (and its deletion) in underneath.
  QMetaObject::invokeMethod(
      this,
      [this, errorText] {
        services_.ui.MessageBox(errorText, QCoreApplication::applicationName().toStdString(),
                                platform::MsgButtons::Ok, platform::MsgIcon::Error);
      },
      Qt::QueuedConnection);
}

void TFormMain::menuEnableRemoteClick() {
  QtControlServer& server = ControlServer();
  if (menuEnableRemote->isChecked()) {
    server.Close();
    CloseRemoteCom();
    menuEnableRemote->setChecked(false);
    return;
  }
  if (state_.IdControlByRadio != 0) {
    OpenRemoteCom();
    return;
  }
  if (server.Open()) {
    menuEnableRemote->setChecked(true);
    return;
  }
  server.Close();
  services_.ui.MessageBox("端口被占用,比如本程序的另一个实例已在运行!", "不能接收遥控指令", platform::MsgButtons::OkCancel);
}

void TFormMain::SendToLoneController(const RemoteCommandFrame& frame) {
  if (ServerSocket_Control == nullptr || ServerSocket_Control->ConnectionCount() != 1) return;
  if (const auto connection = remoteControl_.ControllerConnection()) {
    ServerSocket_Control->Send(*connection, reinterpret_cast<const uint8_t*>(&frame), sizeof frame);
  }
}

void TFormMain::SendControllerBlockFrame(uint16_t sequenceWord) {
  SendToLoneController({RemoteCommand::PollState, sequenceWord, state_.RunState});
}

void TFormMain::SendControllerStateFrame() { SendToLoneController({RemoteCommand::StateChanged, state_.RunState, 0}); }

void TFormMain::CloseRemoteCom() {
  // A controller on the COM link is attached only while the port is open.
  if (RemoteComPort.Close() && state_.IdControlByRadio != 0) remoteControl_.Detach();
}

int TFormMain::OpenRemoteCom() {
  CloseRemoteCom();
  if (remoteComPump_ == nullptr) remoteComPump_ = new platform::QtSerialPump(RemoteComPort.Device(), this);
  RemoteComPort.Port = state_.ControlledCom;
  RemoteComPort.Open(kRadioLineSettings);
  RemoteComPort.SetupQueues(kRadioQueueBytes, kRadioQueueBytes);
  if (!RemoteComPort.IsOpen()) {
    menuEnableRemote->setChecked(false);
    return 0;
  }
  remoteComReader_ = RadioFrameReader(true);
  remoteControl_.RestartFraming();
  menuEnableRemote->setChecked(true);
  return 1;
}

void TFormMain::PollRemoteCom() {
  FormMainRemoteHost host(*this, std::nullopt);
  PollControlledComPort(remoteComReader_, RemoteComPort, remoteControl_, host);
}

void TFormMain::menuControlledComClick() {
  int32_t& com = state_.ControlledCom;
  const std::optional<std::string> answer = services_.ui.InputBox(
      "请选择接受遥控指令的电台使用的COM口", "使用COM" + std::to_string(com) + ")?   ", std::to_string(com));
  if (answer) {
    if (const auto number = PortNumber(*answer)) com = std::max(*number, 1);
  }
  menuControlledCom->setText(QString::fromStdString("接收遥控通过COM" + std::to_string(com)));
  if (menuEnableRemote->isChecked() && state_.IdControlByRadio != 0) OpenRemoteCom();
}

}  // namespace quelvar
