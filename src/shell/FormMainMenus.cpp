// The main window's menus. Items whose commands are not built yet are
// disabled; their check marks still hold the stored state, which the
// settings tree keeps and the display reads.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include <initializer_list>
#include <utility>

#include "shell/FormMain.h"
#include "shell/PresentationCaptions.h"
#include "view/PaintBox.h"
#include "view/YScaling.h"

namespace quelvar {

QAction* TFormMain::AddCheckItem(QMenu* menu, const char* name, const char* caption, bool checked) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  item->setCheckable(true);
  item->setChecked(checked);
  return item;
}

QAction* TFormMain::AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(name);
  return item;
}

void TFormMain::BuildMenus() {
  menuSystem = menuBar()->addMenu(QStringLiteral("系统(&S)"));
  menuSystem->setObjectName("menuSystem");
  menuSave = AddItem(menuSystem, "menuSave", "采集缓冲区全部存盘(&B)");
  connect(menuSave, &QAction::triggered, this, [this] { menuSaveClick(); });
  menuSaveCurrent = AddItem(menuSystem, "menuSaveCurrent", "当前显示内容存盘(&C)");
  connect(menuSaveCurrent, &QAction::triggered, this, [this] { menuSaveCurrentClick(); });
  menuSystem->addSeparator();
  menuCopyWave = AddItem(menuSystem, "menuCopyWave", "拷贝波形于剪贴板(&W)");
  menuCopyText = AddItem(menuSystem, "menuCopyText", "拷贝数字于剪贴板(&N)");
  menuCopyReport = AddItem(menuSystem, "menuCopyReport", "拷贝报告于剪贴板(&R)");
  menuSaveAsText = AddItem(menuSystem, "menuSaveAsText", "当前显示内容按文本存盘(&T)");
  menuSystem->addSeparator();
  menuPrint = AddItem(menuSystem, "menuPrint", "打印输出(&P)");
  menuPrinterSetup = AddItem(menuSystem, "menuPrinterSetup", "打印机设置(&S)");
  menuSystem->addSeparator();
  menuSetSysTime = AddItem(menuSystem, "menuSetSysTime", "调整系统时间(&D)");
  menuSetSysTime->setVisible(false);
  menuExit = menuSystem->addAction(QStringLiteral("退出(&X)"));
  menuExit->setObjectName("menuExit");
  connect(menuExit, &QAction::triggered, this, [this] { menuExitClick(); });

  menuSysParam = menuBar()->addMenu(QStringLiteral("系统参数(&P)"));
  menuSysParam->setObjectName("menuSysParam");
  menuLoadConfig = menuSysParam->addAction(QStringLiteral("从文件读取配置信息(&L)"));
  menuLoadConfig->setObjectName("menuLoadConfig");
  menuSaveConfig = menuSysParam->addAction(QStringLiteral("当前配置信息存文件(&W)"));
  menuSaveConfig->setObjectName("menuSaveConfig");
  menuRestoreConfig = menuSysParam->addAction(QStringLiteral("恢复本机配置(&R)"));
  menuRestoreConfig->setObjectName("menuRestoreConfig");
  menuRestoreConfig->setVisible(false);
  menuSysParam->addSeparator();
  menuBusConfig = AddItem(menuSysParam, "menuBusConfig", "通道属性配置(&h)");
  connect(menuBusConfig, &QAction::triggered, this, [this] { menuBusConfigClick(); });
  menuADConfig = AddItem(menuSysParam, "menuADConfig", "采集板参数配置(&A)");
  connect(menuADConfig, &QAction::triggered, this, [this] { menuADConfigClick(); });
  menuQuelvarConfig = AddItem(menuSysParam, "menuQuelvarConfig", "录波器设置(&F)");
  connect(menuQuelvarConfig, &QAction::triggered, this, [this] { menuQuelvarConfigClick(); });
  menuChannelCalibration = AddItem(menuSysParam, "menuChannelCalibration", "通道校准(&B)");
  connect(menuChannelCalibration, &QAction::triggered, this, [this] { menuChannelCalibrationClick(); });
  menuAlgorithm = AddItem(menuSysParam, "menuAlgorithm", "记录启动算法整定(&S)");
  connect(menuAlgorithm, &QAction::triggered, this, [this] { menuAlgorithmClick(); });
  menuPIDConfig = AddItem(menuSysParam, "menuPIDConfig", "PID参数设置(&P)");
  menuPIDConfig->setVisible(false);
  menuCaliTorque = AddItem(menuSysParam, "menuCaliTorque", "扭矩21点刻度信息(&q)");
  menuSepProp = menuSysParam->addSeparator();
  menuSepProp->setObjectName("menuSepProp");
  menuSepProp->setVisible(false);
  menuADPropString = AddItem(menuSysParam, "menuADPropString", "采集板特性说明");
  menuADPropString->setVisible(false);
  connect(menuADPropString, &QAction::triggered, this, [this] { menuADPropStringClick(); });
  menuSetWinTitle = AddItem(menuSysParam, "menuSetWinTitle", "定制窗口标题(&T)");
  menuCardSetting = AddItem(menuSysParam, "menuCardSetting", "?专用配置面板");
  menuCardSetting->setVisible(false);
  connect(menuLoadConfig, &QAction::triggered, this, [this] { menuLoadConfigClick(); });
  connect(menuSaveConfig, &QAction::triggered, this, [this] { menuSaveConfigClick(); });
  connect(menuRestoreConfig, &QAction::triggered, this, [this] { menuRestoreConfigClick(); });

  menuView = menuBar()->addMenu(QStringLiteral("显示(&V)"));
  menuView->setObjectName("menuView");
  // The three views share the data area; one is shown at a time.
  menuViewWave = AddCheckItem(menuView, "menuViewWave", "显示波形(&W)", true);
  menuViewText = AddCheckItem(menuView, "menuViewText", "显示文字(&T)", false);
  menuViewReport = AddCheckItem(menuView, "menuViewReport", "日志报告(&R)", false);
  connect(menuViewWave, &QAction::triggered, this, [this] { menuViewWaveClick(); });
  connect(menuViewText, &QAction::triggered, this, [this] { menuViewTextClick(); });
  connect(menuViewReport, &QAction::triggered, this, [this] { menuViewReportClick(); });
  menuView->addSeparator();
  menuMonitor = AddCheckItem(menuView, "menuMonitor", "实时监控波形(&M)", true);
  connect(menuMonitor, &QAction::triggered, this, [this] {
    // The handler inverts the mark itself, as the tool button's does.
    menuMonitor->setChecked(!menuMonitor->isChecked());
    menuMonitorClick();
  });
  QAction* n1 = menuView->addSeparator();
  n1->setObjectName("N1");
  // Which channels are shown: analog or switch rows, the phases' axes and
  // the channel scope.
  menuViewAnalog = AddCheckItem(menuView, "menuViewAnalog", "模拟量(&A)", true);
  menuViewSwitch = AddCheckItem(menuView, "menuViewSwitch", "开关量(&B)", false);
  QMenu* phases = menuView->addMenu(QStringLiteral("同轴显示(&A)"));
  phases->setObjectName("menuViewPhaseMenu");
  menuViewPhase = phases->menuAction();
  menuViewPhase->setObjectName("menuViewPhase");
  menuPhaseSingle = AddCheckItem(phases, "menuPhaseSingle", "单轴显示(&S)", true);
  menuPhaseMultiple = AddCheckItem(phases, "menuPhaseMultiple", "多相同轴(&M)", false);
  QMenu* scopeMenu = menuView->addMenu(QStringLiteral("通道显示(&C)"));
  scopeMenu->setObjectName("menuViewScopeMenu");
  menuViewScope = scopeMenu->menuAction();
  menuViewScope->setObjectName("menuViewScope");
  // The channel scopes: one radio group, exactly one of them checked.
  menuScopeChannel = AddCheckItem(scopeMenu, "menuScopeChannel", "单通道(&C)", true);
  menuScopeLine = AddCheckItem(scopeMenu, "menuScopeLine", "单线路(&L)", false);
  menuScope4 = AddCheckItem(scopeMenu, "menuScope4", "四通道组(&F)", false);
  menuScope8 = AddCheckItem(scopeMenu, "menuScope8", "八通道组(&E)", false);
  menuScope16 = AddCheckItem(scopeMenu, "menuScope16", "十六通道组(&S)", false);
  menuScopeAll = AddCheckItem(scopeMenu, "menuScopeAll", "全部通道(&A)", false);
  menuScopeOverall = AddCheckItem(scopeMenu, "menuScopeOverall", "模拟+开关量(&O)", false);
  menuScopePage = AddCheckItem(scopeMenu, "menuScopePage", "预定义页(&P)", false);
  auto* scopes = new QActionGroup(this);
  scopes->setObjectName("ScopeGroup");
  scopes->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (QAction* item : {menuScopeChannel, menuScopeLine, menuScope4, menuScope8, menuScope16, menuScopeAll,
                        menuScopeOverall, menuScopePage}) {
    scopes->addAction(item);
  }
  scopeMenu->addSeparator();
  // A command: it edits the universal page and shows it.
  menuScopeVPage = AddItem(scopeMenu, "menuScopeVPage", "万能页(&V)");
  // The five stored universal pages: radio items of the universal-page tool
  // button's drop-down.
  PopupMenuVPage = new QMenu(this);
  PopupMenuVPage->setObjectName("PopupMenuVPage");
  menuVPage1 = AddCheckItem(PopupMenuVPage, "menuVPage1", "万能页1", true);
  menuVPage2 = AddCheckItem(PopupMenuVPage, "menuVPage2", "万能页2", false);
  menuVPage3 = AddCheckItem(PopupMenuVPage, "menuVPage3", "万能页3", false);
  menuVPage4 = AddCheckItem(PopupMenuVPage, "menuVPage4", "万能页4", false);
  menuVPage5 = AddCheckItem(PopupMenuVPage, "menuVPage5", "万能页5", false);
  auto* pageSlots = new QActionGroup(this);
  pageSlots->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  for (QAction* item : {menuVPage1, menuVPage2, menuVPage3, menuVPage4, menuVPage5}) pageSlots->addAction(item);
  QAction* n13 = menuView->addSeparator();
  n13->setObjectName("N13");
  // How the waveform is decorated.
  menuViewTrace = AddCheckItem(menuView, "menuViewTrace", "瞬时标线显示(&I)", true);
  menuBGTrans = AddCheckItem(menuView, "menuBGTrans", "标签透明", true);
  menuWhiteBG = AddCheckItem(menuView, "menuWhiteBG", "白色图形背景", false);
  QAction* spaceTrace = menuView->addSeparator();
  spaceTrace->setObjectName("menuSpaceTrace");
  menuScaleOut = AddCheckItem(menuView, "menuScaleOut", "刻度在外(&O)", true);
  menuViewXScale = AddCheckItem(menuView, "menuViewXScale", "详细X刻度(&X)", true);
  menuViewScaleAlways = AddCheckItem(menuView, "menuViewScaleAlways", "始终显示刻度值", false);
  menuViewGridLine = AddCheckItem(menuView, "menuViewGridLine", "无网格线(&G)", false);
  menuViewGridPoint = AddCheckItem(menuView, "menuViewGridPoint", "网格虚线(&P)", false);
  menuViewYGrid = AddCheckItem(menuView, "menuViewYGrid", "显示Y网格线", false);
  menuDispScale = AddItem(menuView, "menuDispScale", "X刻度数(=5)");
  menuView->addSeparator();
  // Playback's entries, and its speed items for the play button's drop-down.
  BuildPlaybackMenuItems();
  menuView->addSeparator();
  menuColor = AddItem(menuView, "menuColor", "配色方案(&C)");
  connect(menuColor, &QAction::triggered, this, [this] { menuColorClick(); });
  menuTopMost = AddCheckItem(menuView, "menuTopMost", "始终在最前面(&M)", false);
  menuDispXY = AddItem(menuView, "menuDispXY", "显示X-Y图(&X)");
  menuDispXY->setEnabled(false);
  connect(menuDispXY, &QAction::triggered, this, [this] { menuDispXYClick(); });
  // Made visible by the analysis panels when they show a result.
  menuViewSpectrum = AddItem(menuView, "menuViewSpectrum", "谱分析图形窗口(&L)");
  menuViewSpectrum->setVisible(false);
  menuViewSpectrum->setEnabled(false);

  menuAnalysis = menuBar()->addMenu(QStringLiteral("分析(&A)"));
  menuAnalysis->setObjectName("menuAnalysis");
  menuMatlabEngine = AddItem(menuAnalysis, "menuMatlabEngine", "&MATLAB信号处理(&g)");
  menuMatlabLib = AddItem(menuAnalysis, "menuMatlabLib", "独立信号处理(&I)");
  menuAnalysis->addSeparator();
  // Hidden until the deferred start-up shows them.
  menuDigiFilter = AddItem(menuAnalysis, "menuDigiFilter", "数值滤波(&F)");
  menuDigiFilter->setVisible(false);
  menuDigiFilter->setEnabled(false);
  menuDigiIntegrate = AddItem(menuAnalysis, "menuDigiIntegrate", "数值积分与差分(&I)");
  menuDigiIntegrate->setVisible(false);
  menuDigiIntegrate->setEnabled(false);
  menuRawFFT = AddItem(menuAnalysis, "menuRawFFT", "内置谱分析窗口");
  menuRawFFT->setVisible(false);
  menuRawFFT->setEnabled(false);
  connect(menuRawFFT, &QAction::triggered, this, [this] { menuRawFFTClick(); });

  menuRecorder = menuBar()->addMenu(QStringLiteral("采集(&C)"));
  menuRecorder->setObjectName("menuRecorder");
  menuStartQuelvar = AddCheckItem(menuRecorder, "menuStartQuelvar", "启动录波器(&S)", false);
  connect(menuStartQuelvar, &QAction::triggered, this, [this] { menuStartQuelvarClick(); });
  menuTriggerFault = AddItem(menuRecorder, "menuTriggerFault", "手动触发记录(&T)");
  connect(menuTriggerFault, &QAction::triggered, this, [this] { menuTriggerFaultClick(); });
  menuStartOscil = AddCheckItem(menuRecorder, "menuStartOscil", "启动双踪示波器(&O)", false);
  connect(menuStartOscil, &QAction::triggered, this, [this] { menuStartOscilClick(); });
  menuPause = AddCheckItem(menuRecorder, "menuPause", "暂停", false);
  menuPause->setVisible(false);
  connect(menuPause, &QAction::triggered, this, [this] { menuPauseClick(); });
  menuViewOscilTool = AddItem(menuRecorder, "menuViewOscilTool", "示波器面板(&O)");
  menuViewOscilTool->setVisible(false);
  connect(menuViewOscilTool, &QAction::triggered, this, [this] { menuViewOscilToolClick(); });
  menuExpCondition = AddItem(menuRecorder, "menuExpCondition", "试验条件输入(&C)");
  connect(menuExpCondition, &QAction::triggered, this, [this] { menuExpConditionClick(); });
  menuSetSavePath = AddItem(menuRecorder, "menuSetSavePath", "设定存盘路径(&V)");
  connect(menuSetSavePath, &QAction::triggered, this, [this] { menuSetSavePathClick(); });
  menuScheduleSave = AddItem(menuRecorder, "menuScheduleSave", "定时记录设定(&E)");
  connect(menuScheduleSave, &QAction::triggered, this, [this] { menuScheduleSaveClick(); });

  // History review: opening a stored record.
  menuFaultMenu = menuBar()->addMenu(QStringLiteral("历史数据管理(&M)"));
  menuFaultMenu->setObjectName("menuFaultMenu");
  menuFault = menuFaultMenu->menuAction();
  menuFault->setObjectName("menuFault");
  // The mark says whether a record is on show; the command sets it, not the click.
  menuSelectFault = AddCheckItem(menuFaultMenu, "menuSelectFault", "打开历史数据(&O)", false);
  connect(menuSelectFault, &QAction::triggered, this, [this] {
    menuSelectFault->setChecked(!menuSelectFault->isChecked());
    menuSelectFaultClick();
  });

  menuNetwork = menuBar()->addMenu(QStringLiteral("网络(&N)"));
  menuNetwork->setObjectName("menuNetwork");
  menuAlone = AddCheckItem(menuNetwork, "menuAlone", "脱机工作(&A)", true);
  menuServer = AddCheckItem(menuNetwork, "menuServer", "作为现场采集站(&S)", false);
  menuClient = AddCheckItem(menuNetwork, "menuClient", "作为远程控制台(&C)", false);
  // The role commands set the three check marks themselves: the click's own
  // toggle is undone first.
  const std::pair<QAction*, void (TFormMain::*)()> roles[] = {
      {menuAlone, &TFormMain::menuAloneClick},
      {menuServer, &TFormMain::menuServerClick},
      {menuClient, &TFormMain::menuClientClick}};
  for (const auto& [item, handler] : roles) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  }
  menuRemoteControl = AddItem(menuNetwork, "menuRemoteControl", "遥控对方(&R)");
  connect(menuRemoteControl, &QAction::triggered, this, [this] { menuRemoteControlClick(); });
  menuEnableRemote = AddCheckItem(menuNetwork, "menuEnableRemote", "接收遥控指令(&E)", true);
  connect(menuEnableRemote, &QAction::triggered, this, [this] {
    // The handler decides from the mark as it was before the click.
    menuEnableRemote->setChecked(!menuEnableRemote->isChecked());
    menuEnableRemoteClick();
  });
  menuControlledCom = AddItem(menuNetwork, "menuControlledCom", "接收遥控通过COM?");
  menuControlledCom->setVisible(false);
  connect(menuControlledCom, &QAction::triggered, this, [this] { menuControlledComClick(); });

  menuHelp = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
  menuHelp->setObjectName("menuHelp");
  menuContent = AddItem(menuHelp, "menuContent", "通用帮助主题(&C)");
  menuAbout = AddItem(menuHelp, "menuAbout", "关于本软件(&A)");
  connect(menuAbout, &QAction::triggered, this, [this] { menuAboutClick(); });

  ToolBar1 = addToolBar(QStringLiteral("工具栏"));
  ToolBar1->setObjectName("ToolBar1");
  ToolButtonStartQuelvar = ToolBar1->addAction(QStringLiteral("启动"));
  ToolButtonStartQuelvar->setObjectName("ToolButtonStartQuelvar");
  ToolButtonStartQuelvar->setCheckable(true);
  connect(ToolButtonStartQuelvar, &QAction::triggered, this, [this] { menuStartQuelvarClick(); });
  ToolButtonStartOscil = ToolBar1->addAction(QStringLiteral("示波器"));
  ToolButtonStartOscil->setObjectName("ToolButtonStartOscil");
  ToolButtonStartOscil->setCheckable(true);
  ToolButtonStartOscil->setToolTip(QStringLiteral("启动双踪示波器"));
  connect(ToolButtonStartOscil, &QAction::triggered, this, [this] { menuStartOscilClick(); });
  ToolButtonTriggerFault = ToolBar1->addAction(QStringLiteral("手动触发"));
  ToolButtonTriggerFault->setObjectName("ToolButtonTriggerFault");
  connect(ToolButtonTriggerFault, &QAction::triggered, this, [this] { menuTriggerFaultClick(); });
  ToolButtonPrint = ToolBar1->addAction(QStringLiteral("打印"));
  ToolButtonPrint->setObjectName("ToolButtonPrint");
  ToolButtonRepaint = ToolBar1->addAction(QStringLiteral("重画"));
  ToolButtonRepaint->setObjectName("ToolButtonRepaint");
  ToolButtonRepaint->setToolTip(QStringLiteral("重画/图形属性"));
  ToolButtonPause = ToolBar1->addAction(QStringLiteral("暂停"));
  ToolButtonPause->setObjectName("ToolButtonPause");
  ToolButtonPause->setCheckable(true);
  ToolButtonPause->setVisible(false);
  connect(ToolButtonPause, &QAction::triggered, this, [this] { menuPauseClick(); });
  ToolButtonTorqueZero = ToolBar1->addAction(QStringLiteral("扭矩调零"));
  ToolButtonTorqueZero->setObjectName("ToolButtonTorqueZero");
  ToolButtonTorqueZero->setToolTip(QStringLiteral("扭矩传感器置0"));
  connect(ToolButtonTorqueZero, &QAction::triggered, this, [this] { ToolButtonTorqueZeroClick(); });
  ToolButtonMonitor = ToolBar1->addAction(QStringLiteral("实时"));
  ToolButtonMonitor->setObjectName("ToolButtonMonitor");
  ToolButtonMonitor->setCheckable(true);
  ToolButtonMonitor->setChecked(true);
  ToolButtonMonitor->setToolTip(QStringLiteral("实时监控波形"));
  // The button has toggled itself; the handler sets it from the menu item.
  connect(ToolButtonMonitor, &QAction::triggered, this, [this] { menuMonitorClick(); });
  ToolButtonSaveCurrent = ToolBar1->addAction(QStringLiteral("存盘"));
  ToolButtonSaveCurrent->setObjectName("ToolButtonSaveCurrent");
  ToolButtonSaveCurrent->setToolTip(QStringLiteral("当前波形存盘"));
  connect(ToolButtonSaveCurrent, &QAction::triggered, this, [this] { menuSaveCurrentClick(); });
  ToolButtonSelectFault = ToolBar1->addAction(QStringLiteral("历史"));
  ToolButtonSelectFault->setObjectName("ToolButtonSelectFault");
  ToolButtonSelectFault->setToolTip(QStringLiteral("打开历史数据"));
  connect(ToolButtonSelectFault, &QAction::triggered, this, [this] { menuSelectFaultClick(); });

  BuildXZoomMenu();
  // The labels' menus of value kinds hold view toggles (the level lines)
  // that the Y-scale menus mirror from the record.
  BuildMarkKindMenus();
  BuildYScaleMenus();
  BuildHistoryTools();
  BuildXNavigationMenus();
  BuildTextGridMenus();
  BuildScopeMenus();
  BuildHardwareSetupCommands();
  BuildDevicePortItems();
  BuildTextExportCommands();
  BuildPictureCommands();
  BuildPrintCommands();
  BuildLauncherCommands();
  BuildCompositeCommands();
  BuildSecondDispCommands();
  DisableCommandsNotBuilt();
}

