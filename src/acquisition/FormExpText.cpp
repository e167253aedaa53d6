#include "acquisition/FormExpText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/TextUtil.h"
#include "platform/RegistryKey.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {
const char* const kDefaultExpText = "缺省试验条件";
}

TFormExpText::TFormExpText(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), registry_(registry) {
  setObjectName("FormExpText");
  setWindowTitle(QStringLiteral("试验条件输入"));
  MemoExpText = new QPlainTextEdit(this);
  MemoExpText->setObjectName("MemoExpText");
  ButtonHide = new QPushButton(QStringLiteral("隐藏窗口"), this);
  ButtonHide->setObjectName("ButtonHide");
  CheckBoxTopMost = new QCheckBox(QStringLiteral("顶层窗口"), this);
  CheckBoxTopMost->setObjectName("CheckBoxTopMost");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ButtonHide);
  buttons->addWidget(CheckBoxTopMost);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MemoExpText);
  layout->addLayout(buttons);
  FormCreate();
  connect(MemoExpText, &QPlainTextEdit::textChanged, this, [this] { MemoExpTextChange(); });
  connect(ButtonHide, &QPushButton::clicked, this, [this] { ButtonHideClick(); });
  connect(CheckBoxTopMost, &QCheckBox::clicked, this, [this] { CheckBoxTopMostClick(); });
}

TFormExpText::~TFormExpText() { FormDestroy(); }

void TFormExpText::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormExpText");
  platform::RegistryKey key(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  std::string text = key.ReadString("ExpText").value_or("");
  if (text.empty()) text = kDefaultExpText;
  state_.ExpText = text;
  MemoExpText->setPlainText(QString::fromStdString(text));
}

// Records and the stored text keep CR LF line ends.
void TFormExpText::MemoExpTextChange() { state_.ExpText = WithCrLf(MemoExpText->toPlainText().toStdString()); }

void TFormExpText::CheckBoxTopMostClick() {
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, CheckBoxTopMost->isChecked());
  if (shown) show();  // changing the flags hides a window
}

void TFormExpText::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, "FormExpText");
  platform::RegistryKey key(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  key.WriteString("ExpText", state_.ExpText);
}

}  // namespace quelvar
