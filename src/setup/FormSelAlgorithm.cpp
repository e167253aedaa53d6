#include "setup/FormSelAlgorithm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "setup/AlgorithmPicker.h"

namespace quelvar {

namespace {

// The list keeps this far from the window's right edge as the window grows.
constexpr int kListRightMargin = 22;
constexpr int kMinClientSize = 150;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TFormSelAlgorithm::TFormSelAlgorithm(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("FormSelAlgorithm");
  setWindowTitle(QStringLiteral("选择启动/触发算法号"));
  auto* label = new QLabel(QStringLiteral("选择算法号："), this);
  label->setObjectName("Label1");
  ComboBoxAlgorithmList = new QComboBox(this);
  ComboBoxAlgorithmList->setObjectName("ComboBoxAlgorithmList");
  LabelChnNum = new QLabel(this);
  LabelChnNum->setObjectName("LabelChnNum");
  LabelAss = new QLabel(this);
  LabelAss->setObjectName("LabelAss");
  ButtonOK = new QPushButton(QStringLiteral("确认"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  EditAlgorithmNo = new QLineEdit(QStringLiteral("0"), this);
  EditAlgorithmNo->setObjectName("EditAlgorithmNo");
  EditAlgorithmNo->setVisible(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButtonOK);
  buttons->addWidget(ButtonCancel);
  auto* layout = new QVBoxLayout(this);
  QMargins margins = layout->contentsMargins();
  margins.setRight(kListRightMargin);
  layout->setContentsMargins(margins);
  layout->addWidget(label);
  layout->addWidget(ComboBoxAlgorithmList);
  layout->addWidget(LabelChnNum);
  layout->addWidget(LabelAss);
  layout->addStretch();
  layout->addLayout(buttons);
  setMinimumSize(kMinClientSize, kMinClientSize);

  connect(ComboBoxAlgorithmList, &QComboBox::activated, this, [this] { ComboBoxAlgorithmListChange(); });
  connect(EditAlgorithmNo, &QLineEdit::textChanged, this, [this] { EditAlgorithmNoChange(); });
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  resize(320, 170);
}

int TFormSelAlgorithm::RunModal() { return exec() == platform::kModalOk ? platform::kModalOk : platform::kModalCancel; }

void TFormSelAlgorithm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TFormSelAlgorithm::SelectEntry(int index) {
  ComboBoxAlgorithmList->setCurrentIndex(index >= 0 && index < ComboBoxAlgorithmList->count() ? index : -1);
}

void TFormSelAlgorithm::FormActivate() {
  const LiveConfig& c = state_.config;
  ComboBoxAlgorithmList->clear();
  const int32_t count = std::clamp(c.Algorithm_Num, 0, kMaxAlgorithms);
  for (int32_t k = 0; k < count; ++k) ComboBoxAlgorithmList->addItem(Q(AlgorithmPickerEntry(c, k)));
  // A number beyond the list selects nothing; the notes then fall back to 0.
  SelectEntry(PickerEditNumber(EditAlgorithmNo->text().toStdString()));
  ComboBoxAlgorithmListChange();
}

void TFormSelAlgorithm::ComboBoxAlgorithmListChange() {
  const int32_t n = std::max(ComboBoxAlgorithmList->currentIndex(), 0);
  following_ = true;
  EditAlgorithmNo->setText(QString::number(n));
  following_ = false;
  LabelChnNum->setText(Q(AlgorithmChannelNote(state_.config, n)));
  LabelAss->setText(Q(AlgorithmAssociationNote(state_.config, n)));
}

void TFormSelAlgorithm::EditAlgorithmNoChange() {
  if (following_) return;
  // The limited number itself, not the list's selection, goes back into the
  // edit: before the first activation the list is still empty, and a caller
  // passing its number in must not lose it there.
  const int32_t n = PickerLimitedNumber(EditAlgorithmNo->text().toStdString(), state_.config.Algorithm_Num);
  SelectEntry(n);
  following_ = true;
  EditAlgorithmNo->setText(QString::number(n));
  following_ = false;
  LabelChnNum->setText(Q(AlgorithmChannelNote(state_.config, n)));
  LabelAss->setText(Q(AlgorithmAssociationNote(state_.config, n)));
}

}  // namespace quelvar
