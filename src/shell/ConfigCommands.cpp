#include "shell/ConfigCommands.h"

#include <cstring>
#include <memory>

#include "platform/UiHost.h"
#include "shell/ConfigFile.h"

namespace quelvar {

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

const char* const kFileFilter = "配置文件 (*.qcg)|*.qcg|所有文件 (*.*)|*.*";
const char* const kOpenError = "打开配置文件错误";

std::unique_ptr<ConfigRecord> BuildOwnRecord(const AppState& state) {
  auto own = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *own);
  return own;
}

void KeepOwnConfig(AppState& state) {
  const auto own = BuildOwnRecord(state);
  const auto* bytes = reinterpret_cast<const uint8_t*>(own.get());
  state.configInForce.OwnConfigRecord.assign(bytes, bytes + sizeof(ConfigRecord));
}

// The card name as stored in a record (GBK bytes), for the byte-for-byte
// comparison of two records' names.
std::string CardNameOf(const ConfigRecord& record) {
  return std::string(record.CardName, strnlen(record.CardName, sizeof record.CardName));
}

platform::FileDialogRequest ConfigFileDialog(const AppState& state, const char* title) {
  platform::FileDialogRequest request;
  request.title = title;
  request.initialDir = state.startup.DialogInitialDir;
  request.defaultExt = "QCG";
  request.filter = kFileFilter;
  return request;
}

}  // namespace

ConfigBuildExtras BuildExtrasOf(const AppState& state) {
  ConfigBuildExtras extras;
  extras.PresentationMode = state.startup.PresentationMode;
  extras.XZoom = state.wave.XZoom;
  extras.DisplayWidth = state.wave.DisplayWidth;
  return extras;
}

int EnterTemporaryConfig(AppState& state, const ConfigRecord& foreign, const std::string& caption) {
  if (state.configInForce.TempConfigActive == 0) KeepOwnConfig(state);
  state.configInForce.SysParamCaption = caption;
  const int applied = ApplyConfigRecord(foreign, state.config);
  state.configInForce.TempConfigActive = 1;
  return applied;
}

bool PutOwnConfigBack(AppState& state) {
  ConfigInForce& c = state.configInForce;
  if (c.TempConfigActive == 0) return false;
  if (c.OwnConfigRecord.size() == sizeof(ConfigRecord)) {
    auto own = std::make_unique<ConfigRecord>();
    std::memcpy(own.get(), c.OwnConfigRecord.data(), sizeof(ConfigRecord));
    // The own record comes back even where its values fail the checks meant
    // for foreign records: the machine must never keep a foreign
    // configuration as its own.
    if (!ApplyConfigRecord(*own, state.config)) ApplyConfigRecordUnchecked(*own, state.config);
  }
  c.TempConfigActive = 0;
  c.OwnConfigRecord.clear();
  c.SysParamCaption = kOwnConfigCaption;
  return true;
}

void LoadConfigFromFileCommand(ConfigCommandEnv& env) {
  AppState& state = env.state;
  if (state.RunState != kRunIdle) return;
  const auto path = env.ui.OpenFileName(ConfigFileDialog(state, "选定要读取的配置文件"));
  if (!path) return;

  const ConfigFileContent file = ReadConfigFile(*path);
  switch (file.status) {
    case ConfigFileStatus::CannotOpen:
      // Said clearly rather than passed over: the user chose this file.
      env.ui.MessageBox("不能读取文件: " + *path, kOpenError, MsgButtons::Ok, MsgIcon::Error);
      return;
    case ConfigFileStatus::WrongSize:
      env.ui.MessageBox("文件大小不对!", kOpenError, MsgButtons::Ok);
      return;
    case ConfigFileStatus::BadMagic:
      env.ui.MessageBox("文件头标志错误!", kOpenError, MsgButtons::Ok);
      return;
    case ConfigFileStatus::Ok:
      break;
  }
  const ConfigRecord& record = *file.record;
  if (!ValidateConfigRecord(record)) {
    env.ui.MessageBox("配置信息非法!", kOpenError, MsgButtons::Ok);
    return;
  }

  ConfigInForce& c = state.configInForce;
  if (c.TempConfigActive == 0 && CardNameOf(record) != CardNameOf(*BuildOwnRecord(state))) {
    if (env.ui.MessageBox("请确认 仍使用新配置？", "配置文件与当前AD板可能不兼容", MsgButtons::YesNo) != MsgResult::Yes) {
      return;
    }
    KeepOwnConfig(state);
    c.TempConfigActive = 1;
    c.SysParamCaption = kTemporaryConfigCaption;
  }
  if (ApplyConfigRecord(record, state.config)) {
    env.ui.MessageBox("新配置已生效!", "读取配置文件成功", MsgButtons::Ok);
  } else {
    env.ui.MessageBox("警告!!!配置信息有误,本程序要重新配置!", "使用配置文件中消息失败", MsgButtons::Ok);
  }
  if (env.dropShownData) env.dropShownData();
  if (c.TempConfigActive == 0 && env.saveToRegistry) env.saveToRegistry();
}

void SaveConfigToFileCommand(ConfigCommandEnv& env) {
  const auto path = env.ui.SaveFileName(ConfigFileDialog(env.state, "指定要保存的配置文件名"));
  if (!path) return;
  const auto record = BuildOwnRecord(env.state);
  std::string error;
  if (!WriteConfigFile(*path, *record, error)) {
    env.ui.MessageBox("不能创建新文件!\n" + error, kOpenError, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  env.ui.MessageBox("现在用户可以把配置信息文件妥善保管!", "配置信息已存盘", MsgButtons::Ok);
}

void RestoreConfigCommand(ConfigCommandEnv& env) {
  if (env.state.RunState != kRunIdle) return;
  // The settings tree already holds the own configuration: nothing to save.
  if (!PutOwnConfigBack(env.state)) return;
  if (env.dropShownData) env.dropShownData();
}

int LoadDefaultConfigFile(ConfigCommandEnv& env) {
  if (env.postStatus) env.postStatus("系统缺省配置");
  LiveConfig& live = env.state.config;
  ConfigFileContent file = ReadConfigFile(live.CardNameText + ".QCG");
  if (file.status == ConfigFileStatus::CannotOpen) file = ReadConfigFile("Default.QCG");
  if (file.status != ConfigFileStatus::Ok || file.record->RecordSize != kConfigRecordSize) return 0;
  const std::string ownCard = live.CardNameText;
  const int applied = ApplyConfigRecord(*file.record, live);
  live.CardNameText = ownCard;
  return applied;
}

}  // namespace quelvar
