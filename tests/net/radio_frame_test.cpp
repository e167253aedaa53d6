// Radio frames: their bytes, their checks, and reading them from a port that
// is polled once a second.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "net/RemoteFramesForTest.h"
#include "net/RadioFrame.h"
#include "net/RadioLink.h"
#include "net/RemoteControl.h"

namespace {

using namespace quelvar;
using namespace quelvar::test;

Bytes Pattern(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + 5);
  return bytes;
}

// A port whose input the test feeds; every read is counted.
class FakePort {
 public:
  void Arrive(const Bytes& bytes) { input_.insert(input_.end(), bytes.begin(), bytes.end()); }
  int QueueStatus(uint32_t& in, uint32_t& out) {
    in = static_cast<uint32_t>(std::min<size_t>(input_.size(), UINT32_MAX));
    out = 0;
    return 1;
  }
  uint32_t Read(uint8_t* buffer, uint32_t size) {
    const auto n = static_cast<uint32_t>(std::min<size_t>(size, input_.size()));
    std::copy_n(input_.begin(), n, buffer);
    input_.erase(input_.begin(), input_.begin() + n);
    return n;
  }
  size_t Queued() const { return input_.size(); }

 private:
  std::deque<uint8_t> input_;
};

// --- The frame's bytes ---

TEST(RadioFrameBytes, APollRequestIsTwentyFourBytesWithLengthsAndXor) {
  const Bytes frame = EncodeRadioFrame(FrameBytes(RemoteCommand::PollState, 0, 0));
  const Bytes expected = {'V', 'X', 'K', 0x0C, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0, 0, 0,
                          // 'V'^'X'^'K' ^ 0x0C ^ 9 ^ 0x0C
                          0x56 ^ 0x58 ^ 0x4B ^ 0x0C ^ 0x09 ^ 0x0C};
  EXPECT_EQ(frame, expected);
}

TEST(RadioFrameBytes, EveryLengthUpToTheLimitEncodesAndChecksLongerOnesAreRefused) {
  for (const size_t n : {size_t{0}, size_t{1}, size_t{48}, size_t{40728}, kMaxRadioPayloadBytes}) {
    const Bytes payload = Pattern(n);
    const Bytes frame = EncodeRadioFrame(payload);
    ASSERT_EQ(frame.size(), n + 12) << n;
    RadioHeader header;
    RadioTrailer trailer;
    std::copy_n(frame.begin(), 7, header.begin());
    std::copy_n(frame.end() - 5, 5, trailer.begin());
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), frame.begin() + 7));
    EXPECT_EQ(CheckRadioFrame(header, payload, trailer), RadioFrameFault::None) << n;
  }
  EXPECT_TRUE(EncodeRadioFrame(Pattern(kMaxRadioPayloadBytes + 1)).empty());
}

// --- Checking a frame ---

struct Damage {
  const char* what;
  size_t at;         // byte of the 24-byte frame to change
  uint8_t xorWith;   // how
  bool fixXor;       // mend the check byte afterwards, so only the damage counts
  RadioFrameFault fault;
};

class RadioFrameDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(RadioFrameDamage, IsFoundByItsCheck) {
  const Damage& d = GetParam();
  Bytes frame = EncodeRadioFrame(FrameBytes(RemoteCommand::QueryStatus));
  frame[d.at] ^= d.xorWith;
  if (d.fixXor) frame[23] ^= d.xorWith;
  RadioHeader header;
  RadioTrailer trailer;
  std::copy_n(frame.begin(), 7, header.begin());
  std::copy_n(frame.begin() + 19, 5, trailer.begin());
  const Bytes payload(frame.begin() + 7, frame.begin() + 19);
  EXPECT_EQ(CheckRadioFrame(header, payload, trailer), d.fault) << d.what;
}

INSTANTIATE_TEST_SUITE_P(
    Damages, RadioFrameDamage,
    ::testing::Values(Damage{"tag", 1, 0x20, true, RadioFrameFault::Tag},
                      Damage{"header length", 3, 0x04, true, RadioFrameFault::Length},
                      Damage{"header length high byte", 6, 0x80, true, RadioFrameFault::Length},
                      Damage{"trailer length, xor matching", 19, 0x01, true, RadioFrameFault::LengthCopy},
                      Damage{"trailer length high byte", 22, 0x01, true, RadioFrameFault::LengthCopy},
                      Damage{"payload byte", 12, 0x10, false, RadioFrameFault::Check},
                      Damage{"check byte", 23, 0xFF, false, RadioFrameFault::Check}));

TEST(RadioFrameCheck, AFrameOfAnotherLengthIsRefusedEvenWhenWhole) {
  // A whole 48-byte status frame, checked as if a 12-byte reply were expected.
  const Bytes frame = EncodeRadioFrame(Pattern(48));
  RadioHeader header;
  RadioTrailer trailer;
  std::copy_n(frame.begin(), 7, header.begin());
  std::copy_n(frame.end() - 5, 5, trailer.begin());
  EXPECT_EQ(CheckRadioFrame(header, Bytes(frame.begin() + 7, frame.begin() + 19), trailer), RadioFrameFault::Length);
}

