// The main window's Y scaling, DC/AC display and display toggles. The view
// options record is what the renderer reads; these handlers change it and
// the check marks that show it together.
#include <QAction>
#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QScrollBar>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "auxwin/FormTool.h"
#include "platform/Canvas.h"
#include "platform/UiHost.h"
#include "platform/qt/QtText.h"
#include "shell/FormMain.h"
#include "view/Palette.h"
#include "view/YScaling.h"

namespace quelvar {

namespace {

// A view option, its menu item and the item's twin in the waveform's pop-up.
struct ViewOptionItems {
  bool ViewOptions::*option;
  QAction* item;
  QAction* twin;
};

std::vector<ViewOptionItems> OptionItems(const TFormMain& f) {
  return {{&ViewOptions::ScaleOut, f.menuScaleOut, nullptr},
          {&ViewOptions::XScale, f.menuViewXScale, f.menuViewXScaleP},
          {&ViewOptions::ScaleAlways, f.menuViewScaleAlways, f.menuViewScaleAlwaysP},
          {&ViewOptions::NoGridLines, f.menuViewGridLine, f.menuViewGridLineP},
          {&ViewOptions::GridDotted, f.menuViewGridPoint, f.menuViewGridPointP},
          {&ViewOptions::YGrid, f.menuViewYGrid, nullptr},
          {&ViewOptions::In1Axial, f.menuViewIn1Axial, nullptr},
          {&ViewOptions::Trace, f.menuViewTrace, f.menuViewTraceP},
          {&ViewOptions::BGTrans, f.menuBGTrans, nullptr},
          {&ViewOptions::ViewV, f.menuViewV, nullptr},
          {&ViewOptions::XAxialTime, f.menuXAxialTime, nullptr},
          {&ViewOptions::AbsoluteTime, f.menuAbsoluteTime, nullptr},
          {&ViewOptions::Monitor, f.menuMonitor, nullptr},
          {&ViewOptions::TopMost, f.menuTopMost, nullptr},
          {&ViewOptions::ViewSwitch, f.menuViewSwitch, nullptr},
          {&ViewOptions::PhaseMultiple, f.menuPhaseMultiple, nullptr}};
}

std::vector<QAction*> ScopeItems(const TFormMain& f) {
  // In the order of ChannelScope.
  return {f.menuScopeChannel, f.menuScopeLine, f.menuScope4,       f.menuScope8,
          f.menuScope16,      f.menuScopeAll,  f.menuScopeOverall, f.menuScopePage};
}

// DataSourceMode of the two-trace oscilloscope, where the Y steps do nothing.
constexpr int32_t kOscilloscopeSource = 2;

enum class RepaintWhen { DataShown, DataValid };

void ToggleAndRepaint(TFormMain& f, AppState& state, bool ViewOptions::*option, RepaintWhen when) {
  f.SetViewOption(option, !(state.wave.Options.*option));
  const int16_t valid = state.display.DispValid;
  if (when == RepaintWhen::DataValid ? valid == 1 : valid != 0) state.wave.RepaintRequested = 1;
}

QColor StoredColor(uint32_t bgr) {
  const platform::Color c = platform::Color::FromStored(bgr);
  return QColor(c.red, c.green, c.blue);
}

}  // namespace

void TFormMain::SetViewOption(bool ViewOptions::*option, bool on) {
  state_.wave.Options.*option = on;
  for (const ViewOptionItems& o : OptionItems(*this)) {
    if (o.option != option) continue;
    o.item->setChecked(on);
    if (o.twin != nullptr) o.twin->setChecked(on);
  }
}

void TFormMain::MirrorViewOptionsToMenus() {
  const ViewOptions& options = state_.wave.Options;
  for (const ViewOptionItems& o : OptionItems(*this)) {
    o.item->setChecked(options.*o.option);
    if (o.twin != nullptr) o.twin->setChecked(options.*o.option);
  }
  menuViewAnalog->setChecked(!options.ViewSwitch);
  menuPhaseSingle->setChecked(!options.PhaseMultiple);
  const std::vector<QAction*> scopes = ScopeItems(*this);
  for (size_t i = 0; i < scopes.size(); ++i) {
    scopes[i]->setChecked(static_cast<int>(i) == static_cast<int>(options.Scope));
  }
  ToolButtonMonitor->setChecked(options.Monitor);
}

void TFormMain::FollowViewOptionItems() {
  for (const ViewOptionItems& o : OptionItems(*this)) {
    connect(o.item, &QAction::toggled, this, [this, option = o.option](bool on) { state_.wave.Options.*option = on; });
  }
  // The scope items are not followed: the scope commands set the record
  // and mirror it (view/FormMainScopes.cpp).
}

// Y gain, offset and DC/AC.

QAction* TFormMain::YZoomPresetItem(int32_t gain) const {
  QAction* const items[] = {menuYZoom1,   menuYZoom2,   menuYZoom5,   menuYZoom10,   menuYZoom20,  menuYZoom50,
                            menuYZoom100, menuYZoom200, menuYZoom500, menuYZoom1000, menuYZoom2000};
  static_assert(std::size(items) == kYZoomPresets.size());
  const int index = YZoomPresetIndex(gain);
  return index < 0 ? nullptr : items[index];
}

void TFormMain::CheckYZoomPresetItem(int32_t gain) {
  for (int32_t preset : kYZoomPresets) YZoomPresetItem(preset)->setChecked(preset == gain);
}

void TFormMain::YZoomPresetClick(int32_t gain) {
  QAction* const item = YZoomPresetItem(gain);
  if (item == nullptr || item->isChecked()) return;
  CheckYZoomPresetItem(gain);
  const int32_t previous = state_.wave.YZoom;
  state_.wave.YZoom = gain;
  UpdateYOffsetRange(previous);
}

void TFormMain::ToolButtonYCompressClick() {
  const int32_t gain = state_.wave.YZoom;
  if (state_.display.DataSourceMode == kOscilloscopeSource || gain <= kYZoomPresets.front()) return;
  YZoomPresetClick(NextSmallerYZoom(gain));
}

void TFormMain::ToolButtonYExpandClick() {
  const int32_t gain = state_.wave.YZoom;
  if (state_.display.DataSourceMode == kOscilloscopeSource || gain >= kYZoomPresets.back()) return;
  YZoomPresetClick(NextLargerYZoom(gain));
}

void TFormMain::UpdateYOffsetRange(int32_t previousYZoom) {
  WaveViewState& w = state_.wave;
  const int position = VScrollBar_YOffset->value();
  const int32_t half = YOffsetHalfRange(w.YZoom);
  VScrollBar_YOffset->setRange(-half, half);
  VScrollBar_YOffset->setValue(RescaledYOffsetPosition(position, w.YZoom, previousYZoom));
  if (state_.display.DispValid == 1) w.RepaintRequested = 1;
}

void TFormMain::VScrollBar_YOffsetChange() {
  WaveViewState& w = state_.wave;
  const int32_t offset = -VScrollBar_YOffset->value();
  if (offset == w.YOffset) return;
  w.YOffset = offset;
  // The AC display removes the mean, so the offset does not show there.
  if (state_.display.DispValid != 0 && w.IDDC == 1) w.RepaintRequested = 1;
}

void TFormMain::menuDCClick() {
  state_.wave.IDDC = 1;
  menuDC->setChecked(true);
  menuAC->setChecked(false);
  if (state_.display.DispValid != 0) state_.wave.RepaintRequested = 1;
}

void TFormMain::menuACClick() {
  state_.wave.IDDC = 0;
  menuDC->setChecked(false);
  menuAC->setChecked(true);
  if (state_.display.DispValid != 0) state_.wave.RepaintRequested = 1;
}

// The simple toggles.

void TFormMain::menuScaleOutClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::ScaleOut, RepaintWhen::DataValid);
}
void TFormMain::menuViewXScaleClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::XScale, RepaintWhen::DataShown);
}
void TFormMain::menuViewScaleAlwaysClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::ScaleAlways, RepaintWhen::DataShown);
}
void TFormMain::menuViewGridLineClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::NoGridLines, RepaintWhen::DataShown);
}
void TFormMain::menuViewGridPointClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::GridDotted, RepaintWhen::DataShown);
}
void TFormMain::menuViewYGridClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::YGrid, RepaintWhen::DataShown);
}
void TFormMain::menuViewIn1AxialClick() {
  ToggleAndRepaint(*this, state_, &ViewOptions::In1Axial, RepaintWhen::DataShown);
}

