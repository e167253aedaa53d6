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
void ReadList(platform::RegistryKey& key, const std::string& name, int32_t count, Page& list) {
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

// The analog entries into 0..A-1, the switch entries after them into 0..S-1.
void ClampPage(Page& page, int32_t analogCount, int32_t switchCount, int32_t analogNum, int32_t switchNum) {
  const int32_t analogEnd = std::min(analogCount, kMaxDisplayPositions);
  const int32_t switchEnd = std::min(analogCount + switchCount, kMaxDisplayPositions);
  for (int32_t i = 0; i < analogEnd; ++i) page[i] = std::clamp(page[i], 0, std::max(analogNum - 1, 0));
  for (int32_t i = analogEnd; i < switchEnd; ++i) page[i] = std::clamp(page[i], 0, std::max(switchNum - 1, 0));
}

}  // namespace

void ReadUniversalPages(platform::RegistryStore& store, const std::string& appKeyName, int32_t analogNum,
                        int32_t switchNum, UniversalPages& p) {
  platform::RegistryKey key(store, FormSizeKeyPath(appKeyName));
  p.VPAnalog = key.ReadInteger("VPAnalog").value_or(1);
  if (p.VPAnalog < 1) p.VPAnalog = 1;
  if (p.VPAnalog > analogNum) p.VPAnalog = analogNum;
  p.VPBin = std::clamp(key.ReadInteger("VPBin").value_or(0), 0, std::max(switchNum, 0));
  ReadList(key, "VP", p.VPAnalog + p.VPBin, p.VP);
  ClampPage(p.VP, p.VPAnalog, p.VPBin, analogNum, switchNum);

  for (int k = 0; k < kStoredUniversalPages; ++k) {
    p.VPAnalogPages[k] = p.VPAnalog;
    p.VPBinPages[k] = p.VPBin;
    p.VPPages[k] = p.VP;
  }
  for (int k = 0; k < kStoredUniversalPages; ++k) {
    const auto analog = key.ReadInteger(Item("VPAnalog", k));
    if (!analog || *analog < 1 || *analog > analogNum) continue;
    p.VPAnalogPages[k] = *analog;
    const auto bin = key.ReadInteger(Item("VPBin", k));
    if (!bin || *bin < 0 || *bin > switchNum) continue;
    p.VPBinPages[k] = *bin;
    ReadList(key, Item("VP", k), p.VPAnalogPages[k] + p.VPBinPages[k], p.VPPages[k]);
  }
  for (int k = 0; k < kStoredUniversalPages; ++k) {
    ClampPage(p.VPPages[k], p.VPAnalogPages[k], p.VPBinPages[k], analogNum, switchNum);
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
