#pragma once

#include <QWidget>

#include "common/AppState.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The experiment-conditions window: its text heads the description of every
// automatically started record.
class TFormExpText : public QWidget {
  Q_OBJECT
 public:
  TFormExpText(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormExpText() override;

  QPlainTextEdit* MemoExpText = nullptr;
  QPushButton* ButtonHide = nullptr;
  QCheckBox* CheckBoxTopMost = nullptr;

  void FormCreate();
  void MemoExpTextChange();
  void ButtonHideClick() { hide(); }
  void CheckBoxTopMostClick();
  void FormDestroy();

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
