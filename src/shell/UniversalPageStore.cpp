#include "shell/UniversalPageStore.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/RegistryKey.h"
#include "shell/RegistryReader.h"
#include "shell/WindowGeometry.h"

namespace quelvar {

namespace {

using Page = std::array<int32_t, kMaxDisplayPositions>;

// Reads a list of `count` 32-bit numbers; a value that cannot be read as
// exactly that many bytes leaves the list as it is.
void ReadList(platform::RegistryKey& key, const std::string& name, int64_t count, Page& list) {
  if (count <= 0 || count > kMaxDisplayPositions) return;
  const auto bytes = key.ReadBinary(name, static_cast<size_t>(count) * 4);
  if (bytes) std::memcpy(list.data(), bytes->data(), bytes->size());
}

void WriteList(platform::RegistryKey& key, const std::string& name, int32_t count, const Page& list) {
  count = std::clamp(count, 0, kMaxDisplayPositions);
  std::vector<uint8_t> bytes(static_cast<size_t>(count) * 4);
  if (!bytes.empty()) std::memcpy(bytes.data(), list.data(), bytes.size());
  key.WriteBinary(name, bytes);
}

// The page made valid for the card by the one builder of universal pages.
void TakeValid(int32_t& analogCount, int32_t& switchCount, Page& page, int32_t analogNum, int32_t switchNum) {
  const UniversalPageRecord valid = ValidUniversalPage(analogCount, switchCount, page, analogNum, switchNum);
  analogCount = valid.AnalogCount;
  switchCount = valid.SwitchCount;
  page = valid.Channels;
}

}  // namespace

void ReadUniversalPages(platform::RegistryStore& store, const std::string& appKeyName, int32_t analogNum,
                        int32_t switchNum, UniversalPages& p) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  // The list is read with the counts it was written with; the page is then
  // made to fit this card.
  p.VPAnalog = key.ReadInteger("VPAnalog").value_or(1);
  p.VPBin = key.ReadInteger("VPBin").value_or(0);
  if (p.VPAnalog >= 0 && p.VPBin >= 0) ReadList(key, "VP", int64_t{p.VPAnalog} + p.VPBin, p.VP);
  TakeValid(p.VPAnalog, p.VPBin, p.VP, analogNum, switchNum);

  for (int k = 0; k < kStoredUniversalPages; ++k) {
    p.VPAnalogPages[k] = p.VPAnalog;
    p.VPBinPages[k] = p.VPBin;
    p.VPPages[k] = p.VP;
  }
  for (int k = 0; k < kStoredUniversalPages; ++k) {
    const auto analog = key.ReadInteger(Item("VPAnalog", k));
    if (!analog || *analog < 0 || *analog > analogNum) continue;
    p.VPAnalogPages[k] = *analog;
    const auto bin = key.ReadInteger(Item("VPBin", k));
    if (!bin || *bin < 0 || *bin > switchNum) continue;
    p.VPBinPages[k] = *bin;
    ReadList(key, Item("VP", k), p.VPAnalogPages[k] + p.VPBinPages[k], p.VPPages[k]);
  }
  for (int k = 0; k < kStoredUniversalPages; ++k) {
    TakeValid(p.VPAnalogPages[k], p.VPBinPages[k], p.VPPages[k], analogNum, switchNum);
  }
  p.VPageNum = std::clamp(key.ReadInteger("VPageNum").value_or(0), 0, kStoredUniversalPages - 1);
}

void WriteUniversalPages(platform::RegistryStore& store, const std::string& appKeyName, const UniversalPages& p) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  key.WriteInteger("VPAnalog", p.VPAnalog);
  key.WriteInteger("VPBin", p.VPBin);
  WriteList(key, "VP", p.VPAnalog + p.VPBin, p.VP);
  for (int k = 0; k < kStoredUniversalPages; ++k) {
    key.WriteInteger(Item("VPAnalog", k), p.VPAnalogPages[k]);
    key.WriteInteger(Item("VPBin", k), p.VPBinPages[k]);
    WriteList(key, Item("VP", k), p.VPAnalogPages[k] + p.VPBinPages[k], p.VPPages[k]);
  }
  key.WriteInteger("VPageNum", p.VPageNum);
}

}  // namespace quelvar
