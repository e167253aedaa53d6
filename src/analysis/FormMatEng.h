#pragma once

#include <QWidget>

#include <functional>

#include "analysis/EngineAnalysis.h"
#include "common/AppState.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

class TFormMain;
class TFormSpectrum;

// An edit's up-down arrows: each click steps Position by one within Min ..
// Max, wrapping, and reports the new position.
class EditUpDown : public QWidget {
 public:
  EditUpDown(int32_t min, int32_t max, QWidget* parent);
  int32_t Position = 0;
  int32_t Min;
  int32_t Max;
  QToolButton* Up = nullptr;
  QToolButton* Down = nullptr;
  std::function<void(int32_t)> onChange;
  void Click(bool up);
};

// The engine analysis panel: starts and closes the numeric engine, sends the
// shown range to it and runs the seven analyses (EngineAnalysis); the engine
// draws the result itself, or with "独立图形" the result goes to the
// analysis-result window. Every call blocks the GUI thread until the engine
// library answers or its time-out ends.
class TFormMatEng : public QWidget {
 public:
  TFormMatEng(AppState& state, platform::RegistryStore& registry, TFormMain& main, QWidget* parent = nullptr);
  ~TFormMatEng() override;

  // The flags and the bound entry points (tests put their own here).
  EngineSession Session;

  QPushButton* ButtonStart = nullptr;
  QPushButton* ButtonSend = nullptr;
  QPushButton* ButtonExit = nullptr;
  QCheckBox* CheckBoxOrigAD = nullptr;
  QCheckBox* CheckBoxDirectDisp = nullptr;
  QPushButton* ButtonDispSpect = nullptr;
  QLabel* LabelChn1 = nullptr;
  QLineEdit* EditChn1 = nullptr;
  EditUpDown* UpDownChn1 = nullptr;
  QLabel* LabelChn2 = nullptr;
  QLineEdit* EditChn2 = nullptr;
  EditUpDown* UpDownChn2 = nullptr;
  QLabel* LabelFFT = nullptr;
  QLineEdit* EditFFT = nullptr;
  QLineEdit* EditFFTOrder = nullptr;
  EditUpDown* UpDownFFT = nullptr;
  QLabel* LabelOrder = nullptr;
  QLineEdit* EditOrder = nullptr;
  QPushButton* ButtonPSD = nullptr;
  QPushButton* ButtonCPSD = nullptr;
  QPushButton* ButtonPBurg = nullptr;
  QPushButton* ButtonCohere = nullptr;
  QPushButton* ButtonTransfer = nullptr;
  QPushButton* ButtonAutoCorr = nullptr;
  QPushButton* ButtonCorr = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // The analysis-result window, made after this panel.
  void SetResultWindow(TFormSpectrum* window) { resultWindow_ = window; }

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void FormHide();
  void ButtonStartClick();
  void ButtonSendClick();
  void EditChn1Change();
  void EditChn2Change();
  void EditFFTChange();
  void EditFFTOrderChange();
  void ButtonPSDClick() { Analyse(EngineAnalysis::kPowerDensity); }
  void ButtonCPSDClick() { Analyse(EngineAnalysis::kCrossPower); }
  void ButtonPBurgClick() { Analyse(EngineAnalysis::kBurg); }
  void ButtonCohereClick() { Analyse(EngineAnalysis::kCoherence); }
  void ButtonTransferClick() { Analyse(EngineAnalysis::kTransfer); }
  void ButtonAutoCorrClick() { Analyse(EngineAnalysis::kAutoCorrelation); }
  void ButtonCorrClick() { Analyse(EngineAnalysis::kCrossCorrelation); }
  void CheckBoxDirectDispClick();
  void ButtonDispSpectClick();
  void ButtonExitClick() { hide(); }

 protected:
  void showEvent(class QShowEvent* event) override;
  void hideEvent(class QHideEvent* event) override;
  void changeEvent(class QEvent* event) override;

 private:
  void Analyse(EngineAnalysis analysis);
  void ChannelChange(int32_t edit, QLineEdit* editBox, EditUpDown* upDown, const char* statusPrefix);
  void SetAnalysisButtons(bool enabled);
  void DataSent();
  void ShowStatus(const std::string& text);
  EnginePanelHooks Hooks();

  AppState& state_;
  platform::RegistryStore& registry_;
  TFormMain& main_;
  TFormSpectrum* resultWindow_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
