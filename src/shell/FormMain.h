#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/HistoryOpen.h"
#include "common/AppState.h"
#include "net/RadioLink.h"
#include "net/RemoteControl.h"
#include "net/SimpleComm.h"
#include "shell/ConfigCommands.h"
#include "shell/RegistrySettings.h"
#include "shell/ScreenSaverGuard.h"
#include "view/PictureOptions.h"
#include "view/PostedText.h"
#include "view/WavePrinting.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollBar;
class QTableWidget;
class QStatusBar;
class QTimer;
class QToolBar;

namespace quelvar::platform {
class QtDriverNotifier;
class Picture;
class PrintTarget;
class QtPicture;
class QtVectorPicture;
class QtSerialPump;
class QtCanvas;
class RegistryStore;
class UiHost;
}  // namespace quelvar::platform

namespace quelvar {

struct OscilloscopePaintResult;

enum class ManualSaveKind;  // acquisition/ManualSave.h
struct MarkColours;         // view/MarkDrawing.h
struct MarkPlot;            // view/MarkGeometry.h

// The services the main window is given by the process entry.
struct MainWindowServices {
  platform::RegistryStore& registry;
  platform::UiHost& ui;
  platform::ScreenSaverControl& screenSaver;
};

// The main window. Components carry the program's names (also as their
// objectName); handlers are public so tests can call them. Handlers are
// spread over the folders of the parts of the program that own them.
class TFormMain : public QMainWindow {
  Q_OBJECT
 public:
  TFormMain(AppState& state, MainWindowServices services, QWidget* parent = nullptr);
  ~TFormMain() override;

  // Components.
  QMenu* menuSystem = nullptr;
  QAction* menuExit = nullptr;
  QAction* menuSave = nullptr;
  QMenu* menuSysParam = nullptr;
  QAction* menuLoadConfig = nullptr;
  QAction* menuSaveConfig = nullptr;
  QAction* menuRestoreConfig = nullptr;
  QMenu* menuView = nullptr;
  QAction* menuMonitor = nullptr;
  QAction* menuViewXScale = nullptr;
  QAction* menuViewGridLine = nullptr;
  QAction* menuViewGridPoint = nullptr;
  QAction* menuViewYGrid = nullptr;
  QAction* menuViewScaleAlways = nullptr;
  QAction* menuViewScaleAlwaysP = nullptr;  // the waveform pop-up menu's twin
  QAction* menuViewTrace = nullptr;
  QAction* menuBGTrans = nullptr;
  QAction* menuXAxialTime = nullptr;
  QAction* menuAbsoluteTime = nullptr;
  QAction* menuPhaseSingle = nullptr;
  QAction* menuScopeChannel = nullptr;
  QAction* menuScopeLine = nullptr;
  QAction* menuScope4 = nullptr;
  QAction* menuScope8 = nullptr;
  QAction* menuScope16 = nullptr;
  QAction* menuScopeAll = nullptr;
  QAction* menuScopeOverall = nullptr;
  QAction* menuScopePage = nullptr;
  QAction* menuXZoomAny = nullptr;
  QAction* menuYZoom2000 = nullptr;
  QAction* menuDispScale = nullptr;
  QAction* menuPlayInterval = nullptr;
  QAction* menuPlayInc = nullptr;
  QAction* menuViewPhase = nullptr;
  QAction* menuPhaseMultiple = nullptr;
  QAction* menuVPage1 = nullptr;
  QAction* menuVPage2 = nullptr;
  QAction* menuVPage3 = nullptr;
  QAction* menuVPage4 = nullptr;
  QAction* menuVPage5 = nullptr;
  // The labels' pop-up menus of value kinds (view/FormMainMarkKinds.cpp):
  // one item per kind a mark offers, in the order of the menu.
  QMenu* PopupMenuMark1 = nullptr;
  QMenu* PopupMenuMark2 = nullptr;
  QAction* menuMarkInst1 = nullptr;
  QAction* menuMarkHexAD1 = nullptr;
  QAction* menuMarkAvg1 = nullptr;
  QAction* menuMarkEffective1 = nullptr;
  QAction* menuMarkPhase1 = nullptr;
  QAction* menuMark1PerFrq1 = nullptr;
  QAction* menuMark2PerFrq1 = nullptr;
  QAction* menuMark4PerFrq1 = nullptr;
  QAction* menuMarkAnalSpeed1 = nullptr;
  QAction* menuMarkRangeSum1 = nullptr;
  QAction* menuMarkRangeAvg1 = nullptr;
  QAction* menuMarkIncN1 = nullptr;
  QAction* menuMarkHarmonicsN1 = nullptr;
  QAction* menuMarkAlgorithmList1 = nullptr;
  QAction* menuMarkAlgorithmValue1 = nullptr;
  QAction* menuHarmonicAccurate = nullptr;
  QAction* menuHarmonicFourier = nullptr;
  QAction* menuViewV = nullptr;  // "显示横标线": the marks' level lines
  QAction* menuMarkTimeOrig1 = nullptr;
  QAction* menuMarkInst2 = nullptr;
  QAction* menuMarkHexAD2 = nullptr;
  QAction* menuMarkAvg2 = nullptr;
  QAction* menuMarkEffective2 = nullptr;
  QAction* menuMarkPhase2 = nullptr;
  QAction* menuMark1PerFrq2 = nullptr;
  QAction* menuMark2PerFrq2 = nullptr;
  QAction* menuMark4PerFrq2 = nullptr;
  QAction* menuMarkAnalSpeed2 = nullptr;
  QAction* menuMarkRangeSum2 = nullptr;
  QAction* menuMarkRangeAvg2 = nullptr;
  QAction* menuMarkRatio2 = nullptr;
  QAction* menuMarkRatioR2 = nullptr;
  QAction* menuMarkPeriod2 = nullptr;
  QAction* menuMarkIncN2 = nullptr;
  QAction* menuMarkHarmonicsN2 = nullptr;
  QAction* menuMarkAlgorithmList2 = nullptr;
  QAction* menuMarkAlgorithmValue2 = nullptr;
  QAction* menuMarkTimeOrig2 = nullptr;
  QAction* menuBusConfig = nullptr;
  QAction* menuADConfig = nullptr;
  QAction* menuQuelvarConfig = nullptr;
  QAction* menuChannelCalibration = nullptr;
  QAction* menuAlgorithm = nullptr;
  QAction* menuPIDConfig = nullptr;
  QAction* menuCaliTorque = nullptr;
  QAction* menuCardSetting = nullptr;
  QAction* menuIOCtl = nullptr;
  QAction* menuIOPanel = nullptr;
  QAction* menuSepProp = nullptr;
  QAction* menuADPropString = nullptr;
  QAction* menuSetSysTime = nullptr;
  QMenu* menuAnalysis = nullptr;
  QAction* menuMatlabEngine = nullptr;
  QAction* menuMatlabLib = nullptr;
  // Offline analysis: filter, derived channels, the built-in spectrum panel
  // and the analysis-result window (disabled until their windows exist).
  QAction* menuDigiFilter = nullptr;
  QAction* menuDigiIntegrate = nullptr;
  QAction* menuRawFFT = nullptr;
  QAction* menuViewSpectrum = nullptr;
  QMenu* menuHelp = nullptr;
  QAction* menuAbout = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QAction* ToolButtonPrint = nullptr;
  QAction* ToolButtonPause = nullptr;
  QAction* ToolButtonTorqueZero = nullptr;
  QMenu* menuRecorder = nullptr;
  QAction* menuStartQuelvar = nullptr;
  QAction* menuTriggerFault = nullptr;
  QAction* menuPause = nullptr;
  QAction* menuExpCondition = nullptr;
  QAction* menuSetSavePath = nullptr;
  QAction* menuScheduleSave = nullptr;
  QAction* menuStartOscil = nullptr;
  QAction* ToolButtonStartOscil = nullptr;
  QAction* menuViewOscilTool = nullptr;
  QAction* ToolButtonStartQuelvar = nullptr;
  QAction* ToolButtonTriggerFault = nullptr;
  QTimer* TimerOscil = nullptr;  // paces the virtual card and snapshot mode
  QMenu* menuNetwork = nullptr;
  QAction* menuAlone = nullptr;
  QAction* menuServer = nullptr;
  QAction* menuClient = nullptr;
  QAction* menuRemoteControl = nullptr;  // shows the remote-control console
  QAction* menuEnableRemote = nullptr;
  QAction* menuControlledCom = nullptr;  // shown only while the COM link is selected
  QStatusBar* StatusBar1 = nullptr;
  QMenu* menuFaultMenu = nullptr;
  QAction* menuFault = nullptr;  // the history menu's own item
  QAction* menuSelectFault = nullptr;
  QAction* ToolButtonSelectFault = nullptr;
  QAction* menuViewWave = nullptr;
  QAction* menuViewText = nullptr;
  QAction* menuViewReport = nullptr;
  QMenu* PopupMenuXZoom = nullptr;
  QAction* menuXZoom1 = nullptr;
  QAction* menuXZoom2 = nullptr;
  QAction* menuXZoom4 = nullptr;
  QAction* menuXZoom8 = nullptr;
  QAction* menuXZoom16 = nullptr;
  QAction* menuViewAnalog = nullptr;
  QAction* menuViewSwitch = nullptr;
  QAction* menuScopeVPage = nullptr;
  QAction* menuGridEng = nullptr;
  QAction* ToolButtonMonitor = nullptr;
  QAction* ToolButtonSaveCurrent = nullptr;
  QAction* menuSaveCurrent = nullptr;
  QAction* menuColor = nullptr;
  // Output (view/FormMainTextExport.cpp, FormMainPictures.cpp,
  // FormMainPrinting.cpp) and the small launchers (view/FormMainLaunchers.cpp).
  QAction* menuCopyWave = nullptr;
  QAction* menuCopyText = nullptr;
  QAction* menuCopyReport = nullptr;
  QAction* menuSaveAsText = nullptr;
  QAction* menuPrint = nullptr;
  QAction* menuPrinterSetup = nullptr;
  QAction* menuSetWinTitle = nullptr;
  QAction* menuWaveProp = nullptr;  // on the waveform's pop-up menu
  QAction* ToolButtonRepaint = nullptr;
  // Printing (view/FormMainPrinting.cpp): the print command with its
  // settings dialog, the printer-setup dialog, and the waveform pages of the
  // shown range (automatic 1 from record completion; preview 1 draws page
  // `page` into PreviewPicture and shows it over Image1).
  void menuPrintClick();
  void ToolButtonPrintClick() { menuPrintClick(); }
  void menuPrinterSetupClick();
  void PrintWaveforms(int32_t automatic, int32_t preview, int32_t page);
  void SetPrintTarget(platform::PrintTarget* target);
  // A new PDF file in the save directory for a job when there is no printer.
  std::string NewPrintFileName() const;
  // The text table of the shown data on the clipboard or in a file, and the
  // run log on the clipboard.
  void menuCopyTextClick();
  void menuCopyReportClick();
  void menuSaveAsTextClick();
  // The table of the shown data (the oscilloscope's in its display): given a
  // sink, in pieces to it and an empty result; else the whole table. A long
  // table shows its progress.
  std::string TextTableOfView(const std::function<void(std::string_view)>& sink = {});
  std::string TextTableOfOscilloscope(const std::function<void(std::string_view)>& sink = {});
  // The comment and the table as a GBK text file: 1 when written, 0 when
  // refused (acquiring, no data) or the file could not be made.
  int WriteTextTableFile(const std::string& fileName);
  // The data area: three panels in one place, one shown at a time.
  QWidget* Panel_Waveform = nullptr;
  class PaintBox* Image1 = nullptr;  // shows OffscreenBitmap
  QScrollBar* VScrollBar_YOffset = nullptr;
  QScrollBar* VScrollBar_Channel = nullptr;
  QScrollBar* HScrollBar_XPosition = nullptr;
  QLabel* Label_Mark1 = nullptr;
  QLabel* Label_Mark2 = nullptr;
  QWidget* Panel_Grid = nullptr;
  class StringGrid* Grid1 = nullptr;  // the text grid
  QScrollBar* HScrollBar_Grid = nullptr;
  QWidget* Panel_Report = nullptr;
  QPlainTextEdit* Memo1 = nullptr;  // run log
  QTimer* Timer2 = nullptr;         // 100 ms interface timer

