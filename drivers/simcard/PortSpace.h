#pragma once

#include <array>
#include <cstdint>
#include <mutex>

namespace simcard {

// 64 KiB of port addresses held in memory. Words and double words are
// little-endian; an access running past 0xFFFF wraps to port 0. Ports are
// 16-bit numbers: higher bits of the argument are ignored.
class PortSpace {
 public:
  uint8_t In8(uint32_t port) const { return static_cast<uint8_t>(Read(port, 1)); }
  uint16_t In16(uint32_t port) const { return static_cast<uint16_t>(Read(port, 2)); }
  uint32_t In32(uint32_t port) const { return Read(port, 4); }
  void Out8(uint32_t port, uint32_t value) { Write(port, value, 1); }
  void Out16(uint32_t port, uint32_t value) { Write(port, value, 2); }
  void Out32(uint32_t port, uint32_t value) { Write(port, value, 4); }

 private:
  uint32_t Read(uint32_t port, int bytes) const;
  void Write(uint32_t port, uint32_t value, int bytes);

  mutable std::mutex mutex_;
  std::array<uint8_t, 65536> bytes_{};
};

PortSpace& ThePortSpace();

}  // namespace simcard
