#include "setup/FormAnalSpeedConf.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

TFormAnalSpeedConf::TFormAnalSpeedConf(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormAnalSpeedConf");
  setWindowTitle(QStringLiteral("模拟量转速通道属性配置"));
  auto edit = [this](QLineEdit*& field, const char* name) {
    field = new QLineEdit(this);
    field->setObjectName(name);
  };
  edit(EditNumS, "EditNumS");
  edit(EditNumP, "EditNumP");
  edit(EditUnits, "EditUnits");
  edit(EditScale, "EditScale");
  edit(EditThresholdV, "EditThresholdV");
  LabelVolt = new QLabel(QStringLiteral("等价电压:-1.0V"), this);
  LabelVolt->setObjectName("LabelVolt");
  ButtonOK = new QPushButton(QStringLiteral("确认"), this);
  ButtonOK->setObjectName("ButtonOK");

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("计数通道测转速需要的采样点数"), EditNumS);
  form->addRow(QStringLiteral("模拟量通道测转速所需周期数"), EditNumP);
  form->addRow(QStringLiteral("转速的量纲名称"), EditUnits);
  form->addRow(QStringLiteral("测得频率到实际转速的变换系数"), EditScale);
  form->addRow(QStringLiteral("脉冲模拟量的中间电平(AD值)"), EditThresholdV);
  form->addRow(QString(), LabelVolt);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(EditThresholdV, &QLineEdit::textChanged, this, [this] { EditThresholdVChange(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormAnalSpeedConf");
}

TFormAnalSpeedConf::~TFormAnalSpeedConf() { FormDestroy(); }

void TFormAnalSpeedConf::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormAnalSpeedConf");
}

int TFormAnalSpeedConf::RunModal() {
  return exec() == platform::kModalOk ? platform::kModalOk : platform::kModalCancel;
}

void TFormAnalSpeedConf::EditThresholdVChange() {
  LabelVolt->setText(Q(ThresholdVoltText(S(EditThresholdV), state_.config.VZero, state_.config.ADMax)));
}

void TFormAnalSpeedConf::SetEdits(const AnalogSpeedEdits& edits) {
  EditNumP->setText(Q(edits.NumP));
  EditNumS->setText(Q(edits.NumS));
  EditThresholdV->setText(Q(edits.ThresholdV));
  EditScale->setText(Q(edits.Scale));
  EditUnits->setText(Q(edits.Units));
}

AnalogSpeedEdits TFormAnalSpeedConf::Edits() const {
  return {S(EditNumP), S(EditNumS), S(EditThresholdV), S(EditScale), S(EditUnits)};
}

}  // namespace quelvar
