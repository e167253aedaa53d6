// Printing the shown view: waveform, text and run-log pages, with preview.
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildPrintCommands() {}

}  // namespace quelvar
