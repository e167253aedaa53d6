#pragma once

#include <QWidget>

#include <string>

#include "analysis/LibraryAnalysis.h"
#include "common/AppState.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;

namespace quelvar::platform {
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

class TFormMain;
class TFormSpectrum;

// The signal-processing library panel: prepares the shown data for the
// library, saves them as a MATLAB data file and runs the library's seven
// analyses, whose curves go to the analysis-result window. The work is in
// analysis/LibraryAnalysis; this window reads its edits and shows the texts.
class TFormMatLib : public QWidget {
  Q_OBJECT
 public:
  TFormMatLib(AppState& state, platform::RegistryStore& registry, platform::UiHost& ui, TFormMain& main,
              QWidget* parent = nullptr);
  ~TFormMatLib() override;

  // The window the results are handed to (made after this panel).
  void SetResultWindow(TFormSpectrum* window) { resultWindow_ = window; }

  QPushButton* ButtonSaveAD = nullptr;
  QPushButton* ButtonSaveSpectrum = nullptr;
  QPushButton* ButtonSetArray = nullptr;
  QPushButton* ButtonExit = nullptr;
  QLabel* LabelFFT = nullptr;
  QLineEdit* EditFFT = nullptr;
  QLineEdit* EditFFTOrder = nullptr;
  QSpinBox* UpDownFFT = nullptr;
  QLabel* LabelChn1 = nullptr;
  QLineEdit* EditChn1 = nullptr;
  QSpinBox* UpDownChn1 = nullptr;
  QLabel* LabelChn2 = nullptr;
  QLineEdit* EditChn2 = nullptr;
  QSpinBox* UpDownChn2 = nullptr;
  QPushButton* ButtonPSD = nullptr;
  QPushButton* ButtonCPSD = nullptr;
  QPushButton* ButtonPBurg = nullptr;
  QLabel* LabelOrder = nullptr;
  QLineEdit* EditOrder = nullptr;
  QPushButton* ButtonCohere = nullptr;
  QPushButton* ButtonTransfer = nullptr;
  QPushButton* ButtonAutoCorr = nullptr;
  QPushButton* ButtonCorr = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // 1 after a successful preparation.
  int32_t LibraryDataPrepared = 0;

  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void FormHide();
  void EditChn1Change();
  void EditChn2Change();
  void EditFFTChange();
  void EditFFTOrderChange();
  void ButtonSetArrayClick();
  void ButtonSaveADClick();
  void ButtonPSDClick() { RunAnalysis(LibraryAnalysis::PSD); }
  void ButtonCPSDClick() { RunAnalysis(LibraryAnalysis::CPSD); }
  void ButtonPBurgClick() { RunAnalysis(LibraryAnalysis::PBurg); }
  void ButtonCohereClick() { RunAnalysis(LibraryAnalysis::Cohere); }
  void ButtonTransferClick() { RunAnalysis(LibraryAnalysis::TFE); }
  void ButtonAutoCorrClick() { RunAnalysis(LibraryAnalysis::AutoCorr); }
  void ButtonCorrClick() { RunAnalysis(LibraryAnalysis::Corr); }
  void ButtonSaveSpectrumClick() {}  // not offered by the library: does nothing
  void ButtonExitClick();

  // The status bar's text.
  std::string StatusText() const;

 protected:
  void changeEvent(class QEvent* event) override;
  void hideEvent(class QHideEvent* event) override;

 private:
  void ChannelChange(int32_t edit);
  PanelChannel ReadChannel(int32_t edit) const;
  void RunAnalysis(LibraryAnalysis analysis);
  void SetStatus(const std::string& text);

  AppState& state_;
  platform::RegistryStore& registry_;
  platform::UiHost& ui_;
  TFormMain& main_;
  TFormSpectrum* resultWindow_ = nullptr;
  SignalLibraryEntries entries_;
  QLabel* statusLine_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace quelvar
