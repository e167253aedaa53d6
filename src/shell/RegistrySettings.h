#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/LiveConfig.h"
#include "common/MainViewSettings.h"
#include "common/WaveViewState.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// A font as the settings take their defaults from it.
struct FontDefaults {
  std::string name;
  int32_t size = 9;
  uint8_t style = 0;  // kFontBold | kFontItalic | ...
};

// What reading and writing the settings tree needs to know about this run.
struct RegistryContext {
  std::string AppKeyName = "QuelvarTorque";
  int32_t InstanceNumber = 0;
  int32_t PresentationMode = 1;  // 1 "\Group" layout key, 0 "\Line"
  int32_t PidMode = 0;
  int32_t DriverUsable = 0;
  int32_t CardMaxSwitchChannels = 192;
  std::string WindowWord = "记录示波器";
  std::string ProgramDir;
  bool NtPlatform = true;
  FontDefaults screenFont;   // the drawing area's font
  FontDefaults printerFont;  // the printer canvas font
  // The driver's per-channel rate entry, when it is bound.
  std::function<float(int32_t analogNum, int32_t frqSamp)> channelFrq;
};

// "\SOFTWARE\" + AppKeyName, and the keys below it.
std::string AppKeyPath(const RegistryContext& ctx);
std::string CardKeyPath(const RegistryContext& ctx, const LiveConfig& live);
std::string LayoutKeyPath(const RegistryContext& ctx, const LiveConfig& live);

// First stretch of the start-up read: card key, "\Color", "\Quelvar", the
// layout key and the display order. Every value is read by itself; a value
// that is missing or of another type or size takes its default. The marks'
// value kinds and parameters go straight into the window's view state.
void LoadCardAndViewSettings(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live,
                             MainViewSettings& view, WaveViewState& wave);

// Second stretch: "\Algorithm", and "\PID" in PID mode.
void LoadAlgorithmSettings(platform::RegistryStore& store, const RegistryContext& ctx, LiveConfig& live);

// Writes the whole configuration in one batch; false when the store could not
// save it (its problems say why).
bool SaveConfigToRegistry(platform::RegistryStore& store, const RegistryContext& ctx, const LiveConfig& live,
                          const MainViewSettings& view, const WaveViewState& wave);

// Deletes a key with everything below it, deepest keys first.
bool DeleteRegistryTree(platform::RegistryStore& store, std::string_view key);

// The per-channel rate from the driver entry (divided by the resampling
// factor when on-line resampling is on), or FrqSamp without the entry; a
// negative or not-a-number result becomes 1.
float ComputeChannelRate(const LiveConfig& live, const RegistryContext& ctx, int32_t analogNum);

}  // namespace quelvar
