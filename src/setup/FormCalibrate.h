#pragma once

#include <QDialog>

#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"
#include "setup/CalibrationSession.h"

class QLabel;
class QPushButton;
class QTimer;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class StringGrid;

// The channel calibration dialog: samples a lower and an upper signal from
// the card in snapshot mode, fits each channel's coefficients and stores
// them into the live channel table. Made once at start-up; its sampling and
// row order live as long as the window. Modal while the recorder is idle;
// while it runs, shown on top without sampling.
class TFormCalibrate : public QDialog, public platform::ModalDialog {
  Q_OBJECT
 public:
  TFormCalibrate(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, QWidget* parent = nullptr);
  ~TFormCalibrate() override;

  QLabel* Label1 = nullptr;
  StringGrid* GridCalibrate = nullptr;
  QPushButton* ButtonTest1 = nullptr;
  QPushButton* ButtonTest2 = nullptr;
  QPushButton* ButtonCalculate = nullptr;
  QPushButton* ButtonCoeff = nullptr;
  QPushButton* ButtonCalibrate = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QTimer* Timer1 = nullptr;

  CalibrationState& Calibration() { return cal_; }

  // The opener's part: sampling buttons and grid filled for the state now.
  void FillForOpening();
  // Shown without blocking, above the main window (while acquiring).
  void ShowOnTop();

  void FormCreate();
  void FormDestroy();
  void FormShow();
  void ButtonTest1Click() { SamplingButton(kCalibrateLower); }
  void ButtonTest2Click() { SamplingButton(kCalibrateUpper); }
  void Timer1Timer();
  void ButtonCalculateClick();
  void ButtonCoeffClick();
  void ButtonCalibrateClick();
  void ButtonCancelClick();
  void GridCalibrateDblClick();
  void GridCalibrateRowMoved(int from, int to);

  int RunModal() override;
  std::string DialogName() const override { return "FormCalibrate"; }
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SamplingButton(int32_t signal);
  // Timer and captions after the state changed.
  void ShowSamplingState();
  void StopSampling();

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  CalibrationState cal_;
  bool modal_ = false;
  bool destroyed_ = false;
};

}  // namespace quelvar
