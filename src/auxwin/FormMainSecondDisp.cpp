// The main window's side of the second waveform window: its menu command,
// the marks mapping to it, its redraw at the interface tick and its
// redraw requests.
#include <QAction>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "auxwin/FormPage.h"
#include "auxwin/FormSecondDisp.h"
#include "auxwin/SecondDispCommands.h"
#include "setup/FormCurChnProp.h"
#include "shell/FormMain.h"

namespace quelvar {

namespace {

constexpr int32_t kOscilloscopeSource = 2;

}  // namespace

void TFormMain::BuildSecondDispCommands() {
  menuSecondDisp = AddItem(menuView, "menuSecondDisp", "显示第二波形显示窗口");
  connect(menuSecondDisp, &QAction::triggered, this, [this] { menuSecondDispClick(); });
  connect(menuMapInstToSecondDisp, &QAction::triggered, this, [this] { menuMapInstToSecondDispClick(); });
}

void TFormMain::SetSecondDisp(TFormSecondDisp* window) {
  if (secondDisp_ != nullptr) {
    secondDisp_->onMapToMainWave = nullptr;
    secondDisp_->runPageDialog = nullptr;
    secondDisp_->runCurChnProp = nullptr;
  }
  secondDisp_ = window;
  if (window == nullptr) return;
  window->onMapToMainWave = [this](int32_t first, int32_t count) { SetXWindow(first, count); };
  window->runPageDialog = [this] { return services_.ui.ShowModal(*PageDialog()) == platform::kModalOk; };
  window->runCurChnProp = [this](const WaveViewState& v) {
    if (curChnPropDialog_ == nullptr) curChnPropDialog_ = new TFormCurChnProp(state_, services_.registry, this);
    const int32_t drawn =
        std::clamp(v.DrawnAnalogCount + v.DrawnSwitchCount, 0, static_cast<int32_t>(v.DrawnChannels.size()));
    curChnPropDialog_->LoadChannels(v.DrawnAnalogCount, v.DrawnSwitchCount,
                                    std::vector<int32_t>(v.DrawnChannels.begin(), v.DrawnChannels.begin() + drawn));
    return services_.ui.ShowModal(*curChnPropDialog_) == platform::kModalOk;
  };
}

void TFormMain::menuSecondDispClick() {
  if (state_.display.DataSourceMode == kOscilloscopeSource) {
    PostStatusText("提示：当前模式下第二波形窗口无法显示！");
    return;
  }
  if (secondDisp_ == nullptr) return;
  secondDisp_->show();
  secondDisp_->raise();
}

void TFormMain::menuMapInstToSecondDispClick() {
  const DisplayDescriptor& d = state_.display;
  if (d.DispValid != 1 || state_.SecondDispVisible == 0 || d.DataSourceMode == kOscilloscopeSource) return;
  if (secondDisp_ == nullptr) return;
  const XWindow window = MarksWindow(state_.wave);
  secondDisp_->SetXWindow(window.first, window.count);
}

void TFormMain::RequestSecondDispRepaint() {
  if (secondDisp_ != nullptr) secondDisp_->RepaintRequested = 1;
}

void TFormMain::RedrawSecondDispAtTick() {
  if (secondDisp_ == nullptr) return;
  if (SecondDispRedrawDue(state_.display.DispValid, secondDisp_->RepaintRequested, state_.SecondDispVisible)) {
    secondDisp_->RedrawWaveform();
  }
}

}  // namespace quelvar
