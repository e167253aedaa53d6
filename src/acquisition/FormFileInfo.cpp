#include "platform/qt/QtText.h"
#include "acquisition/FormFileInfo.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "acquisition/FormExpText.h"
#include "common/TextUtil.h"
#include "platform/RegistryKey.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"

namespace quelvar {

namespace {

const char* const kGeometryPrefix = "FormFileInfo";
const char* const kUserInfoValue = "InputUserInfo";
const char* const kFirstUserInfo = "用户保存当前波形!\r\n";
const char* const kDefaultUserInfo = "手动保存信息!\r\n";

// The designed window. The name field and the comment stretch to the right
// edge, the comment to the bottom; "缺省信息" keeps to the right edge.
constexpr int kDesignedLeft = 250, kDesignedTop = 200, kDesignedWidth = 400, kDesignedHeight = 300;
constexpr int kMinClient = 150;
constexpr int kMargin = 8, kRightMargin = 12, kBottomMargin = 13;
constexpr int kButtonWidth = 75, kButtonHeight = 25;
constexpr int kEditTop = 58, kEditHeight = 22, kMemoTop = 122;
constexpr int kFirstButtonLeft = 226, kSecondButtonLeft = 313;


}  // namespace

TFormFileInfo::TFormFileInfo(AppState& state, platform::RegistryStore& registry, QWidget* parent)
    : QDialog(parent), state_(state), registry_(registry) {
  setObjectName("FormFileInfo");
  setWindowTitle(QStringLiteral("保存采样结果"));
  LabelPath = new QLabel(this);
  LabelPath->setObjectName("LabelPath");
  LabelPath->move(kMargin, 8);
  Label1 = new QLabel(QStringLiteral("请选择文件名"), this);
  Label1->setObjectName("Label1");
  Label1->move(kMargin, 36);
  Label1->adjustSize();
  ButtonOK = new QPushButton(QStringLiteral("确定"), this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setGeometry(kFirstButtonLeft, 28, kButtonWidth, kButtonHeight);
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton(QStringLiteral("取消"), this);
  ButtonCancel->setObjectName("ButtonCancel");
  ButtonCancel->setGeometry(kSecondButtonLeft, 28, kButtonWidth, kButtonHeight);
  EditFileName = new QLineEdit(this);
  EditFileName->setObjectName("EditFileName");
  Label2 = new QLabel(QStringLiteral("请输入自定义标识信息："), this);
  Label2->setObjectName("Label2");
  Label2->move(kMargin, 98);
  Label2->adjustSize();
  ButtonExpInfo = new QPushButton(QStringLiteral("试验信息"), this);
  ButtonExpInfo->setObjectName("ButtonExpInfo");
  ButtonExpInfo->setGeometry(kFirstButtonLeft, 90, kButtonWidth, kButtonHeight);
  ButtonDefaultInfo = new QPushButton(QStringLiteral("缺省信息"), this);
  ButtonDefaultInfo->setObjectName("ButtonDefaultInfo");
  MemoUserInfo = new QPlainTextEdit(this);
  MemoUserInfo->setObjectName("MemoUserInfo");

  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
  connect(ButtonDefaultInfo, &QPushButton::clicked, this, [this] { ButtonDefaultInfoClick(); });
  connect(ButtonExpInfo, &QPushButton::clicked, this, [this] { ButtonExpInfoClick(); });

  // The window system stops a shrinking frame here rather than letting it
  // snap back.
  setMinimumSize(kMinClient, kMinClient);
  move(kDesignedLeft, kDesignedTop);
  resize(kDesignedWidth, kDesignedHeight);
  FormCreate();
}

TFormFileInfo::~TFormFileInfo() { FormDestroy(); }

void TFormFileInfo::FormCreate() {
  RestoreWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  FormResize();  // a window not yet shown gets its resize event only when shown

  platform::RegistryKey key(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  std::string text = key.ReadString(kUserInfoValue).value_or("");
  if (text.empty()) text = kFirstUserInfo;
  MemoUserInfo->setPlainText(Q(text));
}

void TFormFileInfo::FormShow() {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  LabelPath->setText(QStringLiteral("当前路径：") + (error ? QString() : Q(current.string())));
  LabelPath->adjustSize();
}

void TFormFileInfo::ButtonDefaultInfoClick() { MemoUserInfo->setPlainText(Q(kDefaultUserInfo)); }

void TFormFileInfo::ButtonExpInfoClick() {
  // The window's memo, not only its stored text: it is read also while hidden.
  MemoUserInfo->setPlainText(expTextWindow_ ? expTextWindow_->MemoExpText->toPlainText() : Q(state_.ExpText));
}

void TFormFileInfo::FormResize() {
  const int w = width(), h = height();
  EditFileName->setGeometry(kMargin, kEditTop, std::max(w - kRightMargin - kMargin, 0), kEditHeight);
  MemoUserInfo->setGeometry(kMargin, kMemoTop, std::max(w - kRightMargin - kMargin, 0),
                            std::max(h - kBottomMargin - kMemoTop, 0));
  ButtonDefaultInfo->setGeometry(w - kRightMargin - kButtonWidth, 90, kButtonWidth, kButtonHeight);
}

void TFormFileInfo::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  SaveWindowPlace(*this, registry_, state_.startup.AppKeyName, kGeometryPrefix);
  platform::RegistryKey key(registry_, FormSizeKeyPath(state_.startup.AppKeyName));
  key.WriteString(kUserInfoValue, UserInfo());
}

std::string TFormFileInfo::UserInfo() const {
  return WithCrLf(MemoUserInfo->toPlainText().toStdString());
}

std::optional<FileInfoChoice> TFormFileInfo::AskFileInfo(platform::UiHost& ui, const std::string& proposedName) {
  EditFileName->setText(Q(proposedName));
  if (ui.ShowModal(*this) != platform::kModalOk) return std::nullopt;
  return FileInfoChoice{EditFileName->text().toStdString(), UserInfo()};
}

int TFormFileInfo::RunModal() {
  const int result = exec();
  return result == platform::kModalNone ? platform::kModalCancel : result;
}

void TFormFileInfo::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) FormShow();  // not again when restored from the task bar
  QDialog::showEvent(event);
}

void TFormFileInfo::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FormResize();
}

}  // namespace quelvar
