#include "platform/qt/QtText.h"
#include "net/FormRemoteControl.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMetaObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>

#include "net/QtConsoleLink.h"
#include "platform/RegistryKey.h"
#include "platform/UiHost.h"
#include "shell/FormMain.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormRemoteControl";
// An address read empty (or never stored) is the own machine.
const char* const kDefaultAddress = "127.0.0.1";
constexpr int kDesignedLeft = 320, kDesignedTop = 200, kDesignedWidth = 320, kDesignedHeight = 248;
constexpr int kButtonHeight = 25;


std::string SettingsKeyPath(const AppState& state) {
  return "\\SOFTWARE\\" + state.startup.AppKeyName + "\\RemoteControl";
}

std::string AddressOrDefault(const std::optional<std::string>& stored) {
  return stored && !stored->empty() ? *stored : kDefaultAddress;
}

}  // namespace

TFormRemoteControl::TFormRemoteControl(TFormMain& mainForm, AppState& state, platform::RegistryStore& registry,
                                       platform::UiHost& ui, uint16_t controlPort, QWidget* parent)
    : QWidget(parent, Qt::Window),
      mainForm_(mainForm),
      state_(state),
      registry_(registry),
      ui_(ui),
      console_(state, *this) {
  BuildComponents();
  ClientSocket_Control = new QtConsoleLink(console_, controlPort, this);
  ClientSocket_Control->setObjectName("ClientSocket_Control");
  connect(ClientSocket_Control, &QtConsoleLink::Connected, this, [this] { ClientSocket_ControlConnect(); });
  connect(ClientSocket_Control, &QtConsoleLink::Disconnected, this, [this] { ClientSocket_ControlDisconnect(); });
  connect(ClientSocket_Control, &QtConsoleLink::Failed, this, [this] { ClientSocket_ControlError(); });
  FormCreate();
}

TFormRemoteControl::~TFormRemoteControl() { FormDestroy(); }

