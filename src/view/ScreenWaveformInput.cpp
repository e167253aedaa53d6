#include "view/ScreenWaveformInput.h"

#include "view/DisplayLayout.h"

namespace quelvar {

WaveformPaintInput ScreenWaveformInput(const AppState& state) {
  const WaveViewState& v = state.wave;
  const ViewOptions& o = v.Options;
  WaveformPaintInput input;
  input.ToPicture = 0;
  input.LineWidth = 1;
  input.OverlapPoints = 0;
  input.FixedScale = 0;
  input.WhiteBG = v.WhiteBG;
  input.ScaleCount = v.DispScale;
  input.Colour = 1;
  input.Config = &state.config;
  input.Torque = &state.torque;
  input.Layout = &state.layout;
  input.Display = &state.display;
  input.TextHeight = state.labels.ScreenTextHeight;
  input.LabelWidth = state.labels.ScreenLabelWidth;
  const ChannelScrollMenus menus{o.ViewSwitch, o.Scope == ChannelScope::Page, !o.PhaseMultiple};
  input.ChannelScrollMax = ChannelScrollMaximum(state.config, menus);
  input.BlockTime = state.acq.BlockTime;
  input.TriggerPoints = state.foundPoints.InUse();
  return input;
}

}  // namespace quelvar
