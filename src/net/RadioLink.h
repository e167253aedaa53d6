#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "net/RadioFrame.h"
#include "net/SimpleComm.h"

namespace quelvar {

// Sends one frame as three writes (header, payload, trailer). The frame goes
// whole or not at all: nothing is written when the port is closed, the
// payload is longer than kMaxRadioPayloadBytes or the output queue lacks room
// for all of it, since half a frame would only garble the next one. Returns
// the bytes written: size + 12, or 0.
uint32_t WriteRadioFrame(SimpleComm& port, const void* data, uint32_t size);

// What the frame reader needs of a port (SimpleComm has it).
template <class P>
concept RadioInputPort = requires(P& port, uint32_t& count, uint8_t* buffer, uint32_t size) {
  { port.QueueStatus(count, count) } -> std::convertible_to<int>;
  { port.Read(buffer, size) } -> std::convertible_to<uint32_t>;
};

enum class RadioPoll {
  Empty,       // nothing queued
  Incomplete,  // fewer bytes than the frame needs; keep waiting
  Flushed,     // a partial frame stopped growing and was discarded
  Dropped,     // a frame's worth of bytes was read and failed a check
  Received,    // Payload() holds the frame's payload
};

// Reads frames of a known payload length from a port polled about once a
// second. Bytes that do not form a valid frame of that length are consumed
// and dropped; a partial frame that stays unchanged for more than
// kStalePolls polls in a row is flushed. There is no other resynchronisation.
//
// A poll only counts as unchanged when no byte arrived since the previous
// one: the count left after taking a frame is what the next poll compares
// with, so a steady run of equal-sized frames is never taken for a stuck one.
class RadioFrameReader {
 public:
  static constexpr int kStalePolls = 10;
  // A flush stops after this many bytes even if a sender keeps the port full.
  static constexpr size_t kMaxFlushBytes = size_t{1} << 20;
  // The piece size of flushing and discarding.
  static constexpr uint32_t kDiscardPieceBytes = 512;

  // The controlled side forgets its unchanged polls whenever it finds the
  // port empty; the console keeps counting.
  explicit RadioFrameReader(bool resetStaleCountWhenEmpty) : resetWhenEmpty_(resetStaleCountWhenEmpty) {}

  struct QueueWatch {
    uint32_t queued = 0;   // bytes waiting before any flush
    bool flushed = false;  // they were stale and are gone
  };

  // How much waits, flushing a partial frame gone stale.
  template <RadioInputPort P>
  QueueWatch Watch(P& port) {
    uint32_t in = 0, out = 0;
    port.QueueStatus(in, out);
    if (in == 0) {
      if (resetWhenEmpty_) unchangedPolls_ = 0;
      lastQueued_ = 0;
      return {};
    }
    if (in == lastQueued_) {
      if (++unchangedPolls_ > kStalePolls) {
        unchangedPolls_ = 0;
        Discard(port);
        return {in, true};
      }
    } else {
      lastQueued_ = in;
      unchangedPolls_ = 0;
    }
    return {in, false};
  }

  // With `queued` bytes waiting (from Watch), reads one frame of
  // `payloadBytes` once it is all there.
  template <RadioInputPort P>
  RadioPoll Take(P& port, uint32_t queued, size_t payloadBytes) {
    if (payloadBytes > kMaxRadioPayloadBytes || queued < payloadBytes + kRadioFrameOverhead) {
      return RadioPoll::Incomplete;
    }
    const auto n = static_cast<uint32_t>(payloadBytes);
    payload_.resize(n);
    RadioHeader header{};
    RadioTrailer trailer{};
    uint32_t got = port.Read(header.data(), kRadioHeaderBytes);
    if (got == kRadioHeaderBytes) got += port.Read(payload_.data(), n);
    if (got == kRadioHeaderBytes + n) got += port.Read(trailer.data(), kRadioTrailerBytes);
    lastQueued_ = queued - got;
    unchangedPolls_ = 0;
    if (got != n + kRadioFrameOverhead) return RadioPoll::Dropped;
    return CheckRadioFrame(header, payload_, trailer) == RadioFrameFault::None ? RadioPoll::Received
                                                                               : RadioPoll::Dropped;
  }

  // Watch, then Take: one poll of a side that always waits for a frame.
  template <RadioInputPort P>
  RadioPoll Poll(P& port, size_t payloadBytes) {
    const QueueWatch watch = Watch(port);
    if (watch.flushed) return RadioPoll::Flushed;
    if (watch.queued == 0) return RadioPoll::Empty;
    return Take(port, watch.queued, payloadBytes);
  }

  // Reads and discards what is queued, in pieces, until a read returns nothing.
  template <RadioInputPort P>
  void Discard(P& port) {
    uint8_t piece[kDiscardPieceBytes];
    for (size_t total = 0; total < kMaxFlushBytes;) {
      const uint32_t got = port.Read(piece, kDiscardPieceBytes);
      if (got == 0) break;
      total += got;
    }
    lastQueued_ = 0;
  }

  // The payload of the last frame received (valid until the next Take).
  std::span<const uint8_t> Payload() const { return payload_; }
  int UnchangedPolls() const { return unchangedPolls_; }

 private:
  bool resetWhenEmpty_;
  uint32_t lastQueued_ = 0;
  int unchangedPolls_ = 0;
  std::vector<uint8_t> payload_;
};

}  // namespace quelvar