  // Start-up and shut-down (shell).
  void FormCreate();
  void FormDestroy();
  void FormClose();
  void menuExitClick();
  void menuAboutClick();
  void menuBusConfigClick();
  void menuSetSysTimeClick() {}  // hidden; does nothing
  void SetTitleSuffixes();
  // The about box, shown as a splash at start and from the menu.
  void SetAboutBox(class TFormAbout* about) { aboutBox_ = about; }
  void SetChannelGroupDialog(class TFormGroup* dialog) { channelGroupDialog_ = dialog; }
  void SetExpTextWindow(QWidget* window) { expTextWindow_ = window; }
  void SetSavePathDialog(class TFormSetPath* dialog) { savePathDialog_ = dialog; }
  // The oscilloscope control panel; its refresh period goes to TimerOscil.
  void SetOscilToolPanel(class TFormTool* panel);
  // The X-Y window (auxwin/FormMainXYDisplay.cpp); its command is enabled
  // while one is given.
  QAction* menuDispXY = nullptr;
  void SetXYDisplay(class TFormXYDisplay* window);
  void menuDispXYClick();
  // The analysis-result window (analysis/FormMainAnalysisResult.cpp): its
  // command is enabled while one is given; the analysis panels make it
  // visible.
  void SetAnalysisResultWindow(class TFormSpectrum* window);
  void menuViewSpectrumClick();
  // The engine analysis panel (analysis/FormMainMatEng.cpp): its command is
  // enabled while one is given and the engine library is loaded.
  void SetMatEngPanel(class TFormMatEng* panel);
  void menuMatlabEngineClick();
  // The offline filter and derived data sets (analysis/FormMainFilter.cpp,
  // analysis/FormMainDerived.cpp); each command is enabled while its window
  // is given.
  void SetFilterPanel(class TFormFilter* panel);
  void menuDigiFilterClick();
  void SetDigiIntegrateDialog(class TFormDigiIntegrate* dialog);
  void menuDigiIntegrateClick();
  // The built-in FFT panel (analysis/FormMainFFT.cpp): menuRawFFT is enabled
  // while one is given; the panel analyses the shown range after each
  // redraw of the waveform and after a recording stops, while it is shown.
  void SetFFTPanel(class TFormFFT* panel);
  class TFormFFT* FFTPanel() const { return fftPanel_; }
  void menuRawFFTClick();
  void AnalyseShownSpectrum();
  // The signal-processing library panel (analysis/FormMainMatLib.cpp): its
  // command is enabled while one is given and the library was loaded.
  void SetMatLibPanel(class TFormMatLib* panel);
  void menuMatLabLibClick();
  // The composite value panel: shown by its command, fed every block while shown.
  void SetCompositePanel(class TFormComposite* panel) { compositePanel_ = panel; }
  QAction* menuViewComposite = nullptr;
  void menuViewCompositeClick();
  void BuildCompositeCommands();
  // The per-block sink of the composite panel, or none while it is hidden.
  std::function<void(const uint16_t*)> CompositeSink();
  // The second waveform window: shown by its command, redrawn by Timer2,
  // its page tables rebuilt with the main window's layout.
  void SetSecondDisp(class TFormSecondDisp* window);
  void menuSecondDispClick();
  void menuMapInstToSecondDispClick();
  void RequestSecondDispRepaint();
  void RedrawSecondDispAtTick();
  QAction* menuSecondDisp = nullptr;
  void SetScheduleSaveDialog(class TFormScheduleSave* dialog) { scheduleSaveDialog_ = dialog; }
  // The manual saves' annotation dialog (file name and comment).
  void SetFileInfoDialog(class TFormFileInfo* dialog) { fileInfoDialog_ = dialog; }
  // Saves the whole recorder ring (or the oscilloscope's block) as a record
  // file the user names.
  void menuSaveClick();
  void menuScheduleSaveClick();
  void menuSetSavePathClick();
  void menuExpConditionClick();

