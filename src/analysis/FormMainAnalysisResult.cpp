// The main window's side of the analysis-result window: its command and its
// hand-over.
#include <QAction>

#include "analysis/FormAnalysisResult.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::SetAnalysisResultWindow(TFormSpectrum* window) {
  analysisResultWindow_ = window;
  menuViewSpectrum->setEnabled(window != nullptr);
  if (!resultCommandConnected_) {
    resultCommandConnected_ = true;
    connect(menuViewSpectrum, &QAction::triggered, this, [this] { menuViewSpectrumClick(); });
  }
}

void TFormMain::menuViewSpectrumClick() {
  if (analysisResultWindow_ == nullptr) return;
  analysisResultWindow_->show();
  analysisResultWindow_->raise();
}

}  // namespace quelvar
