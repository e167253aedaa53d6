#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quelvar {

// One message of remote control on the serial link, as it travels:
//   "VXK", u32 n, n payload bytes, u32 n again, XOR of all bytes before it.
// Integers are little-endian. The reader always knows n in advance.
inline constexpr size_t kRadioHeaderBytes = 7;   // tag and length
inline constexpr size_t kRadioTrailerBytes = 5;  // length copy and check byte
inline constexpr size_t kRadioFrameOverhead = kRadioHeaderBytes + kRadioTrailerBytes;
inline constexpr std::array<uint8_t, 3> kRadioFrameTag = {'V', 'X', 'K'};

// The line and the queue sizes both ends of the link ask for: room for two
// configuration records.
inline constexpr const char* kRadioLineSettings = "19200,N,8,1";
inline constexpr uint32_t kRadioQueueBytes = 81456;
// A frame must fit those queues to be read whole, so no payload is longer.
inline constexpr size_t kMaxRadioPayloadBytes = kRadioQueueBytes - kRadioFrameOverhead;

using RadioHeader = std::array<uint8_t, kRadioHeaderBytes>;
using RadioTrailer = std::array<uint8_t, kRadioTrailerBytes>;

RadioHeader MakeRadioHeader(uint32_t payloadBytes);
// The length copy and the check byte over the header, the payload and the copy.
RadioTrailer MakeRadioTrailer(const RadioHeader& header, std::span<const uint8_t> payload);
// The whole frame; empty when the payload is longer than kMaxRadioPayloadBytes.
std::vector<uint8_t> EncodeRadioFrame(std::span<const uint8_t> payload);

enum class RadioFrameFault {
  None,
  Tag,         // not "VXK"
  Length,      // the header's length is not the expected one
  LengthCopy,  // the trailer's length is not the expected one
  Check,       // the XOR does not match
};
// Checks a frame read in its three parts, with payload.size() the expected
// length. A frame whose lengths differ is refused even when its XOR matches.
RadioFrameFault CheckRadioFrame(const RadioHeader& header, std::span<const uint8_t> payload,
                                const RadioTrailer& trailer);

}  // namespace quelvar
