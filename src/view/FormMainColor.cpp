// The main window's colour command: the colour-and-font dialog on a working
// copy of the palette in force.
#include "shell/FormMain.h"
#include "view/FormColor.h"

namespace quelvar {

void TFormMain::menuColorClick() {
  if (colorDialog_ == nullptr) colorDialog_ = new TFormColor(state_, services_.registry, services_.ui, this);
  TFormColor& dialog = *colorDialog_;
  dialog.WorkColorNum = state_.config.ColorNum;
  dialog.WorkColorPalette = state_.config.ColorPalette;
  dialog.ShowPalette();
  services_.ui.ShowModal(dialog);
  // The font buttons act at once, so a cancelled dialog may have changed
  // the fonts too: the labels are measured and drawn again either way.
  MeasureScaleLabels();
  state_.wave.RepaintRequested = 1;
  if (state_.configInForce.TempConfigActive == 0) SaveConfigToRegistry();
}

}  // namespace quelvar