  // Texts at the end of the caption for live and history display.
  std::string LiveTitleSuffix;
  std::string HistoryTitleSuffix;

  // Settings tree (shell).
  // Writes the configuration and the view values; false when the store
  // could not save them (the user has been told).
  bool SaveConfigToRegistry();
  void ApplyViewSettingsToMenus();
  void CollectViewSettingsFromMenus();
  void ReportRegistrySaveFailure();

  // Configuration in force (shell).
  void menuLoadConfigClick();
  void menuSaveConfigClick();
  void menuRestoreConfigClick();
  // Applies a record to the live settings; 1 applied, 0 rejected.
  int ApplyConfigRecord(const ConfigRecord& record);
  int LoadDefaultConfigFile();
  // The settings menu shows which configuration is in force.
  void RefreshConfigMenus();
  // Drops the data on display (they no longer fit the configuration) and
  // shows the idle screen.
  void DropShownData();

  // Acquisition commands.
  void menuADPropStringClick();
  // The AD card dialog: opened modally, applied after OK.
  void menuADConfigClick();
  void SetConfADDialog(class TFormConfAD* dialog) { confADDialog_ = dialog; }
  // The trigger-algorithm editor: opened modally while idle (setup).
  void menuAlgorithmClick();
  void SetAlgorithmDialog(class TFormAlgorithm* dialog) { algorithmDialog_ = dialog; }
  // The recorder-settings dialog (setup): refused while acquiring; after OK
  // the settings are kept, and a new ring size empties the display.
  void menuQuelvarConfigClick();
  void menuChannelCalibrationClick();
  void SetCalibrateDialog(class TFormCalibrate* dialog) { calibrateDialog_ = dialog; }
  void SetRecorderSettingsDialog(class TFormFBuff* dialog) { recorderSettingsDialog_ = dialog; }
  // The hardware set-up dialogs (setup/FormMainHardwareSetup.cpp): the PID
  // parameters (refused while acquiring), the torque tables, and the
  // properties of the channels the waveform shows (repaint on OK).
  void menuPIDConfigClick();
  void menuCaliTorqueClick();
  void menuCurChnPropClick();
  void SetPIDDialog(class TFormPID* dialog) { pidDialog_ = dialog; }
  void SetCaliTorqueDialog(class TFormCaliTorque* dialog);
  void SetCurChnPropDialog(class TFormCurChnProp* dialog) { curChnPropDialog_ = dialog; }
  void BuildHardwareSetupCommands();
  QAction* menuCurChnProp = nullptr;
  // The device data panel (modal; the card is initialised first when idle)
  // and the port I/O panel (modeless), in setup/FormMainDevicePorts.cpp.
  void menuIOCtlClick();
  void menuIOPanelClick();
  void SetDeviceDataPanel(class TFormIOCtl* panel) { deviceDataPanel_ = panel; }
  void SetPortPanel(class TFormIOPanel* panel) { portPanel_ = panel; }
  // The record-file manager (history review), shown modally with the whole
  // range ticked; its modal result. The open command reads its choice.
  int RunRecordFileManager();
  void SetFaultManager(class TFormFault* form) { faultManager_ = form; }
  class TFormFault* FaultManager();
  void menuStartQuelvarClick();
  void menuTriggerFaultClick();
  // Block intake: the driver's notification, a pacing tick or the watchdog.
  void Button_NotifyKeyUp();
  void TimerOscilTimer();
  // The two-trace oscilloscope: start and stop, pause, its control panel.
  void menuStartOscilClick();
  void menuPauseClick();
  void menuViewOscilToolClick();
  // Completes the fault record: the file on a writer thread, the history.
  void FinishFaultRecord();
  // Waits for the record files still being written (tests, shut-down).
  void JoinRecordWriters();
  void RecordWritten(const std::string& planned, const struct WriteResult& result);
  // Saves the range shown in the main view as a record file the user names.
  void menuSaveCurrentClick();

  // Network roles and the station stream (net). The role commands keep the
  // check marks of the three role items themselves.
  void menuAloneClick();
  void menuServerClick();
  void menuClientClick();
  int32_t NetworkRole() const { return state_.NetworkRole; }
  // A recorder or oscilloscope start or stop is under way.
  bool StartStopBusy() const { return startStopBusy_; }
  void SetStationWindow(class TFormServer* window);
  void SetStationAddressDialog(class TFormClient* dialog) { stationAddressDialog_ = dialog; }
  // The remote-control console, made at start; the housekeeping polls its
  // radio link.
  void SetRemoteConsole(class TFormRemoteControl* console) { remoteConsole_ = console; }
  void menuRemoteControlClick();
  // The station stream's port (2000); set before the first role command.
  void SetStationStreamPort(uint16_t port) { stationStreamPort_ = port; }
  // The station's listener and the viewer's connection, made at first need.
  class QtStationServer* ServerSocket1 = nullptr;
  class QtViewerLink* ClientSocket1 = nullptr;
  // Station side: its socket handlers, and what the acquisition calls in
  // the station role (after the start, at either stop, per recorded block
  // after its filtering and before its processing, per oscilloscope block).
  void ServerSocket1ClientConnect(int index);
  void ServerSocket1ClientDisconnect();
  void ServerSocket1ClientError(uint64_t connectionId);
  void ServerSocket1ClientRead(int index, const uint8_t* data, size_t size);
  void BroadcastStationStart();
  void BroadcastStationStop();
  void SendStationBlock();
  void SendStationRawBlock();
  // Viewer side: the start connects instead of starting the card, either
  // stop closes the link; the link's reads go to the stream receiver.
  void OpenViewerLink();
  void CloseViewerLink();
  void ClientSocket1Connect();
  void ClientSocket1Error();
  void ClientSocket1Disconnect() {}

