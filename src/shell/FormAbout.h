#pragma once

#include <QDialog>

#include "common/AppState.h"

class QLabel;
class QPushButton;
class QTimer;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The about box; created at start-up it shows itself as a splash over the
// starting program and hides itself about eight seconds after each
// activation.
class TFormAbout : public QDialog {
  Q_OBJECT
 public:
  TFormAbout(AppState& state, platform::RegistryStore& registry, QWidget* parent = nullptr);
  ~TFormAbout() override;

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* Button1 = nullptr;
  QTimer* Timer1 = nullptr;  // 2000 ms

  void FormCreate();
  void FormActivate();
  void Timer1Timer();
  void Button1Click();
  void FormDestroy();
  // The menu command: shown again, and the eight seconds start anew.
  void ShowFromMenu();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  AppState& state_;
  platform::RegistryStore& registry_;
  bool destroyed_ = false;
};

}  // namespace quelvar
