#include "PortSpace.h"

namespace simcard {

uint32_t PortSpace::Read(uint32_t port, int bytes) const {
  std::lock_guard lock(mutex_);
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= uint32_t{bytes_[(port + i) & 0xFFFF]} << (8 * i);
  return value;
}

void PortSpace::Write(uint32_t port, uint32_t value, int bytes) {
  std::lock_guard lock(mutex_);
  for (int i = 0; i < bytes; ++i) bytes_[(port + i) & 0xFFFF] = static_cast<uint8_t>(value >> (8 * i));
}

PortSpace& ThePortSpace() {
  static PortSpace ports;
  return ports;
}

}  // namespace simcard