// Mark labels and the colour scheme.

void TFormMain::menuViewTraceClick() {
  SetViewOption(&ViewOptions::Trace, !state_.wave.Options.Trace);
  const bool live = menuMonitor->isChecked() && state_.RunState != kRunIdle;
  const bool shown = state_.wave.Options.Trace && !live && state_.display.DispValid != 0;
  for (QLabel* label : {Label_Mark1, Label_Mark2}) {
    label->setVisible(shown);
    if (shown) label->update();
  }
  if (shown && state_.display.DispValid == 1) DrawMarks();
}

void TFormMain::ApplyMarkLabelColours() {
  const int row = PaletteRow(state_.wave.WhiteBG);
  const auto& colours = state_.config.ColorPalette[static_cast<size_t>(row)];
  const bool transparent = state_.wave.Options.BGTrans;
  const std::pair<QLabel*, uint32_t> labels[] = {{Label_Mark1, colours[kSlotYellowMark]},
                                                 {Label_Mark2, colours[kSlotRedMark]}};
  for (const auto& [label, stored] : labels) {
    QPalette palette = label->palette();
    if (transparent) {
      palette.setColor(QPalette::WindowText, StoredColor(stored));
    } else {
      palette.setColor(QPalette::Window, StoredColor(stored));
      palette.setColor(QPalette::WindowText, row == kPaletteRowWhite ? Qt::white : Qt::black);
    }
    label->setAutoFillBackground(!transparent);
    label->setPalette(palette);
  }
}

