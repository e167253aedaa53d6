#pragma once

#include <optional>
#include <string>

#include <QDialog>
#include <QPointer>

#include "acquisition/FormExpText.h"
#include "acquisition/ManualSave.h"
#include "common/AppState.h"
#include "platform/UiHost.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The dialog of a manual save: the record file's name and its comment. The
// comment last entered (or left) is offered again, also at the next start.
class TFormFileInfo : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormFileInfo(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormFileInfo() override;

  QLabel* LabelPath = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* EditFileName = nullptr;
  QLabel* Label2 = nullptr;
  QPlainTextEdit* MemoUserInfo = nullptr;
  QPushButton* ButtonOK = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QPushButton* ButtonDefaultInfo = nullptr;
  QPushButton* ButtonExpInfo = nullptr;

  void FormCreate();
  void FormShow();
  void ButtonOKClick() { done(platform::kModalOk); }
  void ButtonCancelClick() { done(platform::kModalCancel); }
  void ButtonDefaultInfoClick();
  void ButtonExpInfoClick();
  void FormResize();
  void FormDestroy();

  // The experiment-conditions window whose text "试验信息" copies; without
  // one (or once it is gone) the text in force is copied.
  void SetExpTextWindow(const TFormExpText* window) { expTextWindow_ = window; }

  // MemoUserInfo's text with CR LF line ends.
  std::string UserInfo() const;

  // Proposes `proposedName`, shows the dialog modally through `ui` and returns
  // the name and comment when it closes with OK, nothing otherwise.
  std::optional<FileInfoChoice> AskFileInfo(platform::UiHost& ui, const std::string& proposedName);

  // A window closed by its close box or Escape ends as cancelled.
  int RunModal() override;
  std::string DialogName() const override { return "FormFileInfo"; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  QPointer<const TFormExpText> expTextWindow_;
  bool destroyed_ = false;
};

}  // namespace quelvar
