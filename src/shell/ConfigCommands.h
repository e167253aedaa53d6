#pragma once

#include <functional>
#include <string>

#include "common/AppState.h"
#include "shell/ConfigRecord.h"

namespace quelvar::platform {
class UiHost;
}

namespace quelvar {

// Captions of the settings menu by the configuration in force.
inline constexpr const char* kOwnConfigCaption = "系统参数(&P)";
inline constexpr const char* kTemporaryConfigCaption = "临时参数(&P)";  // another card's file, a record
inline constexpr const char* kDerivedConfigCaption = "临时参数(&T)";    // a derived data set
inline constexpr const char* kRemoteConfigCaption = "远程参数(&P)";     // a station or a controller

// What the configuration commands need of the main window.
struct ConfigCommandEnv {
  AppState& state;
  platform::UiHost& ui;
  // Saves the configuration to the settings tree (the main window's save).
  std::function<void()> saveToRegistry;
  // Drops the data on show, so the buffers are rebuilt at the next start,
  // and draws the idle screen.
  std::function<void()> dropShownData;
  std::function<void(const std::string&)> postStatus;
};

// The values a record carries from outside the live configuration.
ConfigBuildExtras BuildExtrasOf(const AppState& state);

// The protocol every foreign configuration follows: the own configuration is
// kept aside on the first transition, the caption names the source, the
// record is applied and the configuration becomes temporary. Returns the
// apply result.
int EnterTemporaryConfig(AppState& state, const ConfigRecord& foreign, const std::string& caption);

// Puts the own configuration back after a temporary one; false when the own
// one was in force already.
bool PutOwnConfigBack(AppState& state);

// The settings-menu commands: load and save a configuration file, restore
// the own configuration.
void LoadConfigFromFileCommand(ConfigCommandEnv& env);
void SaveConfigToFileCommand(ConfigCommandEnv& env);
void RestoreConfigCommand(ConfigCommandEnv& env);

// After a settings reset: the card's own file, else "Default.QCG", from the
// current directory. Returns the apply result (1 applied, 0 no file, a bad
// file or a rejected record). The machine keeps its own card name, so the
// values are saved under the key the next start reads. Asks and reports
// nothing.
int LoadDefaultConfigFile(ConfigCommandEnv& env);

}  // namespace quelvar
