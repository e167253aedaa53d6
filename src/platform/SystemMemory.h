#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quelvar::platform {

// The machine's physical memory, in KB (1024 bytes).
struct PhysicalMemory {
  uint64_t totalKB = 0;
  uint64_t availableKB = 0;  // what programs can still take without swapping
};

// From the text of /proc/meminfo: MemTotal and MemAvailable (MemFree on
// kernels without MemAvailable). Nothing when MemTotal is missing.
std::optional<PhysicalMemory> ParseMemInfo(std::string_view text);

// The figures now: /proc/meminfo, else sysinfo(2); zeros when neither answers.
PhysicalMemory ReadPhysicalMemory();

}  // namespace quelvar::platform