  // Remote control, controlled side (net): the listener and its handlers.
  // The first connection is the controller; a second one is only greeted.
  class QtControlServer* ServerSocket_Control = nullptr;  // made at first need
  // The listener's port (2001); set before its first use.
  void SetRemoteControlPort(uint16_t port) { remoteControlPort_ = port; }
  void ServerSocket_ControlClientConnect(uint64_t connection);
  void ServerSocket_ControlClientRead(uint64_t connection, const uint8_t* data, size_t size);
  void ServerSocket_ControlClientDisconnect(uint64_t connection);
  void ServerSocket_ControlClientError(uint64_t connection, const std::string& errorText);
  // Runs the complete frame or payload, replying on `replyConnection`.
  void HandleRemoteCommand(uint64_t replyConnection);
  void menuEnableRemoteClick();
  // For the acquisition: {9, the block's sequence word, RunState} at the
  // start of every processed block while RunState is not 0, and
  // {10, RunState} after every start and stop of the recorder or the
  // oscilloscope. Each goes only to a lone, attached controller.
  void SendControllerBlockFrame(uint16_t sequenceWord);
  void SendControllerStateFrame();
  int32_t ControllerConnected() const { return remoteControl_.ControllerConnected(); }
  const RemoteControlInterpreter& RemoteControl() const { return remoteControl_; }
  // The COM link (IdControlByRadio 1): commands arrive as radio frames on
  // RemoteComPort, polled by the housekeeping, and replies go back on it.
  // Closed last at shut-down.
  SimpleComm RemoteComPort;
  // Opens RemoteComPort as COM<ControlledCom> and checks menuEnableRemote;
  // 1 opened, 0 not (the entry is then unchecked).
  int OpenRemoteCom();
  // Reads and runs at most one frame from RemoteComPort.
  void PollRemoteCom();
  void menuControlledComClick();

  // One-second housekeeping (shell); the first call runs the deferred start-up.
  void Timer1Timer();

  // Interface timer and visibility (view).
  void FormShow();
  void FormHide();
  void Timer2Timer();
  int Timer2Ticks() const { return InterfaceTickCount; }
  bool RepaintRequested() const { return state_.wave.RepaintRequested != 0; }
  // Texts for the message panel (5) and the elapsed-time panel (4), shown
  // by the next interface-timer tick.
  void PostStatusText(const std::string& text);
  void PostElapsedTimeText(const std::string& text);
  // The last text posted for the message panel, shown or not yet.
  const std::string& PostedStatusText() const { return StatusText.Text; }
  void RepaintView();
  void RedrawWaveform();
  // What the window mirrors after an oscilloscope paint: the X scroll bar
  // takes the view's first point. The control panel's gain up-downs and
  // offset bars of traces on automatic range are not mirrored here yet.
  void MirrorOscilloscopeAutoRange(const OscilloscopePaintResult& result);
  // Fills the waveform area with the idle picture (no data on display).
  void DrawIdleScreen();
  void LayoutMainWindow();
  void Image1Paint(class QPainter& painter);
  void menuViewWaveClick();
  void menuViewTextClick();
  void menuViewReportClick();
  // The off-screen picture of the waveform area.
  const class QImage& OffscreenBitmap() const { return *offscreenBitmap_; }

  // Pictures of the view (view/FormMainPictures.cpp). The two vector
  // pictures exist from the window's creation to its end:
  // - SharedPicture: the picture copies and their previews are drawn into
  //   it (DrawToMetafile; other windows' copies draw theirs here too);
  // - PreviewPicture: the print preview draws a printer page into it and
  //   stretches it over its paint box (QtCanvas::StretchDraw).
  platform::QtVectorPicture& SharedPicture() { return *sharedPicture_; }
  platform::QtVectorPicture& PreviewPicture() { return *previewPicture_; }
  // The picture copy: the options dialog, then the view as a vector picture
  // or the screen's bitmap to the clipboard.
  void menuCopyWaveClick();
  // The shown view drawn into SharedPicture by the picture options.
  void DrawToMetafile();
  // What the screen shows of the waveform: the off-screen bitmap with the
  // marks and their labels over it (the bitmap copy).
  class QImage ScreenPicture() const;
  // Shows `picture` stretched over Image1 until the view is next drawn (the
  // options dialog's preview).
  void ShowPictureOverImage1(const platform::Picture& picture);
  bool ShowsPictureOverImage1() const { return pictureOverImage1_ != nullptr; }
  // The printer's page in printer pixels and its resolution; without a
  // print target the screen view's size and resolution stand in.
  struct PrinterPage {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t DotsPerInch = 0;
  };
  PrinterPage CurrentPrinterPage() const;
  // Clears SharedPicture, sizes it by the picture options (a window shown
  // at `screenSize` on a screen of `screenDpi`) and opens a canvas on it in
  // the picture font: the start of every window's DrawToMetafile.
  std::unique_ptr<platform::QtCanvas> OpenSharedPictureCanvas(PictureSize screenSize, int screenDpi);
  // The picture options dialog; made at first use when none was given.
  void SetGraphTypeDialog(class TFormGraphType* dialog);
  class TFormGraphType& GraphTypeDialog();

  // Small launchers (view/FormMainLaunchers.cpp).
  void menuSetWinTitleClick();
  void menuCardSettingClick();
  void menuWavePropClick();
  void ToolButtonRepaintClick();
  void menuHarmonicAccurateClick();
  void menuHarmonicFourierClick();

