#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "common/AppState.h"
#include "net/RemoteConsole.h"
#include "net/RemoteControl.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace quelvar::platform {
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

class QtConsoleLink;
class TFormMain;

// The remote-control console: makes this instance the controller of another
// one over the peer's remote-control port, one command at a time, and shows
// the replies and the peer's state. Created at start and only hidden and
// shown afterwards. Its addresses, port numbers and place on the screen are
// kept in the settings tree.
//
// The TCP link is the one in use: the radio (COM) link is switched off
// whenever the window is created and its controls are hidden. The console's
// own radio port is therefore never opened, and its side of the radio link
// is not wired; the port numbers are still kept and edited.
class TFormRemoteControl : public QWidget, public ConsoleOutputs {
  Q_OBJECT
 public:
  // `controlPort` is the peer's remote-control port.
  TFormRemoteControl(TFormMain& mainForm, AppState& state, platform::RegistryStore& registry, platform::UiHost& ui,
                     uint16_t controlPort = kRemoteControlPort, QWidget* parent = nullptr);
  ~TFormRemoteControl() override;

  // Components.
  QLabel* Label_RemoteIP = nullptr;
  QLineEdit* Edit_RemoteIP = nullptr;
  QLabel* Label_RadioCom = nullptr;
  QLineEdit* EditRadioCom = nullptr;
  QLabel* Label_ControlledCom = nullptr;
  QLineEdit* EditControlledCom = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // stay on top ("浮动")
  QCheckBox* CheckBoxRadioControl = nullptr;
  QPushButton* ButtonConnect = nullptr;
  QPushButton* ButtonSendConfig = nullptr;
  QPushButton* ButtonGetConfig = nullptr;
  QPushButton* ButtonStartQuelvar = nullptr;
  QPushButton* ButtonStartOscil = nullptr;
  QPushButton* ButtonQuery = nullptr;
  QPushButton* ButtonSetAsAlone = nullptr;
  QPushButton* ButtonSetAsServer = nullptr;
  QPushButton* ButtonSetAsClient = nullptr;
  QPushButton* ButtonExit = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QtConsoleLink* ClientSocket_Control = nullptr;

  // Settings ("\RemoteControl").
  std::string RemoteIP;   // the peer's address
  std::string RServerIP;  // the station address given to a peer made a viewer
  int32_t TopMost = 0;
  int32_t RadioCom = 1;  // the console's radio port
  // The port this instance takes radio commands on is AppState::ControlledCom.

  void FormCreate();
  void FormDestroy();
  void Edit_RemoteIPExit();
  void EditRadioComExit();
  void EditControlledComExit();
  void CheckBox1Click();
  void CheckBoxRadioControlClick();
  void ButtonConnectClick();
  void ButtonSendConfigClick();
  void ButtonGetConfigClick();
  void ButtonStartQuelvarClick();
  void ButtonStartOscilClick();
  void ButtonQueryClick();
  void ButtonSetAsAloneClick();
  void ButtonSetAsServerClick();
  void ButtonSetAsClientClick();
  void ButtonExitClick() { hide(); }
  void ClientSocket_ControlConnect();
  void ClientSocket_ControlDisconnect();
  void ClientSocket_ControlError();
  // The housekeeping's poll of the radio link; nothing while it is off,
  // which it always is (see above).
  void PollRadio();

  int32_t PeerState() const { return console_.PeerState(); }
  const RemoteConsole& Console() const { return console_; }
  std::string StatusText() const;

  // ConsoleOutputs.
  void ShowStatus(const std::string& text) override;
  void ShowConnected(bool connected) override;
  void SetQueryHint(const std::string& text) override;
  void SetStartHints(const std::string& text) override;
  void Send(const uint8_t* data, size_t size) override;
  void CloseLink() override;
  void ConfigurationChanged() override;

 private:
  void BuildComponents();
  // The main window's controlled-COM item names the port.
  void ShowControlledComCaption();

  TFormMain& mainForm_;
  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  RemoteConsole console_;
  QLabel* statusPanel_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
