#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quelvar::platform {

using RegistryBytes = std::vector<std::uint8_t>;

// A stored value: a dword, a UTF-8 string or a binary, in that order of alternatives.
// Doubles are binaries of 8 little-endian bytes; see RegistryStore::WriteDouble.
using RegistryValue = std::variant<std::uint32_t, std::string, RegistryBytes>;

}  // namespace quelvar::platform
