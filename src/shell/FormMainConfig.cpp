// The main window's configuration commands: configuration files and the
// return to the machine's own configuration.
#include <QAction>
#include <QMenu>

#include "shell/FormMain.h"

namespace quelvar {

ConfigCommandEnv TFormMain::MakeConfigCommandEnv() {
  ConfigCommandEnv env{state_, services_.ui, {}, {}, {}};
  env.saveToRegistry = [this] { SaveConfigToRegistry(); };
  env.dropShownData = [this] { DropShownData(); };
  env.postStatus = [this](const std::string& text) { PostStatusText(text); };
  return env;
}

void TFormMain::DropShownData() {
  // The data no longer fit the configuration; the next start rebuilds the buffers.
  state_.display.DispValid = 0;
  state_.display.DataSourceMode = 0;
  state_.acq.BufferLayoutValid = 0;
  // No record is on show any more: commands that work on the history data
  // must not take one of another layout for it.
  state_.display.SelectFault = 0;
  menuSelectFault->setChecked(false);
  DrawIdleScreen();
}

void TFormMain::RefreshConfigMenus() {
  menuSysParam->setTitle(QString::fromStdString(state_.configInForce.SysParamCaption));
  menuRestoreConfig->setVisible(state_.configInForce.TempConfigActive == 1);
  // The receiver keeps its own view width; the caption says so.
  menuXZoomAny->setText(QString::fromStdString("显示" + std::to_string(state_.wave.DisplayWidth) + "点"));
}

void TFormMain::menuLoadConfigClick() {
  ConfigCommandEnv env = MakeConfigCommandEnv();
  LoadConfigFromFileCommand(env);
  RefreshConfigMenus();
}

void TFormMain::menuSaveConfigClick() {
  ConfigCommandEnv env = MakeConfigCommandEnv();
  SaveConfigToFileCommand(env);
}

void TFormMain::menuRestoreConfigClick() {
  ConfigCommandEnv env = MakeConfigCommandEnv();
  RestoreConfigCommand(env);
  RefreshConfigMenus();
}

int TFormMain::ApplyConfigRecord(const ConfigRecord& record) {
  const int applied = quelvar::ApplyConfigRecord(record, state_.config);
  RefreshConfigMenus();
  return applied;
}

int TFormMain::LoadDefaultConfigFile() {
  ConfigCommandEnv env = MakeConfigCommandEnv();
  const int applied = quelvar::LoadDefaultConfigFile(env);
  RefreshConfigMenus();
  return applied;
}

}  // namespace quelvar