// --- Reading frames from a polled port ---

class RadioFrameReading : public ::testing::Test {
 protected:
  FakePort port;
  RadioFrameReader reader{true};
};

TEST_F(RadioFrameReading, AFrameSplitOverManyPollsIsTakenOnceWhole) {
  const Bytes payload = FrameBytes(RemoteCommand::QueryStatus, 7, -7);
  const Bytes frame = EncodeRadioFrame(payload);
  EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Empty);
  for (size_t at = 0; at + 5 < frame.size(); at += 5) {
    port.Arrive(Bytes(frame.begin() + at, frame.begin() + at + 5));
    EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Incomplete) << at;
  }
  port.Arrive(Bytes(frame.end() - 4, frame.end()));
  ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Received);
  EXPECT_EQ(Bytes(reader.Payload().begin(), reader.Payload().end()), payload);
  EXPECT_EQ(port.Queued(), 0u);
}

TEST_F(RadioFrameReading, TwoFramesQueuedAreTakenOnePerPoll) {
  const Bytes first = Pattern(48), second = Bytes(48, 0xEE);
  port.Arrive(EncodeRadioFrame(first));
  port.Arrive(EncodeRadioFrame(second));
  ASSERT_EQ(reader.Poll(port, 48), RadioPoll::Received);
  EXPECT_EQ(Bytes(reader.Payload().begin(), reader.Payload().end()), first);
  ASSERT_EQ(reader.Poll(port, 48), RadioPoll::Received);
  EXPECT_EQ(Bytes(reader.Payload().begin(), reader.Payload().end()), second);
  EXPECT_EQ(reader.Poll(port, 48), RadioPoll::Empty);
}

TEST_F(RadioFrameReading, ACorruptFrameIsDroppedAndTheNextOneIsFoundAfterIt) {
  Bytes bad = EncodeRadioFrame(FrameBytes(RemoteCommand::GetConfig));
  bad[10] ^= 1;
  port.Arrive(bad);
  port.Arrive(EncodeRadioFrame(FrameBytes(RemoteCommand::PollState)));
  ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Received);
  EXPECT_EQ(Bytes(reader.Payload().begin(), reader.Payload().end()), FrameBytes(RemoteCommand::PollState));
  EXPECT_EQ(port.Queued(), 0u);
  EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Empty);
}

TEST_F(RadioFrameReading, AFrameOfAnotherLengthIsDroppedAndTheNextOneIsFoundAfterIt) {
  port.Arrive(EncodeRadioFrame(Pattern(48)));  // 60 bytes while 24 are expected
  EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Dropped);
  EXPECT_EQ(reader.Held(), 0u);
  port.Arrive(EncodeRadioFrame(Pattern(48)));
  port.Arrive(EncodeRadioFrame(FrameBytes(RemoteCommand::PollState, 4)));
  ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Received);
  EXPECT_EQ(Bytes(reader.Payload().begin(), reader.Payload().end()), FrameBytes(RemoteCommand::PollState, 4));
}

// Mended: after bytes that are no frame the reader read every later frame
// out of step, and as long as frames kept coming nothing flushed them.
struct GarbageCase {
  const char* name;
  Bytes garbage;
};

class RadioFrameResync : public ::testing::TestWithParam<GarbageCase> {};

TEST_P(RadioFrameResync, TheFramesAfterGarbageAreAllTaken_MendedOutOfStep) {
  for (const bool inPieces : {false, true}) {
    FakePort port;
    RadioFrameReader reader(true);
    Bytes stream = GetParam().garbage;
    for (int32_t k = 1; k <= 5; ++k) {
      const Bytes next = EncodeRadioFrame(FrameBytes(RemoteCommand::PollState, k));
      stream.insert(stream.end(), next.begin(), next.end());
    }
    // Arriving all at once, or seven bytes a poll.
    std::vector<int32_t> taken;
    size_t at = 0;
    for (int poll = 0; poll < 200 && taken.size() < 5; ++poll) {
      const size_t piece = inPieces ? std::min<size_t>(7, stream.size() - at) : stream.size() - at;
      port.Arrive(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                        stream.begin() + static_cast<std::ptrdiff_t>(at + piece)));
      at += piece;
      if (reader.Poll(port, 12) == RadioPoll::Received) {
        RemoteCommandFrame f;
        std::memcpy(&f, reader.Payload().data(), sizeof f);
        taken.push_back(f.Arg1);
      }
    }
    EXPECT_EQ(taken, (std::vector<int32_t>{1, 2, 3, 4, 5})) << GetParam().name << (inPieces ? " in pieces" : "");
    EXPECT_EQ(port.Queued() + reader.Held(), 0u) << GetParam().name;
  }
}

