#pragma once

#include <algorithm>
#include <climits>
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
  Incomplete,  // fewer bytes than the frame needs (noise before it may be gone); keep waiting
  Flushed,     // a partial frame stopped growing and was discarded
  Dropped,     // a frame's worth of bytes was read and failed a check
  Received,    // Payload() holds the frame's payload
};

// Reads frames of a known payload length from a port polled about once a
// second. Bytes that cannot begin a frame are dropped up to the next frame
// start ("VXK"), and a frame that fails a check gives up only its first byte,
// so the reader finds the next frame start after garbage or a damaged frame
// instead of reading every later frame out of step. A partial frame that
// stays unchanged for more than kStalePolls polls in a row is flushed.
//
// A poll only counts as unchanged when no byte arrived since the previous
// one: the count left after taking a frame is what the next poll compares
// with, so a steady run of equal-sized frames is never taken for a stuck one.
// The count is of the bytes waiting in the port and in the reader together.
class RadioFrameReader {
 public:
  static constexpr int kStalePolls = 10;
  // A flush stops after this many bytes even if a sender keeps the port full.
  static constexpr size_t kMaxFlushBytes = size_t{1} << 20;
  // The piece size of flushing and discarding.
  static constexpr uint32_t kDiscardPieceBytes = 512;
  // Frame starts tried in one poll: a stream of false starts is worked
  // through over several polls, never in one long one on the GUI thread.
  static constexpr int kMaxStartsPerPoll = 64;

  // The controlled side forgets its unchanged polls whenever it finds the
  // port empty; the console keeps counting.
  explicit RadioFrameReader(bool resetStaleCountWhenEmpty) : resetWhenEmpty_(resetStaleCountWhenEmpty) {}

  struct QueueWatch {
    uint32_t queued = 0;   // bytes waiting (port and reader) before any flush
    bool flushed = false;  // they were stale and are gone
  };

  // How much waits, flushing a partial frame gone stale.
  template <RadioInputPort P>
  QueueWatch Watch(P& port) {
    uint32_t in = 0, out = 0;
    port.QueueStatus(in, out);
    const uint32_t pending = Pending(in);
    if (pending == 0) {
      if (resetWhenEmpty_) unchangedPolls_ = 0;
      lastQueued_ = 0;
      return {};
    }
    if (pending == lastQueued_) {
      if (++unchangedPolls_ > kStalePolls) {
        unchangedPolls_ = 0;
        Discard(port);
        return {pending, true};
      }
    } else {
      lastQueued_ = pending;
      unchangedPolls_ = 0;
    }
    return {pending, false};
  }

  // With `queued` bytes waiting (from Watch), reads one frame of
  // `payloadBytes` once that many could be all there. Reads no more than
  // was queued, so a sender that never pauses cannot hold the poll.
  template <RadioInputPort P>
  RadioPoll Take(P& port, uint32_t queued, size_t payloadBytes) {
    if (payloadBytes > kMaxRadioPayloadBytes || queued < payloadBytes + kRadioFrameOverhead) {
      return RadioPoll::Incomplete;
    }
    const size_t frameBytes = payloadBytes + kRadioFrameOverhead;
    uint64_t readable = queued > held_.size() ? queued - held_.size() : 0;
    uint64_t read = 0;
    size_t consumed = 0;
    bool failedStart = false;
    RadioPoll result = RadioPoll::Incomplete;
    for (int starts = 0; starts < kMaxStartsPerPoll;) {
      consumed += DropToFrameStart(0);
      if (held_.size() < frameBytes && readable > 0) {
        const size_t at = held_.size();
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(frameBytes - at, readable));
        held_.resize(at + want);
        const uint32_t got = std::min(port.Read(held_.data() + at, want), want);
        held_.resize(at + got);
        read += got;
        readable = got == 0 ? 0 : readable - got;
        continue;
      }
      if (held_.size() < frameBytes) break;
      ++starts;
      if (TakeFrameAtStart(payloadBytes)) {
        consumed += frameBytes;
        result = RadioPoll::Received;
        break;
      }
      // A damaged frame, or a false start: the search goes on after its tag's first byte.
      failedStart = true;
      consumed += DropToFrameStart(1);
    }
    // Noise skipped before a frame start that waits for its last bytes loses
    // nothing; a frame that failed its checks, or noise alone, is a loss.
    if (result != RadioPoll::Received && (failedStart || (consumed > 0 && !HoldsFrameStart()))) {
      result = RadioPoll::Dropped;
    }
    if (read > 0 || consumed > 0) {
      // What waits now, in the port and here: what waited less what went.
      lastQueued_ = static_cast<uint32_t>(queued - std::min<uint64_t>(queued, consumed));
      unchangedPolls_ = 0;
    }
    return result;
  }

  // Watch, then Take: one poll of a side that always waits for a frame.
  template <RadioInputPort P>
  RadioPoll Poll(P& port, size_t payloadBytes) {
    const QueueWatch watch = Watch(port);
    if (watch.flushed) return RadioPoll::Flushed;
    if (watch.queued == 0) return RadioPoll::Empty;
    return Take(port, watch.queued, payloadBytes);
  }

  // Reads and discards what is queued, in pieces, until a read returns
  // nothing; what the reader held goes too.
  template <RadioInputPort P>
  void Discard(P& port) {
    held_.clear();
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
  // Bytes read from the port that wait to complete a frame.
  size_t Held() const { return held_.size(); }

 private:
  bool HoldsFrameStart() const {
    return held_.size() >= kRadioFrameTag.size() &&
           std::equal(kRadioFrameTag.begin(), kRadioFrameTag.end(), held_.begin());
  }
  uint32_t Pending(uint32_t inPort) const {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{inPort} + held_.size(), UINT32_MAX));
  }
  // Drops the held bytes before the first frame start at or after `from`
  // (a tag cut off by the end of what has come is kept); returns how many.
  size_t DropToFrameStart(size_t from);
  // Checks the frame at the start of the held bytes; when whole and sound,
  // moves its payload out and drops its bytes.
  bool TakeFrameAtStart(size_t payloadBytes);

  bool resetWhenEmpty_;
  uint32_t lastQueued_ = 0;
  int unchangedPolls_ = 0;
  std::vector<uint8_t> held_;
  std::vector<uint8_t> payload_;
};

}  // namespace quelvar