  // The two marks of the waveform view (view/FormMainMarks.cpp). The paint
  // box's and the labels' mouse events; X and Y are pixels of Image1.
  void Image1MouseDown(Qt::MouseButton button, int X, int Y);
  void Image1MouseMove(int X, int Y);
  void Image1MouseUp(Qt::MouseButton button, int X, int Y);
  void Label_Mark1MouseDown(Qt::MouseButton button);
  void Label_Mark2MouseDown(Qt::MouseButton button);
  // Moves cursor timeMark and level line levelMark (0 mark 1, 1 mark 2).
  void MoveMark(int timeMark, int levelMark, int X, int Y);
  // Moves the dragged channel of the shown page to follow row Y.
  void DragPageChannel(int Y);
  // Draws both marks over the picture, posts their readout and refreshes
  // their labels; the oscilloscope's form takes over in its display.
  void DrawMarks();
  void DrawOscMarks();
  // The marks afresh over the picture, in the waveform view only.
  void RedrawMarks();
  // The value labels' texts at buffer point a for mark 1 or 2, of the
  // recorder and history display and of the oscilloscope.
  std::string MarkCaption(int32_t a, int mark);
  std::string OscMarkCaption(int32_t a, int mark);
  // The caption last given to mark 1's or mark 2's label, its lines broken
  // with the label line break.
  const std::string& MarkLabelCaption(int mark) const;
  // The marks' value kinds (view/FormMainMarkKinds.cpp). Each kind handler
  // selects its kind for its mark, checks its item alone, asks for the
  // kind's parameter (not while StartupPending is 1) and redraws the marks
  // when data are shown.
  void menuMarkInst1Click();
  void menuMarkAvg1Click();
  void menuMarkEffective1Click();
  void menuMarkPhase1Click();
  void menuMark1PerFrq1Click();
  void menuMark2PerFrq1Click();
  void menuMark4PerFrq1Click();
  void menuMarkHexAD1Click();
  void menuMarkHarmonicsN1Click();
  void menuMarkAlgorithmList1Click();
  void menuMarkAlgorithmValue1Click();
  void menuMarkIncN1Click();
  void menuMarkAnalSpeed1Click();
  void menuMarkRangeSum1Click();
  void menuMarkRangeAvg1Click();
  void menuMarkInst2Click();
  void menuMarkAvg2Click();
  void menuMarkEffective2Click();
  void menuMarkPhase2Click();
  void menuMark1PerFrq2Click();
  void menuMark2PerFrq2Click();
  void menuMark4PerFrq2Click();
  void menuMarkHexAD2Click();
  void menuMarkHarmonicsN2Click();
  void menuMarkAlgorithmList2Click();
  void menuMarkAlgorithmValue2Click();
  void menuMarkRatio2Click();
  void menuMarkRatioR2Click();
  void menuMarkPeriod2Click();
  void menuMarkIncN2Click();
  void menuMarkAnalSpeed2Click();
  void menuMarkRangeSum2Click();
  void menuMarkRangeAvg2Click();
  // The kind handlers' common work: `kind` for mark `mark` (1 or 2).
  void SelectMarkKind(int mark, int32_t kind);
  // The item of a kind in a mark's menu, or null.
  QAction* MarkKindMenuItem(int mark, int32_t kind) const;
  // The stored kinds again through their handlers (deferred start-up).
  void RestoreMarkKinds();
  // "当前时刻为时标零点": the mark's instant becomes the time origin.
  void menuMarkTimeOrig1Click();
  void menuMarkTimeOrig2Click();
  // The background menu's way to a mark's menu of kinds.
  void menuChangeYellowMarkClick();
  void menuChangeRedMarkClick();
  void menuViewVClick();
  QAction* menuChangeYellowMark = nullptr;
  QAction* menuChangeRedMark = nullptr;
  // The algorithm picker and the analog-speed dialog, made at start or at
  // first use.
  void SetSelAlgorithmDialog(class TFormSelAlgorithm* dialog) { selAlgorithmDialog_ = dialog; }
  void SetAnalSpeedDialog(class TFormAnalSpeedConf* dialog) { analSpeedDialog_ = dialog; }
  // What Image1 shows over OffscreenBitmap while data are on display: the
  // marks and the labels painted during a live display.
  const class QImage* MarksLayer() const { return marksLayer_.get(); }
  // At a recording's stop: the marks layer without the labels painted into
  // it while recording, and the label controls shown.
  void ShowMarkLabelsAfterRecording();

  // Display layout and the live-display switch (view).
  void RebuildDisplayLayout();
  void MeasureScaleLabels();
  void UpdateChannelScrollRange();
  void menuMonitorClick();
  // Zeroes the torque channels on the latest block (view).
  void ToolButtonTorqueZeroClick();
  void SetupTriggerPage();
  void SetXPointCount(int32_t n);
  // The X zoom presets (1, 2, 4, 8, 16 points per screen of the data) and
  // the any-count item.
  void XZoomPresetClick(int32_t k);
  // The X scroll bar moved (by the user or a command): the first point shown.
  void HScrollBar_XPositionChange();
  void menuXZoomAnyClick();
  // X navigation (view/FormMainXNavigation.cpp): the rest of PopupMenuXZoom,
  // the X tool buttons and the time-axis switches of the waveform's pop-up.
  QAction* menuXZoomMark = nullptr;       // "显示两标线之间"
  QAction* menuXScaleExpand = nullptr;    // "放大1倍"
  QAction* menuXScaleCompress = nullptr;  // "压缩1倍"
  QAction* menuGridXAsPicX = nullptr;     // text-grid start items
  QAction* menuGridXAsMark1 = nullptr;
  QAction* menuGridXAsMark2 = nullptr;
  QAction* menuMapInstToSecondDisp = nullptr;
  QAction* menuPreviousConf = nullptr;  // "上一画面"
  QAction* menuNextConf = nullptr;      // "下一画面"
  QAction* ToolButtonXCompress = nullptr;  // drop-down: PopupMenuXZoom
  QAction* ToolButtonXExpand = nullptr;
  // Shows the points between the marks; the marks then frame the screen.
  void menuXZoomMarkClick();
  // Shows `count` points from `first` (the second waveform window's hand-
  // over), held within the data; XZoom stays.
  void SetXWindow(int32_t first, int32_t count);
  void ToolButtonXCompressClick();
  void ToolButtonXExpandClick();
  // The window before / after the one on screen in the view history.
  void menuPreviousConfClick();
  void menuNextConfClick();
  void menuXAxialTimeClick();
  void menuAbsoluteTimeClick();
  // The colour-and-font dialog (view); made at start, or at first use.
  void menuColorClick();
  void SetColorDialog(class TFormColor* dialog) { colorDialog_ = dialog; }
  // The print settings dialog (view), made at start and shown by the print command.
  void SetPrintPropDialog(class TFormPrintProp* dialog);
  class TFormPrintProp* PrintPropDialog() const { return printPropDialog_; }

