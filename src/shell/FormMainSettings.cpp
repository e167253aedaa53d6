// The main window's side of the settings tree: what it reads at creation and
// writes at shut-down and after configuration commands.
#include <QAction>
#include <QFont>
#include <QLabel>

#include "platform/RegistryStore.h"
#include "platform/UiHost.h"
#include <QScrollBar>

#include <algorithm>

#include "shell/FormMain.h"
#include "shell/StoredViewOptions.h"
#include "view/PaintBox.h"
#include "view/YScaling.h"

namespace quelvar {

namespace {

FontDefaults FromQFont(const QFont& f) {
  FontDefaults out;
  out.name = f.family().toStdString();
  out.size = f.pointSize() > 0 ? f.pointSize() : 9;
  out.style = static_cast<uint8_t>((f.bold() ? kFontBold : 0) | (f.italic() ? kFontItalic : 0) |
                                   (f.underline() ? kFontUnderline : 0) | (f.strikeOut() ? kFontStrikeOut : 0));
  return out;
}

int32_t Checked(const QAction* item) { return item->isChecked() ? 1 : 0; }

}  // namespace

RegistryContext TFormMain::MakeRegistryContext() const {
  RegistryContext ctx;
  const StartupState& s = state_.startup;
  ctx.AppKeyName = s.AppKeyName;
  ctx.InstanceNumber = s.InstanceNumber;
  ctx.PresentationMode = s.PresentationMode;
  ctx.PidMode = s.PidMode;
  ctx.DriverUsable = state_.driver.DriverUsable;
  ctx.CardMaxSwitchChannels = state_.driver.CardMaxSwitchChannels;
  if (AdChannelFrqFn channelFrq = state_.driver.Entries.ChannelFrq) {
    ctx.channelFrq = [channelFrq](int32_t analogNum, int32_t frqSamp) { return channelFrq(analogNum, frqSamp); };
  }
  ctx.WindowWord = s.WindowWord;
  ctx.ProgramDir = s.ProgramDir;
  ctx.NtPlatform = true;
  ctx.screenFont = FromQFont(Image1->font());
  // Pictures and printed text start from the application's font until the
  // printer is set up.
  ctx.printerFont = FromQFont(font());
  return ctx;
}

bool TFormMain::SaveConfigToRegistry() {
  CollectViewSettingsFromMenus();
  if (quelvar::SaveConfigToRegistry(services_.registry, MakeRegistryContext(), state_.config, state_.view,
                                    state_.wave)) {
    return true;
  }
  ReportRegistrySaveFailure();
  return false;
}

void TFormMain::ReportRegistrySaveFailure() {
  std::string text = "错误：设置未能保存。";
  for (const std::string& problem : services_.registry.TakeProblems()) text += "\n" + problem;
  services_.ui.MessageBox(text, "Quelvar", platform::MsgButtons::Ok, platform::MsgIcon::Error);
}

void TFormMain::ApplyViewSettingsToMenus() {
  const MainViewSettings& v = state_.view;
  // The stored check marks go into the view options, which the menus then
  // show. The scope is marked here until its commands exist, so a save keeps
  // what was stored. The network role is taken by its commands at the
  // deferred start-up.
  ApplyStoredViewOptions(v, state_.wave.Options);
  MirrorViewOptionsToMenus();
  ApplyMarkLabelColours();
  menuEnableRemote->setChecked(v.IDEnableRemote == 1);
  if (!state_.wave.Options.Monitor) {
    // As the monitor command leaves it when it switches the live display off.
    menuMonitor->setText(QStringLiteral("实时波形隐藏"));
    ToolButtonMonitor->setToolTip(QStringLiteral("实时波形隐藏"));
  }
  WaveViewState& w = state_.wave;
  w.Mark1X = v.Mark1;
  w.Mark2X = v.Mark2;
  w.Mark1Y = v.Mark1_V;
  w.Mark2Y = v.Mark2_V;
  w.IDTrace = v.IDTrace;
  w.IDPhase = v.IDPhase;
  w.IDScope = v.IDScope;
  w.DispScale = v.DispScale;
  w.YZoom = v.YZoom;
  w.IDDC = v.IDDC;
  w.DisplayWidth = v.DisplayWidth;
  const std::pair<QAction*, int> presets[] = {{menuXZoom1, 1}, {menuXZoom2, 2}, {menuXZoom4, 4},
                                              {menuXZoom8, 8}, {menuXZoom16, 16}};
  w.XZoom = 32;
  for (const auto& [item, k] : presets) {
    if (v.XZoom == k) w.XZoom = k;
  }
  for (const auto& [item, k] : presets) item->setChecked(w.XZoom == k);
  menuXZoomAny->setChecked(w.XZoom == 32);
  if (w.XZoom == 32) HScrollBar_XPosition->setPageStep(std::min(w.DisplayWidth * 9 / 10, 65535));
  menuXZoomAny->setText(QString::fromStdString("显示" + std::to_string(v.DisplayWidth) + "点"));
  // The stored gain (always a preset) with the offset bar's range for it, at
  // position 0; DC or AC display.
  CheckYZoomPresetItem(w.YZoom);
  const int32_t half = YOffsetHalfRange(w.YZoom);
  VScrollBar_YOffset->setRange(-half, half);
  VScrollBar_YOffset->setValue(0);
  w.YOffset = 0;
  menuDC->setChecked(w.IDDC == 1);
  menuAC->setChecked(w.IDDC != 1);
  menuDispScale->setText(QString::fromStdString("X刻度数(=" + std::to_string(v.DispScale) + ")"));
  menuPlayInterval->setText(QString::fromStdString("播放时间间隔(" + std::to_string(v.AutoPlayInterval) + "ms)"));
  menuPlayInc->setText(QString::fromStdString("每次移动整屏的1/" + std::to_string(v.AutoPlayInc)));
}

void TFormMain::CollectViewSettingsFromMenus() {
  MainViewSettings& v = state_.view;
  LiveConfig& c = state_.config;
  c.NetworkStatus = menuServer->isChecked() ? 1 : menuClient->isChecked() ? 2 : 0;
  // Without the radio link the remote listener always comes back on.
  v.IDEnableRemote = state_.IdControlByRadio != 0 ? Checked(menuEnableRemote) : 1;
  StoreViewOptions(state_.wave.Options, v);
  const WaveViewState& w = state_.wave;
  v.Mark1 = w.Mark1X;
  v.Mark2 = w.Mark2X;
  v.Mark1_V = w.Mark1Y;
  v.Mark2_V = w.Mark2Y;
  v.DispScale = w.DispScale;
  v.XZoom = w.XZoom;
  v.DisplayWidth = w.DisplayWidth;
  v.YZoom = w.YZoom;
  v.IDDC = w.IDDC;
}

}  // namespace quelvar
