#include "shell/StoredMarkKinds.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quelvar {

namespace {

// One list for both directions, in the order the key is written.
struct StoredMarkInt {
  const char* name;
  int32_t WaveViewState::*field;
  int32_t minimum;
};

constexpr int32_t kAny = std::numeric_limits<int32_t>::min();
constexpr int32_t kMinPointCount = 2;

constexpr StoredMarkInt kKindsAndSpeedCounts[] = {
    {"MarkType1", &WaveViewState::MarkType1, kAny},
    {"MarkType2", &WaveViewState::MarkType2, kAny},
    {"MarkAnalSpeedNumP1", &WaveViewState::MarkAnalSpeedNumP1, kAny},
    {"MarkAnalSpeedNumP2", &WaveViewState::MarkAnalSpeedNumP2, kAny},
    {"MarkAnalSpeedNumS1", &WaveViewState::MarkAnalSpeedNumS1, kAny},
    {"MarkAnalSpeedNumS2", &WaveViewState::MarkAnalSpeedNumS2, kAny},
    {"MarkAnalSpeedThresholdV", &WaveViewState::MarkAnalSpeedThresholdV, kAny},
};

constexpr StoredMarkInt kParameters[] = {
    {"MarkInc1", &WaveViewState::MarkInc1, kAny},
    {"MarkInc2", &WaveViewState::MarkInc2, kAny},
    {"MarkHarmonics1", &WaveViewState::MarkHarmonics1, kAny},
    {"MarkHarmonics2", &WaveViewState::MarkHarmonics2, kAny},
    {"MarkAlgorithm1", &WaveViewState::MarkAlgorithm1, kAny},
    {"MarkAlgorithm2", &WaveViewState::MarkAlgorithm2, kAny},
    {"MarkRatioN2", &WaveViewState::MarkRatioN2, kMinPointCount},
    {"MarkRatioRN2", &WaveViewState::MarkRatioRN2, kMinPointCount},
    {"MarkPeriodN2", &WaveViewState::MarkPeriodN2, kMinPointCount},
};

const WaveViewState& Defaults() {
  static const WaveViewState defaults;
  return defaults;
}

void LoadInts(const RegistryReader& r, const auto& list, WaveViewState& wave) {
  for (const StoredMarkInt& f : list) wave.*f.field = std::max(r.Int(f.name, Defaults().*f.field), f.minimum);
}

void SaveInts(platform::RegistryKey& k, const auto& list, const WaveViewState& wave) {
  for (const StoredMarkInt& f : list) k.WriteInteger(f.name, wave.*f.field);
}

}  // namespace

void LoadMarkKinds(const RegistryReader& r, WaveViewState& wave) {
  LoadInts(r, kKindsAndSpeedCounts, wave);
  wave.MarkAnalSpeedScale = r.Float("MarkAnalSpeedScale", Defaults().MarkAnalSpeedScale);
  wave.MarkSpeedUnit = r.TextOr("MarkSpeedUnit", Defaults().MarkSpeedUnit);
  LoadInts(r, kParameters, wave);
}

void SaveMarkKinds(platform::RegistryKey& k, const WaveViewState& wave) {
  SaveInts(k, kKindsAndSpeedCounts, wave);
  k.WriteDouble("MarkAnalSpeedScale", wave.MarkAnalSpeedScale);
  k.WriteString("MarkSpeedUnit", wave.MarkSpeedUnit);
  SaveInts(k, kParameters, wave);
}

}  // namespace quelvar
