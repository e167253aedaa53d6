#include "net/FormClient.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormClient";
constexpr int kDesignedLeft = 300, kDesignedTop = 220, kDesignedWidth = 320, kDesignedHeight = 110;

}  // namespace

TFormClient::TFormClient(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormClient");
  setWindowTitle(QStringLiteral("连接到远程采集站"));
  Label1 = new QLabel(QStringLiteral("远程采集站地址:"), this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(12, 16, 110, 20);
  Edit_Server = new QLineEdit(this);
  Edit_Server->setObjectName("Edit_Server");
  Edit_Server->setGeometry(124, 14, 180, 22);
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setGeometry(70, 60, 75, 25);
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonCancel->setGeometry(170, 60, 75, 25);
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormClient::~TFormClient() { FormDestroy(); }

void TFormClient::FormCreate() { RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix); }

void TFormClient::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormClient::ButtonOKClick() {
  state_.config.ServerIP = Edit_Server->text().toStdString();
  accept();
}

}  // namespace quelvar
