// The main window's start-up and shut-down sequences.
#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <unistd.h>

#include "platform/qt/QtText.h"
#include "platform/DayTime.h"
#include "platform/DynamicLibrary.h"
#include "platform/RegistryStore.h"
#include "shell/CommandLine.h"
#include "shell/DriverBinding.h"
#include "shell/FormAbout.h"
#include "shell/RecordWriter.h"
#include "shell/FormMain.h"
#include "shell/UniversalPageStore.h"
#include "shell/WindowGeometry.h"
#include "shell/WindowPlace.h"
#include "view/DisplayReading.h"
#include "acquisition/VirtualAdFile.h"
#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "net/GrayCode.h"
#include "setup/FormGroup.h"

namespace quelvar {

namespace {


constexpr int kMinMainWindowSize = 200;
constexpr int kStatusPanelPadding = 9;

std::string CurrentDirectory() {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) return "./";
  std::string dir = cwd;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

void TFormMain::FormCreate() {
  StartupState& s = state_.startup;
  LiveConfig& c = state_.config;
  s.ResetConfig = 0;
  s.LayoutReady = 0;
  s.StartupPending = 1;
  InitGrayTables(state_.grayTables);
  s.DialogInitialDir = platform::ExecutableDir();
  s.ProgramDir = CurrentDirectory();

  const StartupSwitches sw = ParseCommandLine(s.CommandLineArguments);
  s.PresentationMode = sw.PresentationMode;
  s.PidMode = sw.PidMode;
  s.LoadSignalLib = sw.LoadSignalLib;
  s.ResetConfig = sw.ResetConfig;
  s.ConfigUnlocked = sw.ConfigUnlocked;
  s.InstanceNumber = sw.InstanceNumber;
  s.ProgramStartTime = platform::NowDayCount();
  s.AppKeyName = AppKeyNameOf(s.InstanceNumber);

  BindDriver(state_.driver, s.PidMode, s.InstanceNumber, c);
  s.WindowWord = WindowWordOf(s.PresentationMode, s.InstanceNumber);
  menuADPropString->setVisible(state_.driver.ShowADPropString);
  menuSepProp->setVisible(state_.driver.ShowADPropString);
  menuCardSetting->setText(Q(state_.driver.CardSettingCaption));
  menuCardSetting->setVisible(state_.driver.ShowCardSetting);

  const std::string appKey = "\\SOFTWARE\\" + s.AppKeyName;
  if (s.ResetConfig == 1) DeleteRegistryTree(services_.registry, appKey);
  menuPIDConfig->setVisible(s.PidMode == 1);
  c.PIDEnable = 0;

  SetUpStatusPanels();
  // The settings tree is opened (and created when missing) first; a damaged
  // tree has already been set aside by the store, which tells us so below.
  services_.registry.CreateKey(appKey);
  const RegistryContext ctx = MakeRegistryContext();
  LoadCardAndViewSettings(services_.registry, ctx, c, state_.view, state_.wave);
  RestoreMainWindowGeometry();
  ReadUniversalPages(services_.registry, s.AppKeyName, c.Analog_Num, c.SW_Num, state_.pages);
  LoadAlgorithmSettings(services_.registry, ctx, c);
  ApplyPresentationCaptions();
  ApplyViewSettingsToMenus();
  LoadAnalysisLibraries();
  FillViewHistory(state_.wave);
  ApplyStartupMenuStates();
  for (int i = 0; i < kMaxAnalogChannels; ++i) c.AnalogDisplayOrder[i] = i;
  SetTitleSuffixes();
  if (menuMonitor->isChecked()) {
    setWindowTitle(Q(c.WinTitle + "--实时波形" + LiveTitleSuffix));
    SetStatusPanelText(2, "实时");
  } else {
    setWindowTitle(Q(c.WinTitle + "--无显示" + HistoryTitleSuffix));
    SetStatusPanelText(2, "无");
  }
  for (const std::string& problem : services_.registry.TakeProblems()) {
    AppendRunLog("警告：设置存储出错（" + problem + "）");
  }
}

void TFormMain::SetUpStatusPanels() {
  while (StatusPanelCount() < 6) AddStatusPanel(50);
  const QFontMetrics metrics(StatusBar1->font());
  auto widthOf = [&](const std::string& text) {
    return metrics.horizontalAdvance(Q(text)) + kStatusPanelPadding;
  };
  const std::string startText =
      platform::FormatDayCount(state_.startup.ProgramStartTime, "hh:nn:ss");
  SetStatusPanelText(0, startText);
  SetStatusPanelWidth(0, widthOf(startText));
  const int w = widthOf("预备");
  SetStatusPanelText(1, "预备");
  SetStatusPanelText(2, "实时");
  SetStatusPanelText(3, "脱机");
  for (int i = 1; i <= 3; ++i) SetStatusPanelWidth(i, w);
  SetStatusPanelWidth(4, widthOf("累计采样时间"));
  SetStatusPanelText(4, "累计采样时间");
  StretchLastStatusPanel();
}

void TFormMain::RestoreMainWindowGeometry() {
  RestoreWindowPlace(*this, services_.registry, state_.startup.AppKeyName, "FormMain", kMinMainWindowSize);
}

void TFormMain::SaveMainWindowGeometry() {
  SaveWindowPlace(*this, services_.registry, state_.startup.AppKeyName, "FormMain");
}

void TFormMain::LoadAnalysisLibraries() {
  StartupState& s = state_.startup;
  s.EngineLoaded = s.EngineModule.Load("Haldrevon.DLL") ? 1 : 0;
  if (s.LoadSignalLib == 1 && !s.SignalLibModule.Load("Tamberlo.DLL")) s.LoadSignalLib = 0;
  // The analysis panels' items stay disabled, whatever loaded, until the
  // panels exist.
}

void TFormMain::ApplyStartupMenuStates() {
  for (QAction* item : {ToolButtonPrint, ToolButtonPause, menuMarkIncN1, menuMarkHarmonicsN1, menuMarkIncN2,
                        menuMarkHarmonicsN2, menuViewPhase, menuPhaseSingle, menuPhaseMultiple, menuScopeLine}) {
    item->setVisible(false);
  }
  menuHarmonicAccurate->setChecked(false);
  menuHarmonicFourier->setChecked(true);
  for (QAction* item : {menuHarmonicAccurate, menuHarmonicFourier}) {
    item->setVisible(false);
    item->setEnabled(false);
  }
  menuLoadConfig->setEnabled(state_.startup.ConfigUnlocked != 0);
  const int32_t slot = state_.pages.VPageNum;
  QAction* const pages[] = {menuVPage1, menuVPage2, menuVPage3, menuVPage4, menuVPage5};
  for (int k = 0; k < kStoredUniversalPages; ++k) pages[k]->setChecked(k == slot);
  menuCaliTorque->setVisible(true);
  ToolButtonTorqueZero->setVisible(true);
}

void TFormMain::SetTitleSuffixes() {
  LiveTitleSuffix.clear();
  HistoryTitleSuffix.clear();
}

void TFormMain::FormClose() {
  // Closing is always allowed; a running acquisition is stopped first.
  if (state_.RunState == kRunRecording) menuStartQuelvarClick();
  if (state_.RunState == kRunOscilloscope) menuStartOscilClick();
}

void TFormMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (state_.RunState == kRunRecording) menuStartQuelvarClick();
  if (state_.RunState == kRunOscilloscope) menuStartOscilClick();
  // Record files still being written are finished before anything goes.
  JoinRecordWriters();
  Timer2->stop();
  screenSaverGuard_.Release();
  // The settings tree keeps the machine's own configuration, never a lent one.
  PutOwnConfigBack(state_);
  // One save of the whole tree at the end.
  services_.registry.BeginUpdate();
  CollectViewSettingsFromMenus();
  quelvar::SaveConfigToRegistry(services_.registry, MakeRegistryContext(), state_.config, state_.view, state_.wave);
  SaveMainWindowGeometry();
  WriteUniversalPages(services_.registry, state_.startup.AppKeyName, state_.pages);
  if (!services_.registry.EndUpdate()) ReportRegistrySaveFailure();
  state_.startup.LayoutReady = 0;
  CloseVirtualAdFile(state_.acq.Replay);
  StartupState& s = state_.startup;
  if (s.EngineLoaded == 1) s.EngineModule.Free();
  if (s.LoadSignalLib == 1) s.SignalLibModule.Free();
  state_.driver.Entries = AdDriver{};
  state_.driver.DriverModule.Free();
  state_.driver.PortIoModule.Free();
  // The controlled COM port is the last thing the shut-down closes.
  RemoteComPort.Close();
}

void TFormMain::menuExitClick() { close(); }

void TFormMain::menuAboutClick() {
  if (aboutBox_ != nullptr) aboutBox_->ShowFromMenu();
}

void TFormMain::menuBusConfigClick() {
  LiveConfig& c = state_.config;
  // Created with the other windows at start; made here when none was given.
  if (channelGroupDialog_ == nullptr) {
    channelGroupDialog_ = new TFormGroup(state_, services_.registry, services_.ui, this);
  }
  TFormGroup& dialog = *channelGroupDialog_;
  dialog.ButtonOK->setEnabled(state_.RunState == kRunIdle && state_.startup.ConfigUnlocked != 0);
  dialog.Edit_Group->setText(QString::number(c.Total_Line));
  dialog.Edit_Analog->setText(QString::number(c.Analog_Num));
  dialog.Edit_Binary->setText(QString::number(c.SW_Num));
  dialog.Edit_ACFrq->setText(Q(FormatFixed(c.ACFrq, 7, 2)));
  dialog.EditEnvTemp->setText(Q(FormatFixed(c.EnvTemp, 7, 2)));
  dialog.Edit_TotalPages->setText(QString::number(c.TotalPages));
  c.SamplesPerCycle = SamplesPerCycleOf(c.ChannelRate, c.ACFrq);
  dialog.Edit_SampPerPeriod->setText(QString::number(c.SamplesPerCycle));
  dialog.KeepOpeningTexts();

  const int32_t analogBefore = c.Analog_Num, switchesBefore = c.SW_Num, wordsBefore = c.NumChn,
                multiBefore = c.MaxMultiFreq;
  services_.ui.ShowModal(dialog);  // the result is not inspected: the settings tell

  if (c.Analog_Num > c.NumChn) {
    services_.ui.MessageBox("模拟通道数大于AD板总通道数!", "模拟通道设置错误", platform::MsgButtons::OkCancel);
  }
  if (state_.configInForce.TempConfigActive == 0) SaveConfigToRegistry();
  if (c.Analog_Num == analogBefore && c.SW_Num == switchesBefore && c.NumChn == wordsBefore &&
      c.MaxMultiFreq == multiBefore) {
    if (state_.display.DispValid != 0) {
      RebuildDisplayLayout();
      state_.wave.RepaintRequested = 1;
      RequestSecondDispRepaint();
    }
  } else {
    DropShownData();
  }
}

}  // namespace quelvar
