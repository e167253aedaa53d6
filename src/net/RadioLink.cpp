#include "net/RadioLink.h"

namespace quelvar {

uint32_t WriteRadioFrame(SimpleComm& port, const void* data, uint32_t size) {
  if (!port.IsOpen() || size > kMaxRadioPayloadBytes) return 0;
  if (port.OutputRoom() < size + kRadioFrameOverhead) return 0;
  const std::span<const uint8_t> payload(static_cast<const uint8_t*>(data), size);
  const RadioHeader header = MakeRadioHeader(size);
  const RadioTrailer trailer = MakeRadioTrailer(header, payload);
  uint32_t written = port.Write(header.data(), kRadioHeaderBytes);
  written += port.Write(payload.data(), size);
  written += port.Write(trailer.data(), kRadioTrailerBytes);
  return written;
}

}  // namespace quelvar
