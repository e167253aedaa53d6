#include "setup/FormPID.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

constexpr const char* kGeometryPrefix = "FormPID";

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

TFormPID::TFormPID(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormPID");
  setWindowTitle(QStringLiteral("PID参数设置窗口"));
  auto* form = new QFormLayout;
  auto edit = [this, form](QLineEdit*& field, const char* name, const QString& label) {
    field = new QLineEdit(this);
    field->setObjectName(name);
    form->addRow(label, field);
  };
  edit(Edit_PIDMode, "Edit_PIDMode", QStringLiteral("PID控制方式(0/1)"));
  Edit_PIDMode->setToolTip(QStringLiteral("1=增量式"));
  edit(Edit_IOBaseDA, "Edit_IOBaseDA", QStringLiteral("DA板基地址(Hex)"));
  edit(Edit_DABit, "Edit_DABit", QStringLiteral("DA芯片的位数"));
  edit(Edit_DANumChn, "Edit_DANumChn", QStringLiteral("DA通道数"));
  edit(Edit_ADiChn, "Edit_ADiChn", QStringLiteral("被控量在AD通道"));
  edit(Edit_DAiChn, "Edit_DAiChn", QStringLiteral("控制量是DA通道"));
  edit(Edit_SV, "Edit_SV", QStringLiteral("被控量定值SV (V)"));
  edit(Edit_M, "Edit_M", QStringLiteral("控制量初值M (V)"));
  edit(Edit_Kp, "Edit_Kp", QStringLiteral("PID比例系数Kp"));
  edit(Edit_Ti, "Edit_Ti", QStringLiteral("积分时间常数Ti (ms)"));
  edit(Edit_Td, "Edit_Td", QStringLiteral("微分时间常数Td (ms)"));
  edit(Edit_T, "Edit_T", QStringLiteral("采样间隔T (ms)"));
  Edit_T->setEnabled(false);
  CheckBoxDAEnable = new QCheckBox(QStringLiteral("DA真正输出"), this);
  CheckBoxDAEnable->setObjectName("CheckBoxDAEnable");
  CheckBoxPID = new QCheckBox(QStringLiteral("PID控制器使能"), this);
  CheckBoxPID->setObjectName("CheckBoxPID");
  form->addRow(QString(), CheckBoxDAEnable);
  form->addRow(QString(), CheckBoxPID);

  ButtonOK = new QPushButton(QStringLiteral("确认"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

TFormPID::~TFormPID() { FormDestroy(); }

void TFormPID::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormPID::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormActivate();
  QDialog::showEvent(event);
}

void TFormPID::FormActivate() { ButtonOK->setEnabled(state_.startup.ConfigUnlocked != 0); }

void TFormPID::ButtonOKClick() {
  // A locked configuration leaves Cancel as the only way out.
  if (state_.startup.ConfigUnlocked == 0) return;
  ApplyPidEdits(Edits(), state_.config);
  accept();
}

void TFormPID::SetEdits(const PidEdits& e) {
  Edit_PIDMode->setText(Q(e.PIDMode));
  Edit_IOBaseDA->setText(Q(e.IOBaseDA));
  Edit_DABit->setText(Q(e.DABit));
  Edit_DANumChn->setText(Q(e.DANumChn));
  Edit_ADiChn->setText(Q(e.ADiChn));
  Edit_DAiChn->setText(Q(e.DAiChn));
  Edit_SV->setText(Q(e.SV));
  Edit_M->setText(Q(e.M));
  Edit_Kp->setText(Q(e.Kp));
  Edit_Ti->setText(Q(e.Ti));
  Edit_Td->setText(Q(e.Td));
  Edit_T->setText(Q(e.T));
  CheckBoxDAEnable->setChecked(e.DAEnable);
  CheckBoxPID->setChecked(e.PIDEnable);
}

PidEdits TFormPID::Edits() const {
  PidEdits e;
  e.PIDMode = S(Edit_PIDMode);
  e.IOBaseDA = S(Edit_IOBaseDA);
  e.DABit = S(Edit_DABit);
  e.DANumChn = S(Edit_DANumChn);
  e.ADiChn = S(Edit_ADiChn);
  e.DAiChn = S(Edit_DAiChn);
  e.SV = S(Edit_SV);
  e.M = S(Edit_M);
  e.Kp = S(Edit_Kp);
  e.Ti = S(Edit_Ti);
  e.Td = S(Edit_Td);
  e.T = S(Edit_T);
  e.DAEnable = CheckBoxDAEnable->isChecked();
  e.PIDEnable = CheckBoxPID->isChecked();
  return e;
}

}  // namespace quelvar
