// The compressor against its first, plain form: the same bytes for every
// input, call after call (the window carries over), and every stream expands
// back to its input. Equal bytes mean an equal ratio, on every input.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ReferenceLzssForTest.h"
#include "SampleBlockForTest.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"

namespace {

using namespace quelvar;
using quelvar::test::RealisticSampleBlock;
using quelvar::test::ReferenceLzssCompressor;

using Bytes = std::vector<uint8_t>;

// The full-size block: 112 words a row (100 analog), 1000 rows.
constexpr int32_t kWords = 112;
constexpr int32_t kAnalog = 100;
constexpr int32_t kRows = 1000;

Bytes RawBytes(const std::vector<uint16_t>& block) {
  Bytes bytes(block.size() * 2);
  std::memcpy(bytes.data(), block.data(), bytes.size());
  return bytes;
}

Bytes PackedBytes(const std::vector<uint16_t>& block, int32_t words, int32_t analog, int32_t rows) {
  GrayTables gray;
  InitGrayTables(gray);
  Bytes packed(block.size() * 2);
  PackSampleBlock(block, packed, words, analog, rows, gray);
  return packed;
}

Bytes RandomBytes(size_t size, uint32_t seed, unsigned alphabet) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % alphabet);
  return bytes;
}

// Copies of earlier stretches near and far, runs and noise: many equally
// long matches, so the choice among them is exercised.
Bytes RepeatRich(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size) {
    const unsigned kind = random() % 8;
    if (kind < 3 || bytes.size() < 600) {
      for (unsigned n = 1 + random() % 30; n > 0; --n) bytes.push_back(static_cast<uint8_t>(random() % 3));
    } else if (kind < 6) {
      const size_t from = random() % (bytes.size() - 500);
      for (size_t k = 0, n = 3 + random() % 400; k < n; ++k) bytes.push_back(bytes[from + k]);
    } else if (kind < 7) {
      bytes.insert(bytes.end(), 1 + random() % 900, static_cast<uint8_t>(random() % 3));
    } else {
      bytes.push_back(static_cast<uint8_t>(random()));
    }
  }
  bytes.resize(size);
  return bytes;
}

struct InputCase {
  std::string name;
  std::vector<Bytes> calls;  // compressed one after the other by one codec
};

std::vector<InputCase> Cases() {
  const auto realistic = [](uint16_t sequence) {
    return RealisticSampleBlock(kWords, kAnalog, kRows, sequence, sequence, (sequence - 1) * kRows);
  };
  return {
      {"empty", {Bytes{}}},
      {"short", {Bytes{0x61}, Bytes{0x61, 0x62}, Bytes{0x61, 0x62, 0x63}, Bytes(6, 0x61), Bytes{}, Bytes(258, 7),
                 Bytes(259, 7)}},
      {"constant", {Bytes(224002, 0), Bytes(5000, 0xAA), Bytes(224002, 0)}},
      {"random", {RandomBytes(224002, 1, 256), RandomBytes(3000, 2, 256)}},
      {"small alphabet", {RandomBytes(100000, 3, 2), RandomBytes(100000, 4, 4)}},
      {"repeat rich", {RepeatRich(60000, 5), RepeatRich(60000, 6), RepeatRich(4097, 7)}},
      {"packed full-size blocks",
       {PackedBytes(realistic(1), kWords, kAnalog, kRows), PackedBytes(realistic(2), kWords, kAnalog, kRows)}},
      {"raw full-size block", {RawBytes(realistic(3))}},
      {"small packed blocks",
       {PackedBytes(RealisticSampleBlock(4, 3, 50, 1, 8), 4, 3, 50),
        PackedBytes(RealisticSampleBlock(4, 3, 50, 2, 9), 4, 3, 50)}},
      {"larger than the biggest block", {RepeatRich(1 << 20, 10)}},
  };
}

TEST(LzssCompressorAgainstReference, SameBytesCallAfterCallAndEveryStreamExpandsBack) {
  for (const InputCase& c : Cases()) {
    auto codec = std::make_unique<LzssCodec>();
    auto reference = std::make_unique<ReferenceLzssCompressor>();
    auto viewer = std::make_unique<LzssCodec>();
    for (size_t call = 0; call < c.calls.size(); ++call) {
      const Bytes& input = c.calls[call];
      const CodecBuffer got = codec->LzssCompress(input.data(), input.size());
      const Bytes stream(got.begin(), got.end());
      const Bytes expected = reference->Compress(input.data(), input.size());
      ASSERT_EQ(stream, expected) << c.name << ", call " << call;
      EXPECT_EQ(viewer->LzssExpand(stream.data(), stream.size(), input.size()), input) << c.name << ", call " << call;
    }
  }
}

// The window the compressor starts from is also what the last expansion
// left in it (one codec does both): the choice among equal matches follows.
TEST(LzssCompressorAgainstReference, SameBytesAfterAnExpansionChangedTheWindow) {
  auto codec = std::make_unique<LzssCodec>();
  auto reference = std::make_unique<ReferenceLzssCompressor>();
  auto other = std::make_unique<LzssCodec>();
  for (uint32_t round = 0; round < 3; ++round) {
    const Bytes received = RepeatRich(5000 + 3000 * round, 20 + round);
    const CodecBuffer sent = other->LzssCompress(received.data(), received.size());
    const Bytes stream(sent.begin(), sent.end());
    ASSERT_EQ(codec->LzssExpand(stream.data(), stream.size(), received.size()), received);
    reference->Compress(received.data(), received.size());  // leaves the same window

    const Bytes input = RepeatRich(7000, 30 + round);
    const CodecBuffer got = codec->LzssCompress(input.data(), input.size());
    ASSERT_EQ(Bytes(got.begin(), got.end()), reference->Compress(input.data(), input.size())) << "round " << round;
  }
}

}  // namespace
