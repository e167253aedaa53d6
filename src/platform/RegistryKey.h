#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/RegistryStore.h"

namespace quelvar::platform {

// One key of a store, created when missing, for the settings code:
//   RegistryKey key(store, "\\SOFTWARE\\QuelvarTorque\\Color");
//   int32_t n = key.ReadInteger("ColorNum").value_or(16);
//   key.WriteInteger("ColorNum", n);
// Reads give nullopt for a missing value or one of another type or size.
class RegistryKey {
 public:
  RegistryKey(RegistryStore& store, std::string path);

  const std::string& Path() const { return path_; }

  std::optional<std::int32_t> ReadInteger(std::string_view name) const;
  std::optional<double> ReadDouble(std::string_view name) const;
  std::optional<std::string> ReadString(std::string_view name) const;
  // A binary of exactly `size` bytes.
  std::optional<RegistryBytes> ReadBinary(std::string_view name, std::size_t size) const;
  // A binary of any size.
  std::optional<RegistryBytes> ReadBinary(std::string_view name) const;

  bool WriteInteger(std::string_view name, std::int32_t value);
  bool WriteDouble(std::string_view name, double value);
  bool WriteString(std::string_view name, std::string_view value);
  bool WriteBinary(std::string_view name, std::span<const std::uint8_t> value);

 private:
  RegistryStore* store_;
  std::string path_;
};

}  // namespace quelvar::platform
