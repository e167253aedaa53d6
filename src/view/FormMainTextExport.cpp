// The text table of the shown data: on the clipboard and in a file; the run log on the clipboard.
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildTextExportCommands() {}

}  // namespace quelvar