void TFormMain::DisableCommandsNotBuilt() {
  const std::initializer_list<QAction*> waiting = {
      // the trigger-point search's choice of algorithm: connected, but
      // hidden and disabled at every start
      menuHarmonicAccurate, menuHarmonicFourier,
      // the analysis panels
      menuMatlabEngine, menuMatlabLib,
      // The help contents are a WinHelp file, which nothing on this platform
      // opens.
      menuContent,
      // hidden, and do nothing
      menuSetSysTime, menuViewHMEPanel};
  for (QAction* item : waiting) item->setEnabled(false);
}

void TFormMain::ApplyPresentationCaptions() {
  const StartupState& s = state_.startup;
  // Items named there that this window does not have yet are passed over.
  for (const PresentationRecaption& r : PresentationRecaptions(s.PresentationMode, s.WindowWord)) {
    auto* item = findChild<QAction*>(QString::fromUtf8(r.item));
    if (item == nullptr) continue;
    switch (r.change) {
      case PresentationRecaption::Change::Caption: item->setText(QString::fromStdString(r.text)); break;
      case PresentationRecaption::Change::Hint: item->setToolTip(QString::fromStdString(r.text)); break;
      case PresentationRecaption::Change::Hide: item->setVisible(false); break;
    }
  }
}

void TFormMain::BuildXZoomMenu() {
  PopupMenuXZoom = new QMenu(this);
  PopupMenuXZoom->setObjectName("PopupMenuXZoom");
  menuXZoom1 = AddCheckItem(PopupMenuXZoom, "menuXZoom1", "X方向全显示", false);
  menuXZoom2 = AddCheckItem(PopupMenuXZoom, "menuXZoom2", "X向展宽2倍", false);
  menuXZoom4 = AddCheckItem(PopupMenuXZoom, "menuXZoom4", "X向展宽4倍", true);
  menuXZoom8 = AddCheckItem(PopupMenuXZoom, "menuXZoom8", "X向展宽8倍", false);
  menuXZoom16 = AddCheckItem(PopupMenuXZoom, "menuXZoom16", "X向展宽16倍", false);
  menuXZoomAny = AddCheckItem(PopupMenuXZoom, "menuXZoomAny", "显示100点", false);
  const std::pair<QAction*, int> presets[] = {{menuXZoom1, 1}, {menuXZoom2, 2}, {menuXZoom4, 4},
                                              {menuXZoom8, 8}, {menuXZoom16, 16}};
  for (const auto& [item, k] : presets) {
    connect(item, &QAction::triggered, this, [this, item, k] {
      // The handler decides the check marks; a click must not toggle them first.
      item->setChecked(!item->isChecked());
      XZoomPresetClick(k);
    });
  }
  connect(menuXZoomAny, &QAction::triggered, this, [this] {
    menuXZoomAny->setChecked(!menuXZoomAny->isChecked());
    menuXZoomAnyClick();
  });
  HScrollBar_XPosition->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(HScrollBar_XPosition, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuXZoom->popup(HScrollBar_XPosition->mapToGlobal(at)); });
}