  // Y scaling and the display toggles (view/FormMainYScale.cpp). The check
  // marks mirror state_.wave.Options, which the renderer reads; every
  // handler changes the record and its items together.
  QMenu* PopupMenuYZoom = nullptr;  // on VScrollBar_Channel and ToolButtonYCompress
  QAction* menuYZoom1 = nullptr;
  QAction* menuYZoom2 = nullptr;
  QAction* menuYZoom5 = nullptr;
  QAction* menuYZoom10 = nullptr;
  QAction* menuYZoom20 = nullptr;
  QAction* menuYZoom50 = nullptr;
  QAction* menuYZoom100 = nullptr;
  QAction* menuYZoom200 = nullptr;
  QAction* menuYZoom500 = nullptr;
  QAction* menuYZoom1000 = nullptr;
  QAction* menuYExpandStep = nullptr;    // "再放大1倍"
  QAction* menuYCompressStep = nullptr;  // "再压缩1倍"
  QAction* ToolButtonYCompress = nullptr;
  QAction* ToolButtonYExpand = nullptr;
  QMenu* PopupMenuVPage = nullptr;  // drop-down of ToolButtonVPage: the five universal pages
  QAction* ToolButtonVPage = nullptr;
  QMenu* PopupMenuACDC = nullptr;  // on VScrollBar_YOffset
  QAction* menuDC = nullptr;
  QAction* menuAC = nullptr;
  QAction* menuScaleOut = nullptr;
  QAction* menuWhiteBG = nullptr;
  QAction* menuTopMost = nullptr;
  QAction* menuContent = nullptr;
  QAction* menuViewScope = nullptr;  // the channel-scope submenu
  QMenu* PopupMenuBackGroud = nullptr;  // on the waveform (Image1)
  QAction* menuViewXScaleP = nullptr;
  QAction* menuViewGridLineP = nullptr;
  QAction* menuViewGridPointP = nullptr;
  QAction* menuViewTraceP = nullptr;
  QAction* menuViewIn1Axial = nullptr;
  // A Y gain preset (1, 2, 5, ... 2000); its item's handler.
  void YZoomPresetClick(int32_t gain);
  // The item of a preset (null for another gain), and checking it alone.
  QAction* YZoomPresetItem(int32_t gain) const;
  void CheckYZoomPresetItem(int32_t gain);
  void ToolButtonYCompressClick();
  void ToolButtonYExpandClick();
  void UpdateYOffsetRange(int32_t previousYZoom);
  void VScrollBar_YOffsetChange();
  void menuDCClick();
  void menuACClick();
  void menuScaleOutClick();
  void menuViewXScaleClick();
  void menuViewScaleAlwaysClick();
  void menuViewGridLineClick();
  void menuViewGridPointClick();
  void menuViewYGridClick();
  void menuViewXScalePClick() { menuViewXScaleClick(); }
  void menuViewScaleAlwaysPClick() { menuViewScaleAlwaysClick(); }
  void menuViewGridLinePClick() { menuViewGridLineClick(); }
  void menuViewGridPointPClick() { menuViewGridPointClick(); }
  void menuViewTracePClick() { menuViewTraceClick(); }
  void menuViewIn1AxialClick();
  void menuViewTraceClick();
  void menuBGTransClick();
  void menuWhiteBGClick();
  void menuDispScaleClick();
  void menuTopMostClick();
  // Sets a view option and the check marks of its items (item and twin).
  void SetViewOption(bool ViewOptions::*option, bool on);
  // All check marks from the record (after a load).
  void MirrorViewOptionsToMenus();
  // Check marks other code sets directly (the switch view, the live
  // display, ...) carry on into the record.
  void FollowViewOptionItems();
  // The mark labels in the colours of the scheme's row, transparent or not.
  void ApplyMarkLabelColours();
  // The Y zoom and DC/AC pop-ups, the Y tool buttons, the waveform's pop-up
  // menu and the two vertical bars' hints and menus.
  void BuildYScaleMenus();

  // The text grid (view/FormMainTextGrid.cpp): its pop-up menu, the grid
  // start items of PopupMenuXZoom, and their commands.
  QMenu* PopupMenuGrid = nullptr;  // on Grid1
  QAction* menuGridDirectValue = nullptr;
  QAction* menuGridHex = nullptr;
  QAction* menuGridExpand = nullptr;
  QAction* menuGridCompress = nullptr;
  QAction* menuGridDefOrder = nullptr;
  QAction* menuGridLoadOrder = nullptr;
  QAction* menuGridSaveOrder = nullptr;
  // A click on a panel shows the next view: waveform, text grid, run log.
  void Panel_WaveformClick() { menuViewTextClick(); }
  void Panel_GridClick() { menuViewReportClick(); }
  void Panel_ReportClick() { menuViewWaveClick(); }
  void FillTextGrid();
  void Grid1TopLeftChanged() { FillTextGrid(); }
  void HScrollBar_GridChange();
  void menuGridXAsPicXClick();
  void menuGridXAsMark1Click();
  void menuGridXAsMark2Click();
  void menuGridEngClick();
  void menuGridDirectValueClick();
  void menuGridHexClick();
  void menuGridExpandClick();
  void menuGridCompressClick();
  void menuGridDefOrderClick();
  // A position typed into the last column: the channel of that row moves
  // there. Applied when the cell's editing ends (Grid1EditDone), so that a
  // number of several digits is taken whole.
  void Grid1SetEditText(int col, int row, const std::string& text);
  void Grid1EditDone();
  void Grid1RowMoved(int from, int to);
  void menuGridLoadOrderClick();
  void menuGridSaveOrderClick();
  // Channel scopes, the analog/switch view, the phases' axes, the channel
  // scroll bar and the universal page (view/FormMainScopes.cpp). The scope
  // items mirror state_.wave.Options.Scope, which only these commands set.
  QAction* menuScope1P = nullptr;  // the waveform pop-up's twins of the scopes
  QAction* menuScope4P = nullptr;
  QAction* menuScope8P = nullptr;
  QAction* menuScope16P = nullptr;
  QAction* menuScopeAllP = nullptr;
  QAction* menuScopePageP = nullptr;
  QAction* menuScopeVPageP = nullptr;
  void menuScopeChannelClick();
  void menuScopeLineClick();
  void menuScope4Click();
  void menuScope8Click();
  void menuScope16Click();
  void menuScopeAllClick();
  void menuScopeOverallClick();
  void menuScopePageClick();
  void menuScope1PClick() { menuScopeChannelClick(); }
  void menuScope4PClick() { menuScope4Click(); }
  void menuScope8PClick() { menuScope8Click(); }
  void menuScope16PClick() { menuScope16Click(); }
  void menuScopeAllPClick() { menuScopeAllClick(); }
  void menuScopePagePClick() { menuScopePageClick(); }
  void menuScopeVPagePClick() { menuScopeVPageClick(); }
  void menuPhaseSingleClick();
  void menuPhaseMultipleClick();
  void menuViewAnalogClick();
  void menuViewSwitchClick();
  void VScrollBar_ChannelChange();
  // A key pressed on the channel scroll bar (Qt key code; digits 48..57).
  void VScrollBar_ChannelKeyDown(int key);
  // Edits the universal page in the page dialog and shows it (also
  // ToolButtonVPage's click).
  void menuScopeVPageClick();
  // Shows the universal page: 1 done, 0 refused (oscilloscope, no data).
  int SelectUniversalPage();
  void menuVPage1Click() { UniversalPageSlotClick(0); }
  void menuVPage2Click() { UniversalPageSlotClick(1); }
  void menuVPage3Click() { UniversalPageSlotClick(2); }
  void menuVPage4Click() { UniversalPageSlotClick(3); }
  void menuVPage5Click() { UniversalPageSlotClick(4); }
  void UniversalPageSlotClick(int32_t slot);
  void SwitchUniversalPageSlot(int32_t oldSlot, int32_t newSlot);
  // The line of display-order position `channel`.
  int32_t LineOfChannel(int32_t channel) const;
  // The universal page dialog; made at first use when none was given.
  void SetPageDialog(class TFormPage* dialog) { pageDialog_ = dialog; }
  class TFormPage* PageDialog();

  // History review (analysis). The open command reads a record file, whole
  // or a range of blocks, as the history record and shows it; refused while
  // acquiring. The file and range come from the record-file manager, or from
  // another chooser when one is set (benchmarks, tests of a file that
  // changes after the manager's check).
  void menuSelectFaultClick();
  using RecordFileChooser = std::function<std::optional<RecordOpenChoice>()>;
  void SetRecordFileManager(RecordFileChooser chooser) { recordFileManager_ = std::move(chooser); }
  // Switches the main view to the history record (after a live record
  // completes and after a file is opened).
  void ShowHistoryMode();