void TFormMain::menuBGTransClick() {
  SetViewOption(&ViewOptions::BGTrans, !state_.wave.Options.BGTrans);
  ApplyMarkLabelColours();
  DrawMarks();
}

void TFormMain::menuWhiteBGClick() {
  menuWhiteBG->setChecked(!menuWhiteBG->isChecked());
  state_.wave.WhiteBG = menuWhiteBG->isChecked() ? 1 : 0;
  // The labels take the new row's colours; their transparency stays (the
  // handler inverts the mark back).
  SetViewOption(&ViewOptions::BGTrans, !state_.wave.Options.BGTrans);
  menuBGTransClick();
  if (oscilTool_ != nullptr) oscilTool_->RecolourChannelEdits(PaletteRow(state_.wave.WhiteBG));
  if (state_.display.DispValid != 0) {
    state_.wave.RepaintRequested = 1;
  } else {
    DrawIdleScreen();
  }
}

// Graduations, stay on top.

void TFormMain::menuDispScaleClick() {
  WaveViewState& w = state_.wave;
  const std::string current = std::to_string(w.DispScale);
  const std::optional<std::string> answer =
      services_.ui.InputBox("请选择图形刻度数", "新X刻度数目为：  ", current);
  w.DispScale = GraduationCountAnswer(answer.value_or(current));
  menuDispScale->setText(Q("X刻度数(=" + std::to_string(w.DispScale) + ")"));
  w.RepaintRequested = 1;
}

void TFormMain::menuTopMostClick() {
  SetViewOption(&ViewOptions::TopMost, !state_.wave.Options.TopMost);
  // Changing a shown window's flags hides it; it comes back at once.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, state_.wave.Options.TopMost);
  if (shown) show();
}

}  // namespace quelvar