void TFormRemoteControl::BuildComponents() {
  setObjectName("FormRemoteControl");
  setWindowTitle(QStringLiteral("遥控操作面板"));
  auto label = [this](QLabel*& l, const char* name, const char* caption, int x, int y, int width) {
    l = new QLabel(QString::fromUtf8(caption), this);
    l->setObjectName(name);
    l->setGeometry(x, y, width, 17);
  };
  auto edit = [this](QLineEdit*& e, const char* name, int x, int y, int width) {
    e = new QLineEdit(this);
    e->setObjectName(name);
    e->setGeometry(x, y, width, 21);
  };
  auto checkBox = [this](QCheckBox*& b, const char* name, const char* caption, int y) {
    b = new QCheckBox(QString::fromUtf8(caption), this);
    b->setObjectName(name);
    b->setGeometry(262, y, 52, 17);
  };
  auto button = [this](QPushButton*& b, const char* name, const char* caption, int x, int y, int width) {
    b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(name);
    b->setGeometry(x, y, width, kButtonHeight);
  };
  label(Label_RemoteIP, "Label_RemoteIP", "对方IP地址:", 8, 12, 76);
  edit(Edit_RemoteIP, "Edit_RemoteIP", 86, 9, 140);
  // The radio link's port numbers stand in the second row as designed; the
  // creation moves them into the address row, which they share with it.
  label(Label_RadioCom, "Label_RadioCom", "电台使用COM口", 8, 40, 88);
  edit(EditRadioCom, "EditRadioCom", 98, 37, 30);
  label(Label_ControlledCom, "Label_ControlledCom", "被控电台COM口", 134, 40, 88);
  edit(EditControlledCom, "EditControlledCom", 224, 37, 30);
  checkBox(CheckBox1, "CheckBox1", "浮动", 4);
  checkBox(CheckBoxRadioControl, "CheckBoxRadioControl", "电台", 21);

  button(ButtonConnect, "ButtonConnect", "与对方建立连接", 8, 42, 304);
  button(ButtonSendConfig, "ButtonSendConfig", "传送本机配置", 8, 74, 148);
  button(ButtonGetConfig, "ButtonGetConfig", "读取对方配置", 164, 74, 148);
  button(ButtonStartQuelvar, "ButtonStartQuelvar", "遥启/停", 8, 102, 148);
  button(ButtonStartOscil, "ButtonStartOscil", "遥启/停双踪示波器", 164, 102, 148);
  button(ButtonQuery, "ButtonQuery", "查询对方状态", 8, 130, 148);
  button(ButtonSetAsAlone, "ButtonSetAsAlone", "置脱机工作方式", 164, 130, 148);
  button(ButtonSetAsServer, "ButtonSetAsServer", "置现场采集站方式", 8, 158, 148);
  button(ButtonSetAsClient, "ButtonSetAsClient", "置远程控制台方式", 164, 158, 148);
  button(ButtonExit, "ButtonExit", "退出", 8, 192, 304);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setGeometry(0, kDesignedHeight - 22, kDesignedWidth, 22);
  statusPanel_ = new QLabel(StatusBar1);
  StatusBar1->addWidget(statusPanel_, 1);

  // Usable only once connected.
  ShowConnected(false);

  connect(Edit_RemoteIP, &QLineEdit::editingFinished, this, [this] { Edit_RemoteIPExit(); });
  connect(EditRadioCom, &QLineEdit::editingFinished, this, [this] { EditRadioComExit(); });
  connect(EditControlledCom, &QLineEdit::editingFinished, this, [this] { EditControlledComExit(); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
  connect(CheckBoxRadioControl, &QCheckBox::clicked, this, [this] { CheckBoxRadioControlClick(); });
  const std::pair<QPushButton*, void (TFormRemoteControl::*)()> handlers[] = {
      {ButtonConnect, &TFormRemoteControl::ButtonConnectClick},
      {ButtonSendConfig, &TFormRemoteControl::ButtonSendConfigClick},
      {ButtonGetConfig, &TFormRemoteControl::ButtonGetConfigClick},
      {ButtonStartQuelvar, &TFormRemoteControl::ButtonStartQuelvarClick},
      {ButtonStartOscil, &TFormRemoteControl::ButtonStartOscilClick},
      {ButtonQuery, &TFormRemoteControl::ButtonQueryClick},
      {ButtonSetAsAlone, &TFormRemoteControl::ButtonSetAsAloneClick},
      {ButtonSetAsServer, &TFormRemoteControl::ButtonSetAsServerClick},
      {ButtonSetAsClient, &TFormRemoteControl::ButtonSetAsClientClick},
      {ButtonExit, &TFormRemoteControl::ButtonExitClick}};
  for (const auto& [b, handler] : handlers) {
    connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  }

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
}

void TFormRemoteControl::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  platform::RegistryKey settings(registry_, SettingsKeyPath(state_));
  RemoteIP = AddressOrDefault(settings.ReadString("RemoteIP"));
  RServerIP = AddressOrDefault(settings.ReadString("RServerIP"));
  TopMost = settings.ReadInteger("TopMost").value_or(0) != 0 ? 1 : 0;
  RadioCom = std::max(settings.ReadInteger("RadioCom").value_or(1), 1);
  state_.ControlledCom = std::max(settings.ReadInteger("ControlledCom").value_or(1), 1);
  state_.IdControlByRadio = settings.ReadInteger("IdControlByRadio").value_or(0) != 0 ? 1 : 0;
  EditRadioCom->setText(QString::number(RadioCom));
  EditControlledCom->setText(QString::number(state_.ControlledCom));
  ShowControlledComCaption();
  // The controlled COM port is opened only for the COM link. The TCP link
  // is put in use just below, so a serial device of the machine (which may
  // serve something else) is never taken and reconfigured for nothing.
  if (mainForm_.menuEnableRemote->isChecked() && state_.IdControlByRadio != 0) {
    mainForm_.OpenRemoteCom();
    // With the TCP link the entry stands for the listener, which the
    // deferred start-up opens whatever the COM port did.
    mainForm_.menuEnableRemote->setChecked(true);
  }

  // The TCP link is the one in use: the radio link is switched off and its
  // switch hidden, the stay-on-top box taking its place.
  state_.IdControlByRadio = 0;
  CheckBoxRadioControl->setChecked(false);
  CheckBoxRadioControl->hide();
  CheckBox1->move(CheckBox1->x(), CheckBox1->y() + CheckBox1->height() / 2);
  CheckBoxRadioControlClick();

  Edit_RemoteIP->setText(Q(RemoteIP));
  CheckBox1->setChecked(TopMost != 0);
  CheckBox1Click();
  Label_RadioCom->move(Label_RadioCom->x(), Label_RemoteIP->y());
  Label_ControlledCom->move(Label_ControlledCom->x(), Label_RemoteIP->y());
  EditRadioCom->move(EditRadioCom->x(), Edit_RemoteIP->y());
  EditControlledCom->move(EditControlledCom->x(), Edit_RemoteIP->y());
  ShowStatus("准备就绪!");
  ButtonStartQuelvar->setText(Q("遥启/停" + state_.startup.WindowWord));
}

void TFormRemoteControl::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  platform::RegistryKey settings(registry_, SettingsKeyPath(state_));
  settings.WriteString("RemoteIP", RemoteIP);
  settings.WriteString("RServerIP", RServerIP);
  settings.WriteInteger("TopMost", TopMost);
  settings.WriteInteger("RadioCom", RadioCom);
  settings.WriteInteger("ControlledCom", state_.ControlledCom);
  settings.WriteInteger("IdControlByRadio", state_.IdControlByRadio);
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  // The connection ends with the window, without a word.
  ClientSocket_Control->Close();
}

