// Small commands of the main window: the window title, the record's properties, the repaint button.
#include <QAction>
#include <QMenu>

#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildLauncherCommands() {
  menuWaveProp = PopupMenuBackGroud->addAction(QStringLiteral("当前波形属性"));
  menuWaveProp->setObjectName("menuWaveProp");
}

}  // namespace quelvar
