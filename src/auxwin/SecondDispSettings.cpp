#include "auxwin/SecondDispSettings.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/RegistryKey.h"
#include "view/XNavigation.h"

namespace quelvar {

namespace {

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\SeconDisp"; }

// The 32-bit values and their names, in the order they are read.
template <class Settings, class Visit>
void ForEachStored(Settings& s, Visit visit) {
  visit("IDTrace", s.IDTrace);
  visit("IDTraceTrans", s.IDTraceTrans);
  visit("IDPhase", s.IDPhase);
  visit("IdAutoView", s.IdAutoView);
  visit("SecondDispTopMost", s.SecondDispTopMost);
  visit("IDScope", s.IDScope);
  visit("BegDispChannel", s.BegDispChannel);
  visit("WhiteBG", s.WhiteBG);
  visit("DispScale", s.DispScale);
  visit("XAxialTime", s.XAxialTime);
  visit("AbsoluteTime", s.AbsoluteTime);
  visit("XZoom", s.XZoom);
  visit("DisplayWidth", s.DisplayWidth);
  visit("YZoom", s.YZoom);
  visit("IDDC", s.IDDC);
  visit("IDViewXScale", s.IDViewXScale);
  visit("IDViewScaleAlways", s.IDViewScaleAlways);
  visit("IDViewGridLine", s.IDViewGridLine);
  visit("IDViewGridPoint", s.IDViewGridPoint);
  visit("IDViewYGrid", s.IDViewYGrid);
  visit("VPAnalog", s.VPAnalog);
  visit("VPBin", s.VPBin);
}

constexpr std::array<int32_t, 5> kXPresets{1, 2, 4, 8, 16};
constexpr std::array<int32_t, 11> kYGains{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};

}  // namespace

SecondDispSettings ReadSecondDispSettings(platform::RegistryStore& store, const std::string& appKeyName) {
  SecondDispSettings s;
  const platform::RegistryKey key(store, KeyPath(appKeyName));
  ForEachStored(s, [&](const char* name, int32_t& field) { field = key.ReadInteger(name).value_or(field); });
  const int64_t count = int64_t{s.VPAnalog} + s.VPBin;
  if (s.VPAnalog >= 0 && s.VPBin >= 0 && count > 0 && count <= kMaxDisplayPositions) {
    if (const auto bytes = key.ReadBinary("VP", static_cast<size_t>(count) * 4)) {
      std::memcpy(s.VP.data(), bytes->data(), bytes->size());
      s.VPRead = true;
    }
  }
  return s;
}

void WriteSecondDispSettings(platform::RegistryStore& store, const std::string& appKeyName,
                             const SecondDispSettings& s) {
  platform::RegistryKey key(store, KeyPath(appKeyName));
  ForEachStored(s, [&](const char* name, const int32_t& field) { key.WriteInteger(name, field); });
  const int64_t count = std::clamp<int64_t>(int64_t{s.VPAnalog} + s.VPBin, 0, kMaxDisplayPositions);
  std::vector<uint8_t> bytes(static_cast<size_t>(count) * 4);
  if (!bytes.empty()) std::memcpy(bytes.data(), s.VP.data(), bytes.size());
  key.WriteBinary("VP", bytes);
}

void ClampSecondDispSettings(SecondDispSettings& s, int32_t analogNum, int32_t switchNum) {
  analogNum = std::clamp(analogNum, 0, kMaxDisplayPositions);
  switchNum = std::clamp(switchNum, 0, kMaxDisplayPositions - analogNum);
  if (s.DispScale < 3) s.DispScale = 5;
  if (std::find(kXPresets.begin(), kXPresets.end(), s.XZoom) == kXPresets.end()) s.XZoom = kXZoomAnyCount;
  s.DisplayWidth = std::max(s.DisplayWidth, kMinXWindowPoints);
  if (std::find(kYGains.begin(), kYGains.end(), s.YZoom) == kYGains.end()) s.YZoom = 2000;
  // Raised after it is limited: a card without analog channels still
  // names one, which the page tables then leave out.
  const int64_t storedEntries = int64_t{s.VPAnalog} + s.VPBin;
  s.VPAnalog = std::max(std::min(s.VPAnalog, analogNum), 1);
  s.VPBin = std::clamp(s.VPBin, 0, switchNum);
  // A page stored for other counts would name other channels and inputs
  // at the clamped positions.
  if (s.VPRead && storedEntries != int64_t{s.VPAnalog} + s.VPBin) {
    s.VP = SecondDispSettings{}.VP;
    s.VPRead = false;
  }
  const int32_t analogEntries = std::min(s.VPAnalog, kMaxDisplayPositions);
  for (int32_t i = 0; i < analogEntries; ++i) s.VP[i] = std::clamp(s.VP[i], 0, std::max(analogNum - 1, 0));
  const int32_t end = std::min(analogEntries + s.VPBin, kMaxDisplayPositions);
  for (int32_t i = analogEntries; i < end; ++i) s.VP[i] = std::clamp(s.VP[i], 0, std::max(switchNum - 1, 0));
}

ChannelScope StoredSecondDispScope(int32_t idScope) {
  if (idScope == 0 || idScope == 1) return ChannelScope::Channel;
  if (idScope >= 2 && idScope <= 6) return static_cast<ChannelScope>(idScope);
  return ChannelScope::Page;
}

}  // namespace quelvar