void TFormRemoteControl::Edit_RemoteIPExit() { RemoteIP = Edit_RemoteIP->text().toStdString(); }

void TFormRemoteControl::EditRadioComExit() {
  RadioCom = ComPortFromText(EditRadioCom->text().toStdString(), RadioCom);
  EditRadioCom->setText(QString::number(RadioCom));
}

void TFormRemoteControl::EditControlledComExit() {
  int32_t& com = state_.ControlledCom;
  com = ComPortFromText(EditControlledCom->text().toStdString(), com);
  EditControlledCom->setText(QString::number(com));
  ShowControlledComCaption();
  if (mainForm_.menuEnableRemote->isChecked() && state_.IdControlByRadio != 0) mainForm_.OpenRemoteCom();
}

void TFormRemoteControl::ShowControlledComCaption() {
  mainForm_.menuControlledCom->setText(Q("接收遥控通过COM" + std::to_string(state_.ControlledCom)));
}

void TFormRemoteControl::CheckBox1Click() {
  const bool onTop = CheckBox1->isChecked();
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) show();  // changing the flags hides a window
  TopMost = onTop ? 1 : 0;
}

void TFormRemoteControl::CheckBoxRadioControlClick() {
  state_.IdControlByRadio = CheckBoxRadioControl->isChecked() ? 1 : 0;
  const bool radio = state_.IdControlByRadio != 0;
  Label_RemoteIP->setVisible(!radio);
  Edit_RemoteIP->setVisible(!radio);
  for (QWidget* w :
       std::initializer_list<QWidget*>{Label_RadioCom, EditRadioCom, Label_ControlledCom, EditControlledCom}) {
    w->setVisible(radio);
  }
  mainForm_.menuControlledCom->setVisible(radio);
}

