#include "platform/SystemMemory.h"

#include <sys/sysinfo.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

namespace quelvar::platform {

namespace {

// The number after "<name>:" at the start of a line, in kB.
std::optional<uint64_t> MemInfoValue(std::string_view text, std::string_view name) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ':') continue;
    line.remove_prefix(name.size() + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec != std::errc{} || ptr == line.data()) return std::nullopt;
    return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PhysicalMemory> ParseMemInfo(std::string_view text) {
  const std::optional<uint64_t> total = MemInfoValue(text, "MemTotal");
  if (!total) return std::nullopt;
  std::optional<uint64_t> available = MemInfoValue(text, "MemAvailable");
  if (!available) available = MemInfoValue(text, "MemFree");
  PhysicalMemory m;
  m.totalKB = *total;
  m.availableKB = available.value_or(0) > *total ? *total : available.value_or(0);
  return m;
}

PhysicalMemory ReadPhysicalMemory() {
  std::ifstream in("/proc/meminfo");
  if (in) {
    std::ostringstream text;
    text << in.rdbuf();
    if (const auto m = ParseMemInfo(text.str())) return *m;
  }
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return {};
  const uint64_t unit = info.mem_unit == 0 ? 1 : info.mem_unit;
  PhysicalMemory m;
  m.totalKB = static_cast<uint64_t>(info.totalram) * unit / 1024;
  m.availableKB = static_cast<uint64_t>(info.freeram) * unit / 1024;
  return m;
}

}  // namespace quelvar::platform
