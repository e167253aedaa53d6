#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "common/LiveConfig.h"

namespace quelvar {

// The display-order file ("*.GRD"): the tag "GORD" and the 292 entries of
// the text grid's row order as little-endian 16-bit integers, 588 bytes.
inline constexpr char kDisplayOrderTag[4] = {'G', 'O', 'R', 'D'};
inline constexpr size_t kDisplayOrderFileSize = sizeof kDisplayOrderTag + kMaxDisplayPositions * sizeof(int16_t);
static_assert(kDisplayOrderFileSize == 588);

using DisplayOrder = std::array<int16_t, kMaxDisplayPositions>;

enum class DisplayOrderFileStatus {
  Ok,
  CannotOpen,  // not a readable regular file
  WrongSize,   // not 588 bytes, or cut short while being read
  BadTag,      // does not begin with "GORD"
};

// The file's bytes for `order`.
std::string EncodeDisplayOrderFile(const DisplayOrder& order);

// Checks the whole image before taking any entry; `order` changes only when
// the result is Ok.
DisplayOrderFileStatus DecodeDisplayOrderFile(std::span<const uint8_t> bytes, DisplayOrder& order);

DisplayOrderFileStatus ReadDisplayOrderFile(const std::string& path, DisplayOrder& order);

// Replaces the file whole (it is the old file or the new one, never a part);
// false with `error` set when it cannot be written.
bool WriteDisplayOrderFile(const std::string& path, const DisplayOrder& order, std::string& error);

}  // namespace quelvar
