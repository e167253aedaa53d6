#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "platform/RegistryKey.h"

namespace quelvar {

// Reads the values of one settings key, each with its own default.
class RegistryReader {
 public:
  RegistryReader(platform::RegistryStore& store, std::string key) : key_(store, std::move(key)) {}

  int32_t Int(std::string_view name, int32_t fallback) const { return key_.ReadInteger(name).value_or(fallback); }
  // Floats are stored as doubles and held as floats. A double beyond the
  // float's range becomes an infinity of its sign (a plain conversion would
  // be undefined), which the callers' bounds then handle like any other.
  float Float(std::string_view name, float fallback) const {
    const auto v = key_.ReadDouble(name);
    if (!v) return fallback;
    if (std::isfinite(*v) && std::fabs(*v) > std::numeric_limits<float>::max()) {
      return std::signbit(*v) ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(*v);
  }
  std::string Text(std::string_view name, const std::string& fallback) const {
    return key_.ReadString(name).value_or(fallback);
  }
  // An empty stored text takes the fallback too.
  std::string TextOr(std::string_view name, const std::string& fallback) const {
    std::string v = Text(name, {});
    return v.empty() ? fallback : v;
  }
  platform::RegistryKey& Key() { return key_; }

 private:
  platform::RegistryKey key_;
};

// Per-item value names: the name followed by the item number ("AName3").
inline std::string Item(std::string_view name, int i) { return std::string(name) + std::to_string(i); }
// Per-algorithm sub-items: "Channel3_1".
inline std::string SubItem(std::string_view name, int i, int j) {
  return Item(name, i) + "_" + std::to_string(j);
}

}  // namespace quelvar
