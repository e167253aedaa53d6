// Process entry: the application object, the windows in their creation
// order, the message loop, and a clean end on close, SIGTERM or SIGINT.
#include <cstdio>
#include <exception>
#include <memory>

#include "common/AppState.h"
#include "platform/FileRegistry.h"
#include "platform/qt/DBusScreenSaverControl.h"
#include "platform/qt/QtPrintTarget.h"
#include "platform/qt/QtUiHost.h"
#include "platform/qt/TerminationSignals.h"
#include "analysis/FormDigiIntegrate.h"
#include "analysis/FormFFT.h"
#include "analysis/FormFault.h"
#include "analysis/FormFilter.h"
#include "analysis/FormMatEng.h"
#include "acquisition/FormExpText.h"
#include "acquisition/FormFileInfo.h"
#include "acquisition/FormScheduleSave.h"
#include "acquisition/FormSetPath.h"
#include "analysis/FormAnalysisResult.h"
#include "analysis/FormMatLib.h"
#include "auxwin/FormComposite.h"
#include "auxwin/FormSecondDisp.h"
#include "auxwin/FormTool.h"
#include "auxwin/FormXYDisplay.h"
#include "net/FormClient.h"
#include "net/FormRemoteControl.h"
#include "net/FormServer.h"
#include "setup/FormAlgorithm.h"
#include "setup/FormAnalSpeedConf.h"
#include "setup/FormCaliTorque.h"
#include "setup/FormCalibrate.h"
#include "setup/FormConfAD.h"
#include "setup/FormCurChnProp.h"
#include "setup/FormFBuff.h"
#include "setup/FormGroup.h"
#include "setup/FormIOCtl.h"
#include "setup/FormIOPanel.h"
#include "setup/FormPID.h"
#include "setup/FormSelAlgorithm.h"
#include "shell/FormAbout.h"
#include "shell/FormMain.h"
#include "shell/QuelvarApplication.h"
#include "view/FormColor.h"
#include "view/FormGraphType.h"
#include "view/FormPrintProp.h"


namespace {

void RunProgram(quelvar::QuelvarApplication& app, quelvar::platform::QtUiHost& ui) {
  using namespace quelvar;
  // Watch for termination before any window exists: a request that comes
  // early waits until the loop runs.
  platform::TerminationSignalWatcher termination;
  platform::FileRegistry registry(platform::DefaultRegistryDir());
  platform::DBusScreenSaverControl screenSaver;
  AppState state;
  state.HelpFile = app.HelpFile();
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) state.startup.CommandLineArguments.push_back(args[i].toStdString());

