#pragma once

// The second waveform window's values under "\SeconDisp": read at its
// creation (each with its default when it cannot be read, then clamped),
// written when it is destroyed.

#include <array>
#include <cstdint>
#include <string>

#include "common/LiveConfig.h"
#include "common/ViewOptions.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

struct SecondDispSettings {
  int32_t IDTrace = 1;
  int32_t IDTraceTrans = 1;
  int32_t IDPhase = 0;
  int32_t IdAutoView = 1;
  int32_t SecondDispTopMost = 0;
  int32_t IDScope = 0;
  int32_t BegDispChannel = 0;
  int32_t WhiteBG = 0;
  int32_t DispScale = 5;
  int32_t XAxialTime = 1;
  int32_t AbsoluteTime = 0;
  int32_t XZoom = 4;
  int32_t DisplayWidth = 100;
  int32_t YZoom = 1;
  int32_t IDDC = 0;
  int32_t IDViewXScale = 1;
  int32_t IDViewScaleAlways = 0;
  int32_t IDViewGridLine = 0;
  int32_t IDViewGridPoint = 0;
  int32_t IDViewYGrid = 0;
  int32_t VPAnalog = 1;
  int32_t VPBin = 0;
  std::array<int32_t, kMaxDisplayPositions> VP{};
  // Not stored: whether "VP" was read with the stored counts. The page is
  // read with the counts as clamped, so when clamping changes them the
  // stored block no longer fits and VP goes back to its start values.
  bool VPRead = false;
};

// The stored values as they are (a value that cannot be read keeps its
// default; "VP" is read as (VPAnalog + VPBin) x 4 bytes, and left at its
// start values when the counts or the block do not fit).
SecondDispSettings ReadSecondDispSettings(platform::RegistryStore& store, const std::string& appKeyName);
void WriteSecondDispSettings(platform::RegistryStore& store, const std::string& appKeyName,
                             const SecondDispSettings& s);

// The values brought into range for a card of analogNum analog channels and
// switchNum switch inputs: DispScale below 3 becomes 5; an XZoom other than
// a preset becomes 32 (any count); a YZoom not in the gain table becomes
// 2000; VPAnalog 1 .. analogNum, VPBin 0 .. switchNum and the page's
// entries within their tables (0 on a card without such channels). A
// stored DisplayWidth below 2 becomes 2: every screen spreads at least one
// span over its width.
void ClampSecondDispSettings(SecondDispSettings& s, int32_t analogNum, int32_t switchNum);

// The scope a stored IDScope selects: 1 (line scope) opens as single
// channel, 2 .. 6 as stored, any other value the predefined-page scope.
ChannelScope StoredSecondDispScope(int32_t idScope);

}  // namespace quelvar
