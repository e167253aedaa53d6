#include "view/DisplayOrderFile.h"

#include <algorithm>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/ReadOnlyFile.h"

namespace quelvar {

std::string EncodeDisplayOrderFile(const DisplayOrder& order) {
  std::string bytes(kDisplayOrderTag, sizeof kDisplayOrderTag);
  for (int16_t entry : order) {
    const auto value = static_cast<uint16_t>(entry);
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
  }
  return bytes;
}

DisplayOrderFileStatus DecodeDisplayOrderFile(std::span<const uint8_t> bytes, DisplayOrder& order) {
  if (bytes.size() != kDisplayOrderFileSize) return DisplayOrderFileStatus::WrongSize;
  if (std::memcmp(bytes.data(), kDisplayOrderTag, sizeof kDisplayOrderTag) != 0) return DisplayOrderFileStatus::BadTag;
  DisplayOrder read{};
  for (size_t i = 0; i < read.size(); ++i) {
    const size_t at = sizeof kDisplayOrderTag + 2 * i;
    read[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)));
  }
  order = read;
  return DisplayOrderFileStatus::Ok;
}

DisplayOrderFileStatus ReadDisplayOrderFile(const std::string& path, DisplayOrder& order) {
  platform::ReadOnlyFile file;
  if (!file.Open(path)) return DisplayOrderFileStatus::CannotOpen;
  if (file.Size() != kDisplayOrderFileSize) return DisplayOrderFileStatus::WrongSize;
  std::array<uint8_t, kDisplayOrderFileSize> bytes{};
  // A file cut short after it was measured reads short: refused as well.
  if (!file.ReadAt(0, bytes.data(), bytes.size())) return DisplayOrderFileStatus::WrongSize;
  return DecodeDisplayOrderFile(bytes, order);
}

bool WriteDisplayOrderFile(const std::string& path, const DisplayOrder& order, std::string& error) {
  return platform::WriteUserFileAtomically(path, EncodeDisplayOrderFile(order), error);
}

}  // namespace quelvar
