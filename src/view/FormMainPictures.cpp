// The shown view as a picture: drawn into the shared picture and put on the clipboard.
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildPictureCommands() {}

}  // namespace quelvar
