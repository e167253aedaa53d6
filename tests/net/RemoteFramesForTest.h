#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "net/RemoteControl.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigRecord.h"

namespace quelvar::test {

using Bytes = std::vector<uint8_t>;

// The bytes of a remote-control frame as they travel.
inline Bytes FrameBytes(int32_t command, int32_t arg1 = 0, int32_t arg2 = 0) {
  const RemoteCommandFrame frame{command, arg1, arg2};
  Bytes bytes(sizeof frame);
  std::memcpy(bytes.data(), &frame, sizeof frame);
  return bytes;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

inline Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline Bytes RecordBytes(const ConfigRecord& record) {
  Bytes bytes(sizeof record);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}

// The configuration record of a state (on the heap: it is 40 KB).
inline std::unique_ptr<ConfigRecord> OwnRecord(const AppState& state) {
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *record);
  return record;
}

}  // namespace quelvar::test
