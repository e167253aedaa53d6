// The main window's side of the built-in FFT panel: its command, its
// hand-over and the analyses the main window asks for.
#include <QAction>

#include "analysis/FormFFT.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetFFTPanel(TFormFFT* panel) {
  fftPanel_ = panel;
  menuRawFFT->setEnabled(panel != nullptr);
}

void TFormMain::menuRawFFTClick() {
  if (fftPanel_ == nullptr) return;
  fftPanel_->show();
  fftPanel_->raise();
}

void TFormMain::AnalyseShownSpectrum() {
  if (fftPanel_ != nullptr && fftPanel_->isVisible()) fftPanel_->Analyse();
}

}  // namespace quelvar