void TFormRemoteControl::ButtonConnectClick() {
  if (console_.ConsoleConnected() == 1) {
    console_.Disconnect();
    return;
  }
  if (state_.IdControlByRadio != 0) {
    // The console's side of the radio link is not wired (the link cannot be
    // chosen), so its port is never opened.
    ShowStatus("打开电台所用COM口失败!");
    return;
  }
  if (!ClientSocket_Control->Open(RemoteIP)) {
    ShowStatus("对方IP地址无效!");
    return;
  }
  console_.LinkOpening();
}

// The commands travel on the TCP link, the only one wired.
void TFormRemoteControl::ButtonSendConfigClick() { console_.SendConfig(); }
void TFormRemoteControl::ButtonGetConfigClick() { console_.GetConfig(); }
void TFormRemoteControl::ButtonStartQuelvarClick() { console_.ToggleRecording(); }
void TFormRemoteControl::ButtonStartOscilClick() { console_.ToggleOscilloscope(); }
void TFormRemoteControl::ButtonQueryClick() { console_.QueryStatus(); }
void TFormRemoteControl::ButtonSetAsAloneClick() { console_.SetAsAlone(); }
void TFormRemoteControl::ButtonSetAsServerClick() { console_.SetAsServer(); }

void TFormRemoteControl::ButtonSetAsClientClick() {
  if (console_.RefusedWhileBusy()) return;
  // A cancelled input box answers with its default.
  RServerIP = ui_.InputBox("请输入参数", "现场采集站IP地址:  ", RServerIP).value_or(RServerIP);
  console_.SetAsClient(RServerIP);
}

void TFormRemoteControl::ClientSocket_ControlConnect() { console_.LinkConnected(); }

void TFormRemoteControl::ClientSocket_ControlDisconnect() { console_.LinkClosed(); }

void TFormRemoteControl::ClientSocket_ControlError() {
  console_.LinkFailed();
  // The socket's error goes to the application's error message box once its
  // own handler has returned (a modal box inside it would let the socket's
  // later signals in underneath).
  const std::string text = ClientSocket_Control->ErrorText();
  QMetaObject::invokeMethod(
      this,
      [this, text] {
        ui_.MessageBox(text, QCoreApplication::applicationName().toStdString(), platform::MsgButtons::Ok,
                       platform::MsgIcon::Error);
      },
      Qt::QueuedConnection);
}

void TFormRemoteControl::PollRadio() {
  // The console's side of the radio link is not wired: its port is never
  // open, so there is nothing to poll. The periodic state request, the stale
  // flush and the reading of reply frames come with it.
}

std::string TFormRemoteControl::StatusText() const { return statusPanel_->text().toStdString(); }

void TFormRemoteControl::ShowStatus(const std::string& text) { statusPanel_->setText(Q(text)); }

void TFormRemoteControl::ShowConnected(bool connected) {
  ButtonConnect->setText(connected ? QStringLiteral("中止与对方连接") : QStringLiteral("与对方建立连接"));
  for (QPushButton* b : {ButtonSendConfig, ButtonGetConfig, ButtonStartQuelvar, ButtonStartOscil, ButtonQuery,
                         ButtonSetAsAlone, ButtonSetAsServer, ButtonSetAsClient}) {
    b->setEnabled(connected);
  }
  CheckBoxRadioControl->setEnabled(!connected);
}

void TFormRemoteControl::SetQueryHint(const std::string& text) { ButtonQuery->setToolTip(Q(text)); }

void TFormRemoteControl::SetStartHints(const std::string& text) {
  ButtonStartQuelvar->setToolTip(Q(text));
  ButtonStartOscil->setToolTip(Q(text));
}

void TFormRemoteControl::Send(const uint8_t* data, size_t size) { ClientSocket_Control->Send(data, size); }

void TFormRemoteControl::CloseLink() { ClientSocket_Control->Close(); }

void TFormRemoteControl::ConfigurationChanged() {
  mainForm_.RefreshConfigMenus();
  // The data on display were laid out for the configuration replaced.
  mainForm_.DropShownData();
}

}  // namespace quelvar
