// Small commands of the main window: the window title, the card's own panel,
// the record's properties, the repaint button and the choice of the trigger-
// point search's algorithm.
#include <QAction>
#include <QMenu>

#include <optional>
#include <string>

#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "shell/FormMain.h"

namespace quelvar {

void TFormMain::BuildLauncherCommands() {
  menuWaveProp = PopupMenuBackGroud->addAction(QStringLiteral("当前波形属性"));
  menuWaveProp->setObjectName("menuWaveProp");
  const std::pair<QAction*, void (TFormMain::*)()> commands[] = {
      {menuWaveProp, &TFormMain::menuWavePropClick},
      {menuSetWinTitle, &TFormMain::menuSetWinTitleClick},
      {menuCardSetting, &TFormMain::menuCardSettingClick},
      {ToolButtonRepaint, &TFormMain::ToolButtonRepaintClick},
      {menuHarmonicAccurate, &TFormMain::menuHarmonicAccurateClick},
      {menuHarmonicFourier, &TFormMain::menuHarmonicFourierClick}};
  for (const auto& [item, handler] : commands) {
    connect(item, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
  }
}

void TFormMain::menuSetWinTitleClick() {
  LiveConfig& c = state_.config;
  const std::string entered =
      services_.ui.InputBox("定制窗口标题", "请输入新的标题    ", c.WinTitle).value_or(c.WinTitle);
  // The caption's tail after the old title (live, history or derived-data
  // suffix) stays behind the new title.
  const QString tail = windowTitle().mid(Q(c.WinTitle).size());
  setWindowTitle(Q(entered) + tail);
  c.WinTitle = entered;
}

void TFormMain::menuCardSettingClick() {
  // The driver's own panel; what it answers is not looked at.
  if (state_.driver.Entries.CardSpecSetting != nullptr) state_.driver.Entries.CardSpecSetting();
}

void TFormMain::menuWavePropClick() {
  services_.ui.MessageBox(state_.history.Comment, "当前波形属性", platform::MsgButtons::OkCancel);
}

void TFormMain::ToolButtonRepaintClick() { state_.wave.RepaintRequested = 1; }

void TFormMain::menuHarmonicAccurateClick() {
  menuHarmonicAccurate->setChecked(true);
  menuHarmonicFourier->setChecked(false);
}

void TFormMain::menuHarmonicFourierClick() {
  menuHarmonicFourier->setChecked(true);
  menuHarmonicAccurate->setChecked(false);
}

}  // namespace quelvar