  // History review's tools (analysis/FormMainHistoryTools.cpp): skew
  // correction and trigger-point search of the shown record, and playback
  // of the shown data by TimerPlay.
  QAction* menuSynchron = nullptr;
  QAction* menuSearchAlgorithm = nullptr;  // hidden
  QAction* menuPlayForward = nullptr;
  QAction* menuPlayBack = nullptr;
  QAction* menuViewHMEPanel = nullptr;  // hidden
  QMenu* PopupMenuPlaySpeed = nullptr;  // drop-down of ToolButtonPlayForward
  QAction* menuSpeedPlay = nullptr;
  QAction* menuSlowPlay = nullptr;
  QAction* ToolButtonPlayForward = nullptr;  // plays towards earlier data
  QAction* ToolButtonPlayBack = nullptr;     // plays towards later data
  QTimer* TimerPlay = nullptr;
  void menuSynchronClick();
  void menuSearchAlgorithmClick();
  void ToolButtonPlayForwardClick();
  void ToolButtonPlayBackClick();
  void menuPlayForwardClick();
  void menuPlayBackClick();
  void TimerPlayTimer();
  void StopPlayback();
  void menuSpeedPlayClick();
  void menuSlowPlayClick();
  void menuPlayIntervalClick();
  void menuPlayIncClick();
  void menuViewHMEPanelClick() {}  // hidden; does nothing

  // Run log and status bar panels.
  void AppendRunLog(const std::string& line);
  std::string RunLogText() const;
  void SetStatusPanelText(int panel, const std::string& text);
  void SetStatusPanelWidth(int panel, int width);
  void StretchLastStatusPanel();
  std::string StatusPanelText(int panel) const;
  int StatusPanelCount() const { return static_cast<int>(statusPanels_.size()); }

  AppState& State() { return state_; }
  RegistryContext MakeRegistryContext() const;
  const ScreenSaverGuard& ScreenSaver() const { return screenSaverGuard_; }

 signals:
  // The main window has closed; the program ends.
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildComponents();
  void BuildDataArea();
  // The labels' font and mouse presses, and the paint box's mouse events.
  void BuildMarkControls();
  MarkPlot CurrentMarkPlot() const;
  // The marks layer at Image1's size, emptied.
  class QImage& ClearedMarksLayer();
  void ClearMarksLayer();
  void SetMarkCaptions(const std::string& first, const std::string& second);
  // Sets each label's left beside its mark; painted: hides the labels and
  // paints their texts into the marks layer instead.
  void PlaceMarkLabels(const MarkPlot& plot, const MarkColours& colours, bool painted);
  void SelectViewMode(int32_t mode);
  // The text grid's widgets and menus (view/FormMainTextGrid.cpp).
  void BuildTextGrid();
  void BuildTextGridMenus();
  void SelectGridMode(QAction* item);
  // The typed position waiting for its cell's editing to end; row -1: none.
  struct PendingGridPosition {
    int row = -1;
    std::string text;
  } pendingGridPosition_;
  // The status panel, message and caption of a record on show.
  void AnnounceHistory();
  std::optional<RecordOpenChoice> ChooseRecordFile();
  RecordFileChooser recordFileManager_;
  // The view items a recorder run shows and the oscilloscope hides.
  void SetRecorderViewItemsVisible(bool visible);
  void CheckXZoomItem(QAction* item);
  void WidthTail();
  void SetUpStatusPanels();
  void RestoreMainWindowGeometry();
  void SaveMainWindowGeometry();
  void LoadAnalysisLibraries();
  void ApplyStartupMenuStates();
  void RunDeferredStartup();
  // A replayed record file lends its configuration; with keepLentCaption
  // a configuration already lent keeps the name the settings menu shows.
  void LendReplayConfig(bool keepLentCaption);
  bool PrepareRun(bool recorderRun, const std::string& lentConfigLine);
  // Where the start preparation reports: run log, status texts, message
  // boxes, status panels, and the views' layout.
  struct StartReporter MakeStartReporter();
  void SetUpPidAndChannelRate();
  std::string DriverFailureText(const std::string& reasonPrefix, const std::string& plain) const;
  bool InitialiseRealCard(const std::string& reasonPrefix);
  void StartRecording();
  bool StartRecorderSource();
  bool StartContinuousSaving();
  void StopRecording();
  void WriteManualRecord(ManualSaveKind kind);
  bool PrepareVirtualCard(bool logRefusal);
  bool StartVirtualCard();
  bool StartRealCard();
  void StartOscilloscope();
  void StopOscilloscope();
  bool StartOscilRealCard();
  void OscilTick();
  struct BlockReporter MakeBlockReporter();
  std::unique_ptr<class SaveWriter> MakeSaveWriter();
  // Per-block processing of the block in hand, told to an attached
  // controller first.
  void ProcessCurrentBlock(const struct BlockReporter& report);
  // The station stream's parts, made at first need (net).
  void CreateStationStream();
  void CheckNetworkRole(QAction* item);
  void LeaveStationRole();
  struct StationLink StationStreamLink();
  // Blocks whose compression may outlast them are compressed on the station
  // stream's worker thread and sent from here, in their order, as they are
  // done; the finish waits for the last of them (before a start or stop is
  // announced, and before the codec is used otherwise).
  void SendCompressedStationBlocks();
  void FinishStationCompression();
  // What the viewer's receiver asks of the main window.
  friend class FormMainViewerHost;
  void ApplyStationConfig(const ConfigRecord& record);
  bool PrepareViewerStart();
  void StopViewerRun();
  void TakeViewerBlock(const uint8_t* block, size_t size);
  ConfigCommandEnv MakeConfigCommandEnv();
  void BuildMenus();
  void BuildMarkKindMenus();
  // Asks for the parameter of `kind` of mark `mark` and captions its item.
  void AskMarkParameter(int mark, int32_t kind);
  void AskAlgorithmNumber(int mark);
  // The trigger-algorithm picker, made at first use when none was given.
  class TFormSelAlgorithm& SelAlgorithmDialog();
  void AskAnalogSpeed(int mark);
  void BuildXZoomMenu();
  void BuildXNavigationMenus();
  // The any-count item checked alone, with the width in its caption.
  void ShowAnyCountWidth();
  void ShowHistoryWindow();
  // A compress or expand step: a preset, or an any-count width.
  void ApplyXZoomStep(const struct XZoomStep& step);
  void BuildPlaybackMenuItems();
  void BuildHistoryTools();
  void StartOrStopPlayback(int32_t direction);
  // The scope, view and page items' connections and the pop-up's twins.
  void BuildScopeMenus();
  // Checks the item of the recorded scope alone.
  void MirrorScopeItems();
  void CheckScope(ChannelScope scope);
  // A scope command: nothing when the scope is in force, or when it shows
  // analog rows only and the switch view is on.
  void SelectScope(ChannelScope scope, bool refusedInSwitchView);
  // The print target the window prints on; where the system has no printer
  // it writes PDF files named by NewPrintFileName.
  platform::PrintTarget* printTarget_ = nullptr;
  PrintContext MakePrintContext();
  void ShowPrintPreview(const platform::QtVectorPicture& picture);
  // After a job: a refused job is told, a job that went into a file names it.
  void ReportPrintJob(int32_t pages);
  // The scale labels' width in a printed picture.
  int32_t PrintedLabelWidth();
  // Set while a print job runs: the screen is not repainted and playback
  // waits (the view's range is the page's meanwhile), starts and stops are
  // refused, and no second job begins.
  bool printJobOpen_ = false;
  class PrintJobScope {
   public:
    explicit PrintJobScope(TFormMain& form);
    ~PrintJobScope();
    PrintJobScope(const PrintJobScope&) = delete;
    PrintJobScope& operator=(const PrintJobScope&) = delete;