Bytes Repeat(const Bytes& bytes, int times) {
  Bytes all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), bytes.begin(), bytes.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, RadioFrameResync,
    ::testing::Values(
        GarbageCase{"OneByte", Bytes{0x00}},
        GarbageCase{"ThreeBytes", Bytes{0x11, 0x22, 0x33}},
        GarbageCase{"ATagCutShort", Bytes{'V', 'X'}},
        GarbageCase{"AFalseTag", Bytes{'V', 'X', 'K', 0x01}},
        GarbageCase{"AFalseTagWithTheRightLength", Bytes{'V', 'X', 'K', 0x0C, 0, 0, 0, 1, 2}},
        GarbageCase{"TheStartOfAFrame",
                    Bytes{'V', 'X', 'K', 0x0C, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C}},
        GarbageCase{"ACorruptFrame", [] {
                      Bytes f = EncodeRadioFrame(FrameBytes(RemoteCommand::QueryStatus));
                      f[23] ^= 0x40;
                      return f;
                    }()},
        GarbageCase{"AFrameOfAnotherLength", EncodeRadioFrame(Bytes(48, 'V'))},
        GarbageCase{"NoiseOfSixtyBytes", Pattern(60)},
        // More false starts than one poll tries: taken over several polls.
        GarbageCase{"ManyFalseStarts", Repeat(Bytes{'V', 'X', 'K'}, 300)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RadioFrameReading, APartialFrameThatStopsGrowingIsFlushedAfterMoreThanTenPolls) {
  const Bytes frame = EncodeRadioFrame(FrameBytes(RemoteCommand::PollState));
  port.Arrive(Bytes(frame.begin(), frame.begin() + 20));
  // The poll that first sees the 20 bytes, then ten that find them unchanged.
  for (int poll = 0; poll < 11; ++poll) ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Incomplete) << poll;
  EXPECT_EQ(port.Queued(), 20u);
  EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Flushed);
  EXPECT_EQ(port.Queued(), 0u);
  // A whole frame afterwards is read as usual.
  port.Arrive(frame);
  EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Received);
}

TEST_F(RadioFrameReading, AByteArrivingResetsTheStaleCount) {
  port.Arrive(Bytes(10, 0));
  for (int poll = 0; poll < 11; ++poll) reader.Poll(port, 12);
  port.Arrive(Bytes(1, 0));
  for (int poll = 0; poll < 11; ++poll) ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Incomplete) << poll;
  EXPECT_EQ(port.Queued(), 11u);
}

TEST_F(RadioFrameReading, EqualFramesArrivingEveryPollAreNeverTakenForAStaleOne_MendedFault) {
  // Comparing only the counts seen at each poll would flush the twelfth of
  // these frames, which is whole and fresh.
  for (const bool resetWhenEmpty : {true, false}) {
    RadioFrameReader r(resetWhenEmpty);
    for (int poll = 0; poll < 30; ++poll) {
      port.Arrive(EncodeRadioFrame(FrameBytes(RemoteCommand::PollState, poll)));
      ASSERT_EQ(r.Poll(port, 12), RadioPoll::Received) << poll;
      // The console's way: a poll that finds nothing between replies.
      if (!resetWhenEmpty) {
        ASSERT_EQ(r.Poll(port, 12), RadioPoll::Empty);
      }
    }
  }
}

TEST_F(RadioFrameReading, ALeftoverAfterAFrameCountsAsStaleWhenNothingFollows) {
  const Bytes frame = EncodeRadioFrame(FrameBytes(RemoteCommand::PollState));
  port.Arrive(frame);
  port.Arrive(Bytes(frame.begin(), frame.begin() + 5));
  ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Received);
  for (int poll = 0; poll < 10; ++poll) ASSERT_EQ(reader.Poll(port, 12), RadioPoll::Incomplete) << poll;
  EXPECT_EQ(reader.Poll(port, 12), RadioPoll::Flushed);
}

TEST_F(RadioFrameReading, AnExpectedLengthBeyondTheLimitNeverReadsOrAllocates) {
  port.Arrive(Bytes(100, 0));
  EXPECT_EQ(reader.Poll(port, SIZE_MAX), RadioPoll::Incomplete);
  EXPECT_EQ(reader.Poll(port, kMaxRadioPayloadBytes + 1), RadioPoll::Incomplete);
  EXPECT_EQ(port.Queued(), 100u);
  EXPECT_TRUE(reader.Payload().empty());
}

TEST(RadioFrameDiscard, EndsEvenWhenTheSenderNeverPauses) {
  // A port that always has more.
  struct EndlessPort {
    size_t read = 0;
    int QueueStatus(uint32_t& in, uint32_t& out) {
      in = 512;
      out = 0;
      return 1;
    }
    uint32_t Read(uint8_t* buffer, uint32_t size) {
      std::fill_n(buffer, size, uint8_t{0});
      read += size;
      return size;
    }
  } port;
  RadioFrameReader reader(false);
  reader.Discard(port);
  EXPECT_EQ(port.read, RadioFrameReader::kMaxFlushBytes);
}

}  // namespace
