#pragma once

#include <string>

#include "common/UniversalPages.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The universal pages kept under "\FormSize": read at start with every count
// and channel number clamped to the configured channels, written at
// shut-down.
void ReadUniversalPages(platform::RegistryStore& store, const std::string& appKeyName, int32_t analogNum,
                        int32_t switchNum, UniversalPages& pages);
void WriteUniversalPages(platform::RegistryStore& store, const std::string& appKeyName, const UniversalPages& pages);

}  // namespace quelvar