  // The windows in their order; the first is the main window. Each window's
  // creation handler runs as it is made, so the main window's touches no other.
  auto formMain = std::make_unique<TFormMain>(state, MainWindowServices{registry, ui, screenSaver});
  ui.SetParentWindow(formMain.get());
  auto formAbout = std::make_unique<TFormAbout>(state, registry);
  formMain->SetStationAddressDialog(new TFormClient(state, registry, formMain.get()));  // owned by the main window
  formMain->SetConfADDialog(new TFormConfAD(state, registry, ui, formMain.get()));  // owned by the main window
  // Reads the continuous-save names now; stores them when the main window goes.
  formMain->SetRecorderSettingsDialog(new TFormFBuff(state, registry, ui, formMain.get()));  // likewise
  // A window of its own, hidden until the station role is taken; it goes
  // after the main window, whose shut-down may still report to it.
  auto formServer = std::make_unique<TFormServer>(state, registry);
  formMain->SetStationWindow(formServer.get());
  formMain->SetFaultManager(new TFormFault(state, registry, ui, formMain.get()));  // owned by the main window
  auto* formGroup = new TFormGroup(state, registry, ui, formMain.get());  // owned by the main window
  // A window of its own, hidden until asked for; it goes before the main
  // window, whose housekeeping polls it.
  auto formRemoteControl = std::make_unique<TFormRemoteControl>(*formMain, state, registry, ui);
  formMain->SetRemoteConsole(formRemoteControl.get());
  formMain->SetColorDialog(new TFormColor(state, registry, ui, formMain.get()));  // owned by the main window
  // Reads the print settings now; stores them when the main window goes.
  formMain->SetPrintPropDialog(new TFormPrintProp(state, registry, ui, formMain.get()));  // likewise
  formMain->SetAboutBox(formAbout.get());
  formMain->SetChannelGroupDialog(formGroup);
  formMain->SetAlgorithmDialog(new TFormAlgorithm(state, registry, ui, formMain.get()));  // owned by the main window
  formMain->SetCalibrateDialog(new TFormCalibrate(state, registry, ui, formMain.get()));  // owned by the main window
  auto* formFileInfo = new TFormFileInfo(state, registry, formMain.get());  // owned by the main window
  formMain->SetFileInfoDialog(formFileInfo);
  formMain->SetSelAlgorithmDialog(new TFormSelAlgorithm(state, formMain.get()));  // owned by the main window
  auto formExpText = std::make_unique<TFormExpText>(state, registry);
  formFileInfo->SetExpTextWindow(formExpText.get());
  formMain->SetAnalSpeedDialog(new TFormAnalSpeedConf(state, registry, formMain.get()));  // likewise
  formMain->SetSavePathDialog(new TFormSetPath(state, registry, formMain.get()));  // owned by the main window
  formMain->SetScheduleSaveDialog(new TFormScheduleSave(state, registry, formMain.get()));  // likewise
  // The built-in FFT panel, a window of its own: shown by the main window's
  // command and the oscilloscope panel's FFT box.
  auto formFFT = std::make_unique<TFormFFT>(state, registry, ui, *formMain);
  formMain->SetFFTPanel(formFFT.get());
  formMain->SetExpTextWindow(formExpText.get());
  auto formTool = std::make_unique<TFormTool>(state, registry);
  formMain->SetOscilToolPanel(formTool.get());
  auto formComposite = std::make_unique<TFormComposite>(state, registry, ui);
  formMain->SetCompositePanel(formComposite.get());
  // The offline filter panel and the derived data set dialog come after the
  // composite editor (made by the composite panel); they read their settings
  // now and store them when the main window goes.
  formMain->SetFilterPanel(new TFormFilter(state, registry, ui, formMain.get()));  // owned by the main window
  formMain->SetDigiIntegrateDialog(new TFormDigiIntegrate(state, registry, formMain.get()));  // likewise
  formMain->SetPIDDialog(new TFormPID(state, registry, formMain.get()));  // owned by the main window
  formMain->SetCurChnPropDialog(new TFormCurChnProp(state, registry, formMain.get()));  // likewise
  auto formSecondDisp = std::make_unique<TFormSecondDisp>(state, registry, ui);
  formMain->SetSecondDisp(formSecondDisp.get());
  formMain->SetDeviceDataPanel(new TFormIOCtl(state, registry, formMain.get()));  // owned by the main window
  // The engine analysis panel, a window of its own after the device data
  // panel; it hands its results to the analysis-result window made later.
  auto formMatEng = std::make_unique<TFormMatEng>(state, registry, *formMain);
  formMain->SetMatEngPanel(formMatEng.get());
  // The signal-processing library panel, a window of its own; it goes
  // before the main window, whose menu shows it.
  auto formMatLib = std::make_unique<TFormMatLib>(state, registry, ui, *formMain);
  formMain->SetMatLibPanel(formMatLib.get());
  formMain->SetPortPanel(new TFormIOPanel(state, registry, formMain.get()));  // likewise
  formMain->SetGraphTypeDialog(new TFormGraphType(state, registry, ui, formMain.get()));  // likewise
  // The analysis-result window, handed the analysis panels' results; it
  // goes before the main window it copies its pictures through.
  auto formSpectrum = std::make_unique<TFormSpectrum>(state, registry, ui, *formMain);
  formMain->SetAnalysisResultWindow(formSpectrum.get());
  formMatEng->SetResultWindow(formSpectrum.get());
  formMatLib->SetResultWindow(formSpectrum.get());
  // A window of its own, shown by the main window's command and the
  // oscilloscope panel's X-Y box; it goes before the main window it reads.
  auto formXYDisplay = std::make_unique<TFormXYDisplay>(state, registry, ui, *formMain);
  formMain->SetXYDisplay(formXYDisplay.get());
  formTool->SetXYDisplay(formXYDisplay.get(), [window = formMain.get()] { window->menuDispXYClick(); });
  formTool->SetFFTPanel(formFFT.get(), [window = formMain.get()] { window->menuRawFFTClick(); });
  formFFT->SetOscilToolPanel(formTool.get());
  // Last: it reads the stored torque tables, and stores them when the main window goes.
  formMain->SetCaliTorqueDialog(new TFormCaliTorque(state, registry, ui, formMain.get()));  // likewise
  // Where the system has no printer, every job becomes a PDF file in the
  // save directory (the current directory).
  TFormMain* window = formMain.get();
  quelvar::platform::QtPrintTarget printTarget(ui.Printer(), [window] { return window->NewPrintFileName(); });
  formMain->SetPrintTarget(&printTarget);
  app.EndWithMainWindow(*formMain, termination);

  formMain->show();
  app.exec();

  ui.SetParentWindow(nullptr);
  formAbout.reset();
  formMain->SetAboutBox(nullptr);
  formMain->SetExpTextWindow(nullptr);
  formExpText.reset();
  formMain->SetFFTPanel(nullptr);
  formFFT->SetOscilToolPanel(nullptr);
  formFFT.reset();
  formMain->SetOscilToolPanel(nullptr);
  formTool->SetFFTPanel(nullptr, nullptr);
  formTool.reset();
  formMain->SetXYDisplay(nullptr);
  formXYDisplay.reset();
  formMain->SetMatEngPanel(nullptr);
  formMatEng->SetResultWindow(nullptr);
  formMatEng.reset();
  formMain->SetMatLibPanel(nullptr);
  formMatLib->SetResultWindow(nullptr);
  formMatLib.reset();
  formMain->SetAnalysisResultWindow(nullptr);
  formSpectrum.reset();
  formMain->SetCompositePanel(nullptr);
  formComposite.reset();
  formMain->SetSecondDisp(nullptr);
  formSecondDisp.reset();
  formMain->SetRemoteConsole(nullptr);
  formRemoteControl.reset();
  formMain.reset();  // runs the shut-down sequence
  formServer.reset();
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<quelvar::QuelvarApplication> app;
  // Declared after the application so it goes first: its printer must not
  // outlive the application object.
  quelvar::platform::QtUiHost ui;
  try {
    app = std::make_unique<quelvar::QuelvarApplication>(argc, argv);
    app->SetUiHost(&ui);
    app->SetHelpFile("quelvar.hlp");
    RunProgram(*app, ui);
  } catch (const std::exception& e) {
    if (app) app->ShowError(e.what());
    else std::fprintf(stderr, "quelvar: %s\n", e.what());
  }
  return 0;
}
