#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/AcquisitionState.h"
#include "common/AdDriver.h"
#include "common/DisplayData.h"
#include "common/FoundTriggerPoints.h"
#include "common/LiveConfig.h"
#include "common/MainViewSettings.h"
#include "common/RecordState.h"
#include "common/OscilToolSettings.h"
#include "common/PrintState.h"
#include "common/SampleLayout.h"
#include "common/SaveSettings.h"
#include "common/TriggerPlan.h"
#include "common/UniversalPages.h"
#include "common/WaveViewState.h"
#include "common/GrayTables.h"
#include "common/TorqueTables.h"
#include "common/HistoryRecord.h"

namespace quelvar {

// Process start-up state of the main window (names as the program uses them).
struct StartupState {
  // The program's arguments, without its own name.
  std::vector<std::string> CommandLineArguments;
  int32_t LoadSignalLib = 0;
  int32_t ResetConfig = 0;
  int32_t ConfigUnlocked = 1;
  // Local date and time of start-up, days since 1899-12-30.
  double ProgramStartTime = 0.0;
  // Where the file dialogs start: the program's own directory.
  std::string DialogInitialDir;
  // The optional analysis libraries.
  platform::DynamicLibrary EngineModule;
  int32_t EngineLoaded = 0;
  platform::DynamicLibrary SignalLibModule;
  // 1 while the about box exists; ticks of its splash timer since it was
  // last activated.
  int32_t AboutBoxReady = 0;
  int32_t SplashTicks = 0;
  // The branding file's logo and idle-screen texts; OemDefLoaded is 1 once
  // the file was read and its logo loaded.
  std::string OemLogoFile;
  std::string OemLargeText;
  std::string OemSmallText;
  int32_t OemDefLoaded = 0;
  // "QuelvarTorque", with the instance digit appended for instances 1 and 2;
  // the settings tree is "\SOFTWARE\" + AppKeyName.
  std::string AppKeyName = "QuelvarTorque";
  // 1 from the main window's creation until the deferred start-up has run.
  int32_t StartupPending = 1;
  // 0 until the first housekeeping call; the layout routine waits for it.
  int32_t LayoutReady = 0;
  // 1 recording-oscilloscope presentation, 0 wave recorder.
  int32_t PresentationMode = 1;
  int32_t PidMode = 0;
  int32_t InstanceNumber = 0;
  // "记录示波器" or "录波器", with "n#" in front for instance n.
  std::string WindowWord = "记录示波器";
  // The current directory at start-up, ending in '/'.
  std::string ProgramDir;
};

// Network roles.
inline constexpr int32_t kRoleAlone = 0;
inline constexpr int32_t kRoleStation = 1;
inline constexpr int32_t kRoleViewer = 2;

// Run states of the acquisition.
inline constexpr int32_t kRunIdle = 0;
inline constexpr int32_t kRunRecording = 1;
inline constexpr int32_t kRunOscilloscope = 2;

// Which configuration is in force: the machine's own, or a foreign one lent
// for a while (a file of another card, a history record, a station's).
struct ConfigInForce {
  int32_t TempConfigActive = 0;
  // The own configuration record, kept while a foreign one is in force.
  std::vector<uint8_t> OwnConfigRecord;
  // The settings menu's caption names the configuration in force.
  std::string SysParamCaption = "系统参数(&P)";
};

// All process-wide state in one place: the application owns one instance and
// hands each part of the program the pieces it needs; tests build a fresh one
// per case. Later parts of the program add their records here.
struct AppState {
  StartupState startup;
  LiveConfig config;
  ConfigInForce configInForce;
  // The main window's view values that the settings tree keeps.
  MainViewSettings view;
  UniversalPages pages;
  // The scratch page through which a waveform window and the page dialog
  // exchange a universal page.
  UniversalPageRecord UniversalPage;
  DriverState driver;
  GrayTables grayTables;
  // The torque sensors' calibration curves.
  TorqueTables torque;
  SampleLayout layout;
  AcquisitionState acq;
  RecordState record;
  DisplayDescriptor display;
  // The main window's view of the display data.
  WaveViewState wave;
  ScaleLabelMetrics labels;
  HistoryRecord history;
  // The trigger-point search's findings in the record on display.
  FoundTriggerPoints foundPoints;
  // Playback of the shown data: 0 stopped, 1 towards earlier data, 2
  // towards later data.
  int32_t PlaybackDirection = 0;
  // Full path of the record file the record-file manager checked last.
  std::string HistoryFilePath;
  TriggerState triggers;
  TriggerPlan plan;
  ContinuousSaveSettings saving;
  OscilToolSettings oscilTool;
  PrintState print;
  // The experiment-conditions text that heads every record's comment.
  std::string ExpText;
  // 1 while remote control comes over the serial radio link.
  int32_t IdControlByRadio = 0;
  // The COM port number remote control is received on over that link (>= 1).
  int32_t ControlledCom = 1;
  // 0 idle, 1 recording, 2 two-trace oscilloscope.
  int32_t RunState = kRunIdle;
  // 0 standalone, 1 acquisition station, 2 remote viewer; changed only by
  // the role commands.
  int32_t NetworkRole = 0;  // kRoleAlone, kRoleStation or kRoleViewer
  // 1 while the viewer role is taken with the stored station address,
  // without asking for it.
  int32_t AutoConnectViewer = 0;
  // 1 while the second waveform window is shown.
  int32_t SecondDispVisible = 0;
  std::string HelpFile;
};

}  // namespace quelvar
