#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "auxwin/OscilPanelRules.h"
#include "common/LiveConfig.h"
#include "common/OscilToolSettings.h"
#include "platform/RegistryStore.h"

namespace quelvar {

// "\OscilTool" under the application key: every stored field as an
// integer, a value that cannot be read keeping its default.
void LoadOscilToolSettings(platform::RegistryStore& store, const std::string& appKeyName, OscilToolSettings& s);
void SaveOscilToolSettings(platform::RegistryStore& store, const std::string& appKeyName, const OscilToolSettings& s);

// What the panel shows for one trace after the oscilloscope start has
// corrected its settings and run the controls' rules over them.
struct OscilTraceView {
  std::string ChannelText;  // the channel number
  std::string ChannelHint;  // "AD通道:" / "SW通道:" + name
  std::string CouplingCaption;  // "交流", "直流", "接地" or "自动"
  int32_t CouplingItem = 3;     // which coupling menu item is checked: 0 AC .. 3 automatic
  std::string SignCaption;      // "负" inverted, else "正"
  std::string OffsetHint;       // "Y偏移=0.000V"
  std::string ZoomLabel;        // volts per division
  int32_t OffsetLargeStep = 1;
};

struct OscilPanelView {
  bool SecondTraceEnabled = true;
  int32_t ChannelMax = 0;  // last channel of the up-downs
  std::array<OscilTraceView, 2> Traces;
  std::string FixChnCaption;   // "踪1" or "踪2"
  std::string FixModeCaption;  // "无", "上顶点", "下顶点", "高于电平", "低于电平"
  int32_t FixVoltMax = 0;      // scroll bar range 0..FixVoltMax, top = full scale
  int32_t FixVoltLargeStep = 0;
  int32_t FixVoltPosition = 0;
  std::string FixVoltText;  // the level in volts
};

// The oscilloscope start's corrections of the settings (channels within the
// configured ones and apart, offsets in range, unlisted gains, the level
// within full scale, one trace on a one-channel card), then the rules the
// controls run when they are loaded, so the settings and what the panel shows
// agree.
OscilPanelView PrepareOscilPanel(OscilToolSettings& s, const LiveConfig& config);

}  // namespace quelvar
