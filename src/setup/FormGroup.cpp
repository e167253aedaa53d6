#include "setup/FormGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "acquisition/ChannelLayout.h"
#include "setup/ChannelGroupSettings.h"

namespace quelvar {

namespace {

QLineEdit* AddEdit(QFormLayout* form, QWidget* parent, const char* name, const char* label) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  form->addRow(QString::fromUtf8(label), edit);
  return edit;
}

std::string Text(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

}  // namespace

TFormGroup::TFormGroup(AppState& state, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui) {
  setObjectName("FormGroup");
  setWindowTitle(QStringLiteral("通道组设置"));
  auto* form = new QFormLayout;
  Edit_TotalPages = AddEdit(form, this, "Edit_TotalPages", "图形分页数");
  Edit_Group = AddEdit(form, this, "Edit_Group", "模拟通道组");
  Edit_Group->setEnabled(false);
  Edit_Analog = AddEdit(form, this, "Edit_Analog", "模拟通道数");
  Edit_Binary = AddEdit(form, this, "Edit_Binary", "开关量个数");
  Edit_ACFrq = AddEdit(form, this, "Edit_ACFrq", "交流频率Hz");
  EditEnvTemp = AddEdit(form, this, "EditEnvTemp", "环境温度(℃)");
  Edit_SampPerPeriod = AddEdit(form, this, "Edit_SampPerPeriod", "周波采样数");
  Edit_SampPerPeriod->setEnabled(false);
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  form->addRow(buttons);
  setLayout(form);
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
}

void TFormGroup::ButtonOKClick() {
  const ChannelGroupFields fields{Text(Edit_TotalPages), Text(Edit_Analog), Text(Edit_Binary), Text(Edit_ACFrq),
                                  Text(EditEnvTemp)};
  const ChannelGroupRefusal refusal = ApplyChannelGroupFields(fields, state_.driver, state_.config);
  if (refusal.refused()) {
    // The answer does not matter: the dialog stays open for a correction.
    ui_.MessageBox(refusal.text, refusal.caption, platform::MsgButtons::OkCancel);
    return;
  }
  ComputeRateLayout(state_.config, state_.layout);
  accept();
}

}  // namespace quelvar