   private:
    TFormMain& form_;
    bool startStopWasBusy_;
  };
  // Shows the progress of a long print; null until the first one.
  class QProgressDialog* printProgress_ = nullptr;
  // The output commands' and launchers' items, connected by their files.
  void BuildTextExportCommands();
  int64_t BuildTextTable(bool oscilloscope, const std::function<void(std::string_view)>& sink);
  void BuildPictureCommands();
  void BuildPrintCommands();
  void BuildLauncherCommands();
  // Items whose commands are not built yet are disabled, never silent.
  void DisableCommandsNotBuilt();
  // The two device items of the parameters menu; the deferred start-up's
  // automatic device-data send.
  void BuildDevicePortItems();
  void AutoSendDeviceData();
  // The recording-oscilloscope presentation renames and hides items.
  void ApplyPresentationCaptions();
  QAction* AddCheckItem(QMenu* menu, const char* name, const char* caption, bool checked);
  QAction* AddItem(QMenu* menu, const char* name, const char* caption);
  void AddStatusPanel(int width);

  AppState& state_;
  MainWindowServices services_;
  ScreenSaverGuard screenSaverGuard_;
  std::vector<QLabel*> statusPanels_;
  int32_t InterfaceTickCount = 0;
  PostedText StatusText;
  PostedText ElapsedTimeText;
  std::unique_ptr<class QImage> offscreenBitmap_;
  std::unique_ptr<class QImage> marksLayer_;
  std::unique_ptr<platform::QtVectorPicture> sharedPicture_;
  std::unique_ptr<platform::QtVectorPicture> previewPicture_;
  // A preview shown over Image1 instead of the bitmap, until the next drawing.
  std::unique_ptr<class QImage> pictureOverImage1_;
  // Whether each value label was shown when a picture came over Image1.
  std::array<bool, 2> labelsUnderPicture_{};
  // Takes the picture away and gives the labels back.
  void RemovePictureOverImage1();
  class TFormGraphType* graphTypeDialog_ = nullptr;
  std::string markCaptions_[2];
  // The labels stand beside their level lines from the first drawing on,
  // before any drag has placed them.
  bool markLabelTopsPlaced_ = false;
  // The branding logo of the idle screen, when the branding file names one.
  std::unique_ptr<platform::QtPicture> oemLogo_;
  bool destroyed_ = false;
  // Set while a start or stop runs: its message boxes let socket events in,
  // and a remote command must not start, stop or change the role meanwhile.
  bool startStopBusy_ = false;
  struct StartStopScope {
    explicit StartStopScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~StartStopScope() { flag_ = false; }
    StartStopScope(const StartStopScope&) = delete;
    StartStopScope& operator=(const StartStopScope&) = delete;
    bool& flag_;
  };
  bool deferredStartupBegun_ = false;
  // Remote control (net): the listener made at first need, the deferred
  // start-up's activation, the frames sent unasked.
  class QtControlServer& ControlServer();
  void ActivateRemoteControl();
  void SendToLoneController(const RemoteCommandFrame& frame);
  void DetachController(uint64_t connection);
  uint16_t remoteControlPort_ = kRemoteControlPort;
  RemoteControlInterpreter remoteControl_;
  // Closes RemoteComPort; a COM controller leaves with it.
  void CloseRemoteCom();
  RadioFrameReader remoteComReader_{true};
  platform::QtSerialPump* remoteComPump_ = nullptr;  // made with the first opening
  class TFormAbout* aboutBox_ = nullptr;
  class TFormGroup* channelGroupDialog_ = nullptr;
  QWidget* expTextWindow_ = nullptr;
  class TFormSetPath* savePathDialog_ = nullptr;
  class TFormTool* oscilTool_ = nullptr;
  class TFormXYDisplay* xyDisplay_ = nullptr;
  // The analysis-result window and whether its command is connected.
  class TFormSpectrum* analysisResultWindow_ = nullptr;
  bool resultCommandConnected_ = false;
  // The engine analysis panel and whether its command is connected.
  class TFormMatEng* matEngPanel_ = nullptr;
  bool matEngCommandConnected_ = false;
  // The offline filter panel and the derived data set dialog.
  class TFormFilter* filterPanel_ = nullptr;
  class TFormDigiIntegrate* digiIntegrateDialog_ = nullptr;
  class TFormFFT* fftPanel_ = nullptr;  // the built-in FFT panel
  // The signal-processing library panel and whether its command is connected.
  class TFormMatLib* matLibPanel_ = nullptr;
  bool matLibCommandConnected_ = false;
  class TFormComposite* compositePanel_ = nullptr;
  class TFormSecondDisp* secondDisp_ = nullptr;
  void BuildSecondDispCommands();
  class TFormScheduleSave* scheduleSaveDialog_ = nullptr;
  class TFormFileInfo* fileInfoDialog_ = nullptr;
  class TFormConfAD* confADDialog_ = nullptr;
  class TFormAlgorithm* algorithmDialog_ = nullptr;
  class TFormCalibrate* calibrateDialog_ = nullptr;
  class TFormFBuff* recorderSettingsDialog_ = nullptr;
  class TFormIOCtl* deviceDataPanel_ = nullptr;
  class TFormIOPanel* portPanel_ = nullptr;
  class TFormFault* faultManager_ = nullptr;
  class TFormColor* colorDialog_ = nullptr;
  class TFormPage* pageDialog_ = nullptr;
  class TFormSelAlgorithm* selAlgorithmDialog_ = nullptr;
  class TFormAnalSpeedConf* analSpeedDialog_ = nullptr;
  class TFormPID* pidDialog_ = nullptr;
  class TFormCaliTorque* caliTorqueDialog_ = nullptr;
  class TFormCurChnProp* curChnPropDialog_ = nullptr;
  class TFormPrintProp* printPropDialog_ = nullptr;
  // Turns the driver's posts into intake calls on this thread.
  platform::QtDriverNotifier* notifier_ = nullptr;
  std::unique_ptr<class RecordWriter> recordWriter_;
  // The recorder's continuous saving of a whole run.
  std::unique_ptr<class ContinuousSave> continuousSaver_;
  std::unique_ptr<class ScheduleSaveObj> scheduleSaver_;
  // Writes the two savers' files off this thread; declared after them, so
  // it has finished with them before they go.
  std::unique_ptr<class SaveWriter> saveWriter_;
  // Where the run's files go (absolute), taken at its start.
  std::string saveDirectory_;
  class TFormServer* stationWindow_ = nullptr;
  class TFormClient* stationAddressDialog_ = nullptr;
  class TFormRemoteControl* remoteConsole_ = nullptr;
  uint16_t stationStreamPort_ = 2000;
  // Codec, receiver and sockets of the station stream; a child object.
  class StationStreamParts* stationStream_ = nullptr;
};

}  // namespace quelvar