void TFormMain::BuildYScaleMenus() {
  // A click toggles a checkable item before its handler runs; the handlers
  // set the marks themselves, so that toggle is undone first.
  auto command = [this](QAction* item, auto handler) {
    connect(item, &QAction::triggered, this, [this, item, handler] {
      if (item->isCheckable()) item->setChecked(!item->isChecked());
      (this->*handler)();
    });
  };

  PopupMenuYZoom = new QMenu(this);
  PopupMenuYZoom->setObjectName("PopupMenuYZoom");
  menuYZoom1 = AddCheckItem(PopupMenuYZoom, "menuYZoom1", "波形放大1倍", true);
  menuYZoom2 = AddCheckItem(PopupMenuYZoom, "menuYZoom2", "放大2倍", false);
  menuYZoom5 = AddCheckItem(PopupMenuYZoom, "menuYZoom5", "放大5倍", false);
  menuYZoom10 = AddCheckItem(PopupMenuYZoom, "menuYZoom10", "放大10倍", false);
  menuYZoom20 = AddCheckItem(PopupMenuYZoom, "menuYZoom20", "放大20倍", false);
  menuYZoom50 = AddCheckItem(PopupMenuYZoom, "menuYZoom50", "放大50倍", false);
  menuYZoom100 = AddCheckItem(PopupMenuYZoom, "menuYZoom100", "放大100倍", false);
  menuYZoom200 = AddCheckItem(PopupMenuYZoom, "menuYZoom200", "放大200倍", false);
  menuYZoom500 = AddCheckItem(PopupMenuYZoom, "menuYZoom500", "放大500倍", false);
  menuYZoom1000 = AddCheckItem(PopupMenuYZoom, "menuYZoom1000", "放大1000倍", false);
  menuYZoom2000 = AddCheckItem(PopupMenuYZoom, "menuYZoom2000", "放大2000倍", false);
  for (int32_t gain : kYZoomPresets) {
    QAction* item = YZoomPresetItem(gain);
    connect(item, &QAction::triggered, this, [this, item, gain] {
      item->setChecked(!item->isChecked());
      YZoomPresetClick(gain);
    });
  }
  PopupMenuYZoom->addSeparator();
  menuYExpandStep = AddItem(PopupMenuYZoom, "menuYExpandStep", "再放大1倍");
  command(menuYExpandStep, &TFormMain::ToolButtonYExpandClick);
  menuYCompressStep = AddItem(PopupMenuYZoom, "menuYCompressStep", "再压缩1倍");
  command(menuYCompressStep, &TFormMain::ToolButtonYCompressClick);

  ToolButtonYCompress = new QAction(QStringLiteral("Y压缩"), this);
  ToolButtonYCompress->setObjectName("ToolButtonYCompress");
  ToolButtonYCompress->setToolTip(QStringLiteral("Y方向压缩//完全控制"));
  ToolButtonYCompress->setMenu(PopupMenuYZoom);
  ToolBar1->addAction(ToolButtonYCompress);
  if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(ToolButtonYCompress))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  command(ToolButtonYCompress, &TFormMain::ToolButtonYCompressClick);
  ToolButtonYExpand = ToolBar1->addAction(QStringLiteral("Y展开"));
  ToolButtonYExpand->setObjectName("ToolButtonYExpand");
  ToolButtonYExpand->setToolTip(QStringLiteral("Y方向展开"));
  command(ToolButtonYExpand, &TFormMain::ToolButtonYExpandClick);
  ToolButtonVPage = new QAction(QStringLiteral("万能页"), this);
  ToolButtonVPage->setObjectName("ToolButtonVPage");
  ToolButtonVPage->setToolTip(QStringLiteral("万能页"));
  ToolButtonVPage->setMenu(PopupMenuVPage);
  ToolBar1->addAction(ToolButtonVPage);
  if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(ToolButtonVPage))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }

  VScrollBar_Channel->setToolTip(QStringLiteral("通道切换,右击放大波形"));
  VScrollBar_Channel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(VScrollBar_Channel, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuYZoom->popup(VScrollBar_Channel->mapToGlobal(at)); });

  PopupMenuACDC = new QMenu(this);
  PopupMenuACDC->setObjectName("PopupMenuACDC");
  menuDC = AddCheckItem(PopupMenuACDC, "menuDC", "直流方式(DC)", false);
  command(menuDC, &TFormMain::menuDCClick);
  menuAC = AddCheckItem(PopupMenuACDC, "menuAC", "交流方式(AC)", true);
  command(menuAC, &TFormMain::menuACClick);
  VScrollBar_YOffset->setToolTip(QStringLiteral("Y偏移,右击选择交直流"));
  VScrollBar_YOffset->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(VScrollBar_YOffset, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuACDC->popup(VScrollBar_YOffset->mapToGlobal(at)); });
  connect(VScrollBar_YOffset, &QScrollBar::valueChanged, this, [this] { VScrollBar_YOffsetChange(); });

  // The waveform's own pop-up menu: twins of the view menu's toggles.
  PopupMenuBackGroud = new QMenu(this);
  PopupMenuBackGroud->setObjectName("PopupMenuBackGroud");
  menuViewXScaleP = AddCheckItem(PopupMenuBackGroud, "menuViewXScaleP", "详细Y刻度", true);
  menuViewGridLineP = AddCheckItem(PopupMenuBackGroud, "menuViewGridLineP", "无网格线", false);
  menuViewGridPointP = AddCheckItem(PopupMenuBackGroud, "menuViewGridPointP", "网格虚线", false);
  menuViewScaleAlwaysP = AddCheckItem(PopupMenuBackGroud, "menuViewScaleAlwaysP", "始终显示刻度值", false);
  menuViewTraceP = AddCheckItem(PopupMenuBackGroud, "menuViewTraceP", "显示瞬时标线", true);
  menuViewIn1Axial = AddCheckItem(PopupMenuBackGroud, "menuViewIn1Axial", "所有通道同轴显示", false);
  PopupMenuBackGroud->addSeparator();
  menuXAxialTime = AddCheckItem(PopupMenuBackGroud, "menuXAxialTime", "X刻度按时间对齐", true);
  menuAbsoluteTime = AddCheckItem(PopupMenuBackGroud, "menuAbsoluteTime", "显示绝对时间", false);
  menuChangeYellowMark = AddItem(PopupMenuBackGroud, "menuChangeYellowMark", "改变黄标线类型");
  connect(menuChangeYellowMark, &QAction::triggered, this, [this] { menuChangeYellowMarkClick(); });
  menuChangeRedMark = AddItem(PopupMenuBackGroud, "menuChangeRedMark", "改变红标线类型");
  connect(menuChangeRedMark, &QAction::triggered, this, [this] { menuChangeRedMarkClick(); });
  Image1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Image1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenuBackGroud->popup(Image1->mapToGlobal(at)); });

  const std::pair<QAction*, void (TFormMain::*)()> toggles[] = {
      {menuScaleOut, &TFormMain::menuScaleOutClick},
      {menuViewXScale, &TFormMain::menuViewXScaleClick},
      {menuViewScaleAlways, &TFormMain::menuViewScaleAlwaysClick},
      {menuViewGridLine, &TFormMain::menuViewGridLineClick},
      {menuViewGridPoint, &TFormMain::menuViewGridPointClick},
      {menuViewYGrid, &TFormMain::menuViewYGridClick},
      {menuViewXScaleP, &TFormMain::menuViewXScalePClick},
      {menuViewScaleAlwaysP, &TFormMain::menuViewScaleAlwaysPClick},
      {menuViewGridLineP, &TFormMain::menuViewGridLinePClick},
      {menuViewGridPointP, &TFormMain::menuViewGridPointPClick},
      {menuViewTrace, &TFormMain::menuViewTraceClick},
      {menuViewTraceP, &TFormMain::menuViewTracePClick},
      {menuViewIn1Axial, &TFormMain::menuViewIn1AxialClick},
      {menuBGTrans, &TFormMain::menuBGTransClick},
      {menuWhiteBG, &TFormMain::menuWhiteBGClick},
      {menuTopMost, &TFormMain::menuTopMostClick},
      {menuDispScale, &TFormMain::menuDispScaleClick}};
  for (const auto& [item, handler] : toggles) command(item, handler);
  FollowViewOptionItems();
  MirrorViewOptionsToMenus();
}

}  // namespace quelvar
