#include "net/RadioLink.h"

#include <algorithm>

namespace quelvar {

size_t RadioFrameReader::DropToFrameStart(size_t from) {
  from = std::min(from, held_.size());
  const auto tag = std::search(held_.begin() + static_cast<std::ptrdiff_t>(from), held_.end(), kRadioFrameTag.begin(),
                               kRadioFrameTag.end());
  size_t keepFrom = static_cast<size_t>(tag - held_.begin());
  if (tag == held_.end()) {
    // The last bytes may be the beginning of a tag still coming.
    for (size_t k = std::min(held_.size() - from, kRadioFrameTag.size() - 1); k > 0; --k) {
      if (std::equal(held_.end() - static_cast<std::ptrdiff_t>(k), held_.end(), kRadioFrameTag.begin())) {
        keepFrom = held_.size() - k;
        break;
      }
    }
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(keepFrom));
  return keepFrom;
}

bool RadioFrameReader::TakeFrameAtStart(size_t payloadBytes) {
  RadioHeader header{};
  RadioTrailer trailer{};
  std::copy_n(held_.begin(), kRadioHeaderBytes, header.begin());
  const std::span<const uint8_t> payload(held_.data() + kRadioHeaderBytes, payloadBytes);
  std::copy_n(held_.begin() + static_cast<std::ptrdiff_t>(kRadioHeaderBytes + payloadBytes), kRadioTrailerBytes,
              trailer.begin());
  if (CheckRadioFrame(header, payload, trailer) != RadioFrameFault::None) return false;
  payload_.assign(payload.begin(), payload.end());
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(payloadBytes + kRadioFrameOverhead));
  return true;
}

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
