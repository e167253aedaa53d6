#include "net/RadioFrame.h"

#include <algorithm>

namespace quelvar {

namespace {

void PutU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const uint8_t* at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

uint8_t Xor(std::span<const uint8_t> bytes, uint8_t start = 0) {
  for (const uint8_t b : bytes) start ^= b;
  return start;
}

}  // namespace

RadioHeader MakeRadioHeader(uint32_t payloadBytes) {
  RadioHeader header{};
  std::copy(kRadioFrameTag.begin(), kRadioFrameTag.end(), header.begin());
  PutU32(header.data() + kRadioFrameTag.size(), payloadBytes);
  return header;
}

RadioTrailer MakeRadioTrailer(const RadioHeader& header, std::span<const uint8_t> payload) {
  RadioTrailer trailer{};
  PutU32(trailer.data(), static_cast<uint32_t>(payload.size()));
  uint8_t check = Xor(header);
  check = Xor(payload, check);
  trailer[4] = Xor(std::span(trailer).first(4), check);
  return trailer;
}

std::vector<uint8_t> EncodeRadioFrame(std::span<const uint8_t> payload) {
  if (payload.size() > kMaxRadioPayloadBytes) return {};
  const RadioHeader header = MakeRadioHeader(static_cast<uint32_t>(payload.size()));
  const RadioTrailer trailer = MakeRadioTrailer(header, payload);
  std::vector<uint8_t> frame;
  frame.reserve(payload.size() + kRadioFrameOverhead);
  frame.insert(frame.end(), header.begin(), header.end());
  frame.insert(frame.end(), payload.begin(), payload.end());
  frame.insert(frame.end(), trailer.begin(), trailer.end());
  return frame;
}

RadioFrameFault CheckRadioFrame(const RadioHeader& header, std::span<const uint8_t> payload,
                                const RadioTrailer& trailer) {
  if (!std::equal(kRadioFrameTag.begin(), kRadioFrameTag.end(), header.begin())) return RadioFrameFault::Tag;
  const uint64_t expected = payload.size();
  if (GetU32(header.data() + kRadioFrameTag.size()) != expected) return RadioFrameFault::Length;
  if (GetU32(trailer.data()) != expected) return RadioFrameFault::LengthCopy;
  uint8_t check = Xor(header);
  check = Xor(payload, check);
  check = Xor(std::span(trailer).first(4), check);
  return check == trailer[4] ? RadioFrameFault::None : RadioFrameFault::Check;
}

}  // namespace quelvar
