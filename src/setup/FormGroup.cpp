#include "setup/FormGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

#include "acquisition/ChannelLayout.h"
#include "platform/qt/QtText.h"
#include "setup/ChannelGroupSettings.h"
#include "setup/DialogNumbers.h"
#include "setup/FormBin.h"
#include "setup/FormChannel.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormGroup";
constexpr int kDesignedLeft = 260, kDesignedTop = 160, kDesignedWidth = 320, kDesignedHeight = 300;

QLineEdit* AddEdit(QFormLayout* form, QWidget* parent, const char* name, const char* label) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  form->addRow(QString::fromUtf8(label), edit);
  return edit;
}

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

std::string Text(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

void Report(platform::UiHost& ui, const ChannelGroupRefusal& refusal) {
  // The answer does not matter: the dialog stays open for a correction.
  ui.MessageBox(refusal.text, refusal.caption, refusal.buttons);
}

}  // namespace

TFormGroup::TFormGroup(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry), ui_(ui) {
  setObjectName("FormGroup");
  setWindowTitle(QStringLiteral("通道组设置"));
  auto* form = new QFormLayout;
  Edit_TotalPages = AddEdit(form, this, "Edit_TotalPages", "图形分页数");
  Edit_Group = AddEdit(form, this, "Edit_Group", "模拟通道组");
  Edit_Analog = AddEdit(form, this, "Edit_Analog", "模拟通道数");
  Edit_Binary = AddEdit(form, this, "Edit_Binary", "开关量个数");
  Edit_ACFrq = AddEdit(form, this, "Edit_ACFrq", "交流频率Hz");
  EditEnvTemp = AddEdit(form, this, "EditEnvTemp", "环境温度(℃)");
  Edit_SampPerPeriod = AddEdit(form, this, "Edit_SampPerPeriod", "周波采样数");
  Edit_SampPerPeriod->setEnabled(false);
  ButtonBinary = AddButton(this, "ButtonBinary", "开关量设置");
  ButtonAnalog = AddButton(this, "ButtonAnalog", "模拟量设置");
  ButtonOK = AddButton(this, "ButtonOK", "确定");
  ButtonCancel = AddButton(this, "ButtonCancel", "取消");
  auto* subDialogs = new QHBoxLayout;
  subDialogs->addWidget(ButtonBinary);
  subDialogs->addWidget(ButtonAnalog);
  form->addRow(subDialogs);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  form->addRow(buttons);
  setLayout(form);
  connect(Edit_ACFrq, &QLineEdit::textChanged, this, [this] { Edit_ACFrqChange(); });
  connect(EditEnvTemp, &QLineEdit::textChanged, this, [this] { EditEnvTempChange(); });
  connect(ButtonBinary, &QPushButton::clicked, this, [this] { ButtonBinaryClick(); });
  connect(ButtonAnalog, &QPushButton::clicked, this, [this] { ButtonAnalogClick(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });

  formBin_ = new TFormBin(state_, registry_, this);
  formChannel_ = new TFormChannel(state_, registry_, ui_, this);

  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormGroup::~TFormGroup() { FormDestroy(); }

void TFormGroup::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  Edit_Group->setEnabled(false);
}

void TFormGroup::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
}

void TFormGroup::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormActivate();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormGroup::FormActivate() {
  // A locked configuration shows the layout but lets nothing change it; the
  // edits come back when it is unlocked again.
  const bool unlocked = state_.startup.ConfigUnlocked != 0;
  if (!unlocked) ButtonOK->setEnabled(false);
  Edit_Group->setEnabled(false);
  for (QLineEdit* edit : {Edit_Analog, Edit_Binary, Edit_ACFrq}) edit->setEnabled(unlocked);
  MultiFreqMode = MultiFreqModeOf(state_.configInForce.TempConfigActive, state_.driver.Entries.SetMultiFreq != nullptr,
                                  state_.config.MaxMultiFreq);
}

void TFormGroup::Edit_ACFrqChange() {
  Edit_SampPerPeriod->setText(QString::number(SampPerPeriodFromText(state_.config.ChannelRate, Text(Edit_ACFrq))));
}

void TFormGroup::EditEnvTempChange() { EditEnvTemp->setToolTip(Q(EnvTempHint(Text(EditEnvTemp), state_.config))); }

void TFormGroup::KeepOpeningTexts() {
  openingACFrq_ = Edit_ACFrq->text();
  openingEnvTemp_ = EditEnvTemp->text();
}

std::optional<int32_t> TFormGroup::ReadPageCount() {
  const std::optional<int32_t> pages = TotalPagesFromText(Text(Edit_TotalPages));
  if (!pages) Report(ui_, NotAnIntegerRefusal(kTotalPagesLabel, Text(Edit_TotalPages)));
  return pages;
}

void TFormGroup::ButtonBinaryClick() {
  const std::optional<int32_t> pages = ReadPageCount();
  if (!pages) return;
  const std::optional<int32_t> n = ParseDialogInteger(Text(Edit_Binary));
  if (!n) {
    Report(ui_, NotAnIntegerRefusal(kSwitchCountLabel, Text(Edit_Binary)));
    return;
  }
  if (*n <= 0) return;
  formBin_->FillFromTable(std::min<int32_t>(*n, kMaxSwitchInputs), *pages);
  ui_.ShowModal(*formBin_);
}

void TFormGroup::ButtonAnalogClick() {
  const std::optional<int32_t> pages = ReadPageCount();
  if (!pages) return;
  const std::optional<int32_t> a = ParseDialogInteger(Text(Edit_Analog));
  if (!a) {
    Report(ui_, NotAnIntegerRefusal(kAnalogCountLabel, Text(Edit_Analog)));
    return;
  }
  Edit_Group->setText(QString::number(*a));
  formChannel_->MultiFreqMode = MultiFreqMode;
  formChannel_->FillFromTables(std::clamp<int32_t>(*a, 0, kMaxAnalogChannels), *pages);
  ui_.ShowModal(*formChannel_);
}

void TFormGroup::ButtonOKClick() {
  const auto changedText = [](const QLineEdit* edit, const QString& opening) -> std::optional<std::string> {
    if (edit->text() == opening) return std::nullopt;
    return Text(edit);
  };
  const ChannelGroupFields fields{Text(Edit_TotalPages), Text(Edit_Analog), Text(Edit_Binary),
                                  changedText(Edit_ACFrq, openingACFrq_), changedText(EditEnvTemp, openingEnvTemp_)};
  const ChannelGroupRefusal refusal = ApplyChannelGroupFields(fields, state_.driver, state_.config);
  if (refusal.refused()) {
    Report(ui_, refusal);
    return;
  }
  ComputeRateLayout(state_.config, state_.layout);
  accept();
}

}  // namespace quelvar
